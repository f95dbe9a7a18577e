#pragma once
// The engine's particle emitters, made by name and found again by name. The factory owns them:
// they live until the factory goes at the engine shutdown. Operations are virtual in their table
// order, so that callers reach them through the table.
#include "ZKDXMath.h"
#include "ZKDXRecords.h"
#include "windef.h"

class CEngineContext;
class CEngineLog;
class CMaterialInterface;
class CParticleEmiter;

class CParticleEmiterFactory {
 public:
  CParticleEmiterFactory(CEngineContext* context, CEngineLog* log);
  CParticleEmiterFactory(const CParticleEmiterFactory&) = delete;
  CParticleEmiterFactory& operator=(const CParticleEmiterFactory&) = delete;

  // A new emitter, or null when the name is taken (or missing), or when its particles or its
  // sprite cannot be made; an emitter whose sprite failed still takes its name. The vectors are
  // read as given (a null one reads as zero); the surface textures, their count and the
  // material (which may be null) make the sprite.
  virtual CParticleEmiter* CreateParticleEmiter(const char* name, UINT numberOfParticles,
                                                const CVector3* vector3, const CVector3* vector1,
                                                const CVector3* vector2, const CVector3* vector4,
                                                float value1, DWORD unusedValue, float value2,
                                                SurfaceTexture** surfaceTextures,
                                                UINT textureCount, CMaterialInterface* material,
                                                UINT value, UINT spriteValue);
  // The emitter of that name (exact, case-sensitive), or null.
  virtual CParticleEmiter* GetParticleEmiter(const char* name);
  // Frees every emitter. After the operations, so that it takes no slot before them.
  virtual ~CParticleEmiterFactory();

 private:
  void Append(CParticleEmiter* emiter);

  CParticleEmiter* m_pFirst = nullptr;
  CEngineContext* m_pContext;
  CEngineLog* m_pLog;
};
