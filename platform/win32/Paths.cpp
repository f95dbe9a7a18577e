#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "zkplatform/ZkPaths.h"

namespace {

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
    if (resolving && !part.empty() && part != "." && part != ".." &&
        !Exists(result + part)) {
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
  return std::fopen(ZkMapPath(windowsPath).c_str(), mode);
}
