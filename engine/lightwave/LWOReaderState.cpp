#include "LWOReaderState.h"

#include <cstring>

bool LWOReaderState::SetTextureDirectory(const char* directory) {
  const char* text = directory != nullptr ? directory : "";
  if (std::strlen(text) >= sizeof m_textureDirectory) return false;
  CopyImportName(m_textureDirectory, text);
  return true;
}

void LWOReaderState::StartFile() {
  file.Assign({});
  firstVMAP = firstVMAD = firstENVL = 0;
  polsCount = 0;
  layerSeen = 0;
  nextProjectedMap = kFirstProjectedMap;
}
