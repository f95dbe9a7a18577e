#include "scene/ParticleEmiterFactory.h"

#include <new>

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
    if (m_pLog)
      m_pLog->Log(kSource, __LINE__, CEngineLog::kLevelError,
                  "WARNING!!! - Can't Create Particle Emiter Without A Name\n");
    return nullptr;
  }
  LogInfo(__LINE__, "- Creating Particle Emiter: %s\n", name);
  if (GetParticleEmiter(name)) {
    LogInfo(__LINE__, "  - Already Exists Particle Emiter With Name: %s\n", name);
    return nullptr;
  }
  const ParticleEmiterSettings settings = {
      name,         numberOfParticles, Read(vector1), Read(vector2), Read(vector3), Read(vector4),
      value1,       unusedValue,       value2,        value,         spriteValue};
  CParticleEmiter* emiter = new (std::nothrow) CParticleEmiter(m_pContext, m_pLog, settings);
  if (!emiter) return nullptr;
  Append(emiter);
  if (!emiter->Init(surfaceTextures, textureCount, material)) {
    LogInfo(__LINE__, "  - Can't Initialize Sprite\n", nullptr);
    return nullptr;
  }
  LogInfo(__LINE__, "  - Done\n", nullptr);
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

void CParticleEmiterFactory::LogInfo(int line, const char* format, const char* name) {
  if (!m_pLog) return;
  if (name)
    m_pLog->Log(kSource, line, CEngineLog::kLevelInfo, format, name);
  else
    m_pLog->Log(kSource, line, CEngineLog::kLevelInfo, "%s", format);
}
