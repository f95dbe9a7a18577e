#include "cpelto/ScriptGameCoreMembers.h"

#include <string>

#include "cpelto/KeyBindings.h"
#include "cpelto/PeltoCore.h"
#include "framework/ScriptRegistration.h"
#include "script/bstr.h"

using namespace AngelScript;

namespace {

constexpr const char* kCore = "geCGameCore";

struct AnimationEntry {
  const char* szName;
  DWORD AnimationIdentifiers::*pField;
};
constexpr AnimationEntry kAnimationEntries[] = {
    {"idanim_moveforward_start", &AnimationIdentifiers::idanim_moveforward_start},
    {"idanim_moveforward", &AnimationIdentifiers::idanim_moveforward},
    {"idanim_moveforward_end", &AnimationIdentifiers::idanim_moveforward_end},
    {"idanim_movebackward", &AnimationIdentifiers::idanim_movebackward},
    {"idanim_rotateleft", &AnimationIdentifiers::idanim_rotateleft},
    {"idanim_rotateright", &AnimationIdentifiers::idanim_rotateright},
    {"idanim_strikeleft", &AnimationIdentifiers::idanim_strikeleft},
    {"idanim_strikeright", &AnimationIdentifiers::idanim_strikeright},
};

// Scripts hold the core as the framework's type; only the game core registers these.
CPeltoCore* Game(geCGameCore* pCore) { return static_cast<CPeltoCore*>(pCore); }

void LoadLevel(bstr name, geCGameCore* pCore) { Game(pCore)->LoadLevel(name.c_str()); }
void UnloadLevel(geCGameCore* pCore) { Game(pCore)->UnloadLevel(); }
bstr LevelName(asUINT dwIndex, geCGameCore* pCore) {
  return Game(pCore)->GetLevelName(static_cast<int>(dwIndex));
}
int LevelsCount(geCGameCore* pCore) { return static_cast<int>(Game(pCore)->GetLevelsCount()); }
void LoadKeybindings(geCGameCore* pCore) { Game(pCore)->LoadKeybindings(); }
void SaveKeybindings(geCGameCore* pCore) { Game(pCore)->SaveKeybindings(); }
asUINT CheckAnyKey(geCGameCore* pCore) { return pCore->CheckAnyKey(); }
geCBaseNode* GameProfiles(geCGameCore* pCore) { return Game(pCore)->GetGameProfiles(); }
bool LoadGameProfiles(std::string file, geCGameCore* pCore) {
  return Game(pCore)->LoadGameProfiles(file.c_str());
}
void SaveGameProfiles(std::string file, geCGameCore* pCore) {
  Game(pCore)->SaveGameProfiles(file.c_str());
}

int OffsetInCore(CPeltoCore& core, const DWORD& field) {
  const auto* pStart = reinterpret_cast<const char*>(static_cast<geCGameCore*>(&core));
  return static_cast<int>(reinterpret_cast<const char*>(&field) - pStart);
}

void RegisterUintProperty(const char* szName, int nOffset) {
  geCheckedProperty(kCore, (std::string("uint ") + szName).c_str(), nOffset);
}

}  // namespace

void RegisterGameCoreScriptMembers(CPeltoCore& core) {
  geCheckedGlue(kCore, "void LoadLevel( bstr a_pszLevelName )", asFUNCTION(LoadLevel));
  geCheckedGlue(kCore, "void UnloadLevel()", asFUNCTION(UnloadLevel));
  geCheckedGlue(kCore, "bstr GetLevelName( uint )", asFUNCTION(LevelName));
  geCheckedGlue(kCore, "int GetLevelsCount()", asFUNCTION(LevelsCount));
  geCheckedMethod(kCore, "geCProperties@ GetProperties()", asMETHOD(geCGameCore, GetProperties));
  KeyBindings& keys = core.GetKeyBindings();
  for (const KeyBindingEntry& entry : kKeyBindingEntries)
    RegisterUintProperty(entry.szName, OffsetInCore(core, keys.*entry.pField));
  AnimationIdentifiers& animations = core.GetAnimationIdentifiers();
  for (const AnimationEntry& entry : kAnimationEntries)
    RegisterUintProperty(entry.szName, OffsetInCore(core, animations.*entry.pField));
  geCheckedGlue(kCore, "void LoadKeybindings()", asFUNCTION(LoadKeybindings));
  geCheckedGlue(kCore, "void SaveKeybindings()", asFUNCTION(SaveKeybindings));
  geCheckedGlue(kCore, "uint CheckAnyKey()", asFUNCTION(CheckAnyKey));
  geCheckedGlue(kCore, "geCBaseNode@ GetGameProfiles()", asFUNCTION(GameProfiles));
  geCheckedGlue(kCore, "bool LoadGameProfiles( string FileName )", asFUNCTION(LoadGameProfiles));
  geCheckedGlue(kCore, "void SaveGameProfiles( string FileName )", asFUNCTION(SaveGameProfiles));
}
