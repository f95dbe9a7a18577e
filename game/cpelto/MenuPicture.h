#pragma once
// A menu item that draws one textured rectangle: size, place, rotation, scale, colour and image
// come from its properties, its transform from its matrix stack, which scripts may change in
// its "before_Render" and "after_Render" events.
#include "cpelto/MenuItem.h"

class CTextureInterface;

class CMenuPicture : public CMenuItem {
 public:
  static constexpr const char* kEmptyImage = "empty.dds";

  explicit CMenuPicture(geCBaseNode* pParent);

  const char* GetClassName() const override;
  bool IsKindOf(const char* szClassName) const override;
  void RegisterProperties() override;
  // Every picture is enabled afterwards, whatever its "Enabled" said.
  void Configure(TiXmlElement* pElement) override;
  // "OnUpdate" runs twice: here and in the item's update.
  void Update(geSUpdateArgument* pArg) override;
  void Render(DWORD dwClearFlags) override;
  // Reads the properties into the size, the stack's top, the colour and the texture.
  virtual void ApplyProperties();

  CTextureInterface* GetTexture() const { return m_pTexture; }
  bool IsTiled() const { return m_bTiled != 0; }

 private:
  void ApplyTexture();
  void UpdateTiling();

  float m_fTileU = 1.0f;
  float m_fTileV = 1.0f;
  BYTE m_bTiled = 0;
  CTextureInterface* m_pTexture = nullptr;
};
