#include "framework/ScriptCoreMembers.h"

#include <windows.h>

#include <iterator>
#include <string>

#include "ZKDXInterface.h"
#include "framework/BaseNode.h"
#include "framework/EngineGlobals.h"
#include "framework/GameCore.h"
#include "framework/LogNodes.h"
#include "framework/Logger.h"
#include "framework/MouseDirection.h"
#include "framework/RenderableObject.h"
#include "framework/ScriptHost.h"
#include "framework/ScriptIndex.h"
#include "framework/ScriptMaths.h"
#include "framework/ScriptRegistration.h"
#include "framework/Substring.h"
#include "script/bstr.h"

using namespace AngelScript;

namespace {

constexpr const char* kCore = "geCGameCore";
constexpr const char* kShadowsSetting = "shadows";
constexpr const char* kScreenFont = "CreditsFont";
constexpr asUINT kMaxDirectory = 260;

// ---- global functions ----
std::string Substring(std::string text, asUINT dwNum, asBYTE ch) {
  return GetSubstring(text, dwNum, ch);
}
bstr ApplicationDirectory() {
  char szDirectory[kMaxDirectory + 1] = {};
  const DWORD dwLength = GetCurrentDirectoryA(sizeof szDirectory, szDirectory);
  bstr directory(szDirectory, dwLength < sizeof szDirectory ? dwLength : 0);
  if (directory.size() > 1 && (directory.back() == '\\' || directory.back() == '/'))
    directory.pop_back();
  return directory;
}
// Only a renderable object answers as one: anything else would run game-object code on a node
// that has none of its fields.
geCRenderableObject* RenderableObject(geCBaseNode* pNode) {
  return pNode && pNode->IsKindOf("geCRenderableObject") ? static_cast<geCRenderableObject*>(pNode)
                                                         : nullptr;
}
asUINT Contains(std::string text, std::string what) {
  return text.find(what) != std::string::npos ? 1 : 0;
}
bstr RemoveLast(bstr text) {
  if (!text.empty()) text.pop_back();
  return text;
}
bstr AddCharacter(bstr text, asBYTE ch) { return text + static_cast<char>(ch); }
asUINT IsAlpha(asUINT dwCharacter) { return IsCharAlphaA(static_cast<CHAR>(dwCharacter)) ? 1 : 0; }
CVector3 MouseDirection(CSceneInterface* pScene) {
  const geMouseStatus* pStatus = g_pGameCore->GetMouseStatus();
  return GetMouseDirection(nullptr, pScene, pStatus->fMouseX.load(std::memory_order_relaxed),
                           pStatus->fMouseY.load(std::memory_order_relaxed));
}
std::string String(bstr text) { return text; }
void Log(const std::string& text) { g_ScriptLogger.Log("%s", text.c_str()); }
void LogDebug(bstr text) {
  OutputDebugStringA(text.c_str());
  Log(text);
}
void LogToFont(const char* szFont, float x, float y, const std::string& text) {
  if (geCTexturedFont* pFont = g_pGameCore->GetFontManager().GetFontByName(szFont))
    pFont->AddText(x, y, text.c_str());
}
void LogToScreen(float x, float y, const std::string& text) { LogToFont(kScreenFont, x, y, text); }
void LogToNamedFont(bstr font, float x, float y, bstr text) { LogToFont(font.c_str(), x, y, text); }
asUINT Random(asUINT dwMin, asUINT dwMax) { return geRandom(dwMin, dwMax); }

// ---- the core ----
asUINT CharFromKeyboard(geCGameCore* pCore) { return pCore->GetCharFromKeyboard(); }
void PlayByName(std::string name, geCGameCore* pCore) { pCore->PlayTonarisByName(name.c_str()); }
void StopByName(std::string name, geCGameCore* pCore) { pCore->StopTonarisByName(name.c_str()); }
bool AddNewSound(std::string file, std::string name, geCGameCore* pCore) {
  return pCore->AddNewSound(file.c_str(), name.c_str());
}
bool AddNewTonaris(std::string file, std::string name, bool bLoop, geCGameCore* pCore) {
  return pCore->AddNewTonaris(file.c_str(), name.c_str(), bLoop);
}
CMeshInterface* CollidedMesh(CMeshInterface* pMesh, geCGameCore* pCore) {
  if (!pMesh) return nullptr;
  for (const auto& [pOther, dwID] : pCore->GetGameMeshes())
    if (pOther != pMesh && pMesh->CheckCollisionWith(pOther, 3, nullptr, nullptr) != 0)
      return pOther;
  return nullptr;
}
void SetMusicVolume(int nVolume, geCGameCore* pCore) { pCore->SetMusicVolume(nVolume); }
void SetSoundFxVolume(int nVolume, geCGameCore* pCore) { pCore->SetSoundFxVolume(nVolume); }
int MusicVolume(geCGameCore* pCore) { return pCore->GetMusicVolume(); }
int SoundFxVolume(geCGameCore* pCore) { return pCore->GetSoundFxVolume(); }
CSettingEntryInterface* ShadowsSetting(geCGameCore* pCore) {
  CSettingsInterface* pSettings = pCore->GetEngineSettings();
  return pSettings ? pSettings->AddSetting(kShadowsSetting) : nullptr;
}
void EnableDynamicShadows(bool bEnable, geCGameCore* pCore) {
  if (CSettingEntryInterface* pEntry = ShadowsSetting(pCore)) pEntry->SetInt(bEnable ? 1 : 0);
}
bool DynamicShadowsEnabled(geCGameCore* pCore) {
  CSettingEntryInterface* pEntry = ShadowsSetting(pCore);
  return pEntry && pEntry->GetInt() == 1;
}
const ZeKorbConfig& Configuration() { return *g_pZeKorb->GetConfiguration(); }
void Resolution(asUINT& dwWidth, asUINT& dwHeight, geCGameCore*) {
  dwWidth = Configuration().wWidth;
  dwHeight = Configuration().wHeight;
}
asUINT ResolutionWidth(geCGameCore*) { return Configuration().wWidth; }
asUINT ResolutionHeight(geCGameCore*) { return Configuration().wHeight; }
void SendMessage(std::string name, asUINT dwSender, asUINT dwReceiver, asUINT dwMessageID,
                 asUINT dwData, geCGameCore* pCore) {
  pCore->GetMessageRouter()->PostMessage(name.c_str(), dwSender, dwReceiver, dwMessageID, dwData);
}
void LogTree(geCBaseNode* pNode, geCGameCore* pCore) {
  LogNodes(pNode ? pNode : pCore->GetRootNode());
}
bool KeyDown(const geKeyTable& table, asUINT dwKey) {
  return dwKey < kKeyTableSize && table[dwKey].load(std::memory_order_relaxed) == 1;
}
bool CheckForKey(asUINT dwKey, geCGameCore*) { return KeyDown(g_dwCurrentKeys, dwKey); }
bool CheckForKeyAndLast(asUINT dwKey, bool& bLastTime, geCGameCore*) {
  bLastTime = KeyDown(g_dwLastKeys, dwKey);
  return KeyDown(g_dwCurrentKeys, dwKey);
}
// The game-mesh registry as scripts walk it: by position in its order.
CMeshInterface* GameMesh(int nIndex, geCGameCore* pCore) {
  const auto& meshes = pCore->GetGameMeshes();
  if (nIndex < 0 || static_cast<size_t>(nIndex) >= meshes.size()) return nullptr;
  return std::next(meshes.begin(), nIndex)->first;
}
int GameMeshId(CMeshInterface* pMesh, geCGameCore* pCore) {
  const auto& meshes = pCore->GetGameMeshes();
  const auto found = meshes.find(pMesh);
  return found != meshes.end() ? static_cast<int>(found->second) : -1;
}
int GameMeshCount(geCGameCore* pCore) { return static_cast<int>(pCore->GetGameMeshes().size()); }

}  // namespace

