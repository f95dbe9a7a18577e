#include "XdgFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace {

std::string AbsoluteVariable(const char* name) {
  const char* value = std::getenv(name);
  return value && value[0] == '/' ? std::string(value) : std::string();
}

}  // namespace

std::string CXdgFolders::Home() {
  std::string home = AbsoluteVariable("HOME");
  if (!home.empty()) return home;
  if (const passwd* user = getpwuid(getuid()); user && user->pw_dir) return user->pw_dir;
  return "/tmp";
}

std::string CXdgFolders::DataHome() {
  std::string folder = AbsoluteVariable("XDG_DATA_HOME");
  return folder.empty() ? Home() + "/.local/share" : folder;
}

std::string CXdgFolders::ConfigHome() {
  std::string folder = AbsoluteVariable("XDG_CONFIG_HOME");
  return folder.empty() ? Home() + "/.config" : folder;
}

std::string CXdgFolders::Documents() {
  // Lines such as: XDG_DOCUMENTS_DIR="$HOME/Documents"
  std::ifstream dirs(ConfigHome() + "/user-dirs.dirs");
  const std::string key = "XDG_DOCUMENTS_DIR=\"";
  for (std::string line; std::getline(dirs, line);) {
    if (line.compare(0, key.size(), key) != 0 || line.size() < key.size() + 1 || line.back() != '"')
      continue;
    std::string path = line.substr(key.size(), line.size() - key.size() - 1);
    if (path.compare(0, 5, "$HOME") == 0) path = Home() + path.substr(5);
    if (!path.empty() && path[0] == '/') return path;
  }
  return Home();
}
