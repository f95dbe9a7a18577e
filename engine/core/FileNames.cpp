#include "core/FileNames.h"

#include <cstring>

namespace {

bool IsNameSeparator(char c) {
  return c == '\\' || c == '/' || c == ':' || c == 127 || static_cast<signed char>(c) <= 44;
}

}  // namespace

char* GetFileExtension(char* name) {
  if (name == nullptr || name[0] == '\0') return name;
  char* dot = std::strchr(name + 1, '.');
  if (dot == nullptr) return name;
  char* extension = dot + 1;
  if (std::strlen(extension) > 3) extension[3] = '\0';
  return extension;
}

char* GetBaseFileName(char* path) {
  if (path == nullptr) return nullptr;
  char* extension = GetFileExtension(path);
  char* name = extension != path ? extension - 1 : path + std::strlen(path);
  while (name > path && !IsNameSeparator(name[-1])) --name;
  return name;
}

std::string GetWholeFileName(const char* path) {
  if (path == nullptr) return {};
  const char* base = path;
  for (const char* c = path; *c != '\0'; ++c)
    if (*c == '\\' || *c == '/' || *c == ':') base = c + 1;
  return base;
}
