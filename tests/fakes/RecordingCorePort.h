#pragma once
// The application core as nodes see it, for the game's tests: it exists, counts the loading
// frames it was asked to draw, and keeps the frame's update argument. Registered while it lives.
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

  bool exists = true;
  int progressFrames = 0;
  geSUpdateArgument arg = {0.0f, 0.0f};

 private:
  geCCorePort* m_pPrevious;
};
