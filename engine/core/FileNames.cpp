#include "core/FileNames.h"

#include <cstring>

char* GetFileExtension(char* name) {
  if (name == nullptr || name[0] == '\0') return name;
  char* dot = std::strchr(name + 1, '.');
  if (dot == nullptr) return name;
  char* extension = dot + 1;
  if (std::strlen(extension) > 3) extension[3] = '\0';
  return extension;
}

std::string GetBaseFileName(const char* path) {
  if (path == nullptr) return {};
  const char* base = path;
  for (const char* c = path; *c != '\0'; ++c)
    if (*c == '\\' || *c == '/' || *c == ':') base = c + 1;
  return base;
}
