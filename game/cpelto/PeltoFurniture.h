#pragma once
// A piece of furniture written in a level's XML: its first mesh is placed at the configured
// position and turned by the configured heading, pitch and bank.
#include "framework/RenderableObject.h"

class CPeltoFurniture : public geCRenderableObject {
 public:
  explicit CPeltoFurniture(geCBaseNode* pParent);

  size_t GetClassSize() const override;
  const char* GetClassName() const override;
  bool IsKindOf(const char* szClassName) const override;
  void RegisterProperties() override;
  void Configure(TiXmlElement* pElement) override;
};
