#pragma once
// A node that keeps any property its XML gives it and can write its properties, and those of
// the configuration nodes below it, back into their XML elements (player profiles use it).
#include "framework/BaseNode.h"

class geCConfigurationNode : public geCBaseNode {
 public:
  explicit geCConfigurationNode(geCBaseNode* pParent);
  ~geCConfigurationNode() override;

  // Replaces the Param children of the node's element by one Param a property, in name order
  // (ints and booleans as "%d", floats as "%3.3f", anything else as its text; empty values get
  // none), then does the same for the configuration nodes below. A node without an element
  // writes nothing of its own.
  void SaveToXML();
  void SetXmlElement(TiXmlElement* pElement) { m_pXmlElement = pElement; }
};
