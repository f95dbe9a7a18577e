#pragma once
// Kernel: threads and synchronisation, time, modules, files and folders, memory, system queries,
// process exit.
//
// Handles of threads, events, mutexes, files and searches live in one table; CloseHandle closes
// any of them. Sleep and every wait run on real time whatever the test clock says: the test clock
// only changes what the timers report, so a test that stops the clock never hangs a waiting
// thread. Every path goes through ZkMapPath (zkplatform/ZkPaths.h).
#include <cstdarg>

#include "windef.h"
#include "winerror.h"
#include "winnt.h"

// ---- errors ----

ZKAPI DWORD GetLastError();
ZKAPI void SetLastError(DWORD dwErrCode);

#define FORMAT_MESSAGE_ALLOCATE_BUFFER 0x00000100
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200
#define FORMAT_MESSAGE_FROM_STRING 0x00000400
#define FORMAT_MESSAGE_FROM_HMODULE 0x00000800
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000
#define FORMAT_MESSAGE_ARGUMENT_ARRAY 0x00002000
#define FORMAT_MESSAGE_MAX_WIDTH_MASK 0x000000FF

// Only FORMAT_MESSAGE_FROM_SYSTEM is served: the text of a system error code, ending in "\r\n".
// With FORMAT_MESSAGE_ALLOCATE_BUFFER, lpBuffer is an LPSTR* that receives a buffer to be freed
// with LocalFree. Returns the length written without the terminator, or 0 with the last error
// set (ERROR_MR_MID_NOT_FOUND for a code without a text).
ZKAPI DWORD FormatMessageA(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId,
                           LPSTR lpBuffer, DWORD nSize, va_list* Arguments);
#define FormatMessage FormatMessageA

// ---- handles, threads and synchronisation ----

typedef struct _SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *PSECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

typedef DWORD(WINAPI* PTHREAD_START_ROUTINE)(LPVOID lpThreadParameter);
typedef PTHREAD_START_ROUTINE LPTHREAD_START_ROUTINE;

#define WAIT_OBJECT_0 0x00000000u
#define WAIT_ABANDONED 0x00000080u
#define WAIT_FAILED 0xFFFFFFFFu
#define STILL_ACTIVE 259
#define CREATE_SUSPENDED 0x00000004

#define THREAD_PRIORITY_LOWEST (-2)
#define THREAD_PRIORITY_BELOW_NORMAL (-1)
#define THREAD_PRIORITY_NORMAL 0
#define THREAD_PRIORITY_ABOVE_NORMAL 1
#define THREAD_PRIORITY_HIGHEST 2
#define THREAD_PRIORITY_TIME_CRITICAL 15
#define THREAD_PRIORITY_IDLE (-15)

ZKAPI BOOL CloseHandle(HANDLE hObject);

// A created thread's handle is signalled when the thread ends; WaitForSingleObject on it joins.
ZKAPI HANDLE CreateThread(LPSECURITY_ATTRIBUTES lpThreadAttributes, SIZE_T dwStackSize,
                          LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter,
                          DWORD dwCreationFlags, LPDWORD lpThreadId);
ZKAPI DWORD ResumeThread(HANDLE hThread);
ZKAPI BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode);
// Recorded only; the threads all run at the system's normal priority.
ZKAPI BOOL SetThreadPriority(HANDLE hThread, int nPriority);
ZKAPI int GetThreadPriority(HANDLE hThread);
ZKAPI HANDLE GetCurrentThread();
ZKAPI DWORD GetCurrentThreadId();
ZKAPI HANDLE GetCurrentProcess();
ZKAPI DWORD GetCurrentProcessId();

// dwMilliseconds is real time (INFINITE waits for ever); returns WAIT_OBJECT_0, WAIT_TIMEOUT or
// WAIT_FAILED (the last error says why).
ZKAPI DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
// Really sleeps; Sleep(0) gives up the rest of the time slice.
ZKAPI void Sleep(DWORD dwMilliseconds);

ZKAPI HANDLE CreateEventA(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset,
                          BOOL bInitialState, LPCSTR lpName);
