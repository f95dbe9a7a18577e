#include "cpelto/CellMapFile.h"

#include <cctype>
#include <cstdio>

#include "ZKDXInterface.h"
#include "framework/EngineGlobals.h"
#include "framework/Logger.h"

bool ReadCellMapFile(const char* szFile, const char* szWhat, DWORD dwWidth, DWORD dwHeight,
                     std::vector<char>& codes) {
  CVirtualFileSystemInterface* pFiles = g_pZeKorb ? g_pZeKorb->GetVFSInterface() : nullptr;
  VFSFile* pFile = pFiles && szFile ? pFiles->OpenNormalFile(szFile, "rt") : nullptr;
  if (!pFile) {
    g_GameLogger.Log("ERROR: can't open %s '%s'\n", szWhat, szFile ? szFile : "");
    return false;
  }
  codes.assign(static_cast<size_t>(dwWidth) * dwHeight, '0');
  bool bEnded = false;
  for (int y = static_cast<int>(dwHeight) - 1; y >= 0 && !bEnded; --y) {
    for (DWORD x = 0; x < dwWidth && !bEnded; ++x) {
      int nChar = pFile->Getc();
      while (nChar != EOF && !isalnum(static_cast<unsigned char>(nChar))) nChar = pFile->Getc();
      if (nChar == EOF) {
        // A short file would otherwise be read past its end for ever.
        bEnded = true;
        g_GameLogger.Log("WARNING: %s '%s' ends before cell (%u, %d)\n", szWhat, szFile, x, y);
      } else {
        codes[static_cast<size_t>(y) * dwWidth + x] = static_cast<char>(nChar);
      }
    }
  }
  pFile->Close();
  return true;
}
