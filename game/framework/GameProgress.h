#pragma once
// A loading or progress bar: an engine scene whose animation frame shows a progress value.
// Whoever drives it sends the node message 1 with the value; each frame the node shows that
// frame of its scene and draws it over what is already on the screen. The application core
// also steps it one frame per node built while a tree loads.
#include "framework/GameObject.h"

class CGameProgress : public geCGameObject {
 public:
  static constexpr DWORD kMessageSetProgress = 1;

  explicit CGameProgress(geCBaseNode* pParent);
  ~CGameProgress() override;

  void Configure(TiXmlElement* pElement) override;
  // Shows the progress value as the scene's frame; a bar without a scene shows nothing.
  void Update(geSUpdateArgument* pArg) override;
  // The children and the scene's passes; the bar never enters the render list.
  void Process(geSUpdateArgument* pArg) override;
  void ProcessMessage(geMessage* pMessage) override;
  void Render(DWORD dwClearFlags) override;

  DWORD GetProgress() const { return m_dwProgress; }
  void SetProgress(DWORD dwProgress) { m_dwProgress = dwProgress; }

 private:
  DWORD m_dwProgress = 0;
};