#define CreateEvent CreateEventA
ZKAPI BOOL SetEvent(HANDLE hEvent);
ZKAPI BOOL ResetEvent(HANDLE hEvent);

// A named mutex also holds a lock file, so that a second process creating the same name gets a
// handle with the last error ERROR_ALREADY_EXISTS (the single-instance check). The lock is the
// system's, so it goes with the process that held it, even when that process crashed.
// Ownership and waiting work between the threads of one process; a mutex whose owner thread
// ended without releasing it goes to the next waiter with WAIT_ABANDONED.
ZKAPI HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES lpMutexAttributes, BOOL bInitialOwner,
                          LPCSTR lpName);
#define CreateMutex CreateMutexA
ZKAPI BOOL ReleaseMutex(HANDLE hMutex);

// Recursive, as on the original platform. The storage holds the system's mutex.
typedef struct _RTL_CRITICAL_SECTION {
  alignas(8) BYTE Opaque[40];
} CRITICAL_SECTION, *PCRITICAL_SECTION, *LPCRITICAL_SECTION;

ZKAPI void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
ZKAPI BOOL InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION lpCriticalSection,
                                                 DWORD dwSpinCount);
ZKAPI void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
ZKAPI BOOL TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
ZKAPI void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
ZKAPI void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection);

// ---- time ----

// The performance counter counts microseconds of the platform clock.
ZKAPI BOOL QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency);
ZKAPI BOOL QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount);
ZKAPI DWORD GetTickCount();
// Wall-clock time moved along by the platform clock: the calendar time at which the clock read
// zero plus the clock's reading (zktest/ZkTestKernel.h can set that origin).
ZKAPI void GetLocalTime(LPSYSTEMTIME lpSystemTime);
ZKAPI void GetSystemTime(LPSYSTEMTIME lpSystemTime);

// ---- modules ----

// "Name.dll" is looked for as "libName.so" beside the program, then in the current folder
// (letter case resolved as for every path); a name with a folder is looked for in that folder
// only. The handle is the system's loader handle.
ZKAPI HMODULE LoadLibraryA(LPCSTR lpLibFileName);
#define LoadLibrary LoadLibraryA
ZKAPI BOOL FreeLibrary(HMODULE hLibModule);
// A function of no arguments and no result: the one function type GCC lets callers cast to
// their own function types without a warning.
typedef void(WINAPI* FARPROC)();
// Names only: an ordinal (MAKEINTRESOURCE) finds nothing.
ZKAPI FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
// Null names the program. A library must be loaded already; no reference is added.
ZKAPI HMODULE GetModuleHandleA(LPCSTR lpModuleName);
#define GetModuleHandle GetModuleHandleA

#define GET_MODULE_HANDLE_EX_FLAG_PIN 0x00000001
#define GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT 0x00000002
#define GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS 0x00000004
// With FROM_ADDRESS, lpModuleName is any address inside the module: the module of a function.
ZKAPI BOOL GetModuleHandleExA(DWORD dwFlags, LPCSTR lpModuleName, HMODULE* phModule);
#define GetModuleHandleEx GetModuleHandleExA
// The module's full path on this file system ('/' separated). When it does not fit, the text is
// cut (and still terminated), the result is nSize and the last error ERROR_INSUFFICIENT_BUFFER.
ZKAPI DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);
#define GetModuleFileName GetModuleFileNameA

// ---- files and folders ----

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define GENERIC_EXECUTE 0x20000000u
#define GENERIC_ALL 0x10000000u
#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define FILE_SHARE_DELETE 0x00000004
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5

#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_SYSTEM 0x00000004
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define FILE_ATTRIBUTE_TEMPORARY 0x00000100
#define FILE_FLAG_BACKUP_SEMANTICS 0x02000000
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000
#define FILE_FLAG_RANDOM_ACCESS 0x10000000
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define INVALID_FILE_SIZE ((DWORD)0xFFFFFFFF)
#define INVALID_SET_FILE_POINTER ((DWORD)-1)
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2

