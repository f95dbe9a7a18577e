#pragma once
// The game's desktop services: the Active Desktop instance made at start-up (where the system
// has one) and the wallpaper setter, which copies a picture out of the game's data into the
// user's folder and makes it the desktop wallpaper through the system settings.
#include <shlobj.h>

#include <string>

class CWindowsUtilities {
 public:
  // Folder under the user's local application data that receives the wallpaper copies.
  static constexpr const char* kUserFolder = "/CyberPelto";
  // The longest path the setter handles, terminator included.
  static constexpr size_t kMaxPath = 512;

  CWindowsUtilities() = default;
  ~CWindowsUtilities();
  CWindowsUtilities(const CWindowsUtilities&) = delete;
  CWindowsUtilities& operator=(const CWindowsUtilities&) = delete;

  // Logs the creation; a system without Active Desktop leaves the instance null.
  void CreateActiveDesktop();
  IActiveDesktop* GetActiveDesktop() const { return m_pActiveDesktop; }

  // Reads the file through the engine's file system, copies it into the user folder (or, when
  // no copy can be made there, over its own absolute path) and sets that copy as the wallpaper.
  // A missing file or a path that does not fit is logged and changes nothing.
  static void SetWallpaper(const char* szFileName);

 private:
  static bool AbsolutePath(const std::string& strName, std::string& strPath);
  static bool WriteCopy(const std::string& strPath, const std::string& bytes);
  static void ApplyWallpaper(const std::string& strPath);

  IActiveDesktop* m_pActiveDesktop = nullptr;
};
