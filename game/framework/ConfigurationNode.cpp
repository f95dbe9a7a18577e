#include "framework/ConfigurationNode.h"

#include <tinyxml.h>

#include <cstdio>

#include "framework/Logger.h"

namespace {

// A property's value as its Param attribute writes it.
std::string ParamText(const geCVariant& value) {
  char szNumber[64];
  switch (value.GetType()) {
    case geCVariant::TYPE_INT:
      snprintf(szNumber, sizeof szNumber, "%d", value.AsInt());
      return szNumber;
    case geCVariant::TYPE_BOOL:
      snprintf(szNumber, sizeof szNumber, "%d", value.AsBool() ? 1 : 0);
      return szNumber;
    case geCVariant::TYPE_FLOAT:
      snprintf(szNumber, sizeof szNumber, "%3.3f", value.AsFloat());
      return szNumber;
    default:
      return geCVariant(value).AsString();
  }
}

}  // namespace

geCConfigurationNode::geCConfigurationNode(geCBaseNode* pParent) : geCBaseNode(pParent) {
  m_dwFlags |= kFlagAcceptsAnyProperty;
}

geCConfigurationNode::~geCConfigurationNode() = default;

void geCConfigurationNode::SaveToXML() {
  if (TiXmlElement* pElement = m_pXmlElement) {
    while (TiXmlNode* pParam = pElement->FirstChild("Param")) pElement->RemoveChild(pParam);
    g_GameLogger.Log("<< %s\n", GetName());
    for (const auto& [strName, value] : m_Properties.GetAll()) {
      g_GameLogger.Log("<<< %s\n", strName.c_str());
      if (value.GetType() == geCVariant::TYPE_EMPTY) continue;
      TiXmlElement param("Param");
      param.SetAttribute(strName, ParamText(value));
      pElement->InsertEndChild(param);
    }
  }
  for (DWORD i = 0; i < GetNodesCount(); ++i)
    if (auto* pChild = dynamic_cast<geCConfigurationNode*>(GetNode(i))) pChild->SaveToXML();
}
