#include "cpelto/PlayerProfiles.h"

#include <cstdio>
#include <cstring>

#include "cpelto/VfsFileBytes.h"
#include "framework/FileExists.h"
#include "framework/Logger.h"
#include "framework/XmlDocument.h"
#include "zkplatform/ZkPaths.h"

CPlayerProfiles::CPlayerProfiles() : m_pRoot(new geCConfigurationNode(nullptr)) {
  LinkRoot(m_Document.InsertEndChild(TiXmlElement(kTopElement))->ToElement());
}

CPlayerProfiles::~CPlayerProfiles() {
  // The nodes point into the document: they go first.
  m_pRoot.Reset();
}

bool CPlayerProfiles::IsPlainXmlName(const char* szFileName) {
  return szFileName && strstr(szFileName, ".xml") != nullptr;
}

bool CPlayerProfiles::ParseFile(const char* szFileName, TiXmlDocument& document) const {
  if (IsPlainXmlName(szFileName)) {
    document = LoadXmlDocument(szFileName);
    return true;
  }
  std::string bytes;
  if (!ReadVfsFileBytes(szFileName, bytes)) return false;
  // The text ends at its first zero, a 0xFF byte in the file. A zero byte in the file is a 0xFF
  // character of the text, which a save writes for a name or value holding it: stopping there
  // would lose the rest of the profiles.
  ParseXmlText(document, Koduj(bytes));
  return true;
}

bool CPlayerProfiles::Load(const char* szFileName) {
  if (!FileExists(szFileName)) return false;
  TiXmlDocument loaded;
  if (!ParseFile(szFileName, loaded)) return false;
  TiXmlElement* pLoaded = loaded.FirstChildElement(kTopElement);
  if (!pLoaded) {
    g_GameLogger.Log("WARNING: no <%s> element in profiles '%s'\n", kTopElement, szFileName);
    return false;
  }
  if (m_pRoot->GetNodesCount() == 0) {
    // Nothing links into the old document any more but the root.
    m_Document = loaded;
    LinkRoot(m_Document.FirstChildElement(kTopElement));
    m_pRoot->CreateChildrenFromXML(m_pRoot->GetXmlElement());
    return true;
  }
  // The items already loaded keep their elements: the file's items join the same document.
  TiXmlElement* pProfiles = m_pRoot->GetXmlElement();
  for (TiXmlElement* pItem = pLoaded->FirstChildElement("Node"); pItem;
       pItem = pItem->NextSiblingElement("Node"))
    if (TiXmlNode* pCopy = pProfiles->InsertEndChild(*pItem))
      m_pRoot->CreateChildFromXML(pCopy->ToElement());
  return true;
}

void CPlayerProfiles::Save(const char* szFileName) {
  m_pRoot->SaveToXML();
  TiXmlPrinter printer;
  m_Document.Accept(&printer);
  const bool bPlain = IsPlainXmlName(szFileName);
  const std::string strText = bPlain ? std::string(printer.CStr()) : Koduj(printer.CStr());
  FILE* pFile = szFileName ? ZkFileOpen(szFileName, bPlain ? "w" : "wb") : nullptr;
  if (!pFile) {
    g_GameLogger.Log("WARNING: can't write profiles '%s'\n", szFileName ? szFileName : "");
    return;
  }
  if (fwrite(strText.data(), 1, strText.size(), pFile) != strText.size())
    g_GameLogger.Log("WARNING: profiles '%s' not fully written\n", szFileName);
  fclose(pFile);
}

void CPlayerProfiles::LinkRoot(TiXmlElement* pProfiles) { m_pRoot->SetXmlElement(pProfiles); }

std::string Koduj(const std::string& strText) {
  std::string strResult = strText;
  for (char& c : strResult) c = static_cast<char>(~static_cast<unsigned char>(c));
  return strResult;
}

std::string DeKoduj(const std::string& strText) { return Koduj(strText); }

geCBaseNode* AddProfileItem(geCBaseNode* pParent, const char* szName) {
  if (!pParent) return nullptr;
  TiXmlElement* pParentElement = pParent->GetXmlElement();
  if (!pParentElement) {
    g_GameLogger.Log("WARNING: profile item '%s' not added: '%s' has no XML element\n",
                     szName ? szName : "", pParent->GetName());
    return nullptr;
  }
  auto* pItem = new geCConfigurationNode(pParent);
  pItem->SetName(szName);
  TiXmlElement element("Node");
  element.SetAttribute("Type", "ConfigurationNode");
  element.SetAttribute("Name", pItem->GetName());
  pItem->SetXmlElement(pParentElement->InsertEndChild(element)->ToElement());
  return pItem;
}

void RemoveProfileItem(geCBaseNode* pParent) {
  geCBaseNode* pItem = pParent;
  if (!pItem) return;
  geCBaseNode* pOwner = pItem->GetParent();
  TiXmlElement* pElement = pItem->GetXmlElement();
  if (pOwner && pElement && pOwner->GetXmlElement() &&
      pElement->Parent() == pOwner->GetXmlElement()) {
    pOwner->GetXmlElement()->RemoveChild(pElement);
    // The node's element is gone; it must not be written again.
    if (auto* pConfiguration = dynamic_cast<geCConfigurationNode*>(pItem))
      pConfiguration->SetXmlElement(nullptr);
  }
  if (pOwner) pOwner->RemoveChild(pItem);
}
