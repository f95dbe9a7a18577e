#pragma once
// Makes a folder the working folder while it lives, as the game's data folder is while the
// engine loads, and puts the previous one back afterwards.
#include <unistd.h>

#include <cstdlib>
#include <string>

class WorkingFolderScope {
 public:
  explicit WorkingFolderScope(const std::string& folder) {
    char* current = getcwd(nullptr, 0);
    m_previous = current != nullptr ? current : ".";
    std::free(current);
    m_entered = chdir(folder.c_str()) == 0;
  }
  ~WorkingFolderScope() {
    if (m_entered && chdir(m_previous.c_str()) != 0) std::abort();
  }
  WorkingFolderScope(const WorkingFolderScope&) = delete;
  WorkingFolderScope& operator=(const WorkingFolderScope&) = delete;

  bool Entered() const { return m_entered; }

 private:
  std::string m_previous;
  bool m_entered = false;
};
