#include "cpelto/ScriptUtilities.h"

#include "ZKDXInterface.h"
#include "cpelto/PeltoCore.h"
#include "cpelto/WindowsUtilities.h"
#include "framework/EngineGlobals.h"
#include "framework/GameObject.h"
#include "framework/Logger.h"

BYTE AmbientComponent(float fValue) {
  if (fValue >= 1.0f) return 255;
  if (fValue <= 0.0f) return 0;
  return static_cast<BYTE>(fValue * 255.0f + 0.5f);
}

UINT PackAmbientColor(float r, float g, float b, float a) {
  return static_cast<UINT>(AmbientComponent(a)) << 24 |
         static_cast<UINT>(AmbientComponent(b)) << 16 |
         static_cast<UINT>(AmbientComponent(g)) << 8 | AmbientComponent(r);
}

void SetWallpaper(const char* szFileName) { CWindowsUtilities::SetWallpaper(szFileName); }

void SetAmbient(float r, float g, float b, float a) {
  auto* pCore = dynamic_cast<CPeltoCore*>(g_pGameCore);
  auto* pLevel = pCore ? dynamic_cast<geCGameObject*>(pCore->GetCurrentLevel()) : nullptr;
  CSceneInterface* pScene = pLevel ? pLevel->GetOwnerScene() : nullptr;
  if (pScene) pScene->SetAmbientColor(PackAmbientColor(r, g, b, a));
}

void AddVirtualDisk(const char* szFileName, const char* szPassword) {
  CVirtualFileSystemInterface* pFileSystem = g_pZeKorb ? g_pZeKorb->GetVFSInterface() : nullptr;
  if (pFileSystem) pFileSystem->AddVirtualDisk(szFileName, 0, 0, 0, szPassword ? szPassword : "");
  g_GameLogger.Log("- Added virtual disk '%s'\n", szFileName ? szFileName : "");
}
