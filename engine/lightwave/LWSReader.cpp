#include "lightwave/LWSReader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ZKDXInterface.h"
#include "core/UnitToByte.h"
#include "core/CopyName.h"
#include "core/EngineContext.h"
#include "core/FatalError.h"
#include "lightwave/LWOReaderState.h"
#include "lightwave/LWSEnvelopeReader.h"
#include "lightwave/LWSFields.h"
#include "lightwave/LWSImport.h"
#include "lightwave/LWSItemReader.h"
#include "lightwave/LWSLineReader.h"
#include "lightwave/LWSObjectReader.h"
#include "scene/LWSCameraBuffer.h"
#include "scene/LWSLightBuffer.h"
#include "scene/LWSNullBuffer.h"
#include "scene/LWSSceneBuffer.h"
#include "scene/Scene.h"

namespace {

// Three colour components of 0 to 1 as 0x00RRGGBB; each is truncated toward zero after scaling
// and held to a byte, so a value out of range or not a number cannot wrap into its neighbour.
UINT PackColor(LWSFields& fields) {
  UINT packed = 0;
  for (int i = 0; i < 3; ++i) packed = (packed << 8) | UnitToByte(fields.Float());
  return packed;
}

}  // namespace

UINT LWSReader::Load(char* name, char* directory) {
  LWSSceneBuffer& scene = m_import.scene;
  scene.Reset();
  float& framesPerSecond = m_import.objectReader.framesPerSecond;
  framesPerSecond = LWOReaderState::kDefaultFramesPerSecond;
  LowerCase(name);
  LowerCase(directory);
  CopyName(scene.name, name);
  CopyName(scene.directory, directory);

  char path[512] = {};
  std::snprintf(path, sizeof path, "%s%s", directory, name);
  CVirtualFileSystemInterface* files = GetEngineContext()->pVirtualFileSystem;
  VFSFile* opened = files != nullptr ? files->OpenNormalFile(path, "rt") : nullptr;
  if (opened == nullptr) FatalErrorWithTitle(kLwsTitle, "Can't Open File: %s\n", path);
  LWSLineReader file(opened, path);
  LWSEnvelopeReader envelopes(file, framesPerSecond);

  ReadHeader(file);
  while (file.HasMore()) {
    file.ReadLine();
    ReadSceneKey(file, envelopes);
  }
  m_import.target.UpdateScene(scene);
  return 1;
}

void LWSReader::ReadHeader(LWSLineReader& file) {
  const char* name = m_import.scene.name;
  if (!file.HasMore()) FatalErrorWithTitle(kLwsTitle, "Wrong File - %s\n", name);
  file.ReadLine();
  if (!file.Begins("LWSC")) FatalErrorWithTitle(kLwsTitle, "Wrong File - %s\n", name);
  if (!file.HasMore()) FatalErrorWithTitle(kLwsTitle, "Wrong File Version - %s\n", name);
  file.ReadLine();
  if (file.Line()[0] != '3') FatalErrorWithTitle(kLwsTitle, "Wrong File Version - %s\n", name);
  if (file.HasMore()) file.ReadLine();
}

void LWSReader::ReadSceneKey(LWSLineReader& file, LWSEnvelopeReader& envelopes) {
  LWSSceneBuffer& scene = m_import.scene;
  LWSFields fields(file.Line());
  if (file.Begins("PreviewFirstFrame")) {
    scene.previewFirstFrame = fields.Int();
  } else if (file.Begins("PreviewLastFrame")) {
    scene.previewLastFrame = fields.Int();
  } else if (file.Begins("PreviewFrameStep")) {
    scene.previewFrameStep = fields.Int();
  } else if (file.Begins("FramesPerSecond")) {
    scene.framesPerSecond = fields.Float();
    m_import.objectReader.framesPerSecond = scene.framesPerSecond;
  } else if (file.Begins("AmbientColor")) {
    for (float& component : scene.ambientColor) component = fields.Float();
  } else if (file.Begins("AmbientIntensity")) {
    envelopes.ReadValue(scene.ambientIntensity, fields.Next());
  } else if (file.Begins("LoadObjectLayer")) {
    LWSObjectReader(m_import, file, envelopes).LoadObjectLayer();
  } else if (file.Begins("AddLight")) {
    m_import.light.Reset();
    LWSItemReader(m_import, file, envelopes).LoadLight();
  } else if (file.Begins("AddCamera")) {
    m_import.camera.Reset();
    LWSItemReader(m_import, file, envelopes).LoadCamera();
  } else if (file.Begins("AddNullObject")) {
    m_import.null.Reset();
    LWSItemReader(m_import, file, envelopes).LoadNull();
  } else if (file.Begins("FogType")) {
    scene.fogType = fields.Int() == 1 ? 3 : 0;
  } else if (file.Begins("FogMinDistance")) {
    scene.fogMinDistance = fields.Float();
  } else if (file.Begins("FogMaxDistance")) {
    scene.fogMaxDistance = fields.Float();
  } else if (file.Begins("FogColor")) {
    scene.fogColor = PackColor(fields);
  } else if (file.Begins("BackdropColor")) {
    scene.backdropColor = PackColor(fields);
  }
  // GridSize and every other line change nothing.
}
