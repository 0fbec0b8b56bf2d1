#include "ScanWaits.h"

#include <cstdlib>

namespace {
struct Wait {
    const char* variable;
    const char* ms;
};
constexpr Wait scanWaits[] = {{"READER_CONNECT_TIMEOUT_MS", "500"}, {"READER_TIMEOUT_MS", "300"}};
} // namespace

ScanWaits::ScanWaits()
{
    for (const Wait& wait : scanWaits) {
        if (std::getenv(wait.variable) != nullptr)
            continue;
        ::setenv(wait.variable, wait.ms, 0);
        set_.push_back(wait.variable);
    }
}

ScanWaits::~ScanWaits()
{
    for (const std::string& variable : set_)
        ::unsetenv(variable.c_str());
}
