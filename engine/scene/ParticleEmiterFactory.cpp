#include "scene/ParticleEmiterFactory.h"

#include "core/FatalError.h"
#include "core/EngineLog.h"
#include "scene/ParticleEmiter.h"

namespace {

const char kSource[] = "ZK3DParticles";

CVector3 Read(const CVector3* vector) { return vector ? *vector : CVector3(); }

}  // namespace

CParticleEmiterFactory::CParticleEmiterFactory(CEngineContext* context, CEngineLog* log)
    : m_pContext(context), m_pLog(log) {}

CParticleEmiterFactory::~CParticleEmiterFactory() {
  while (m_pFirst) {
    CParticleEmiter* next = m_pFirst->GetNext();
    delete m_pFirst;
    m_pFirst = next;
  }
}

CParticleEmiter* CParticleEmiterFactory::CreateParticleEmiter(
    const char* name, UINT numberOfParticles, const CVector3* vector3, const CVector3* vector1,
    const CVector3* vector2, const CVector3* vector4, float value1, DWORD unusedValue,
    float value2, SurfaceTexture** surfaceTextures, UINT textureCount,
    CMaterialInterface* material, UINT value, UINT spriteValue) {
  if (!name) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING!!! - Can't Create Particle Emiter Without A Name\n");
    return nullptr;
  }
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- Creating Particle Emiter: %s\n", name);
  if (GetParticleEmiter(name)) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo,
          "  - Already Exists Particle Emiter With Name: %s\n", name);
    return nullptr;
  }
  const ParticleEmiterSettings settings = {
      name,         numberOfParticles, Read(vector1), Read(vector2), Read(vector3), Read(vector4),
      value1,       unusedValue,       value2,        value,         spriteValue};
  CParticleEmiter* emiter = NewNamedOrFatal<CParticleEmiter>(
      kNoMemoryTitle, "Can't Allocate Memory For Particles Emiter: %s", name, m_pContext, m_pLog,
      settings);
  Append(emiter);
  if (!emiter->Init(surfaceTextures, textureCount, material)) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - Can't Initialize Sprite\n");
    return nullptr;
  }
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - Done\n");
  return emiter;
}

// Names are compared as they are kept, cut to their longest, so that a long name finds the
// emitter it made.
CParticleEmiter* CParticleEmiterFactory::GetParticleEmiter(const char* name) {
  for (CParticleEmiter* emiter = m_pFirst; emiter; emiter = emiter->GetNext())
    if (emiter->HasName(name)) return emiter;
  return nullptr;
}

void CParticleEmiterFactory::Append(CParticleEmiter* emiter) {
  if (!m_pFirst) {
    m_pFirst = emiter;
    return;
  }
  CParticleEmiter* last = m_pFirst;
  while (last->GetNext()) last = last->GetNext();
  last->SetNext(emiter);
}
