#include <cerrno>
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <mutex>
#include <vector>

#include "zkplatform/ZkPaths.h"

namespace {

std::mutex g_driveMutex;
std::array<std::string, 26> g_driveFolders;

int DriveIndex(char letter) {
  if (letter >= 'a' && letter <= 'z') return letter - 'a';
  if (letter >= 'A' && letter <= 'Z') return letter - 'A';
  return -1;
}

// Replaces a drive prefix ("s:", "S:/") by the folder of its letter, or by a place below a device
// file where nothing can exist when the letter has none. Returns false when the path has no
// drive prefix.
bool ReplaceDrive(std::string& path, bool& unnamed) {
  if (path.size() < 2 || path[1] != ':' || DriveIndex(path[0]) < 0) return false;
  const std::string folder = ZkGetDriveFolder(path[0]);
  std::string rest = path.substr(2);
  const size_t start = rest.find_first_not_of('/');
  rest = start == std::string::npos ? std::string() : rest.substr(start);
  unnamed = folder.empty();
  if (unnamed)
    path = std::string("/dev/null/") + path[0] + ":/" + rest;
  else
    path = folder + "/" + rest;
  return true;
}

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

// The entry of `folder` whose name equals `name` without regard to case; the smallest such name
// when several differ only in case, so that the answer does not depend on directory order.
bool FindFolded(const std::string& folder, const std::string& name, std::string& found) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return false;
  bool any = false;
  while (dirent* entry = readdir(dir)) {
    if (strcasecmp(entry->d_name, name.c_str()) != 0) continue;
    if (!any || found.compare(entry->d_name) > 0) found = entry->d_name;
    any = true;
  }
  closedir(dir);
  return any;
}

}  // namespace

std::string ZkMapPath(const char* windowsPath) {
  if (!windowsPath) return std::string();
  std::string path(windowsPath);
  std::replace(path.begin(), path.end(), '\\', '/');
  bool unnamedDrive = false;
  if (ReplaceDrive(path, unnamedDrive) && unnamedDrive) return path;
  if (path.empty() || Exists(path)) return path;

  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    parts.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }

  const bool absolute = path[0] == '/';
  std::string result = absolute ? "/" : "";
  bool resolving = true;
  for (size_t i = absolute ? 1 : 0; i < parts.size(); ++i) {
    std::string part = parts[i];
    const bool last = i + 1 == parts.size();
    if (part.empty() && !last) continue;  // doubled separator
    if (resolving && !part.empty() && part != "." && part != ".." && !Exists(result + part)) {
      std::string folded;
      if (FindFolded(result.empty() ? "." : result, part, folded))
        part = folded;
      else
        resolving = false;  // nothing below a missing component can exist
    }
    result += part;
    if (!last) result += '/';
  }
  return result;
}

FILE* ZkFileOpen(const char* windowsPath, const char* mode) {
  FILE* file = std::fopen(ZkMapPath(windowsPath).c_str(), mode);
  // glibc opens a folder for reading, and its length then reads as 4 GiB; Windows refuses.
  struct stat info;
  if (file && fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode)) {
    std::fclose(file);
    errno = EACCES;
    return nullptr;
  }
  return file;
}

bool ZkSetDriveFolder(char letter, const char* folder) {
  const int index = DriveIndex(letter);
  if (index < 0) return false;
  std::string named = folder ? folder : "";
  std::replace(named.begin(), named.end(), '\\', '/');
  if (!named.empty() && named[0] != '/') named = ZkProgramFolder() + "/" + named;
  while (named.size() > 1 && named.back() == '/') named.pop_back();
  std::lock_guard<std::mutex> lock(g_driveMutex);
  g_driveFolders[index] = named;
  return true;
}

std::string ZkGetDriveFolder(char letter) {
  const int index = DriveIndex(letter);
  if (index < 0) return std::string();
  std::lock_guard<std::mutex> lock(g_driveMutex);
  return g_driveFolders[index];
}

std::string ZkProgramFolder() {
  std::string path(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0) return ".";
  path.resize(static_cast<size_t>(length));
  const size_t slash = path.rfind('/');
  return slash == std::string::npos || slash == 0 ? std::string(slash == 0 ? "/" : ".")
                                                  : path.substr(0, slash);
}
