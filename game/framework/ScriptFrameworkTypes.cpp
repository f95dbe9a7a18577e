#include "framework/ScriptFrameworkTypes.h"

#include <cstring>
#include <string>

#include "framework/AnimationsManager.h"
#include "framework/InputState.h"
#include "framework/Message.h"
#include "framework/Properties.h"
#include "framework/ScriptRegistration.h"
#include "framework/UpdateArgument.h"
#include "script/bstr.h"

using namespace AngelScript;

namespace {

constexpr const char* kVariant = "geCVariant";
constexpr const char* kProperties = "geCProperties";
constexpr const char* kMessage = "geMessage";
constexpr const char* kMouse = "geMouseStatus";
constexpr const char* kAnimations = "geCAnimationsManager";
constexpr const char* kUpdateArgument = "geSUpdateArgument";

// ---- variants: a value replaces the old one, text included ----
void SetFloat(float fValue, geCVariant* pVariant) { *pVariant = geCVariant(fValue); }
void SetInteger(int nValue, geCVariant* pVariant) { *pVariant = geCVariant(nValue); }
void SetString(std::string text, geCVariant* pVariant) { *pVariant = geCVariant(text); }
// Stored scripts pass a number; any non-zero one is true.
void SetBool(float fValue, geCVariant* pVariant) { *pVariant = geCVariant(fValue != 0.0f); }
float GetFloat(float& fOut, geCVariant* pVariant) { return fOut = pVariant->AsFloat(); }
int GetInteger(int& nOut, geCVariant* pVariant) { return nOut = pVariant->AsInt(); }
bool GetBool(bool& bOut, geCVariant* pVariant) { return bOut = pVariant->AsBool(); }
std::string GetString(std::string& strOut, geCVariant* pVariant) {
  geCVariant copy(*pVariant);
  return strOut = copy.AsString();
}

// ---- property bags ----
void Register(bstr name, geCProperties* pBag) { pBag->Register(name.c_str()); }
template <class T>
void Set(bstr name, T value, geCProperties* pBag) {
  pBag->Set(name.c_str(), geCVariant(value));
}
float BagFloat(bstr name, geCProperties* pBag) { return pBag->GetFloat(name.c_str()); }
int BagInteger(bstr name, geCProperties* pBag) { return pBag->GetInteger(name.c_str()); }
bool BagBoolean(bstr name, geCProperties* pBag) { return pBag->GetBoolean(name.c_str()); }
// A property without a value reads as one zero byte, the text scripts always got for it.
bstr BagString(bstr name, geCProperties* pBag) {
  geCVariant value = pBag->Get(name.c_str());
  if (value.GetType() == geCVariant::TYPE_EMPTY) return bstr(1, '\0');
  return value.AsString();
}
bool IsRegistred(bstr name, geCProperties* pBag) { return pBag->IsRegistred(name.c_str()); }

// ---- messages: the name is read as a copy, never written through; a record a script made
// itself need not hold a terminated name, so the copy stops at the field's end ----
bstr MessageName(geMessage* pMessage) {
  return bstr(pMessage->pszName, strnlen(pMessage->pszName, sizeof pMessage->pszName));
}

// ---- mouse status: index 0 is the left button, 1 the right, 2 the middle; any other is up ----
bool ButtonDown(asUINT dwIndex, const std::atomic<DWORD>& left, const std::atomic<DWORD>& right,
                const std::atomic<DWORD>& middle) {
  const std::atomic<DWORD>* buttons[] = {&left, &right, &middle};
  return dwIndex <= 2 && buttons[dwIndex]->load(std::memory_order_relaxed) != 0;
}
bool MouseButton(asUINT dwIndex, geMouseStatus* pStatus) {
  return ButtonDown(dwIndex, pStatus->dwLeft, pStatus->dwRight, pStatus->dwMiddle);
}
bool LastMouseButton(asUINT dwIndex, geMouseStatus* pStatus) {
  return ButtonDown(dwIndex, pStatus->dwLastLeft, pStatus->dwLastRight, pStatus->dwLastMiddle);
}

}  // namespace

