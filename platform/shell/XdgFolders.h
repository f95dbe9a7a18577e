#pragma once
// The XDG base directories of the user, as the XDG base-directory rules define them: a variable
// counts only when it is set to an absolute path; otherwise the default under $HOME applies.
#include <string>

class CXdgFolders {
 public:
  static std::string Home();
  static std::string DataHome();    // $XDG_DATA_HOME, else ~/.local/share
  static std::string ConfigHome();  // $XDG_CONFIG_HOME, else ~/.config
  // XDG_DOCUMENTS_DIR of the user-dirs.dirs file in the config folder, else $HOME.
  static std::string Documents();
};