void geRegisterScriptFirstGlobals() {
  geCheckedFunction("string GetSubstring( string, uint dwNum, uint8 ch )", asFUNCTION(Substring),
                    "Get dwNum SubString from string. String truncated with character ch");
  geCheckedFunction("bstr ApplicationDirectory()", asFUNCTION(ApplicationDirectory));
  geCheckedFunction("geCRenderableObject@ GetRenderableObject( geCBaseNode@ )",
                    asFUNCTION(RenderableObject));
  geCheckedFunction("uint StrStr( string, string )", asFUNCTION(Contains));
}

void geRegisterScriptCoreMembers() {
  geCheckedMethod(kCore, "geSUpdateArgument& GetGlobalArg()", asMETHOD(geCGameCore, GetGlobalArg));
  geCheckedMethod(kCore, "geCBaseNode@ GetRootNode()", asMETHOD(geCGameCore, GetRootNode));
  geCheckedMethod(kCore, "geMouseStatus@ GetMouseStatus()", asMETHOD(geCGameCore, GetMouseStatus));
  geCheckedGlue(kCore, "uint GetCharFromKeyboard()", asFUNCTION(CharFromKeyboard),
                "Get character from keyborad (ascii codes)");
  geCheckedGlue(kCore, "void PlayTonarisByName( string a_pszName )", asFUNCTION(PlayByName));
  geCheckedGlue(kCore, "void StopTonarisByName( string a_pszName )", asFUNCTION(StopByName));
  geCheckedGlue(kCore, "bool AddNewSound( string a_strFile, string a_strAccessName )",
                asFUNCTION(AddNewSound));
  geCheckedGlue(kCore,
                "bool AddNewTonaris( string a_strFile, string a_strAccessName, bool a_bLoop )",
                asFUNCTION(AddNewTonaris));
  geCheckedMethod(kCore, "bool SetResolution( uint a_dwWidth, uint a_dwHeight)",
                  asMETHOD(geCGameCore, SetResolution));
  geCheckedMethod(kCore, "void PauseGame()", asMETHOD(geCGameCore, PauseGame));
  geCheckedMethod(kCore, "void ResumeGame()", asMETHOD(geCGameCore, ResumeGame));
  geCheckedMethod(kCore, "bool IsGamePaused()", asMETHOD(geCGameCore, IsGamePaused));
  geCheckedMethod(kCore, "void ExitGame()", asMETHOD(geCGameCore, ExitGame));

  geCheckedGlue(kCore, "CMeshInterface@ GetCollidedMesh( CMeshInterface@ pMesh )",
                asFUNCTION(CollidedMesh));
  geCheckedGlue(kCore, "void SetMusicVolume( int dwVol )", asFUNCTION(SetMusicVolume));
  geCheckedGlue(kCore, "void SetSoundFxVolume( int dwVol )", asFUNCTION(SetSoundFxVolume));
  geCheckedGlue(kCore, "int GetMusicVolume()", asFUNCTION(MusicVolume));
  geCheckedGlue(kCore, "int GetSoundFxVolume()", asFUNCTION(SoundFxVolume));
  geCheckedGlue(kCore, "void EnableDynamicShadows( bool a_bEnable )",
                asFUNCTION(EnableDynamicShadows));
  geCheckedGlue(kCore, "bool GetIsEnabledDynamicShadows()", asFUNCTION(DynamicShadowsEnabled));
  geCheckedGlue(kCore, "void GetResolution( uint &out a_dwWidth, uint &out a_dwHeight)",
                asFUNCTION(Resolution));
  geCheckedGlue(kCore, "uint GetResolutionWidth()", asFUNCTION(ResolutionWidth));
  geCheckedGlue(kCore, "uint GetResolutionHeight()", asFUNCTION(ResolutionHeight));

  geCheckedGlue(kCore,
                "void SendMessage( string strName, uint sender, uint reciver, uint msg_id, "
                "uint a_Data )",
                asFUNCTION(SendMessage));
  geCheckedGlue(kCore, "void LogNodes( geCBaseNode@ a_pNode )", asFUNCTION(LogTree));
  geCheckedGlue(kCore, "bool CheckForKey( uint a_dwKey )", asFUNCTION(CheckForKey));
  geCheckedGlue(kCore, "bool CheckForKey( uint a_dwKey, bool &out a_bLastTime )",
                asFUNCTION(CheckForKeyAndLast));
  geCheckedGlue(kCore, "CMeshInterface@ GetAllMeshesMesh( int i )", asFUNCTION(GameMesh));
  geCheckedGlue(kCore, "int GetGameMeshId( CMeshInterface@ a_pMesh )", asFUNCTION(GameMeshId));
  geCheckedGlue(kCore, "int GetAllGameMeshesCount()", asFUNCTION(GameMeshCount));
}

