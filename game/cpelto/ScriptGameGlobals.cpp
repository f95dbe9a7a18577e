#include "cpelto/ScriptGameGlobals.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>

#include "cpelto/JoystickButtonMap.h"
#include "cpelto/PlayerProfiles.h"
#include "cpelto/ScriptGameCamera.h"
#include "cpelto/ScriptGameEntity.h"
#include "cpelto/ScriptGameNodes.h"
#include "cpelto/ScriptUtilities.h"
#include "framework/ScriptRegistration.h"
#include "script/bstr.h"

using namespace AngelScript;

namespace {

constexpr const char* kWallpaperDescription =
    "\tSet wallpaper using ActiveDesktop (shell32.dll version 4.71 or later, win9x,w2k,xp)\n"
    "\t\t-Input: file to set as wallpaper";
constexpr const char* kVirtualDiskDescription =
    "Adding virtual disk from zkr or zkz compressed file (optional password if not empty)";

void Wallpaper(bstr file) { SetWallpaper(file.c_str()); }
void VirtualDisk(std::string file, std::string password) {
  AddVirtualDisk(file.c_str(), password.c_str());
}
// bstr and string are one text type underneath: each conversion serves both declarations.
int ToInt(std::string text) { return TextToInt(text.c_str()); }
float ToFloat(std::string text) { return TextToFloat(text.c_str()); }
std::string Encode(std::string text) { return Koduj(text); }
std::string Decode(std::string text) { return DeKoduj(text); }
geCBaseNode* AddItem(geCBaseNode* pParent, bstr name) {
  return AddProfileItem(pParent, name.c_str());
}

}  // namespace

int TextToInt(const char* szText) {
  const long nValue = std::strtol(szText, nullptr, 10);
  return static_cast<int>(std::clamp<long>(nValue, INT_MIN, INT_MAX));
}

float TextToFloat(const char* szText) { return static_cast<float>(std::atof(szText)); }

void RegisterGameFirstGlobals() {
  geCheckedFunction("void SetWallpaper( bstr )", asFUNCTION(Wallpaper), kWallpaperDescription);
  geCheckedFunction("void MapJoystickButtons( int, uint )", asFUNCTION(MapJoystickButtons));
  geCheckedFunction("void SetAmbient( float r, float g, float b, float a )",
                    asFUNCTION(SetAmbient));
  RegisterCameraMapFunctions();
}

void RegisterGameUtilityFunctions() {
  geCheckedFunction("void AddVirtualDisk( string a_strFileName, string a_strPwd )",
                    asFUNCTION(VirtualDisk), kVirtualDiskDescription);
  geCheckedFunction("int bstrToInt( bstr )", asFUNCTION(ToInt));
  geCheckedFunction("float bstrToFloat( bstr )", asFUNCTION(ToFloat));
  geCheckedFunction("int strToInt( string )", asFUNCTION(ToInt));
  geCheckedFunction("float strToFloat( string )", asFUNCTION(ToFloat));
  RegisterEntityScriptCast();
  RegisterMovableObjectScriptMembers();
  geCheckedFunction("string Koduj( string )", asFUNCTION(Encode));
  geCheckedFunction("string DeKoduj( string )", asFUNCTION(Decode));
}

void RegisterProfileItemFunctions() {
  geCheckedFunction("geCBaseNode@ AddProfileItem( geCBaseNode@ pParent, bstr Name )",
                    asFUNCTION(AddItem));
  geCheckedFunction("void RemoveProfileItem( geCBaseNode@ pParent )",
                    asFUNCTION(RemoveProfileItem));
}
