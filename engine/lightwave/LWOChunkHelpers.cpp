#include "lightwave/LWOChunkHelpers.h"

#include <cstring>

#include "core/FatalError.h"

void LWOFileCorrupt() { FatalErrorWithTitle(kLwoMeshTitle, "File Corrupt"); }

void CopyLWOName(ImportName& field, std::string_view text, const char* what, const char* fileName,
                 size_t limit) {
  if (text.size() >= limit || text.size() >= kImportNameLength)
    FatalErrorWithTitle(kLwoTitle, "%s Too Long (%u Characters): %s", what,
                        static_cast<UINT>(text.size()), fileName);
  std::memset(field, 0, sizeof field);
  std::memcpy(field, text.data(), text.size());
}
