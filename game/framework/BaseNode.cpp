#include "framework/BaseNode.h"

#include <tinyxml.h>

#include <cstdint>
#include <cstring>
#include <utility>

#include "framework/CorePort.h"
#include "framework/EngineGlobals.h"
#include "framework/FileExists.h"
#include "framework/Logger.h"
#include "framework/NodeFactory.h"
#include "framework/ScriptEvent.h"
#include "framework/ScriptHost.h"
#include "framework/StatisticsTable.h"

using namespace AngelScript;

std::map<std::string, DWORD, std::less<>> g_mapNodeNames;

namespace {

// Property names every node understands, in registration order.
const char* const kBaseProperties[] = {"Name",      "Enabled",  "ScriptFile", "ScriptModuleName",
                                       "UserData1", "UserData2"};

void LogScriptCallError(const char* szFunction) {
  g_ScriptLogger.Log("Unexpected error during script execution (calling %s() function\n",
                     szFunction);
}

}  // namespace

DWORD HashNodeName(const char* szName) {
  uint32_t h = 0;
  for (const char* p = szName ? szName : ""; *p; ++p) {
    // Bytes count as signed, so a letter of the upper half of a code page subtracts.
    h += static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(*p)));
    h ^= h << 10;
    h += h >> 6;
  }
  h *= 9;
  h ^= h >> 11;
  h *= 0x8001;
  return h % 0xFFFFFFFFu;
}

geCBaseNode::geCBaseNode(geCBaseNode* pParent) {
  if (pParent) {
    g_GameLogger.Log("- Creating Node as child of '%s'(id=%d), id=%d\n", pParent->m_szName,
                     pParent->GetID(), GetID());
    pParent->AddChild(this);
    m_pParent = pParent;
  } else {
    g_GameLogger.Log("- Creating Node as child of Nothing, id=%d\n", GetID());
  }
  // The derived class's registration runs later, from whoever built the node.
  geCBaseNode::RegisterProperties();
}

geCBaseNode::~geCBaseNode() {
  const bool bCoreExists = geGetCorePort().CoreExists();
  if (bCoreExists)
    g_GameLogger.Log("~geCBaseNode: Removing children of node '%s'(id=%d)\n", m_szName, GetID());
  std::vector<geTRefPtr<geCBaseNode>> vChildren;
  vChildren.swap(m_vChildren);
  for (geTRefPtr<geCBaseNode>& child : vChildren) {
    // A child someone else still holds must not point at its dead parent.
    if (child->m_pParent == this) child->m_pParent = nullptr;
    child.Reset();
  }
  ReleaseScriptContext();
  if (bCoreExists) g_GameLogger.Log("Node '%s'(id=%d) deleted\n", m_szName, GetID());
}

size_t geCBaseNode::GetClassSize() const { return sizeof(geCBaseNode); }

const char* geCBaseNode::GetClassName() const { return "geCBaseNode"; }

bool geCBaseNode::IsKindOf(const char* szClassName) const {
  return ClassNameIs(szClassName, "geCBaseNode") || geCBaseObject::IsKindOf(szClassName);
}

void geCBaseNode::RegisterProperties() {
  for (const char* szName : kBaseProperties) m_Properties.Register(szName);
  m_dwFlags |= kFlagEnabled;
  m_bFirstTimeUpdate = 1;
}

void geCBaseNode::Configure(TiXmlElement* pElement) {
  m_pXmlElement = pElement;
  if (pElement) {
    const char* szName = pElement->Attribute("Name");
    m_Properties.Set("Name", geCVariant(szName));
    if (szName) SetName(szName);
    ReadParams(pElement);
  }
  // Only a value that reads as a non-zero number keeps the node enabled.
  if (!m_Properties.GetBoolean("Enabled")) Disable(1);
  if (m_Properties.Get("ScriptFile").GetType() != geCVariant::TYPE_EMPTY) LoadScriptModule();
}

void geCBaseNode::ReadParams(TiXmlElement* pElement) {
  for (TiXmlElement* pParam = pElement->FirstChildElement("Param"); pParam;
       pParam = pParam->NextSiblingElement("Param")) {
    for (const TiXmlAttribute* pAttribute = pParam->FirstAttribute(); pAttribute;
         pAttribute = pAttribute->Next()) {
      const char* szName = pAttribute->Name();
      const char* szValue = pAttribute->Value();
      if (m_Properties.IsRegistred(szName)) {
        m_Properties.Set(szName, geCVariant(szValue));
        g_GameLogger.Log(" - Setting property:  %s=%s\n", szName, szValue);
      } else if (m_dwFlags & kFlagAcceptsAnyProperty) {
        m_Properties.RegisterAndSet(szName, geCVariant(szValue));
        g_GameLogger.Log(" - Adding property:  %s=%s\n", szName, szValue);
      } else {
        g_GameLogger.Log(" - Warrning, Param (%s='%s')for node not registered in class\n", szName,
                         szValue);
      }
    }
  }
}

