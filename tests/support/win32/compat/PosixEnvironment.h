#pragma once
// The Windows build of the tests: setenv and unsetenv, which tests use to point the library at
// other modules or codesets, over the C runtime's _putenv_s. _putenv_s changes the process's
// own environment block too, so GetEnvironmentVariable sees the change.
#ifdef __cplusplus
#include <stdlib.h>

inline int setenv(const char* name, const char* value, int overwrite) {
    if (overwrite == 0 && getenv(name) != nullptr) {
        return 0;
    }
    return _putenv_s(name, value) == 0 ? 0 : -1;
}

inline int unsetenv(const char* name) {
    // An empty value removes the variable.
    return _putenv_s(name, "") == 0 ? 0 : -1;
}
#endif
