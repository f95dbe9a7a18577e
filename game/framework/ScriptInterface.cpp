#include "framework/ScriptInterface.h"

#include <string>

#include "framework/EngineGlobals.h"
#include "framework/ScriptCoreMembers.h"
#include "framework/ScriptEngineTypes.h"
#include "framework/ScriptFrameworkTypes.h"
#include "framework/ScriptHost.h"
#include "framework/ScriptIndex.h"
#include "framework/ScriptMaths.h"
#include "framework/ScriptNodeMembers.h"
#include "framework/ScriptRegistration.h"
#include "framework/ScriptStrings.h"
#include "script/bstr.h"

using namespace AngelScript;

namespace {

constexpr const char* kVolumeDescription = "dsound minimum volume";

asUINT g_dwTrue = 1;
asUINT g_dwFalse = 0;
asUINT g_dwMouseLeft = 0;
asUINT g_dwMouseRight = 1;
// The keyboard scan code of Escape, an index into the key tables.
asUINT g_dwKeyEscape = 1;
int g_nVolumeMin = -10000;
int g_nVolumeMax = 0;

void RegisterConstants() {
  geRegisterGlobalProperty("const uint TRUE", &g_dwTrue, "");
  geRegisterGlobalProperty("const uint FALSE", &g_dwFalse, "");
  geRegisterGlobalProperty("const uint MOUSE_LEFT", &g_dwMouseLeft, "");
  geRegisterGlobalProperty("const uint MOUSE_RIGHT", &g_dwMouseRight, "");
  geRegisterGlobalProperty("const uint KEY_ESC", &g_dwKeyEscape, "");
  geRegisterGlobalProperty("const int DSBVOLUME_MIN", &g_nVolumeMin, kVolumeDescription);
  geRegisterGlobalProperty("const int DSBVOLUME_MAX", &g_nVolumeMax, kVolumeDescription);
}

bstr& AssignString(const std::string& text, bstr* pTarget) { return *pTarget = text; }
// A bstr may hold zero bytes; a string takes the text up to the first one.
std::string& AssignBstr(const bstr& text, std::string* pTarget) {
  return *pTarget = text.substr(0, text.find('\0'));
}
bstr StringToBstr(std::string text) { return text; }

void RegisterTextConversions() {
  geCheckedOperator("bstr", "bstr &opAssign(const string &in)", asFUNCTION(AssignString));
  geCheckedOperator("string", "string &opAssign(const bstr &in)", asFUNCTION(AssignBstr));
  geCheckedFunction("bstr StringToBSTR( string )", asFUNCTION(StringToBstr));
}

}  // namespace

void geRegisterFrameworkScriptInterface() {
  geAddScriptIndexEntry(kScriptIndexGlobalKey, "GLOABAL",
                        "różne globalne funkcje, stale i zmienne");
  RegisterConstants();
  geRegisterScriptStrings();
  RegisterTextConversions();
  geRegisterScriptMaths();
  geRegisterScriptEngineTypes();
  geRegisterScriptFrameworkTypes();
  geRegisterScriptValueMembers();
  geRegisterScriptNodeMembers();
  geRegisterScriptFirstGlobals();
  geRegisterScriptRenderablePropertyReaders();
  geRegisterScriptCoreMembers();
  geRegisterScriptLastGlobals();
}
