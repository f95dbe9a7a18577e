// FindFirstFileA, FindNextFileA and FindClose over the folders of this file system.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <string>

#include "FileTimes.h"
#include "FindSearch.h"
#include "HandleTable.h"
#include "LastError.h"
#include "zkplatform/ZkPaths.h"

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// '*' matches any run of characters, '?' any one character; letters match without regard to
// case.
bool WildcardMatch(const char* name, const char* pattern) {
  const char* starPattern = nullptr;
  const char* starName = nullptr;
  while (*name) {
    if (*pattern == '*') {
      starPattern = ++pattern;
      starName = name;
    } else if (*pattern == '?' || (*pattern && Lower(*pattern) == Lower(*name))) {
      ++pattern;
      ++name;
    } else if (starPattern) {
      pattern = starPattern;
      name = ++starName;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}

// The original platform's rules on top of the wildcards: "name.*" also matches a bare "name"
// (so "*.*" matches everything), and "name." matches a "name" without extension.
bool NameMatches(const std::string& name, const std::string& pattern) {
  if (WildcardMatch(name.c_str(), pattern.c_str())) return true;
  if (name.find('.') != std::string::npos || name == "." || name == "..") return false;
  if (pattern.size() > 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0)
    return WildcardMatch(name.c_str(), pattern.substr(0, pattern.size() - 2).c_str());
  if (pattern.size() > 1 && pattern.back() == '.' && pattern != "..")
    return WildcardMatch(name.c_str(), pattern.substr(0, pattern.size() - 1).c_str());
  return false;
}

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

// In upper case first, as the original platform's file system orders names (so "_x" comes after
// letters), then exactly, so that names differing only in case keep one order.
bool NameBefore(const std::string& a, const std::string& b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i)
    if (Upper(a[i]) != Upper(b[i]))
      return static_cast<unsigned char>(Upper(a[i])) < static_cast<unsigned char>(Upper(b[i]));
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

bool IsDriveRoot(const std::string& folder) {
  return folder.size() >= 2 && folder[1] == ':' &&
         std::isalpha(static_cast<unsigned char>(folder[0])) &&
         folder.find_first_not_of('/', 2) == std::string::npos;
}

bool Describe(const std::string& folder, const std::string& name, WIN32_FIND_DATAA& data) {
  if (name.size() >= sizeof(data.cFileName)) return false;
  const std::string path = folder == "/" ? "/" + name : folder + "/" + name;
  struct stat status;
  if (stat(path.c_str(), &status) != 0 && lstat(path.c_str(), &status) != 0) return false;
  std::memset(&data, 0, sizeof(data));
  data.dwFileAttributes = FileAttributesFromStat(status);
  data.ftCreationTime = FileTimeFromUnix(status.st_ctim);
  data.ftLastAccessTime = FileTimeFromUnix(status.st_atim);
  data.ftLastWriteTime = FileTimeFromUnix(status.st_mtim);
  const uint64_t size = S_ISDIR(status.st_mode) ? 0 : static_cast<uint64_t>(status.st_size);
  data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
  data.nFileSizeLow = static_cast<DWORD>(size);
  std::memcpy(data.cFileName, name.c_str(), name.size() + 1);
  return true;
}

}  // namespace

HANDLE FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData) {
  if (!lpFileName || !lpFindFileData) {
    FailWith(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  std::string given(lpFileName);
  std::replace(given.begin(), given.end(), '\\', '/');
  if (given.empty()) {
    FailWith(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  // The folder part (with any drive) and the pattern of names in it.
  size_t split = given.rfind('/');
  std::string folderPart;
  if (split != std::string::npos)
    folderPart = split == 0 ? "/" : given.substr(0, split);
  else if (given.size() >= 2 && given[1] == ':') {
    folderPart = given.substr(0, 2);  // "t:*.dat": the drive's folder
    split = 1;
  }
  const std::string pattern = split == std::string::npos ? given : given.substr(split + 1);
  if (pattern.empty()) {
    FailWith(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  const std::string folder = folderPart.empty() ? "." : ZkMapPath(folderPart.c_str());
  const bool root = folder == "/" || IsDriveRoot(folderPart);

  DIR* dir = opendir(folder.c_str());
  if (!dir) {
    FailWith(errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  std::vector<std::string> names;
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != ".." && NameMatches(name, pattern)) names.push_back(name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end(), NameBefore);
  if (!root)
    for (const char* dots : {"..", "."})
      if (NameMatches(dots, pattern)) names.insert(names.begin(), dots);

  std::vector<WIN32_FIND_DATAA> matches;
  matches.reserve(names.size());
  WIN32_FIND_DATAA data;
  for (const std::string& name : names)
    if (Describe(folder, name, data)) matches.push_back(data);
  if (matches.empty()) {
    FailWith(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  auto search = std::make_shared<FindSearch>(std::move(matches));
  search->Next(*lpFindFileData);
  SetLastError(ERROR_SUCCESS);
  return HandleTable::Instance().Add(search);
}

BOOL FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData) {
  auto search = HandleTable::Instance().FindAs<FindSearch>(hFindFile);
  if (!search) return FailWith(ERROR_INVALID_HANDLE);
  if (!lpFindFileData) return FailWith(ERROR_INVALID_PARAMETER);
  if (!search->Next(*lpFindFileData)) return FailWith(ERROR_NO_MORE_FILES);
  return TRUE;
}

BOOL FindClose(HANDLE hFindFile) {
  if (!HandleTable::Instance().FindAs<FindSearch>(hFindFile)) return FailWith(ERROR_INVALID_HANDLE);
  HandleTable::Instance().Remove(hFindFile);
  return TRUE;
}
