#include "Environment.h"

#include <cstdlib>
#include <unistd.h>

void setEnvironment(const char* variable, const char* value)
{
    ::setenv(variable, value, 1);
}

void unsetEnvironment(const char* variable)
{
    ::unsetenv(variable);
}

bool standardErrorIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}
