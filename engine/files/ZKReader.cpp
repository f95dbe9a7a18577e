#include "files/ZKReader.h"

#include <cstdint>

#include "files/ZKOBoundingBoxExporter.h"
#include "files/ZKOMeshExporter.h"
#include "files/ZKOShadowVolumeExporter.h"
#include "files/ZKOSurfaceExporter.h"
#include "files/ZKSBoneExporter.h"
#include "files/ZKSCameraExporter.h"
#include "files/ZKSChannelEnvelopeExporter.h"
#include "files/ZKSEnvelopeExporter.h"
#include "files/ZKSKeyExporter.h"
#include "files/ZKSLightExporter.h"
#include "files/ZKSMeshExporter.h"
#include "files/ZKSMotionExporter.h"
#include "files/ZKSNullExporter.h"
#include "files/ZKSSceneExporter.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"

namespace {
const char kSource[] = ".\\Sources\\ZKReader";
}

template <class Exporter>
void CZKReader::Create(std::unique_ptr<Exporter>& slot) {
  slot.reset(NewOrFatal<Exporter>("Error While Initializing", "Can't Init ZK Reader", this, m_pLog,
                                  m_pRenderer));
}

CZKReader::CZKReader(CD3D9RendererInterface* renderer, CEngineLog* log, bool& ok)
    : m_pLog(log), m_pRenderer(renderer) {
  ok = false;
  if (m_pLog != nullptr)
    m_pLog->Log(kSource, __LINE__, CEngineLog::kLevelInfo, "  - Initializing ZK Reader... - %i\n",
                static_cast<int>(reinterpret_cast<uintptr_t>(renderer)));
  Create(m_pBoundingBox);
  Create(m_pSurface);
  Create(m_pObject);
  Create(m_pShadowVolume);
  Create(m_pKey);
  Create(m_pChannelEnvelope);
  Create(m_pEnvelope);
  Create(m_pMotion);
  Create(m_pBone);
  Create(m_pMesh);
  Create(m_pNull);
  Create(m_pLight);
  Create(m_pCamera);
  Create(m_pScene);
  if (m_pLog != nullptr) m_pLog->Log(kSource, __LINE__, CEngineLog::kLevelInfo, "    - Done\n");
  ok = true;
}

CZKReader::~CZKReader() = default;
