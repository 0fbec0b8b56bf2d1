// Setting and removing an environment variable in a test, on Linux and on
// Windows (where the library's tests also run, under Wine) alike. On Windows an
// empty value removes the variable; the library takes an empty one for unset.
#pragma once

#include <cstdlib>
#include <string>

#if defined(_WIN32)
inline void setEnvironment(const std::string& name, const std::string& value) { _putenv_s(name.c_str(), value.c_str()); }
inline void unsetEnvironment(const std::string& name) { _putenv_s(name.c_str(), ""); }
#else
inline void setEnvironment(const std::string& name, const std::string& value) { ::setenv(name.c_str(), value.c_str(), 1); }
inline void unsetEnvironment(const std::string& name) { ::unsetenv(name.c_str()); }
#endif
