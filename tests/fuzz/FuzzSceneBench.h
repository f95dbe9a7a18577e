#pragma once
// What reading and writing scene files needs besides the file system: the scene and object
// reader, and recording stand-ins for the scripts and the lights' spatial services.
#include "FakeLightSpatial.h"
#include "FuzzFileBench.h"
#include "RecordingNullScriptHost.h"
#include "files/ZKReader.h"

class FuzzSceneBench : public FuzzFileBench {
 public:
  FuzzSceneBench() {
    GetEngineContext()->ports.nullScripts.Set(&scripts);
    GetEngineContext()->ports.lightSpatial.Set(&spatial);
  }

  bool made = false;
  CZKReader reader{nullptr, &log, made};
  RecordingNullScriptHost scripts;
  FakeLightSpatial spatial;
};
