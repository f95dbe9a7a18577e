#pragma once
// The application core as nodes see it, for the game's tests: it exists, counts the loading
// frames it was asked to draw, keeps the frame's update argument and the cursor it was handed, and
// reports the mouse status a test sets, and records the render-list entries and projection modes
// asked of it. Registered while it lives.
#include <utility>
#include <vector>

#include "framework/CorePort.h"

class CRecordingCorePort : public geCCorePort {
 public:
  CRecordingCorePort() : m_pPrevious(geSetCorePort(this)) {}
  ~CRecordingCorePort() override { geSetCorePort(m_pPrevious); }
  CRecordingCorePort(const CRecordingCorePort&) = delete;
  CRecordingCorePort& operator=(const CRecordingCorePort&) = delete;

  bool CoreExists() const override { return exists; }
  void DrawProgressBar() override { ++progressFrames; }
  geSUpdateArgument* GetGlobalArg() override { return &arg; }
  void SetCurrentCursor(HCURSOR hCursor) override { cursor = hCursor; }
  geMouseStatus* GetMouseStatus() override { return &mouse; }
  void AddToRenderList(DWORD dwKey, geCBaseNode* pNode) override {
    renderList.emplace_back(dwKey, pNode);
  }
  void SetProjectionMode(DWORD dwMode) override { projectionModes.push_back(dwMode); }

  bool exists = true;
  int progressFrames = 0;
  geSUpdateArgument arg = {0.0f, 0.0f};
  HCURSOR cursor = nullptr;
  geMouseStatus mouse = {};
  std::vector<std::pair<DWORD, geCBaseNode*>> renderList;
  std::vector<DWORD> projectionModes;

 private:
  geCCorePort* m_pPrevious;
};
