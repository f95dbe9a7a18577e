#pragma once
// The calling thread's last error, and the translation of the system's errno values into it.
#include <string>

#include "windows.h"

// The Win32 code that stands for an errno value.
DWORD Win32ErrorFromErrno(int error);
// Sets the last error from errno and returns FALSE, for the usual `return FailWithErrno();`.
BOOL FailWithErrno();
// Sets the last error and returns FALSE.
BOOL FailWith(DWORD error);
// As FailWithErrno, for a call on `path` (already mapped): a missing entry whose folder is
// missing too is ERROR_PATH_NOT_FOUND, as on the original platform.
BOOL FailWithErrnoForPath(const std::string& path);
