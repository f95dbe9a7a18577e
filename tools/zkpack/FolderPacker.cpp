#include "FolderPacker.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "ZipWriter.h"

namespace fs = std::filesystem;

std::vector<std::string> FolderPacker::MemberNames() const {
  if (!fs::is_directory(m_folder)) throw std::runtime_error("not a folder: " + m_folder);
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(m_folder))
    if (entry.is_regular_file())
      names.push_back(fs::relative(entry.path(), m_folder).generic_string());
  std::sort(names.begin(), names.end());
  return names;
}

void FolderPacker::Pack(const std::string& archive, const std::string& password) const {
  const std::vector<std::string> names = MemberNames();
  if (names.empty()) throw std::runtime_error("nothing to pack in " + m_folder);
  ZipWriter writer(password);
  for (const std::string& name : names) {
    std::ifstream in(fs::path(m_folder) / name, std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw std::runtime_error("cannot read " + name);
    writer.Add(name, data);
  }
  writer.Write(archive);
}
