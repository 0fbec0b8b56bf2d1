#include "Environment.h"

#include <cstdio>
#include <cstdlib>
#include <io.h>

void setEnvironment(const char* variable, const char* value)
{
    ::_putenv_s(variable, value);
}

// An empty value takes the variable away on Windows.
void unsetEnvironment(const char* variable)
{
    ::_putenv_s(variable, "");
}

bool standardErrorIsTerminal()
{
    return ::_isatty(::_fileno(stderr)) != 0;
}
