#include "framework/FatalError.h"

#include <windows.h>

void geFatalError(const char* szTitle, const char* szText, UINT uExitCode) {
  MessageBoxA(nullptr, szText, szTitle, MB_OK);
  ExitProcess(uExitCode);
}
