// Setting and taking away this process's environment variables, which the
// device library reads: setenv on Linux, _putenv_s on Windows; and whether a
// person watches standard error on a terminal (a console window).
#pragma once

void setEnvironment(const char* variable, const char* value);
void unsetEnvironment(const char* variable);

bool standardErrorIsTerminal();
