#pragma once
// A named set of particles drawn as the quads of one sprite of the renderer's sprite bank, one
// quad per particle. The emitter only keeps the records, forces and values and a start, stop and
// pause state; what moves the particles (the game or its scripts) fills them through the
// operations below. Operations are virtual in their table order, so that callers reach them
// through the table; the factory owns the emitters.
#include <cstdint>

#include "ZKDXMath.h"
#include "ZKDXRecords.h"
#include "windef.h"

class CEngineContext;
class CEngineLog;
class CMaterialInterface;
class CSpriteInterface;

// One force: five words that belong to whoever moves the particles.
struct ParticleForce {
  DWORD dwValues[5];
};
static_assert(sizeof(ParticleForce) == 20);

// One particle: thirteen words that belong to whoever moves it, then its active flag.
struct Particle {
  DWORD dwValues[13];
  DWORD dwActive;
};
static_assert(sizeof(Particle) == 56);

// What the factory's creator gives an emitter.
struct ParticleEmiterSettings {
  const char* szName;
  UINT dwNumberOfParticles;
  CVector3 vecVector1;
  CVector3 vecVector2;
  CVector3 vecVector3;
  CVector3 vecVector4;
  float fValue1;
  DWORD dwUnusedValue;
  float fValue2;
  DWORD dwValue;
  DWORD dwSpriteValue;
};

enum : DWORD {
  PARTICLES_STARTED = 1,
  PARTICLES_STOPPED = 2,
  PARTICLES_PAUSED = 4,
};

class CParticleEmiter {
 public:
  static constexpr UINT kMaxForces = 8;
  static constexpr UINT kMaxName = 255;

  // Stopped, without forces, particles or sprite until Init.
  CParticleEmiter(CEngineContext* context, CEngineLog* log, const ParticleEmiterSettings& settings);
  CParticleEmiter(const CParticleEmiter&) = delete;
  CParticleEmiter& operator=(const CParticleEmiter&) = delete;

  // Index 8 or more, or no force, changes nothing (a warning for the index).
  virtual void SetForce(UINT index, const ParticleForce* force);
  // Null, with a warning, for index 8 or more.
  virtual ParticleForce* GetForce(UINT index);
  // Null, with a warning, for an index not below the number of particles.
  virtual Particle* GetParticle(UINT index);
  virtual UINT GetNumberOfParticles();
  virtual float GetFloatValue1();
  virtual void SetFloatValue1(float value);
  virtual float GetFloatValue2();
  virtual void SetFloatValue2(float value);
  virtual CVector3* GetVector1();
  virtual void SetVector1(const CVector3& vector);
  virtual CVector3* GetVector2();
  virtual void SetVector2(const CVector3& vector);
  virtual CVector3* GetVector3();
  virtual void SetVector3(const CVector3& vector);
  virtual CVector3* GetVector4();
  virtual void SetVector4(const CVector3& vector);
  virtual UINT GetValue();
  virtual void SetValue(UINT value);
  // The value the sprite itself holds; 0 without a sprite.
  virtual UINT GetSpriteValue();
  virtual const char* GetName();
  // The value the emitter keeps for its sprite.
  virtual UINT GetSpriteParameter();
  virtual void SetSpriteParameter(UINT value);
  virtual void Start(UINT value);
  virtual void Pause();
  // Switches every particle and its quad off; the state stays.
  virtual void Reset();
  virtual void Stop();
  virtual UINT IsStarted();
  virtual UINT IsStopped();
  virtual UINT IsPaused();
  // After the operations, so that it takes no slot before them.
  virtual ~CParticleEmiter();

  // Allocates the particles and makes the sprite through the renderer's sprite bank from the
  // surface textures, their count and the material (which may be null). False when either
  // cannot be made.
  bool Init(SurfaceTexture** surfaceTextures, UINT textureCount, CMaterialInterface* material);

  // Whether `name`, cut as a name is cut when it is kept, is this emitter's name.
  bool HasName(const char* name) const;
  CParticleEmiter* GetNext() const { return m_pNext; }
  void SetNext(CParticleEmiter* next) { m_pNext = next; }
  CSpriteInterface* GetSprite() const { return m_pSprite; }
  UINT GetCurrentStartValue() const { return m_dwCurrentStartValue; }
  UINT GetStartValue() const { return m_dwStartValue; }

 private:
  bool CreateSprite(SurfaceTexture** surfaceTextures, UINT textureCount,
                    CMaterialInterface* material);
  void SwitchQuadsOff();
  void Warn(int line, const char* format, UINT limit);

  char m_szName[kMaxName + 1] = {};
  CEngineContext* m_pContext;
  CEngineLog* m_pLog;
  CSpriteInterface* m_pSprite = nullptr;
  Particle* m_pParticles = nullptr;
  CParticleEmiter* m_pNext = nullptr;
  DWORD m_dwSpriteValue;
  ParticleForce m_Forces[kMaxForces] = {};
  CVector3 m_vecVector1;
  CVector3 m_vecVector2;
  CVector3 m_vecVector3;
  CVector3 m_vecVector4;
  UINT m_dwNumberOfParticles;
  DWORD m_dwState = PARTICLES_STOPPED;
  DWORD m_dwValue;
  float m_fValue1;
  DWORD m_dwUnusedValue;
  float m_fValue2;
  UINT m_dwCurrentStartValue = 0;
  UINT m_dwStartValue = 0;
};