void geRegisterScriptLastGlobals() {
  geCheckedFunction("bstr RemoveLastFromString( bstr )", asFUNCTION(RemoveLast));
  geCheckedFunction("bstr AddToString( bstr, uint8 )", asFUNCTION(AddCharacter));
  geCheckedFunction("uint isalpha( uint )", asFUNCTION(IsAlpha));
  geCheckedFunction("CVector3 GetMouseDirection( CSceneInterface@ a_pScene )",
                    asFUNCTION(MouseDirection));
  geCheckedFunction("string String( bstr a_pszString )", asFUNCTION(String));
  // The handle itself is read-only: a script cannot point the program's core elsewhere.
  LogASRegisterError(geRegisterGlobalProperty("geCGameCore@ const GameCore", &g_pGameCore, ""));
  geCheckedFunction("void Log(const string &in s)", asFUNCTION(Log));
  geCheckedFunction("void Log(const bstr &in s)", asFUNCTION(Log));
  geCheckedFunction("void LogD(bstr s)", asFUNCTION(LogDebug));
  geCheckedFunction("void LogToScreen(float x, float y, const string &in s)",
                    asFUNCTION(LogToScreen));
  geCheckedFunction("void LogToScreen(float x, float y, const bstr &in s)",
                    asFUNCTION(LogToScreen));
  geCheckedFunction("void LogToScreen(bstr a_pszFontName, float x, float y, bstr s)",
                    asFUNCTION(LogToNamedFont));
  geCheckedFunction("uint geRandom(uint min, uint max)", asFUNCTION(Random));
}
