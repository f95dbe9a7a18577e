#include "framework/ScriptNodeMembers.h"

#include <bit>
#include <cstddef>
#include <string>

#include "ZKDXInterface.h"
#include "framework/BaseNode.h"
#include "framework/RenderableObject.h"
#include "framework/ScriptRegistration.h"
#include "script/bstr.h"

using namespace AngelScript;

namespace {

constexpr const char* kNode = "geCBaseNode";
constexpr const char* kRenderable = "geCRenderableObject";
// What a node answers for a float property it never registered.
constexpr float kUnregisteredFloat = -1.0e16f;

// Scripts read and write the first-update mark in place. A data member pointer holds the
// member's offset in the object (the Itanium C++ ABI), the form the script engine wants.
struct SFirstTimeUpdateField : geCBaseNode {
  static int Offset() {
    constexpr DWORD geCBaseNode::*kField = &SFirstTimeUpdateField::m_bFirstTimeUpdate;
    return static_cast<int>(std::bit_cast<std::ptrdiff_t>(kField));
  }
};

geCBaseNode* NodeByName(std::string name, geCBaseNode* pNode) {
  return pNode->GetNodeByName(name.c_str(), 1);
}
std::string NodeName(geCBaseNode* pNode) { return pNode->GetName(); }
bstr NodeNameAsBstr(geCBaseNode* pNode) { return pNode->GetName(); }
DWORD Enable(asUINT dwValue, geCBaseNode* pNode) { return pNode->Enable(dwValue); }
DWORD Disable(asUINT dwValue, geCBaseNode* pNode) { return pNode->Disable(dwValue); }
DWORD EnableTree(asUINT dwValue, asUINT bRecursive, geCBaseNode* pNode) {
  return pNode->Enable(dwValue, bRecursive);
}
DWORD DisableTree(asUINT dwValue, asUINT bRecursive, geCBaseNode* pNode) {
  return pNode->Disable(dwValue, bRecursive);
}
void SetProperty(bstr name, bstr value, geCBaseNode* pNode) {
  pNode->GetProperties()->Set(name.c_str(), geCVariant(value));
}
float PropertyAsFloat(bstr name, geCBaseNode* pNode) {
  const geCProperties* pBag = pNode->GetProperties();
  return pBag->IsRegistred(name.c_str()) ? pBag->GetFloat(name.c_str()) : kUnregisteredFloat;
}
void RunScript(const std::string& text, geCBaseNode* pNode) { pNode->RunScript(text.c_str()); }

CMeshInterface* MeshByName(const std::string& name, geCRenderableObject* pObject) {
  return pObject->FindMeshByName(name.c_str(), 0);
}
void PlaySound(std::string name, geCRenderableObject* pObject) {
  pObject->PlaySoundByName(name.c_str());
}
void StopSound(std::string name, geCRenderableObject* pObject) {
  pObject->StopSoundByName(name.c_str());
}
std::string Property(const std::string& name, geCRenderableObject* pObject) {
  const geCProperties* pBag = pObject->GetProperties();
  return pBag->IsRegistred(name.c_str()) ? pBag->Get(name.c_str()).AsString() : std::string();
}

}  // namespace

void geRegisterScriptNodeMembers() {
  geCheckedGlue(kNode, "geCBaseNode@ GetNodeByName( string )", asFUNCTION(NodeByName));
  geCheckedMethod(kNode, "geCBaseNode@ GetNodeByID( uint )", asMETHOD(geCBaseNode, GetNodeByID));
  geCheckedMethod(kNode, "uint GetID()", asMETHOD(geCBaseNode, GetID));
  geCheckedMethod(kNode, "uint IsFistTimeUpdate()", asMETHOD(geCBaseNode, IsFistTimeUpdate));
  geCheckedMethod(kNode, "uint GetNodesCount()", asMETHOD(geCBaseNode, GetNodesCount));
  geCheckedMethod(kNode, "geCBaseNode@ GetNode( uint Num )", asMETHOD(geCBaseNode, GetNode));
  geCheckedMethod(kNode, "geCProperties@ GetProperties()", asMETHOD(geCBaseNode, GetProperties));
  geCheckedGlue(kNode, "string GetName()", asFUNCTION(NodeName));
  geCheckedGlue(kNode, "bstr GetNameAsBSTR()", asFUNCTION(NodeNameAsBstr));
  geCheckedGlue(kNode, "uint Enable( uint val )", asFUNCTION(Enable));
  geCheckedGlue(kNode, "uint Disable( uint val )", asFUNCTION(Disable));
  geCheckedGlue(kNode, "uint Enable( uint val, uint bRecursiveChildren )", asFUNCTION(EnableTree));
  geCheckedGlue(kNode, "uint Disable( uint val, uint bRecursiveChildren )",
                asFUNCTION(DisableTree));
  geCheckedGlue(kNode, "void SetProperty( bstr Name, bstr Value )", asFUNCTION(SetProperty));
  geCheckedGlue(kNode, "float GetPropertyAsFloat( bstr Name )", asFUNCTION(PropertyAsFloat));
  // bstr and string are the same text underneath: one glue serves both. Where a declaration has
  // a form for each, both take their text by reference, so a literal picks the bstr form.
  geCheckedGlue(kNode, "void RunScript( const bstr &in a_pszScriptText )", asFUNCTION(RunScript));
  geCheckedGlue(kNode, "void RunScript( const string &in a_pszScriptText )", asFUNCTION(RunScript));
  geCheckedProperty(kNode, "uint m_bFirstTimeUpdate", SFirstTimeUpdateField::Offset());

  geCheckedMethod(kRenderable, "geCAnimationsManager@ GetAnimations()",
                  asMETHOD(geCGameObject, GetAnimations));
  geCheckedMethod(kRenderable, "CSceneInterface@ GetOwnerScene()",
                  asMETHOD(geCGameObject, GetOwnerScene));
  geCheckedMethod(kRenderable, "CMeshInterface@\t GetMesh( uint a_dwIndex )",
                  asMETHOD(geCGameObject, GetMesh));
  geCheckedMethod(kRenderable, "uint GetNumberOfMeshes()",
                  asMETHOD(geCGameObject, GetNumberOfMeshes));
  geCheckedMethod(kRenderable, "float GetFrame()", asMETHOD(geCGameObject, GetFrame));
  geCheckedMethod(kRenderable, "geCBaseNode@\t GetParent()", asMETHOD(geCBaseNode, GetParent));
  geCheckedMethod(kRenderable, "void\t SetLastFrame( float a_fFrame )",
                  asMETHOD(geCGameObject, SetLastFrame));
  geCheckedMethod(kRenderable, "float GetLastFrame()", asMETHOD(geCGameObject, GetLastFrame));
  geCheckedGlue(kRenderable, "void PlayTonarisByName( string a_pszName )", asFUNCTION(PlaySound));
  geCheckedGlue(kRenderable, "void StopTonarisByName( string a_pszName )", asFUNCTION(StopSound));
  geCheckedGlue(kRenderable, "CMeshInterface@\t GetMeshByName( const string &in a_strName )",
                asFUNCTION(MeshByName));
  geCheckedGlue(kRenderable, "CMeshInterface@\t GetMeshByName( const bstr &in a_strName )",
                asFUNCTION(MeshByName));
}

void geRegisterScriptRenderablePropertyReaders() {
  geCheckedGlue(kRenderable, "string GetProperty( const string &in a_strName )",
                asFUNCTION(Property));
  geCheckedGlue(kRenderable, "string GetProperty( const bstr &in a_strName )",
                asFUNCTION(Property));
}
