// Files and folders: open, read, write, attributes, create and delete, the current directory
// and the drive letters. Every path goes through ZkMapPath.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "FileObject.h"
#include "FileTimes.h"
#include "HandleTable.h"
#include "LastError.h"
#include "zkplatform/ZkPaths.h"

namespace {

std::shared_ptr<FileObject> FindFile(HANDLE handle) {
  return HandleTable::Instance().FindAs<FileObject>(handle);
}

int OpenFlags(DWORD access, DWORD disposition) {
  const bool read = access & (GENERIC_READ | GENERIC_ALL);
  const bool write = access & (GENERIC_WRITE | GENERIC_ALL);
  int flags = O_CLOEXEC | (read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY);
  switch (disposition) {
    case CREATE_NEW: return flags | O_CREAT | O_EXCL;
    case CREATE_ALWAYS: return flags | O_CREAT | O_TRUNC;
    case OPEN_EXISTING: return flags;
    case OPEN_ALWAYS: return flags | O_CREAT;
    case TRUNCATE_EXISTING: return flags | O_TRUNC;
    default: return -1;
  }
}

}  // namespace

HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD, LPSECURITY_ATTRIBUTES,
                   DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes, HANDLE) {
  const int flags = OpenFlags(dwDesiredAccess, dwCreationDisposition);
  if (!lpFileName || flags < 0) {
    FailWith(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  if (dwCreationDisposition == TRUNCATE_EXISTING &&
      !(dwDesiredAccess & (GENERIC_WRITE | GENERIC_ALL))) {
    FailWith(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  const std::string path = ZkMapPath(lpFileName);
  struct stat status;
  const bool existed = stat(path.c_str(), &status) == 0;
  if (existed && S_ISDIR(status.st_mode)) {
    FailWith(ERROR_ACCESS_DENIED);  // folders are not files, as on the original platform
    return INVALID_HANDLE_VALUE;
  }
  if (existed && dwCreationDisposition == CREATE_NEW) {
    FailWith(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
  }
  const mode_t mode = (dwFlagsAndAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
  const int descriptor = open(path.c_str(), flags, mode);
  if (descriptor < 0) {
    if (errno == EEXIST)
      FailWith(ERROR_FILE_EXISTS);
    else
      FailWithErrnoForPath(path);
    return INVALID_HANDLE_VALUE;
  }
  HANDLE handle = HandleTable::Instance().Add(std::make_shared<FileObject>(descriptor));
  const bool reportsExisting =
      dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == OPEN_ALWAYS;
  SetLastError(reportsExisting && existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
              LPDWORD lpNumberOfBytesRead, void* lpOverlapped) {
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
  auto file = FindFile(hFile);
  if (!file) return FailWith(ERROR_INVALID_HANDLE);
  if (lpOverlapped || (!lpBuffer && nNumberOfBytesToRead)) return FailWith(ERROR_INVALID_PARAMETER);
  DWORD total = 0;
  while (total < nNumberOfBytesToRead) {
    const ssize_t got = read(file->Descriptor(), static_cast<char*>(lpBuffer) + total,
                             nNumberOfBytesToRead - total);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return errno == EBADF ? FailWith(ERROR_ACCESS_DENIED) : FailWithErrno();
    if (got == 0) break;  // end of file: success with fewer bytes
    total += static_cast<DWORD>(got);
  }
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = total;
  return TRUE;
}

BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
               LPDWORD lpNumberOfBytesWritten, void* lpOverlapped) {
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
  auto file = FindFile(hFile);
  if (!file) return FailWith(ERROR_INVALID_HANDLE);
  if (lpOverlapped || (!lpBuffer && nNumberOfBytesToWrite))
    return FailWith(ERROR_INVALID_PARAMETER);
  DWORD total = 0;
  while (total < nNumberOfBytesToWrite) {
    const ssize_t put = write(file->Descriptor(), static_cast<const char*>(lpBuffer) + total,
                              nNumberOfBytesToWrite - total);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) {
      if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = total;
      return errno == EBADF ? FailWith(ERROR_ACCESS_DENIED) : FailWithErrno();
    }
    total += static_cast<DWORD>(put);
  }
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = total;
  return TRUE;
}

DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
  auto file = FindFile(hFile);
  struct stat status;
  if (!file || fstat(file->Descriptor(), &status) != 0) {
    FailWith(ERROR_INVALID_HANDLE);
    return INVALID_FILE_SIZE;
  }
  const uint64_t size = static_cast<uint64_t>(status.st_size);
  if (lpFileSizeHigh) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
  SetLastError(ERROR_SUCCESS);  // a size whose low part is 0xFFFFFFFF is not an error
  return static_cast<DWORD>(size);
}

DWORD SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh,
                     DWORD dwMoveMethod) {
  auto file = FindFile(hFile);
  if (!file) {
    FailWith(ERROR_INVALID_HANDLE);
    return INVALID_SET_FILE_POINTER;
  }
  if (dwMoveMethod > FILE_END) {
    FailWith(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  // With a high part the distance is 64 bits; without one it is the signed 32-bit value.
  int64_t distance = lDistanceToMove;
  if (lpDistanceToMoveHigh)
    distance = static_cast<int64_t>(
        (static_cast<uint64_t>(static_cast<uint32_t>(*lpDistanceToMoveHigh)) << 32) |
        static_cast<uint32_t>(lDistanceToMove));
  int64_t base = 0;
  struct stat status;
  if (dwMoveMethod == FILE_CURRENT)
    base = lseek(file->Descriptor(), 0, SEEK_CUR);
  else if (dwMoveMethod == FILE_END && fstat(file->Descriptor(), &status) == 0)
    base = status.st_size;
  if (base < 0 || base + distance < 0) {
    FailWith(ERROR_NEGATIVE_SEEK);
    return INVALID_SET_FILE_POINTER;
  }
  const off_t position = lseek(file->Descriptor(), base + distance, SEEK_SET);
  if (position < 0) {
    FailWithErrno();
    return INVALID_SET_FILE_POINTER;
  }
  if (lpDistanceToMoveHigh)
    *lpDistanceToMoveHigh = static_cast<LONG>(static_cast<uint64_t>(position) >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(position);
}

DWORD GetFileAttributesA(LPCSTR lpFileName) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(lpFileName, GetFileExInfoStandard, &data))
    return INVALID_FILE_ATTRIBUTES;
  return data.dwFileAttributes;
}

BOOL GetFileAttributesExA(LPCSTR lpFileName, GET_FILEEX_INFO_LEVELS fInfoLevelId,
                          LPVOID lpFileInformation) {
  if (!lpFileName || !lpFileInformation || fInfoLevelId != GetFileExInfoStandard)
    return FailWith(ERROR_INVALID_PARAMETER);
  const std::string path = ZkMapPath(lpFileName);
  struct stat status;
  if (path.empty() || stat(path.c_str(), &status) != 0) return FailWithErrnoForPath(path);
  auto* data = static_cast<WIN32_FILE_ATTRIBUTE_DATA*>(lpFileInformation);
  data->dwFileAttributes = FileAttributesFromStat(status);
  data->ftCreationTime = FileTimeFromUnix(status.st_ctim);  // the closest the system keeps
  data->ftLastAccessTime = FileTimeFromUnix(status.st_atim);
  data->ftLastWriteTime = FileTimeFromUnix(status.st_mtim);
  const uint64_t size = S_ISDIR(status.st_mode) ? 0 : static_cast<uint64_t>(status.st_size);
  data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
  data->nFileSizeLow = static_cast<DWORD>(size);
  return TRUE;
}

BOOL CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES) {
  if (!lpPathName || !*lpPathName) return FailWith(ERROR_PATH_NOT_FOUND);
  const std::string path = ZkMapPath(lpPathName);
  if (mkdir(path.c_str(), 0777) != 0) return FailWithErrnoForPath(path);
  return TRUE;
}

BOOL RemoveDirectoryA(LPCSTR lpPathName) {
  if (!lpPathName || !*lpPathName) return FailWith(ERROR_PATH_NOT_FOUND);
  const std::string path = ZkMapPath(lpPathName);
  if (rmdir(path.c_str()) != 0) return FailWithErrnoForPath(path);
  return TRUE;
}

BOOL DeleteFileA(LPCSTR lpFileName) {
  if (!lpFileName || !*lpFileName) return FailWith(ERROR_FILE_NOT_FOUND);
  const std::string path = ZkMapPath(lpFileName);
  struct stat status;
  if (lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
    return FailWith(ERROR_ACCESS_DENIED);  // folders go with RemoveDirectoryA
  if (unlink(path.c_str()) != 0) return FailWithErrnoForPath(path);
  return TRUE;
}

DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer) {
  std::string folder(256, '\0');
  while (!getcwd(folder.data(), folder.size())) {
    if (errno != ERANGE) {
      FailWithErrno();
      return 0;
    }
    folder.resize(folder.size() * 2);
  }
  folder.resize(std::strlen(folder.c_str()));
  if (!lpBuffer || nBufferLength <= folder.size()) return static_cast<DWORD>(folder.size() + 1);
  std::memcpy(lpBuffer, folder.c_str(), folder.size() + 1);
  return static_cast<DWORD>(folder.size());
}

BOOL SetCurrentDirectoryA(LPCSTR lpPathName) {
  if (!lpPathName || !*lpPathName) return FailWith(ERROR_INVALID_PARAMETER);
  const std::string path = ZkMapPath(lpPathName);
  if (chdir(path.c_str()) != 0) return FailWithErrnoForPath(path);
  return TRUE;
}

DWORD GetLogicalDrives() {
  DWORD drives = 0;
  for (char letter = 'A'; letter <= 'Z'; ++letter)
    if (!ZkGetDriveFolder(letter).empty()) drives |= 1u << (letter - 'A');
  return drives;
}
