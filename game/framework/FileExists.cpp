#include "framework/FileExists.h"

#include <sys/stat.h>

#include <cstdio>

#include "ZKDXInterface.h"
#include "framework/CorePort.h"
#include "framework/EngineGlobals.h"
#include "zkplatform/ZkPaths.h"

namespace {

bool OpensOnDisk(const char* szPath) {
  FILE* pFile = ZkFileOpen(szPath, "rb");
  if (!pFile) return false;
  // Here a folder opens for reading too, where the game's own platform refused it.
  struct stat info;
  const bool bFile = fstat(fileno(pFile), &info) == 0 && !S_ISDIR(info.st_mode);
  fclose(pFile);
  return bFile;
}

bool OpensInEngine(const char* szPath) {
  if (!geGetCorePort().CoreExists() || !g_pZeKorb) return false;
  CVirtualFileSystemInterface* pFileSystem = g_pZeKorb->GetVFSInterface();
  VFSFile* pFile = pFileSystem ? pFileSystem->OpenNormalFile(szPath, "rb") : nullptr;
  if (!pFile) return false;
  pFile->Close();
  return true;
}

}  // namespace

bool FileExists(const char* szPath) {
  if (!szPath || !*szPath) return false;
  return OpensOnDisk(szPath) || OpensInEngine(szPath);
}
