#include "framework/RenderableObject.h"

#include <strings.h>
#include <tinyxml.h>

#include <cstdlib>
#include <string>

#include "ZKDXInterface.h"
#include "framework/CorePort.h"
#include "framework/FileExists.h"
#include "framework/Logger.h"

namespace {


// Property names a renderable object adds to a game object's, in registration order.
const char* const kRenderableProperties[] = {
    "DontUpdateStructure", "ParentToMesh", "ParentToNull",      "NullToParent",   "MeshToParent",
    "DontCallRender",      "ParentObjectIndex", "ObjectToParentIndex", "DontCleanScreen"};

// A whole-number attribute, or the default when it is absent.
int IntAttribute(TiXmlElement* pElement, const char* szName, int nDefault) {
  const char* szValue = pElement->Attribute(szName);
  return szValue ? std::atoi(szValue) : nDefault;
}

const char* WorldObjectName(CWorldObjectInterface* pObject) {
  const char* szName = nullptr;
  if (pObject->GetWorldObjectType() == WORLD_OBJECT_MESH)
    szName = static_cast<CMeshInterface*>(pObject)->GetName();
  else if (pObject->GetWorldObjectType() == WORLD_OBJECT_NULL)
    szName = static_cast<CNullInterface*>(pObject)->GetName();
  return szName ? szName : "";
}

void SetParentOf(CWorldObjectInterface* pObject, CWorldObjectInterface* pParent) {
  if (pObject->GetWorldObjectType() == WORLD_OBJECT_MESH)
    static_cast<CMeshInterface*>(pObject)->SetParentObject(pParent);
  else if (pObject->GetWorldObjectType() == WORLD_OBJECT_NULL)
    static_cast<CNullInterface*>(pObject)->SetParentObject(pParent);
}

}  // namespace

geCRenderableObject::geCRenderableObject(geCBaseNode* pParent) : geCGameObject(pParent) {}

geCRenderableObject::~geCRenderableObject() = default;

const char* geCRenderableObject::GetClassName() const { return "geCRenderableObject"; }

bool geCRenderableObject::IsKindOf(const char* szClassName) const {
  return ClassNameIs(szClassName, "geCRenderableObject") || geCGameObject::IsKindOf(szClassName);
}

void geCRenderableObject::RegisterProperties() {
  geCGameObject::RegisterProperties();
  for (const char* szName : kRenderableProperties) m_Properties.Register(szName);
}

bool geCRenderableObject::IsGiven(const char* szName) const {
  return m_Properties.Get(szName).GetType() != geCVariant::TYPE_EMPTY;
}

void geCRenderableObject::Configure(TiXmlElement* pElement) {
  geCGameObject::Configure(pElement);
  LoadConfiguredFile();
  if (pElement) {
    DWORD dwActiveID = 0;
    const DWORD dwAnimations = ReadAnimations(pElement, dwActiveID);
    ReadVisibility(pElement);
    if (m_Animations.GetNumberOfAnimations() > 0) m_Animations.SetActive(dwActiveID);
    g_GameLogger.Log("  - Added %d animations (set active id = %d)\n", dwAnimations, dwActiveID);
  }
  if (IsGiven("RenderPriority")) {
    m_dwRenderPriority = m_Properties.Get("RenderPriority").AsUnsignedInt();
  } else {
    g_GameLogger.Log(
        " - WARRNING! Property 'RenderPriority' not set in XML Node for object, setting default "
        "value (=100)\n");
    m_dwRenderPriority = kDefaultRenderPriority;
  }
  if (IsGiven("ParentToMesh") || IsGiven("ParentToNull")) AttachToParent();
  if (IsGiven("DontCallRender"))
    SetFlag(kFlagNoRenderList, m_Properties.Get("DontCallRender").AsUnsignedInt() == 1);
}

void geCRenderableObject::LoadConfiguredFile() {
  std::string strFile, strDirectory;
  if (IsGiven("File"))
    strFile = m_Properties.GetString("File");
  else
    g_GameLogger.Log(" - WARRNING! Property 'File' not set in XML Node for object \n");
  if (IsGiven("Directory"))
    strDirectory = m_Properties.GetString("Directory");
  else
    g_GameLogger.Log(" - WARRNING! Property 'Directory' not set in XML Node for object \n");
  // No separator is added: the directory carries its own.
  const std::string strPath = strDirectory + strFile;
  if (FileExists(strPath.c_str()))
    LoadFileByExtension(strPath.c_str());
  else
    g_GameLogger.Log(" - ERROR! can't open scene/object file '%s'\n", strPath.c_str());
}

DWORD geCRenderableObject::ReadAnimations(TiXmlElement* pElement, DWORD& dwActiveID) {
  DWORD dwCount = 0;
  for (TiXmlElement* pAnimation = pElement->FirstChildElement("Animation"); pAnimation;
       pAnimation = pAnimation->NextSiblingElement("Animation")) {
    if (dwCount++ == 0) g_GameLogger.Log(" - Settings animations list for object\n");
    if (pAnimation->Attribute("Active"))
      dwActiveID = static_cast<DWORD>(IntAttribute(pAnimation, "Active", 0));
    const char* szType = pAnimation->Attribute("animation_type");
    const DWORD dwType = !szType || strcasecmp(szType, "loop") == 0
                             ? geCAnimationsManager::kTypeLoop
                             : geCAnimationsManager::kTypePlayOnce;
    m_Animations.AddAnimation(static_cast<DWORD>(IntAttribute(pAnimation, "Id", 0)),
                              static_cast<DWORD>(IntAttribute(pAnimation, "Start", 0)),
                              static_cast<DWORD>(IntAttribute(pAnimation, "End", 0)), dwType);
  }
  return dwCount;
}

