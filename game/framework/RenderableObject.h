#pragma once
// The game object that configures itself completely from its XML element: it loads its file,
// fills its animation list, sets the visibility of its meshes, attaches one of its objects to a
// mesh or null of an ancestor game object, and enters the frame's render list in its process
// pass. Scripts see its two events "geCRenderableObject_Update" and "geCRenderableObject_Process".
#include "framework/GameObject.h"

class geCRenderableObject : public geCGameObject {
 public:
  static constexpr DWORD kDefaultRenderPriority = 100;

  explicit geCRenderableObject(geCBaseNode* pParent);
  ~geCRenderableObject() override;

  const char* GetClassName() const override;
  bool IsKindOf(const char* szClassName) const override;
  void RegisterProperties() override;
  void Configure(TiXmlElement* pElement) override;
  void Update(geSUpdateArgument* pArg) override;
  void Process(geSUpdateArgument* pArg) override;

 protected:
  // True when the element gave the property a value.
  bool IsGiven(const char* szName) const;

 private:
  void LoadConfiguredFile();
  // The number of Animation elements and the id to activate.
  DWORD ReadAnimations(TiXmlElement* pElement, DWORD& dwActiveID);
  void ReadVisibility(TiXmlElement* pElement);
  void AttachToParent();
};
