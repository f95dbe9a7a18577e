#pragma once
// "MOTN": a motion — a "CHNN" chunk with the number of channels, then one "CENV" per channel.
// Its size word counts the "CENV" chunks only (12 less than its payload); readers do not use it
// and find the end of the channel run by its tags.
#include <cstdio>

#include "files/ZKExporter.h"

class CMotion;

class CZKSMotionExporter final : public CZKExporter {
 public:
  CZKSMotionExporter(CZKReader* reader, CEngineLog* log, CD3D9RendererInterface* renderer)
      : CZKExporter(reader, log, renderer, ".\\Sources\\ZKSMotionExporter") {}

  bool WriteMotion(CMotion* motion, FILE* stream, UINT& total);
  // Called after the "MOTN" tag. Reads the channels up to the first tag that is not "CENV" or
  // the end of the enclosing payload, and leaves that tag to the caller. The channel count is
  // stored only when the run holds exactly that many channels.
  bool ReadMotion(CMotion* motion, CChunkReader& in);
};
