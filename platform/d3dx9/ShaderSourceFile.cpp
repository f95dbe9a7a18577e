#include "ShaderSourceFile.h"

#include <cctype>
#include <fstream>
#include <iterator>

#include "zkplatform/ZkPaths.h"

bool CShaderSourceFile::Read(const char* path, std::string* text) {
  std::ifstream file(ZkMapPath(path), std::ios::binary);
  if (!file) return false;
  text->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return !file.bad();
}

bool CShaderSourceFile::ReadInclude(const std::string& includer, const char* name, std::string* path,
                                    std::string* text) {
  if (!name || !*name) return false;
  const bool absolute = name[0] == '/' || name[0] == '\\' || (name[1] == ':' && isalpha(static_cast<unsigned char>(name[0])));
  const size_t slash = includer.find_last_of("/\\");
  *path = absolute || slash == std::string::npos ? name : includer.substr(0, slash + 1) + name;
  return Read(path->c_str(), text);
}

void CShaderSourceFile::ForwardIncludeSlashes(std::string* text) {
  for (size_t line = 0; line < text->size();) {
    size_t end = text->find('\n', line);
    if (end == std::string::npos) end = text->size();
    size_t at = text->find_first_not_of(" \t", line);
    if (at < end && (*text)[at] == '#') {
      at = text->find_first_not_of(" \t", at + 1);
      if (at < end && text->compare(at, 7, "include") == 0)
        for (size_t i = at + 7; i < end; ++i)
          if ((*text)[i] == '\\') (*text)[i] = '/';
    }
    line = end + 1;
  }
}