void geCRenderableObject::ReadVisibility(TiXmlElement* pElement) {
  TiXmlElement* pForAll = pElement->FirstChildElement("SetVisibilityForAll");
  TiXmlElement* pFirstOne = pElement->FirstChildElement("SetVisibility");
  if (m_vMeshes.empty() || (!pForAll && !pFirstOne)) return;
  auto flags = [](TiXmlElement* pFrom, UINT (&dwFlags)[3]) {
    dwFlags[0] = static_cast<UINT>(IntAttribute(pFrom, "Cameras", 1));
    dwFlags[1] = static_cast<UINT>(IntAttribute(pFrom, "Rays", 1));
    dwFlags[2] = static_cast<UINT>(IntAttribute(pFrom, "Collisions", 1));
  };
  UINT dwFlags[3];
  if (pForAll) {
    flags(pForAll, dwFlags);
    g_GameLogger.Log(
        " - Setting visibility for all meshes in level (Cameras=%d, Rays=%d, Collisions=%d)\n",
        dwFlags[0], dwFlags[1], dwFlags[2]);
    for (CMeshInterface* pMesh : m_vMeshes) pMesh->SetVisibility(dwFlags[0], dwFlags[1], dwFlags[2]);
  }
  for (TiXmlElement* pOne = pFirstOne; pOne; pOne = pOne->NextSiblingElement("SetVisibility")) {
    CMeshInterface* pMesh = FindMeshByName(pOne->Attribute("MeshName"), 0);
    if (!pMesh) continue;
    flags(pOne, dwFlags);
    g_GameLogger.Log(
        " - Setting visibility for mesh (%s) in level (Cameras=%d, Rays=%d, Collisions=%d)\n",
        pMesh->GetName(), dwFlags[0], dwFlags[1], dwFlags[2]);
    pMesh->SetVisibility(dwFlags[0], dwFlags[1], dwFlags[2]);
  }
}

void geCRenderableObject::AttachToParent() {
  g_GameLogger.Log(" - Setting parent mesh to object...\n");
  if (!IsGiven("BodyMesh")) g_GameLogger.Log("  - Property 'BodyMesh' not defined in XML data file\n");
  if (!IsGiven("ParentToMesh"))
    g_GameLogger.Log("  - Property 'ParentToMesh' not defined in XML data file\n");
  if (IsGiven("DontCleanScreen"))
    SetFlag(kFlagClearDepth, m_Properties.Get("DontCleanScreen").AsUnsignedInt() != 1);
  const DWORD dwParentIndex = m_Properties.Get("ParentObjectIndex").AsUnsignedInt();
  const DWORD dwObjectIndex = m_Properties.Get("ObjectToParentIndex").AsUnsignedInt();

  CWorldObjectInterface* pObject = nullptr;
  if (IsGiven("MeshToParent")) {
    pObject = FindMeshByName(m_Properties.GetString("MeshToParent").c_str(), 0);
  } else if (IsGiven("NullToParent")) {
    pObject = FindNullByName(m_Properties.GetString("NullToParent").c_str(), dwObjectIndex);
  } else {
    pObject = FindMeshByName(m_Properties.GetString("BodyMesh").c_str(), 0);
    if (!pObject) g_GameLogger.Log(" - ERROR: Object to parent NOT defined in XML data\n");
  }
  if (!pObject) {
    g_GameLogger.Log(" - ERROR: Object to parent NOT found in Meshes or NullObjects\n");
    return;
  }

  const bool bToMesh = IsGiven("ParentToMesh");
  const std::string strParent = m_Properties.GetString(bToMesh ? "ParentToMesh" : "ParentToNull");
  geCGameObject* pAncestor = FindParentGameObject();
  if (!pAncestor) {
    // Nothing to search: the object keeps its place in the hierarchy.
    g_GameLogger.Log(" - ERROR: Parent object '%s' NOT found, node has no parent game object\n",
                     strParent.c_str());
    return;
  }
  CWorldObjectInterface* pParent =
      bToMesh ? static_cast<CWorldObjectInterface*>(
                    pAncestor->FindMeshByName(strParent.c_str(), dwParentIndex))
              : pAncestor->FindNullByName(strParent.c_str(), dwParentIndex);
  if (!pParent)
    g_GameLogger.Log(" - ERROR: Parent object '%s' NOT found in any parent game object\n",
                     strParent.c_str());
  g_GameLogger.Log(" - Attaching object '%s' to object '%s' from owner scene\n",
                   WorldObjectName(pObject), pParent ? WorldObjectName(pParent) : strParent.c_str());
  SetParentOf(pObject, pParent);
}

void geCRenderableObject::Update(geSUpdateArgument* pArg) {
  // Read every frame: game code and scripts may switch it at run time.
  if (m_Properties.GetInteger("DontUpdateStructure") != 0)
    geCBaseNode::Update(pArg);
  else
    geCGameObject::Update(pArg);
  CallScriptFunction("geCRenderableObject_Update");
}

void geCRenderableObject::Process(geSUpdateArgument* pArg) {
  geCGameObject::Process(pArg);
  if (!(m_dwFlags & kFlagNoRenderList))
    geGetCorePort().AddToRenderList(m_dwRenderPriority, this);
  CallScriptFunction("geCRenderableObject_Process");
}
