#include "scene/ParticleEmiter.h"

#include <cstring>
#include <new>

#include "ZeKorbD3DHeader.h"
#include "core/CopyName.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"

namespace {

const char kSource[] = "ZK3DParticles";

// The sprite writes its quads' vertices packed in these layouts. A material lights the
// particles, so that layout carries the normal; without one they are drawn unlit from position
// and texture coordinates.
D3DVERTEXELEMENT9 g_litLayout[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0},
    {0, 24, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
    D3DDECL_END()};
D3DVERTEXELEMENT9 g_unlitLayout[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
    D3DDECL_END()};

// Orientation and reuse flags of the particles' sprite: camera-facing quads, shared by name.
constexpr UINT kSpriteOrientation = SPRITE_CAMERA_FACING;
constexpr UINT kSpriteReuse = 1;

}  // namespace

CParticleEmiter::CParticleEmiter(CEngineContext* context, CEngineLog* log,
                                 const ParticleEmiterSettings& settings)
    : m_pContext(context),
      m_pLog(log),
      m_dwSpriteValue(settings.dwSpriteValue),
      m_vecVector1(settings.vecVector1),
      m_vecVector2(settings.vecVector2),
      m_vecVector3(settings.vecVector3),
      m_vecVector4(settings.vecVector4),
      m_dwNumberOfParticles(settings.dwNumberOfParticles),
      m_dwValue(settings.dwValue),
      m_fValue1(settings.fValue1),
      m_dwUnusedValue(settings.dwUnusedValue),
      m_fValue2(settings.fValue2) {
  CopyName(m_szName, settings.szName);
}

// The sprite belongs to the renderer's sprite bank.
CParticleEmiter::~CParticleEmiter() { delete[] m_pParticles; }

bool CParticleEmiter::Init(SurfaceTexture** surfaceTextures, UINT textureCount,
                           CMaterialInterface* material) {
  delete[] m_pParticles;
  // The count is the caller's: too many is a failed creation, not the engine's end.
  m_pParticles = new (std::nothrow) Particle[m_dwNumberOfParticles]();
  if (!m_pParticles || !CreateSprite(surfaceTextures, textureCount, material)) {
    if (m_pLog)
      m_pLog->Log(kSource, __LINE__, CEngineLog::kLevelInfo,
                  "- Can't Create Sprites For Particles Emiter: %s\n", m_szName);
    return false;
  }
  m_pSprite->SetOrientationFlags(m_dwSpriteValue);
  SwitchQuadsOff();
  return true;
}

bool CParticleEmiter::CreateSprite(SurfaceTexture** surfaceTextures, UINT textureCount,
                                   CMaterialInterface* material) {
  CD3D9RendererInterface* renderer = m_pContext ? m_pContext->pRenderer : nullptr;
  CSpriteStorageInterface* bank = renderer ? renderer->GetSpriteStorageInterface() : nullptr;
  if (!bank) return false;
  m_pSprite = bank->CreateSprite(m_szName, m_dwNumberOfParticles,
                                 material ? g_litLayout : g_unlitLayout, surfaceTextures,
                                 textureCount, material, kSpriteOrientation, kSpriteReuse, 0);
  return m_pSprite != nullptr;
}

void CParticleEmiter::SwitchQuadsOff() {
  if (!m_pSprite) return;
  for (UINT i = 0; i < m_dwNumberOfParticles; ++i) m_pSprite->SetIsActive(i, 0);
}

bool CParticleEmiter::HasName(const char* name) const {
  return name && std::strncmp(m_szName, name, kMaxName) == 0;
}

void CParticleEmiter::Warn(int line, const char* format, UINT limit) {
  if (m_pLog)
    m_pLog->Log(kSource, line, CEngineLog::kLevelError, format, static_cast<int>(limit), m_szName);
}

void CParticleEmiter::SetForce(UINT index, const ParticleForce* force) {
  if (index >= kMaxForces) {
    Warn(__LINE__, "WARNING!!! - Can't Set Particle's Force Greater Than: %i (%s)\n", kMaxForces);
    return;
  }
  if (force) m_Forces[index] = *force;
}

ParticleForce* CParticleEmiter::GetForce(UINT index) {
  if (index >= kMaxForces) {
    Warn(__LINE__, "WARNING!!! - Can't Get Particle's Force Greater Than: %i (%s)\n", kMaxForces);
    return nullptr;
  }
  return &m_Forces[index];
}

// An emitter whose particles could not be allocated has none to hand out.
Particle* CParticleEmiter::GetParticle(UINT index) {
  if (index >= m_dwNumberOfParticles || !m_pParticles) {
    Warn(__LINE__, "WARNING!!! - Can't Get Particle With ID Greater Than: %i (%s)\n",
         m_dwNumberOfParticles);
    return nullptr;
  }
  return &m_pParticles[index];
}

UINT CParticleEmiter::GetNumberOfParticles() { return m_dwNumberOfParticles; }
float CParticleEmiter::GetFloatValue1() { return m_fValue1; }
void CParticleEmiter::SetFloatValue1(float value) { m_fValue1 = value; }
float CParticleEmiter::GetFloatValue2() { return m_fValue2; }
void CParticleEmiter::SetFloatValue2(float value) { m_fValue2 = value; }
CVector3* CParticleEmiter::GetVector1() { return &m_vecVector1; }
void CParticleEmiter::SetVector1(const CVector3& vector) { m_vecVector1 = vector; }
CVector3* CParticleEmiter::GetVector2() { return &m_vecVector2; }
void CParticleEmiter::SetVector2(const CVector3& vector) { m_vecVector2 = vector; }
CVector3* CParticleEmiter::GetVector3() { return &m_vecVector3; }
void CParticleEmiter::SetVector3(const CVector3& vector) { m_vecVector3 = vector; }
CVector3* CParticleEmiter::GetVector4() { return &m_vecVector4; }
void CParticleEmiter::SetVector4(const CVector3& vector) { m_vecVector4 = vector; }
UINT CParticleEmiter::GetValue() { return m_dwValue; }
void CParticleEmiter::SetValue(UINT value) { m_dwValue = value; }

UINT CParticleEmiter::GetSpriteValue() { return m_pSprite ? m_pSprite->GetOrientationFlags() : 0; }

const char* CParticleEmiter::GetName() { return m_szName; }

UINT CParticleEmiter::GetSpriteParameter() { return m_dwSpriteValue; }

void CParticleEmiter::SetSpriteParameter(UINT value) {
  m_dwSpriteValue = value;
  if (m_pSprite) m_pSprite->SetOrientationFlags(value);
}

void CParticleEmiter::Start(UINT value) {
  m_dwCurrentStartValue = m_dwStartValue = value;
  m_dwState = PARTICLES_STARTED;
}

void CParticleEmiter::Pause() { m_dwState = PARTICLES_PAUSED; }

void CParticleEmiter::Reset() {
  m_dwCurrentStartValue = m_dwStartValue;
  if (m_pParticles)
    for (UINT i = 0; i < m_dwNumberOfParticles; ++i) m_pParticles[i].dwActive = 0;
  SwitchQuadsOff();
}

void CParticleEmiter::Stop() {
  m_dwCurrentStartValue = m_dwStartValue = 0;
  m_dwState = PARTICLES_STOPPED;
}

UINT CParticleEmiter::IsStarted() { return m_dwState & PARTICLES_STARTED; }
UINT CParticleEmiter::IsStopped() { return (m_dwState & PARTICLES_STOPPED) >> 1; }
UINT CParticleEmiter::IsPaused() { return (m_dwState & PARTICLES_PAUSED) >> 2; }
