#pragma once
// The unit of the game's logic: a named node with a parent, ordered children that it holds, a
// property bag, an enabled bit and, optionally, a script module whose named functions act as the
// node's event handlers. Every node class of the framework and of the game derives from it and
// keeps these virtual operations in this order, appending its own after them.
#include <angelscript.h>
#include <windef.h>

#include <map>
#include <string>
#include <vector>

#include "framework/BaseObject.h"
#include "framework/Message.h"
#include "framework/Properties.h"
#include "framework/RefPtr.h"
#include "framework/UpdateArgument.h"

class TiXmlElement;

// The name hash that log lines print for node names.
DWORD HashNodeName(const char* szName);

// Every name a node took, to the id of the node that took it last. A renamed node keeps its old
// names here, so code that still asks for an old name finds it. Keyed by the whole name, so two
// names that share a hash never find each other's node.
extern std::map<std::string, DWORD, std::less<>> g_mapNodeNames;

class geCBaseNode : public geCBaseObject {
 public:
  // Flag word values.
  static constexpr DWORD kFlagEnabled = 2;
  // The node accepts Param attributes that its class never registered.
  static constexpr DWORD kFlagAcceptsAnyProperty = 0x200;

  static constexpr size_t kMaxNameLength = 255;

  // Joins the parent's children when there is a parent; without one the caller holds the node.
  explicit geCBaseNode(geCBaseNode* pParent);
  ~geCBaseNode() override;

  size_t GetClassSize() const override;
  const char* GetClassName() const override;
  bool IsKindOf(const char* szClassName) const override;

  // Registers the class's property names; the base sets the enabled bit and the first-update
  // mark too.
  virtual void RegisterProperties();
  // Takes the node's name, properties, enabled state and script module from its element.
  virtual void Configure(TiXmlElement* pElement);
  // Builds one child from a node element through the factory; null when none was built.
  virtual geCBaseNode* CreateChildFromXML(TiXmlElement* pElement);
  // Builds a child for every "Node" element under the element, depth first, in document order.
  virtual void CreateChildrenFromXML(TiXmlElement* pElement);
  virtual const char* GetName();
  // The passes of a frame: each visits the enabled children, in order.
  virtual void Update(geSUpdateArgument* pArg);
  virtual void Process(geSUpdateArgument* pArg);
  // Set or clear the enabled bit; the children's whole subtrees follow when asked. Each returns
  // the node's enabled bit afterwards (1 or 0).
  virtual DWORD Enable(DWORD val, DWORD bRecursiveChildren);
  virtual DWORD Enable(DWORD val);
  virtual DWORD Disable(DWORD val, DWORD bRecursiveChildren);
  virtual DWORD Disable(DWORD val);
  // Hands the message to the node's script; the children do not see it.
  virtual void ProcessMessage(geMessage* pMessage);
  virtual void Render(DWORD dwClearFlags);

  // Names the node and maps the name to it; an empty name is refused and logged.
  void SetName(const char* szName);
  // This node when the name is its own. Else, with bChildSearch 0, the node that last took the
  // name, when it lies in this subtree; with bChildSearch non-zero, the first node so named in
  // depth-first order below.
  geCBaseNode* GetNodeByName(const char* szName, DWORD bChildSearch);
  // The first node with the id, in depth-first order from this node; null when none.
  geCBaseNode* GetNodeByID(DWORD dwID);
  geCBaseNode* GetParent() const { return m_pParent; }
  DWORD GetNodesCount() const { return static_cast<DWORD>(m_vChildren.size()); }
  // The child at the index; null at or past the end.
  geCBaseNode* GetNode(DWORD dwIndex) const;
  geCProperties* GetProperties() { return &m_Properties; }
  DWORD IsFistTimeUpdate() const { return m_bFirstTimeUpdate; }
  DWORD GetFlags() const { return m_dwFlags; }
  bool IsEnabled() const { return (m_dwFlags & kFlagEnabled) != 0; }
  AngelScript::asIScriptContext* GetScriptContext() const { return m_pScriptContext; }
  const std::string& GetScriptModuleName() const { return m_strScriptModuleName; }
  const std::string& GetScriptFile() const { return m_strScriptFile; }
  TiXmlElement* GetXmlElement() const { return m_pXmlElement; }

  // Removes the first entry holding the child and lets it go; nothing when it is not a child.
  void RemoveChild(geCBaseNode* pChild);

  // Runs the script function of that name in the node's module with the frame's update
  // argument; returns its 32-bit result, or 0. A missing function is skipped silently.
  DWORD CallScriptFunction(const char* szFunctionName);
  // Executes script statements in the node's module on the node's context.
  void RunScript(const char* szScriptText);

 protected:
  DWORD m_dwFlags = 0;
  DWORD m_bFirstTimeUpdate = 0;
  std::string m_strScriptModuleName;
  std::string m_strScriptFile;
  char m_szName[kMaxNameLength + 1] = {};
  geCBaseNode* m_pParent = nullptr;
  geCProperties m_Properties;
  AngelScript::asIScriptContext* m_pScriptContext = nullptr;
  TiXmlElement* m_pXmlElement = nullptr;
  std::vector<geTRefPtr<geCBaseNode>> m_vChildren;

 private:
  void AddChild(geCBaseNode* pChild);
  DWORD SetEnabled(bool bEnabled, DWORD val, DWORD bRecursiveChildren);
  void ReadParams(TiXmlElement* pElement);
  void LoadScriptModule();
  void ReleaseScriptContext();
};
