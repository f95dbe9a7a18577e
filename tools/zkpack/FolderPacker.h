#pragma once
// Packs every file below a folder into a ZIP archive, members named by their path inside the
// folder ('/' separated) and added in sorted order, so that the same folder always gives the same
// bytes.
#include <string>
#include <vector>

class FolderPacker {
 public:
  explicit FolderPacker(std::string folder) : m_folder(std::move(folder)) {}

  // The member names, sorted; throws std::runtime_error when the folder cannot be read.
  std::vector<std::string> MemberNames() const;
  // Writes the archive, encrypted when `password` is not empty; throws std::runtime_error on
  // failure. An empty folder is refused: an archive of nothing is a mistake in the data.
  void Pack(const std::string& archive, const std::string& password) const;

 private:
  std::string m_folder;
};
