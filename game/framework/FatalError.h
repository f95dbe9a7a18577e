#pragma once
// The game's one fatal path: shows the message box (no owner, OK button) and ends the process
// with the exit code, 1 unless the caller names another. Callers log their reason first.
#include <windef.h>

[[noreturn]] void geFatalError(const char* szTitle, const char* szText, UINT uExitCode = 1);
