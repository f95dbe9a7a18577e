#pragma once
// The list of live scenes. Every scene adds itself when it is made and leaves when it is
// released, so that the engine can tell a live scene from a stale pointer.
#include "core/PointerList.h"

class CEngineLog;

class CSceneItemsManager {
 public:
  explicit CSceneItemsManager(CEngineLog* log) : m_log(log) {}
  CSceneItemsManager(const CSceneItemsManager&) = delete;
  CSceneItemsManager& operator=(const CSceneItemsManager&) = delete;

  CPointerList& GetScenes() { return m_scenes; }
  CEngineLog* GetLog() const { return m_log; }

 private:
  CPointerList m_scenes;
  CEngineLog* m_log;
};
