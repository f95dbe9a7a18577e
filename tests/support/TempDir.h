#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes. Tests write their fixtures here, never into the source tree.
#include <string>

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return m_path; }
  // Path of `relative` inside the folder ('/' separated).
  std::string operator/(const std::string& relative) const { return m_path + "/" + relative; }
  // Writes `contents` to `relative`, creating the folders on the way.
  void Write(const std::string& relative, const std::string& contents) const;

 private:
  std::string m_path;
};
