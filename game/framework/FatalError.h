#pragma once
// The game's one fatal path: shows the message box (no owner, OK button) and ends the process
// with exit code 1. Callers log their reason first.
[[noreturn]] void geFatalError(const char* szTitle, const char* szText);