typedef struct _WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  CHAR cFileName[MAX_PATH];
  CHAR cAlternateFileName[14];
} WIN32_FIND_DATAA, *PWIN32_FIND_DATAA, *LPWIN32_FIND_DATAA;
typedef WIN32_FIND_DATAA WIN32_FIND_DATA;
typedef LPWIN32_FIND_DATAA LPWIN32_FIND_DATA;

typedef struct _WIN32_FILE_ATTRIBUTE_DATA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
} WIN32_FILE_ATTRIBUTE_DATA, *LPWIN32_FILE_ATTRIBUTE_DATA;

typedef enum _GET_FILEEX_INFO_LEVELS {
  GetFileExInfoStandard,
  GetFileExMaxInfoLevel
} GET_FILEEX_INFO_LEVELS;

static_assert(sizeof(WIN32_FIND_DATAA) == 320);
static_assert(sizeof(WIN32_FILE_ATTRIBUTE_DATA) == 36);

ZKAPI HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                         LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                         DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
#define CreateFile CreateFileA
// lpOverlapped must be null: files are read and written synchronously.
ZKAPI BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                    LPDWORD lpNumberOfBytesRead, void* lpOverlapped);
ZKAPI BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                     LPDWORD lpNumberOfBytesWritten, void* lpOverlapped);
ZKAPI DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh);
ZKAPI DWORD SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh,
                           DWORD dwMoveMethod);

// Matches '*' and '?' without regard to case. The matches come in a stable order: "." and ".."
// first where the pattern matches them (never in the root of the file system or of a drive),
// then the names in upper-case order, as the original file system sorts them. "*.*" matches
// every name, as does "name.*" the bare "name".
ZKAPI HANDLE FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData);
#define FindFirstFile FindFirstFileA
ZKAPI BOOL FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData);
#define FindNextFile FindNextFileA
ZKAPI BOOL FindClose(HANDLE hFindFile);

ZKAPI DWORD GetFileAttributesA(LPCSTR lpFileName);
#define GetFileAttributes GetFileAttributesA
ZKAPI BOOL GetFileAttributesExA(LPCSTR lpFileName, GET_FILEEX_INFO_LEVELS fInfoLevelId,
                                LPVOID lpFileInformation);
#define GetFileAttributesEx GetFileAttributesExA
ZKAPI BOOL CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes);
#define CreateDirectory CreateDirectoryA
ZKAPI BOOL RemoveDirectoryA(LPCSTR lpPathName);
#define RemoveDirectory RemoveDirectoryA
ZKAPI BOOL DeleteFileA(LPCSTR lpFileName);
#define DeleteFile DeleteFileA
// The current directory is this file system's ('/' separated). Returns the length without the
// terminator, or, when the buffer is too small, the size needed with the terminator.
ZKAPI DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer);
#define GetCurrentDirectory GetCurrentDirectoryA
ZKAPI BOOL SetCurrentDirectoryA(LPCSTR lpPathName);
#define SetCurrentDirectory SetCurrentDirectoryA
// One bit per drive letter that names a folder (bit 0 is A:), see ZkSetDriveFolder.
ZKAPI DWORD GetLogicalDrives();

// -1, 0 or 1 as the first time is earlier than, equal to or later than the second.
ZKAPI LONG CompareFileTime(const FILETIME* lpFileTime1, const FILETIME* lpFileTime2);
// Calendar fields of a time in 100-nanosecond steps since 1 January 1601, without any change of
// time zone. Fails for times beyond 0x7FFFFFFFFFFFFFFF.
ZKAPI BOOL FileTimeToSystemTime(const FILETIME* lpFileTime, LPSYSTEMTIME lpSystemTime);
ZKAPI BOOL SystemTimeToFileTime(const SYSTEMTIME* lpSystemTime, LPFILETIME lpFileTime);

// ---- memory ----

