#include "cpelto/MenuScriptInterface.h"

#include <d3dx9math.h>

#include "cpelto/MenuAviElement.h"
#include "cpelto/MenuPicture.h"
#include "cpelto/MenuText.h"
#include "framework/ScriptRegistration.h"
#include "script/bstr.h"

using namespace AngelScript;

namespace {

constexpr const char* kStack = "ID3DXMatrixStack";
constexpr const char* kText = "CMenuText";
constexpr const char* kPicture = "CMenuPicture";
constexpr const char* kItem = "CMenuItem";
constexpr const char* kAvi = "CMenuAviElement";

// The stack's operations for scripts, with their result codes (0 on success). The local forms
// multiply the new matrix in front of the top: they act in the item's own space.
DWORD StackLoadIdentity(ID3DXMatrixStack* pStack) { return pStack->LoadIdentity(); }
DWORD StackPop(ID3DXMatrixStack* pStack) { return pStack->Pop(); }
DWORD StackPush(ID3DXMatrixStack* pStack) { return pStack->Push(); }
DWORD StackTranslateLocal(float fX, float fY, float fZ, ID3DXMatrixStack* pStack) {
  return pStack->TranslateLocal(fX, fY, fZ);
}
DWORD StackTranslate(float fX, float fY, float fZ, ID3DXMatrixStack* pStack) {
  return pStack->Translate(fX, fY, fZ);
}
DWORD StackScaleLocal(float fX, float fY, float fZ, ID3DXMatrixStack* pStack) {
  return pStack->ScaleLocal(fX, fY, fZ);
}
DWORD StackScale(float fX, float fY, float fZ, ID3DXMatrixStack* pStack) {
  return pStack->Scale(fX, fY, fZ);
}
DWORD StackRotateLocal(float fAlpha, float fX, float fY, float fZ, ID3DXMatrixStack* pStack) {
  const D3DXVECTOR3 axis(fX, fY, fZ);
  return pStack->RotateAxisLocal(&axis, fAlpha);
}
DWORD StackRotate(float fAlpha, float fX, float fY, float fZ, ID3DXMatrixStack* pStack) {
  const D3DXVECTOR3 axis(fX, fY, fZ);
  return pStack->RotateAxis(&axis, fAlpha);
}

CMenuItem* PictureAsItem(CMenuPicture* pPicture) { return pPicture; }
// Checked, so a script never holds a node of another class as an item.
CMenuItem* NodeAsItem(geCBaseNode* pNode) { return MenuNodeCast<CMenuItem>(pNode, kItem); }
CMenuText* NodeAsText(geCBaseNode* pNode) { return MenuNodeCast<CMenuText>(pNode, kText); }
CMenuAviElement* NodeAsAvi(geCBaseNode* pNode) {
  return MenuNodeCast<CMenuAviElement>(pNode, kAvi);
}

void SetText(bstr text, CMenuText* pText) { pText->SetText(text.c_str()); }
// The script's outputs start from nothing: the width is measured, not added to a former value.
void CalculateSize(bstr text, asUINT* pWidth, asUINT* pHeight, CMenuText* pText) {
  int nWidth = 0, nHeight = 0;
  pText->CalculateSize(text.c_str(), &nWidth, &nHeight);
  *pWidth = static_cast<asUINT>(nWidth);
  *pHeight = static_cast<asUINT>(nHeight);
}

void RegisterMatrixStack() {
  geCheckedType(kStack, 0, kScriptObjectFlags);
  geCheckedGlue(kStack, "uint LoadIdentity()", asFUNCTION(StackLoadIdentity));
  geCheckedGlue(kStack, "uint Pop()", asFUNCTION(StackPop));
  geCheckedGlue(kStack, "uint Push()", asFUNCTION(StackPush));
  geCheckedGlue(kStack, "uint TranslateLocal( float x, float y, float z )",
                asFUNCTION(StackTranslateLocal));
  geCheckedGlue(kStack, "uint Translate( float x, float y, float z )", asFUNCTION(StackTranslate));
  geCheckedGlue(kStack, "uint ScaleLocal( float x, float y, float z )",
                asFUNCTION(StackScaleLocal));
  geCheckedGlue(kStack, "uint Scale( float x, float y, float z )", asFUNCTION(StackScale));
  geCheckedGlue(kStack, "uint RotateLocal( float alpha, float x, float y, float z )",
                asFUNCTION(StackRotateLocal));
  geCheckedGlue(kStack, "uint Rotate( float alpha, float x, float y, float z )",
                asFUNCTION(StackRotate));
}

void RegisterCasts() {
  geCheckedFunction("CMenuItem@ CastToCMenuItem( CMenuPicture@ )", asFUNCTION(PictureAsItem));
  geCheckedFunction("CMenuItem@ CastToCMenuItem( geCBaseNode@ )", asFUNCTION(NodeAsItem));
  geCheckedFunction("CMenuText@ CastToCMenuText( geCBaseNode@ )", asFUNCTION(NodeAsText));
  geCheckedFunction("CMenuAviElement@ CastToCMenuAvi( geCBaseNode@ )", asFUNCTION(NodeAsAvi));
}

void RegisterItemMethods() {
  geCheckedMethod(kItem, "ID3DXMatrixStack@ GetMatrixStack()",
                  asMETHOD(CMenuItem, GetMatrixStack));
  geCheckedMethod(kItem, "void SetColor( float a, float r, float g, float b )",
                  asMETHOD(CMenuItem, SetColor));
  geCheckedMethod(kItem, "float GetWidth()", asMETHOD(CMenuItem, GetWidth));
  geCheckedMethod(kItem, "float GetHeight()", asMETHOD(CMenuItem, GetHeight));
  geCheckedMethod(kItem, "CVector3& GetTranslation()", asMETHOD(CMenuItem, GetTranslation));
  geCheckedMethod(kItem, "CVector3  GetTransformedTranslation()",
                  asMETHOD(CMenuItem, GetTransformedTranslation));
}

void RegisterTextMethods() {
  geCheckedMethod(kText, "void SetOffsetBetweenChars(float a_fOff)",
                  asMETHOD(CMenuText, SetOffsetBetweenChars));
  geCheckedGlue(kText, "void SetText( bstr a_pszText )", asFUNCTION(SetText));
  geCheckedMethod(kText, "bstr GetText()", asMETHOD(CMenuText, GetText));
  geCheckedGlue(kText, "void CalculateSize( bstr pszText, uint &out a_dwWidth, uint &out a_dwHeight )",
                asFUNCTION(CalculateSize));
}

}  // namespace

void RegisterMenuScriptInterface() {
  RegisterMatrixStack();
  for (const char* szType : {kText, kPicture, kItem, kAvi})
    geCheckedType(szType, 0, kScriptObjectFlags);
  RegisterCasts();
  RegisterItemMethods();
  RegisterTextMethods();
  geCheckedMethod(kAvi, "void Play()", asMETHOD(CMenuAviElement, Play));
  geCheckedMethod(kAvi, "void Stop()", asMETHOD(CMenuAviElement, Stop));
}
