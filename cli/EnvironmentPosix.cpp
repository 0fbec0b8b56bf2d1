#include "Environment.h"

#include <cstdlib>

void setEnvironment(const char* variable, const char* value)
{
    ::setenv(variable, value, 1);
}

void unsetEnvironment(const char* variable)
{
    ::unsetenv(variable);
}