#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_NOCOMPACT 0x0010
#define GMEM_NODISCARD 0x0020
#define GMEM_ZEROINIT 0x0040
#define GMEM_DISCARDABLE 0x0100
#define GMEM_SHARE 0x2000
#define GMEM_DDESHARE GMEM_SHARE
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)
#define LMEM_FIXED GMEM_FIXED
#define LMEM_MOVEABLE GMEM_MOVEABLE
#define LMEM_ZEROINIT GMEM_ZEROINIT
#define LPTR GPTR

// A fixed block's handle is its address; a moveable block's handle is not, and GlobalLock gives
// the address. Unknown handles fail with ERROR_INVALID_HANDLE instead of corrupting the heap.
ZKAPI HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
ZKAPI LPVOID GlobalLock(HGLOBAL hMem);
ZKAPI BOOL GlobalUnlock(HGLOBAL hMem);
ZKAPI HGLOBAL GlobalHandle(LPCVOID pMem);
ZKAPI SIZE_T GlobalSize(HGLOBAL hMem);
// Returns null on success, the handle when it fails.
ZKAPI HGLOBAL GlobalFree(HGLOBAL hMem);
ZKAPI HLOCAL LocalAlloc(UINT uFlags, SIZE_T uBytes);
ZKAPI HLOCAL LocalFree(HLOCAL hMem);

typedef struct _MEMORYSTATUS {
  DWORD dwLength;
  DWORD dwMemoryLoad;
  SIZE_T dwTotalPhys;
  SIZE_T dwAvailPhys;
  SIZE_T dwTotalPageFile;
  SIZE_T dwAvailPageFile;
  SIZE_T dwTotalVirtual;
  SIZE_T dwAvailVirtual;
} MEMORYSTATUS, *LPMEMORYSTATUS;

// dwAvailPhys is the free physical memory.
ZKAPI void GlobalMemoryStatus(LPMEMORYSTATUS lpBuffer);

// ---- system ----

#define VER_PLATFORM_WIN32_NT 2

typedef struct _OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
} OSVERSIONINFOA, *POSVERSIONINFOA, *LPOSVERSIONINFOA;
typedef OSVERSIONINFOA OSVERSIONINFO;

typedef struct _OSVERSIONINFOEXA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
  WORD wServicePackMajor;
  WORD wServicePackMinor;
  WORD wSuiteMask;
  BYTE wProductType;
  BYTE wReserved;
} OSVERSIONINFOEXA, *POSVERSIONINFOEXA, *LPOSVERSIONINFOEXA;

static_assert(sizeof(OSVERSIONINFOA) == 148);
static_assert(sizeof(OSVERSIONINFOEXA) == 156);

// The kernel's release ("6.1.0-18-amd64" gives 6, 1, 0) with the system's name and version in
// szCSDVersion. dwOSVersionInfoSize must be set to the size of either record.
ZKAPI BOOL GetVersionExA(LPOSVERSIONINFOA lpVersionInformation);
#define GetVersionEx GetVersionExA

#define IDLE_PRIORITY_CLASS 0x00000040
#define BELOW_NORMAL_PRIORITY_CLASS 0x00004000
#define NORMAL_PRIORITY_CLASS 0x00000020
#define ABOVE_NORMAL_PRIORITY_CLASS 0x00008000
#define HIGH_PRIORITY_CLASS 0x00000080
#define REALTIME_PRIORITY_CLASS 0x00000100

// Recorded only: the process keeps the system's scheduling.
ZKAPI BOOL SetPriorityClass(HANDLE hProcess, DWORD dwPriorityClass);
ZKAPI DWORD GetPriorityClass(HANDLE hProcess);

// There is no debugger to receive it: the text goes to standard error.
ZKAPI void OutputDebugStringA(LPCSTR lpOutputString);
#define OutputDebugString OutputDebugStringA

// ---- process exit ----

// Every exit of the engine and the game goes through here. Standard output and error are flushed
// and the process ends at once with the code, the other threads with it, as on the original
// platform. Tests replace it with a hook that throws (zktest/ZkTestKernel.h).
ZKAPI __attribute__((noreturn)) void ExitProcess(UINT uExitCode);
