#include "framework/TonarisManager.h"

#include "TonarisInterface.h"
#include "ZKDXInterface.h"
#include "framework/EngineGlobals.h"
#include "framework/Logger.h"

std::map<DWORD, TonarisStream*> g_mapTonarisMusic;
std::map<DWORD, TonarisStream*> g_mapTonarisSounds;
DWORD g_dwTonarisCounter = 0;
int g_nMusicVolume = 100;
int g_nSoundVolume = 100;

namespace {

bool ReleaseFrom(std::map<DWORD, TonarisStream*>& table, DWORD dwID) {
  const auto found = table.find(dwID);
  if (found == table.end()) return false;
  if (found->second) found->second->Release();
  table.erase(found);
  return true;
}

void ReleaseAll(std::map<DWORD, TonarisStream*>& table) {
  for (auto& [id, pStream] : table)
    if (pStream) pStream->Release();
  table.clear();
}

}  // namespace

geCTonarisManager::geCTonarisManager() {
  g_mapTonarisMusic.clear();
  g_mapTonarisSounds.clear();
}

geCTonarisManager::~geCTonarisManager() {
  ReleaseAll(g_mapTonarisMusic);
  ReleaseAll(g_mapTonarisSounds);
}

size_t geCTonarisManager::GetClassSize() const { return sizeof(geCTonarisManager); }

DWORD geCTonarisManager::LoadStream(const char* szFile, DWORD dwFlags, DWORD dwKind) {
  TonarisInterface* pServer = g_pZeKorb ? g_pZeKorb->GetTonarisInterface() : nullptr;
  if (!pServer) {
    g_GameLogger.Log("ERROR: can't get TonarisInterface from ZeKorb\n");
    return 0;
  }
  TonarisStream* pStream = nullptr;
  pServer->LoadStream(szFile, &pStream, dwFlags);
  if (!pStream) return 0;
  const DWORD dwID = ++g_dwTonarisCounter;
  const bool bMusic = dwKind == kTonarisKindMusic;
  (bMusic ? g_mapTonarisMusic : g_mapTonarisSounds)[dwID] = pStream;
  pStream->SetVolume(bMusic ? g_nMusicVolume : g_nSoundVolume);
  return dwID;
}

void geCTonarisManager::RemoveStream(DWORD dwID) {
  if (!ReleaseFrom(g_mapTonarisSounds, dwID)) ReleaseFrom(g_mapTonarisMusic, dwID);
}

TonarisStream* geCTonarisManager::FindStream(DWORD dwID) {
  for (const auto* pTable : {&g_mapTonarisMusic, &g_mapTonarisSounds}) {
    const auto found = pTable->find(dwID);
    if (found != pTable->end()) return found->second;
  }
  return nullptr;
}

TonarisStream* geCTonarisManager::FindStreamByName(const std::map<std::string, DWORD>& mapNames,
                                                   const char* szName) {
  const auto found = mapNames.find(szName ? szName : "");
  if (found == mapNames.end()) {
    g_GameLogger.Log("WARNING: Not fount '%s'\n", szName ? szName : "");
    return nullptr;
  }
  return FindStream(found->second);
}
