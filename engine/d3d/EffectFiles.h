#pragma once
// The device's holder of effect files and of the state manager every effect sets its states
// through. Nothing in the engine loads effect files, so it holds the state manager only. Made
// with the device, last.
#include <memory>

#include "d3d/EffectStateManager.h"

class CEngineLog;
class CEngineRenderer;

class CEffectFiles {
 public:
  // Without memory for the state manager it is logged and stays null.
  CEffectFiles(CEngineRenderer* renderer, CEngineLog* log);
  ~CEffectFiles();
  CEffectFiles(const CEffectFiles&) = delete;
  CEffectFiles& operator=(const CEffectFiles&) = delete;

  // Null when it could not be made.
  ID3DXEffectStateManager* GetStateManager() const { return m_pStateManager.get(); }

 private:
  std::unique_ptr<CEffectStateManager> m_pStateManager;
};
