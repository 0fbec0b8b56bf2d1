#include "Environment.h"

#include <cstdlib>

void setEnvironment(const char* variable, const char* value)
{
    ::_putenv_s(variable, value);
}

// An empty value takes the variable away on Windows.
void unsetEnvironment(const char* variable)
{
    ::_putenv_s(variable, "");
}