void geRegisterScriptFrameworkTypes() {
  geCheckedType(kMouse, 0, kScriptObjectFlags);
  geCheckedType("geCGameCore", 0, kScriptObjectFlags);
  geCheckedType(kUpdateArgument, sizeof(geSUpdateArgument),
                geScriptValueFlags<geSUpdateArgument>(asOBJ_APP_CLASS_ALLFLOATS));
  geCheckedType(kAnimations, 0, kScriptObjectFlags);
  geCheckedType("geCBaseNode", 0, kScriptObjectFlags);
  geCheckedType("geCRenderableObject", 0, kScriptObjectFlags);
  geCheckedType(kMessage, sizeof(geMessage), geScriptValueFlags<geMessage>());
  geCheckedType(kVariant, 0, kScriptObjectFlags);
  geCheckedType(kProperties, 0, kScriptObjectFlags);
}

void geRegisterScriptValueMembers() {
  geCheckedGlue(kVariant, "void SetFloat( float )", asFUNCTION(SetFloat));
  geCheckedGlue(kVariant, "void SetInteger( int )", asFUNCTION(SetInteger));
  geCheckedGlue(kVariant, "void SetString( string )", asFUNCTION(SetString));
  geCheckedGlue(kVariant, "void SetBool( float )", asFUNCTION(SetBool));
  geCheckedGlue(kVariant, "float GetFloat( float &out )", asFUNCTION(GetFloat));
  geCheckedGlue(kVariant, "int GetInteger( int &out )", asFUNCTION(GetInteger));
  geCheckedGlue(kVariant, "bool GetBool( bool &out )", asFUNCTION(GetBool));
  geCheckedGlue(kVariant, "string GetString( string &out )", asFUNCTION(GetString));

  geCheckedGlue(kProperties, "void Register( bstr Name )", asFUNCTION(Register));
  geCheckedGlue(kProperties, "void Set( bstr Name, float )", asFUNCTION(Set<float>));
  geCheckedGlue(kProperties, "void Set( bstr Name, int )", asFUNCTION(Set<int>));
  geCheckedGlue(kProperties, "void Set( bstr Name, bool )", asFUNCTION(Set<bool>));
  geCheckedGlue(kProperties, "void Set( bstr Name, const bstr &in )", asFUNCTION(Set<const bstr&>));
  geCheckedGlue(kProperties, "void Set( bstr Name, const string &in )",
                asFUNCTION(Set<const std::string&>));
  geCheckedGlue(kProperties, "float GetFloat( bstr Name )", asFUNCTION(BagFloat));
  geCheckedGlue(kProperties, "int GetInteger( bstr Name )", asFUNCTION(BagInteger));
  geCheckedGlue(kProperties, "bool GetBoolean( bstr Name )", asFUNCTION(BagBoolean));
  geCheckedGlue(kProperties, "bstr GetString( bstr Name )", asFUNCTION(BagString));
  geCheckedGlue(kProperties, "bool IsRegistred( bstr Name )", asFUNCTION(IsRegistred));

  geCheckedProperty(kMessage, "uint SenderID", asOFFSET(geMessage, SenderID));
  geCheckedProperty(kMessage, "uint MessageID", asOFFSET(geMessage, MessageID));
  // Read-only: the name lives inside the record, so scripts get a copy of it.
  geCheckedGlue(kMessage, "bstr get_pszName() property", asFUNCTION(MessageName));
  geCheckedGlue(kMessage, "bstr GetName()", asFUNCTION(MessageName));

  geCheckedProperty(kMouse, "uint dwMouseX", asOFFSET(geMouseStatus, dwMouseX));
  geCheckedProperty(kMouse, "uint dwMouseY", asOFFSET(geMouseStatus, dwMouseY));
  geCheckedProperty(kMouse, "float fMouseX", asOFFSET(geMouseStatus, fMouseX));
  geCheckedProperty(kMouse, "float fMouseY", asOFFSET(geMouseStatus, fMouseY));
  geCheckedGlue(kMouse, "bool MouseButton( uint a_dwIndex )", asFUNCTION(MouseButton));
  geCheckedGlue(kMouse, "bool LastMouseButton( uint a_dwIndex )", asFUNCTION(LastMouseButton));

  geCheckedMethod(kAnimations, "uint GetActive()", asMETHOD(geCAnimationsManager, GetActive));
  geCheckedMethod(kAnimations, "void SetActive(uint)", asMETHOD(geCAnimationsManager, SetActive));
  geCheckedMethod(kAnimations, "uint IsStopped()", asMETHOD(geCAnimationsManager, IsStopped));

  geCheckedProperty(kUpdateArgument, "float m_fCurrentTime",
                    asOFFSET(geSUpdateArgument, m_fCurrentTime));
  geCheckedProperty(kUpdateArgument, "float m_fDeltaTime",
                    asOFFSET(geSUpdateArgument, m_fDeltaTime));
}
