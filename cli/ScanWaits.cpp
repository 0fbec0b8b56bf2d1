#include "ScanWaits.h"

#include "Environment.h"

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
        setEnvironment(wait.variable, wait.ms);
        set_.push_back(wait.variable);
    }
}

ScanWaits::~ScanWaits()
{
    for (const std::string& variable : set_)
        unsetEnvironment(variable.c_str());
}
