#include "lightwave/LWSItemReader.h"

#include <cstring>

#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "core/FileNames.h"
#include "lightwave/LWSEnvelopeReader.h"
#include "lightwave/LWSFields.h"
#include "lightwave/LWSImport.h"
#include "lightwave/LWSLineReader.h"
#include "scene/LWSCameraBuffer.h"
#include "scene/LWSLightBuffer.h"
#include "scene/LWSNullBuffer.h"
#include "scene/LWSSceneBuffer.h"
#include "scene/Scene.h"

namespace {

// The scene holds at most this many lights of the lit types (distant, point, spot).
constexpr WORD kMaxActiveLights = 7;
// The item kind a TargetObject line (an older form) gives its target.
constexpr UINT kTargetObjectKind = 5;

void StoreRotation(float (&pivot)[3], const CVector3& rotation) {
  pivot[0] = rotation.x;
  pivot[1] = rotation.y;
  pivot[2] = rotation.z;
}

}  // namespace

UINT LWSItemReader::LoadLight() {
  LWSLightBuffer& light = m_import.light;
  m_file.ReadBlock(
      [&] {
        if (m_file.Begins("LightName")) {
          CopyItemName(light.name, m_file.Line());
          LowerCase(light.name);
        } else if (m_file.Begins("LightMotion")) {
          m_envelopes.ReadMotion(light.motion, light.name);
        } else if (m_file.Begins("ItemActive")) {
          light.itemActive = static_cast<UINT>(LWSFields(m_file.Line()).Int());
        }
      },
      [&] { ReadLightKey(); },
      [&] { LogTo(m_import.log, kLwsSource, CEngineLog::kLevelInfo, "- Loading Light: %s\n", light.name); });
  RequireCreated(m_import.target.CreateSceneLight(light));
  return 1;
}

void LWSItemReader::ReadLightKey() {
  LWSLightBuffer& light = m_import.light;
  const char* line = m_file.Line();
  LWSFields fields(line);
  if (m_file.Begins("LightColor")) {
    const char* field = fields.Next();
    if (std::strncmp(field, "(envelope)", 10) == 0) {
      for (ImportEnvelope& component : light.color) m_envelopes.ReadValue(component, true, field);
    } else {
      light.color[0].isEnvelope = light.color[1].isEnvelope = light.color[2].isEnvelope = 0;
      light.color[0].value = LWSFields::ReadFloat(field);
      light.color[1].value = fields.Float();
      light.color[2].value = fields.Float();
    }
  } else if (m_file.Begins("PivotRotation")) {
    StoreRotation(light.pivotRotation, LWSEnvelopeReader::ReadPivotRotation(line, light.motion));
  } else if (m_file.Begins("LightIntensity")) {
    m_envelopes.ReadValue(light.intensity, m_file.Begins("LightIntensity (envelope)"), fields.Next());
  } else if (m_file.Begins("LightFalloffType")) {
    light.falloffType = static_cast<UINT>(fields.Int());
    m_file.ReadLine();
    if (!m_file.Begins("LightRange"))
      FatalErrorWithTitle(kLwsTitle, "\"LightRange\" Expected: %s", m_file.Line());
    m_envelopes.ReadValue(light.range, m_file.Begins("LightRange (envelope)"), LWSFields(m_file.Line()).Next());
  } else if (m_file.Begins("FlareRingSize")) {
    m_envelopes.ReadValue(light.flareRingSize, fields.Next());
  } else if (m_file.Begins("LightType")) {
    ReadLightType();
  } else if (m_file.Begins("LensFlare ")) {
    light.lensFlare = static_cast<UINT>(fields.Int());
  } else if (m_file.Begins("LightEdgeAngle")) {
    m_envelopes.ReadValue(light.edgeAngle, m_file.Begins("LightEdgeAngle (envelope)"), fields.Next());
  } else if (m_file.Begins("LightConeAngle")) {
    m_envelopes.ReadValue(light.coneAngle, m_file.Begins("LightConeAngle (envelope)"), fields.Next());
  } else if (m_file.Begins("TargetObject")) {
    light.targetIndex = static_cast<UINT>(fields.Int());
    light.targetType = kTargetObjectKind;
  } else if (m_file.Begins("TargetItem")) {
    LWSEnvelopeReader::ParseItemID(fields.Next(), light.targetType, light.targetIndex);
  } else if (m_file.Begins("ParentItem")) {
    LWSEnvelopeReader::ParseItemID(fields.Next(), light.parentType, light.parentIndex);
  } else if (m_file.Begins("LightProjImage")) {
    for (int i = 0; i < 4; ++i) m_file.ReadLine();
    char path[LWSLineReader::kLineSize];
    CopyName(path, m_file.Line());
    CopyName(light.projectionImage, GetBaseFileName(path));
    LowerCase(light.projectionImage);
    LogTo(m_import.log, kLwsSource, CEngineLog::kLevelInfo, "  - ProjectionImage: %s\n", light.projectionImage);
    light.hasProjectionImage = 1;
  }
}

void LWSItemReader::ReadLightType() {
  LWSLightBuffer& light = m_import.light;
  LWSSceneBuffer& scene = m_import.scene;
  ++scene.lightCount;
  light.lightType = static_cast<WORD>(LWSFields(m_file.Line()).Int());
  if (light.lightType > 2) return;
  light.lightNumber = scene.activeLightCount++;
  if (light.lightType == 2)
    LogTo(m_import.log, kLwsSource, CEngineLog::kLevelInfo, "  - A SpotLite As The Lite Number: %i\n",
          static_cast<int>(light.lightNumber));
  if (scene.activeLightCount > kMaxActiveLights) FatalErrorWithTitle(kLwsTitle, "Too Much Active Lights");
}

UINT LWSItemReader::LoadCamera() {
  LWSCameraBuffer& camera = m_import.camera;
  m_file.ReadBlock(
      [&] {
        if (m_file.Begins("CameraMotion")) m_envelopes.ReadMotion(camera.motion, nullptr);
      },
      [&] {
        LWSFields fields(m_file.Line());
        if (m_file.Begins("TargetObject")) {
          camera.targetIndex = static_cast<UINT>(fields.Int());
          camera.targetType = kTargetObjectKind;
        } else if (m_file.Begins("TargetItem")) {
          LWSEnvelopeReader::ParseItemID(fields.Next(), camera.targetType, camera.targetIndex);
        } else if (m_file.Begins("ZoomFactor")) {
          m_envelopes.ReadValue(camera.zoomFactor, m_file.Begins("ZoomFactor (envelope)"), fields.Next());
        } else if (m_file.Begins("PivotRotation")) {
          StoreRotation(camera.pivotRotation,
                        LWSEnvelopeReader::ReadPivotRotation(m_file.Line(), camera.motion));
        }
      });
  RequireCreated(m_import.target.CreateSceneCamera(camera));
  return 1;
}

UINT LWSItemReader::LoadNull() {
  LWSNullBuffer& null = m_import.null;
  CopyItemName(null.name, m_file.Line());
  m_file.ReadBlock(
      [&] {
        if (m_file.Begins("ObjectMotion")) m_envelopes.ReadMotion(null.motion, null.name);
      },
      [&] {
        if (m_file.Begins("ParentItem")) {
          LWSEnvelopeReader::ParseItemID(LWSFields(m_file.Line()).Next(), null.parentType, null.parentIndex);
        } else if (m_file.Begins("PivotRotation")) {
          StoreRotation(null.pivotRotation, LWSEnvelopeReader::ReadPivotRotation(m_file.Line(), null.motion));
        }
      });
  RequireCreated(m_import.target.CreateSceneNull(null));
  return 1;
}
