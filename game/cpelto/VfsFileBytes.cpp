#include "cpelto/VfsFileBytes.h"

#include "ZKDXInterface.h"
#include "framework/EngineGlobals.h"

bool ReadVfsFileBytes(const char* szPath, std::string& bytes) {
  CVirtualFileSystemInterface* pFileSystem = g_pZeKorb ? g_pZeKorb->GetVFSInterface() : nullptr;
  VFSFile* pFile = pFileSystem && szPath ? pFileSystem->OpenNormalFile(szPath, "rb") : nullptr;
  if (!pFile) return false;
  bytes.assign(pFile->GetFileLength(), '\0');
  const UINT nRead =
      bytes.empty() ? 0 : pFile->Read(bytes.data(), 1, static_cast<UINT>(bytes.size()));
  bytes.resize(nRead);
  pFile->Close();
  return true;
}
