// Version and memory queries, the priority class and debug output.
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "LastError.h"

namespace {

std::atomic<DWORD> g_priorityClass{NORMAL_PRIORITY_CLASS};

bool ValidPriorityClass(DWORD priorityClass) {
  switch (priorityClass) {
    case IDLE_PRIORITY_CLASS:
    case BELOW_NORMAL_PRIORITY_CLASS:
    case NORMAL_PRIORITY_CLASS:
    case ABOVE_NORMAL_PRIORITY_CLASS:
    case HIGH_PRIORITY_CLASS:
    case REALTIME_PRIORITY_CLASS: return true;
    default: return false;
  }
}

bool IsThisProcess(HANDLE process) { return process == GetCurrentProcess(); }

// The leading number of `text` and where it stops.
DWORD ReadNumber(const char*& text) {
  DWORD value = 0;
  while (*text >= '0' && *text <= '9' && value < 100000000)
    value = value * 10 + DWORD(*text++ - '0');
  return value;
}

}  // namespace

BOOL GetVersionExA(LPOSVERSIONINFOA lpVersionInformation) {
  if (!lpVersionInformation ||
      (lpVersionInformation->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA) &&
       lpVersionInformation->dwOSVersionInfoSize != sizeof(OSVERSIONINFOEXA)))
    return FailWith(ERROR_INSUFFICIENT_BUFFER);
  utsname system;
  if (uname(&system) != 0) return FailWithErrno();
  const bool extended = lpVersionInformation->dwOSVersionInfoSize == sizeof(OSVERSIONINFOEXA);
  std::memset(reinterpret_cast<char*>(lpVersionInformation) + sizeof(DWORD), 0,
              lpVersionInformation->dwOSVersionInfoSize - sizeof(DWORD));
  const char* release = system.release;
  lpVersionInformation->dwMajorVersion = ReadNumber(release);
  if (*release == '.') ++release;
  lpVersionInformation->dwMinorVersion = ReadNumber(release);
  if (*release == '.') ++release;
  lpVersionInformation->dwBuildNumber = ReadNumber(release);
  lpVersionInformation->dwPlatformId = VER_PLATFORM_WIN32_NT;
  // The system's own name and release, cut to the field and always terminated.
  const std::string name =
      std::string(system.sysname) + " " + system.release + " " + system.machine;
  const size_t length = std::min(name.size(), sizeof(lpVersionInformation->szCSDVersion) - 1);
  std::memcpy(lpVersionInformation->szCSDVersion, name.data(), length);
  lpVersionInformation->szCSDVersion[length] = '\0';
  if (extended)
    reinterpret_cast<LPOSVERSIONINFOEXA>(lpVersionInformation)->wProductType = 1;  // workstation
  return TRUE;
}

void GlobalMemoryStatus(LPMEMORYSTATUS lpBuffer) {
  if (!lpBuffer) return;
  const uint64_t pageSize = static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
  const long totalPages = sysconf(_SC_PHYS_PAGES);
  const long freePages = sysconf(_SC_AVPHYS_PAGES);
  const uint64_t total = totalPages > 0 ? static_cast<uint64_t>(totalPages) * pageSize : 0;
  const uint64_t available = freePages > 0 ? static_cast<uint64_t>(freePages) * pageSize : 0;
  std::memset(lpBuffer, 0, sizeof(*lpBuffer));
  lpBuffer->dwLength = sizeof(*lpBuffer);
  lpBuffer->dwMemoryLoad = total ? static_cast<DWORD>(100 - available * 100 / total) : 0;
  lpBuffer->dwTotalPhys = total;
  lpBuffer->dwAvailPhys = available;
  lpBuffer->dwTotalPageFile = total;
  lpBuffer->dwAvailPageFile = available;
  lpBuffer->dwTotalVirtual = static_cast<SIZE_T>(1) << 47;  // the user half of x86-64
  lpBuffer->dwAvailVirtual = lpBuffer->dwTotalVirtual;
}

BOOL SetPriorityClass(HANDLE hProcess, DWORD dwPriorityClass) {
  if (!IsThisProcess(hProcess)) return FailWith(ERROR_INVALID_HANDLE);
  if (!ValidPriorityClass(dwPriorityClass)) return FailWith(ERROR_INVALID_PARAMETER);
  g_priorityClass.store(dwPriorityClass);
  return TRUE;
}

DWORD GetPriorityClass(HANDLE hProcess) {
  if (!IsThisProcess(hProcess)) {
    FailWith(ERROR_INVALID_HANDLE);
    return 0;
  }
  return g_priorityClass.load();
}

void OutputDebugStringA(LPCSTR lpOutputString) {
  if (lpOutputString) std::fputs(lpOutputString, stderr);
}