void geCBaseNode::LoadScriptModule() {
  m_strScriptFile = m_Properties.GetString("ScriptFile");
  g_GameLogger.Log(" - Loading AngelScript file '%s'\n", m_strScriptFile.c_str());
  if (!FileExists(m_strScriptFile.c_str())) {
    g_GameLogger.Log(" - Script Warrning:  script file '%s' NOT exist\n", m_strScriptFile.c_str());
    return;
  }
  const bool bModuleNamed =
      m_Properties.Get("ScriptModuleName").GetType() != geCVariant::TYPE_EMPTY;
  m_strScriptModuleName = bModuleNamed ? m_Properties.GetString("ScriptModuleName") : m_szName;
  if (!g_pScriptHost) return;
  // A node configured again lets its earlier context go rather than leak it.
  ReleaseScriptContext();
  m_pScriptContext = g_pScriptHost->LoadScriptModule(m_strScriptFile.c_str(),
                                                     m_strScriptModuleName.c_str(), m_szName);
  if (!m_pScriptContext) return;

  const float fStart = geStatisticsTime();
  asIScriptFunction* pMain = geFindScriptFunction(m_strScriptModuleName.c_str(), "main");
  if (geRunScriptEvent(m_pScriptContext, pMain, {"geCBaseNode", true, this}) < 0)
    g_GameLogger.Log("Unexpected error during script execution (calling main() function\n");
  else
    g_GameLogger.Log("   - main() executed from script\n");
  geAddStatisticsTime(STAT_ROW_SCRIPT, fStart);
}

void geCBaseNode::ReleaseScriptContext() {
  if (!m_pScriptContext) return;
  // The host takes it out of its list; the module stays loaded.
  if (g_pScriptHost)
    g_pScriptHost->ReleaseContext(&m_pScriptContext);
  else
    m_pScriptContext->Release();
  m_pScriptContext = nullptr;
}

geCBaseNode* geCBaseNode::CreateChildFromXML(TiXmlElement* pElement) {
  if (!pElement || pElement->Type() != TiXmlNode::TINYXML_ELEMENT) return nullptr;
  const char* szType = pElement->Attribute("Type");
  if (pElement->Attribute("NotCreateAutomaticly")) {
    g_GameLogger.Log("- Skipping node from Factory (type='%s')...\n", szType ? szType : "");
    return nullptr;
  }
  if (!szType) {
    g_GameLogger.Log("- Skipping node without a type from Factory\n");
    return nullptr;
  }
  geGetCorePort().DrawProgressBar();
  g_GameLogger.Log("- Creatting node from Factory (type='%s')...\n", szType);
  geCBaseNode* pNode = CreateNode(szType, this);
  if (!pNode) {
    g_GameLogger.Log("\b\bFAILED\n");
    return nullptr;
  }
  // Held while it is built: game code run meanwhile may take it out of this node again.
  geTRefPtr<geCBaseNode> hold(pNode);
  pNode->RegisterProperties();
  pNode->Configure(pElement);
  pNode->CreateChildrenFromXML(pElement);
  return pNode->m_pParent == this ? pNode : nullptr;
}

void geCBaseNode::CreateChildrenFromXML(TiXmlElement* pElement) {
  if (!pElement) return;
  for (TiXmlElement* pChild = pElement->FirstChildElement("Node"); pChild;
       pChild = pChild->NextSiblingElement("Node"))
    CreateChildFromXML(pChild);
}

const char* geCBaseNode::GetName() { return m_szName; }

void geCBaseNode::Update(geSUpdateArgument* pArg) {
  // The count is read at every step and each child is held while it runs: scripts and game code
  // may add and remove children during the pass.
  for (size_t i = 0; i < m_vChildren.size(); ++i) {
    geTRefPtr<geCBaseNode> child = m_vChildren[i];
    if (child->IsEnabled()) child->Update(pArg);
  }
  CallScriptFunction("geCBaseNode_Update");
}

void geCBaseNode::Process(geSUpdateArgument* pArg) {
  for (size_t i = 0; i < m_vChildren.size(); ++i) {
    geTRefPtr<geCBaseNode> child = m_vChildren[i];
    if (!child->IsEnabled()) continue;
    child->Process(pArg);
    child->m_bFirstTimeUpdate = 0;
  }
  m_bFirstTimeUpdate = 0;
}

DWORD geCBaseNode::Enable(DWORD val, DWORD bRecursiveChildren) {
  return SetEnabled(true, val, bRecursiveChildren);
}

DWORD geCBaseNode::Enable(DWORD val) { return Enable(val, 1); }

DWORD geCBaseNode::Disable(DWORD val, DWORD bRecursiveChildren) {
  return SetEnabled(false, val, bRecursiveChildren);
}

DWORD geCBaseNode::Disable(DWORD val) { return Disable(val, 1); }

