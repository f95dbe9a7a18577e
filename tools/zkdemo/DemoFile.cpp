#include "DemoFile.h"

#include <cstdio>
#include <fstream>

bool WriteDemoFile(const std::filesystem::path& path, const std::string& bytes) {
  std::error_code ignored;
  std::filesystem::create_directories(path.parent_path(), ignored);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (out) return true;
  std::fprintf(stderr, "zkdemo: cannot write %s\n", path.string().c_str());
  return false;
}
