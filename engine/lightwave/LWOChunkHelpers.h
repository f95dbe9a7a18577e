#pragma once
// What the object file's chunk readers share: the box titles and log source of their messages,
// the one "file corrupt" stop, bounded name copies and printable chunk identifiers.
#include <string_view>

#include "scene/ImportName.h"
#include "windef.h"

constexpr const char* kLwoSource = "Lwo6";
constexpr const char* kLwoLoadTitle = "Error While Loading LWO";
constexpr const char* kLwoMeshTitle = "Error While Loading LWO6 Mesh";
constexpr const char* kLwoTitle = "Error While Loading LWO6";

// A length or field that does not fit its chunk or the file.
[[noreturn]] void LWOFileCorrupt();

// Copies a name from the file into `field`; a name of `limit` characters or more (the field's
// size by default) stops the load, naming `what` and the object file.
void CopyLWOName(ImportName& field, std::string_view text, const char* what, const char* fileName,
                 size_t limit = kImportNameLength);

// The four characters of a chunk identifier, terminated.
struct LWOIDText {
  explicit LWOIDText(UINT id)
      : text{char(id >> 24), char(id >> 16), char(id >> 8), char(id), '\0'} {}
  char text[5];
};
