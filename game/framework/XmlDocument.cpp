#include "framework/XmlDocument.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <list>
#include <string>
#include <utility>

#include "ZKDXInterface.h"
#include "framework/EngineGlobals.h"
#include "framework/FatalError.h"
#include "framework/FileExists.h"
#include "framework/Logger.h"
#include "zkplatform/ZkPaths.h"

namespace {

TiXmlDocument LoadFromDisk(const char* szPath) {
  TiXmlDocument document(szPath);
  // TinyXML would open the path itself and knows neither back slashes nor the game's letter case.
  if (FILE* pFile = ZkFileOpen(szPath, "rb")) {
    document.LoadFile(pFile);
    fclose(pFile);
  } else {
    document.SetError(TiXmlBase::TIXML_ERROR_OPENING_FILE, nullptr, nullptr,
                      TIXML_ENCODING_UNKNOWN);
  }
  if (document.Error()) {
    g_GameLogger.Log(" - Error in file '%s'. Error='%s'.\n", szPath, document.ErrorDesc());
    // TinyXML counts its error location from 0 and reports it from 1.
    g_GameLogger.Log(" - Column: %d, Line: %d\n", document.ErrorCol(), document.ErrorRow());
    geFatalError("Vantor - XML Error",
                 "Error loading XML data file\nLook into log file for more informations");
  }
  return document;
}

TiXmlDocument LoadThroughEngine(const char* szPath) {
  TiXmlDocument document(szPath);
  CVirtualFileSystemInterface* pFileSystem = g_pZeKorb->GetVFSInterface();
  VFSFile* pFile = pFileSystem ? pFileSystem->OpenNormalFile(szPath, "rb") : nullptr;
  if (!pFile) return document;
  const UINT nLength = pFile->GetFileLength();
  std::string text(nLength, '\0');
  const UINT nRead = nLength ? pFile->Read(text.data(), 1, nLength) : 0;
  text.resize(std::min(nRead, nLength));
  pFile->Close();
  ParseXmlText(document, std::move(text));
  return document;
}

// A file being expanded, and the expansion it came from; the document itself is the first.
struct SIncludeOrigin {
  std::string strFile;
  const SIncludeOrigin* pParent;
};

// Spelling-independent key of a game path: slashes one way, one letter case.
std::string PathKey(const std::string& strPath) {
  std::string key = strPath;
  for (char& c : key)
    c = c == '\\' ? '/' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
}

// Nodes spliced in from a file carry their origin in TinyXML's user data while the expansion
// runs, so an include inside them knows which files lie on its way.
class CIncludeExpander {
 public:
  explicit CIncludeExpander(TiXmlNode* pRoot) : m_pRoot(pRoot) {
    const TiXmlDocument* pDocument = pRoot->GetDocument();
    if (pDocument && pDocument->Value() && *pDocument->Value())
      m_pDocumentOrigin = &m_Origins.emplace_back(SIncludeOrigin{pDocument->Value(), nullptr});
  }
  ~CIncludeExpander() { ClearMarks(m_pRoot); }

  void Expand(TiXmlNode* pNode) {
    for (TiXmlNode* pInclude = pNode->FirstChild("Include"); pInclude;
         pInclude = pNode->FirstChild("Include"))
      ExpandOne(pNode, pInclude);
    for (TiXmlNode* pChild = pNode->FirstChild(); pChild; pChild = pChild->NextSibling())
      Expand(pChild);
  }

 private:
  void ExpandOne(TiXmlNode* pParent, TiXmlNode* pInclude) {
    const TiXmlElement* pElement = pInclude->ToElement();
    const char* szFile = pElement ? pElement->Attribute("File") : nullptr;
    if (!FileExists(szFile)) {
      g_GameLogger.Log("  - Included file '%s' NOT exist\n", szFile ? szFile : "");
      pParent->RemoveChild(pInclude);
      return;
    }
    const SIncludeOrigin* pOrigin = OriginOf(pInclude);
    if (IsOnTheWay(szFile, pOrigin)) {
      g_GameLogger.Log("  - Included file '%s' includes itself, skipped\n", szFile);
      pParent->RemoveChild(pInclude);
      return;
    }
    g_GameLogger.Log("  - Includding file '%s' \n", szFile);
    const SIncludeOrigin* pNewOrigin = &m_Origins.emplace_back(SIncludeOrigin{szFile, pOrigin});
    TiXmlDocument included = LoadXmlDocument(szFile);
    for (const TiXmlNode* pTop = included.FirstChild(); pTop; pTop = pTop->NextSibling()) {
      TiXmlNode* pClone = pTop->Clone();
      if (!pClone) continue;
      pClone->SetUserData(const_cast<SIncludeOrigin*>(pNewOrigin));
      pParent->LinkEndChild(pClone);
      g_GameLogger.Log("   - moving node '%s'\n", pClone->Value());
    }
    if (pInclude->Parent() == pParent) pParent->RemoveChild(pInclude);
  }

  const SIncludeOrigin* OriginOf(const TiXmlNode* pNode) const {
    for (; pNode; pNode = pNode->Parent())
      if (const SIncludeOrigin* pOrigin = Mark(pNode)) return pOrigin;
    return m_pDocumentOrigin;
  }
  const SIncludeOrigin* Mark(const TiXmlNode* pNode) const {
    const void* pData = const_cast<TiXmlNode*>(pNode)->GetUserData();
    for (const SIncludeOrigin& origin : m_Origins)
      if (&origin == pData) return &origin;
    return nullptr;
  }
  static bool IsOnTheWay(const char* szFile, const SIncludeOrigin* pOrigin) {
    const std::string key = PathKey(szFile);
    for (; pOrigin; pOrigin = pOrigin->pParent)
      if (PathKey(pOrigin->strFile) == key) return true;
    return false;
  }
  void ClearMarks(TiXmlNode* pNode) {
    if (Mark(pNode)) pNode->SetUserData(nullptr);
    for (TiXmlNode* pChild = pNode->FirstChild(); pChild; pChild = pChild->NextSibling())
      ClearMarks(pChild);
  }

  TiXmlNode* m_pRoot;
  std::list<SIncludeOrigin> m_Origins;
  const SIncludeOrigin* m_pDocumentOrigin = nullptr;
};

}  // namespace

TiXmlDocument LoadXmlDocument(const char* szPath) {
  if (!szPath) szPath = "";
  return g_pZeKorb ? LoadThroughEngine(szPath) : LoadFromDisk(szPath);
}

void PreprocessXml(TiXmlNode* pNode) {
  if (!pNode) return;
  CIncludeExpander expander(pNode);
  expander.Expand(pNode);
}

void PreprocessDocument(TiXmlDocument& document) {
  if (!document.FirstChildElement()) {
    g_GameLogger.Log("  - Empty data (TiXmlDocument is NULL)\n");
    return;
  }
  PreprocessXml(&document);
}

void ParseXmlText(TiXmlDocument& document, std::string text) {
  // The longest UTF-8 sequence is four bytes: its lead byte then steps onto one of these zeros.
  constexpr size_t kZerosAfterText = 4;
  if (const size_t end = text.find('\0'); end != std::string::npos) text.resize(end);
  text.append(kZerosAfterText, '\0');
  document.Parse(text.c_str());
}
