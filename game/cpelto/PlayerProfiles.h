#pragma once
// The players' profiles: a tree of configuration nodes under one root, each node linked to its
// element in one XML document whose top element is `Profiles`. A file whose name holds ".xml"
// is plain XML; any other is the XML text with every byte complemented.
#include <tinyxml.h>

#include <string>

#include "framework/ConfigurationNode.h"
#include "framework/RefPtr.h"

class geCBaseNode;

class CPlayerProfiles {
 public:
  static constexpr const char* kTopElement = "Profiles";

  // Starts with an empty `Profiles` element linked to the root, so items may be added and saved
  // before any load.
  CPlayerProfiles();
  ~CPlayerProfiles();
  CPlayerProfiles(const CPlayerProfiles&) = delete;
  CPlayerProfiles& operator=(const CPlayerProfiles&) = delete;

  geCConfigurationNode* GetRoot() const { return m_pRoot.Get(); }
  TiXmlDocument& GetDocument() { return m_Document; }

  // False for a missing file and for a document without `Profiles` (logged, nothing changed).
  // The file's items join the root; the items already there stay.
  bool Load(const char* szFileName);
  // Writes the tree back into its elements and the document to disk; a file that cannot be
  // opened is logged and left as it was.
  void Save(const char* szFileName);

  static bool IsPlainXmlName(const char* szFileName);

 private:
  bool ParseFile(const char* szFileName, TiXmlDocument& document) const;
  void LinkRoot(TiXmlElement* pProfiles);

  geTRefPtr<geCConfigurationNode> m_pRoot;
  TiXmlDocument m_Document;
};

// Each byte b of the text becomes 255 - b; applying it twice gives the text back.
std::string Koduj(const std::string& strText);
std::string DeKoduj(const std::string& strText);

// A new configuration node under the parent, with a "Node" element appended to the parent's
// element; null for a null parent.
geCBaseNode* AddProfileItem(geCBaseNode* pParent, const char* szName);
// Takes the node and its element out of the tree; the parent's reference goes.
void RemoveProfileItem(geCBaseNode* pParent);