DWORD geCBaseNode::SetEnabled(bool bEnabled, DWORD val, DWORD bRecursiveChildren) {
  if (bEnabled)
    m_dwFlags |= kFlagEnabled;
  else
    m_dwFlags &= ~kFlagEnabled;
  // Through the children's one-argument forms, which derived classes override.
  for (size_t i = 0; bRecursiveChildren && i < m_vChildren.size(); ++i) {
    geTRefPtr<geCBaseNode> child = m_vChildren[i];
    if (bEnabled)
      child->Enable(val);
    else
      child->Disable(val);
  }
  return IsEnabled() ? 1 : 0;
}

void geCBaseNode::ProcessMessage(geMessage* pMessage) {
  if (!m_pScriptContext) return;
  const float fStart = geStatisticsTime();
  static const char* const kFunction = "geCBaseNode_ProcessMessage";
  asIScriptFunction* pFunction = geFindScriptFunction(m_strScriptModuleName.c_str(), kFunction);
  if (pFunction &&
      geRunScriptEvent(m_pScriptContext, pFunction, {"geMessage", false, pMessage}) < 0)
    LogScriptCallError(kFunction);
  geAddStatisticsTime(STAT_ROW_SCRIPT, fStart);
}

void geCBaseNode::Render(DWORD) {}

void geCBaseNode::SetName(const char* szName) {
  const DWORD dwHash = HashNodeName(szName);
  if (!szName || !*szName) {
    g_GameLogger.Log("  -Setting name '%s' to node id=%d (Hash=%u) FAILED\n", m_szName, GetID(),
                     dwHash);
    return;
  }
  g_mapNodeNames.insert_or_assign(std::string(szName), GetID());
  std::memset(m_szName, 0, sizeof m_szName);
  std::strncpy(m_szName, szName, kMaxNameLength);
  g_GameLogger.Log("  -Setting name '%s' to node id=%d (Hash=%u)\n", m_szName, GetID(), dwHash);
}

geCBaseNode* geCBaseNode::GetNodeByName(const char* szName, DWORD bChildSearch) {
  if (!szName) return nullptr;
  if (std::strcmp(szName, m_szName) == 0) return this;
  if (!bChildSearch) {
    const auto found = g_mapNodeNames.find(std::string_view(szName));
    return found != g_mapNodeNames.end() ? GetNodeByID(found->second) : nullptr;
  }
  for (const geTRefPtr<geCBaseNode>& child : m_vChildren)
    if (geCBaseNode* pFound = child->GetNodeByName(szName, bChildSearch)) return pFound;
  return nullptr;
}

geCBaseNode* geCBaseNode::GetNodeByID(DWORD dwID) {
  if (GetID() == dwID) return this;
  for (const geTRefPtr<geCBaseNode>& child : m_vChildren)
    if (geCBaseNode* pFound = child->GetNodeByID(dwID)) return pFound;
  return nullptr;
}

geCBaseNode* geCBaseNode::GetNode(DWORD dwIndex) const {
  return dwIndex < m_vChildren.size() ? m_vChildren[dwIndex].Get() : nullptr;
}

void geCBaseNode::AddChild(geCBaseNode* pChild) {
  m_vChildren.emplace_back(pChild);
  g_GameLogger.Log("- Added child '%s'(id=%d) to node '%s'(id=%d)\n", pChild->m_szName,
                   pChild->GetID(), m_szName, GetID());
}

void geCBaseNode::RemoveChild(geCBaseNode* pChild) {
  for (auto it = m_vChildren.begin(); it != m_vChildren.end(); ++it) {
    if (it->Get() != pChild) continue;
    geTRefPtr<geCBaseNode> removed = std::move(*it);
    m_vChildren.erase(it);
    if (removed->m_pParent == this) removed->m_pParent = nullptr;
    return;
  }
}

DWORD geCBaseNode::CallScriptFunction(const char* szFunctionName) {
  const float fStart = geStatisticsTime();
  DWORD dwResult = 0;
  asIScriptFunction* pFunction =
      m_pScriptContext ? geFindScriptFunction(m_strScriptModuleName.c_str(), szFunctionName)
                       : nullptr;
  if (pFunction) {
    asDWORD dwReturn = 0;
    const int nResult =
        geRunScriptEvent(m_pScriptContext, pFunction,
                         {"geSUpdateArgument", false, geGetCorePort().GetGlobalArg()}, &dwReturn);
    if (nResult < 0) LogScriptCallError(szFunctionName);
    if (nResult == asEXECUTION_FINISHED) dwResult = dwReturn;
  }
  geAddStatisticsTime(STAT_ROW_SCRIPT, fStart);
  return dwResult;
}

void geCBaseNode::RunScript(const char* szScriptText) {
  if (!m_pScriptContext || !szScriptText) return;
  const float fStart = geStatisticsTime();
  LogASRegisterError(
      geRunScriptText(m_pScriptContext, m_strScriptModuleName.c_str(), szScriptText));
  geAddStatisticsTime(STAT_ROW_SCRIPT, fStart);
}
