#include "framework/MouseDirection.h"

#include <d3dx9math.h>

#include "ZKDXInterface.h"
#include "framework/EngineGlobals.h"

CVector3 GetMouseDirection(CCameraInterface* pCamera, CSceneInterface* pScene, float x, float y) {
  CVector3 result;
  result.x = result.y = result.z = 0.0f;
  if (!pScene && g_pZeKorb) pScene = g_pZeKorb->GetActiveScene();
  // A scene whose active camera number names no camera has nothing to look through.
  if (!pCamera && pScene) pCamera = pScene->GetCamera(pScene->GetActiveCameraNumber());
  if (!pCamera) return result;
  if (!pScene) pScene = pCamera->GetScene();

  CEnvelopeInterface* pZoom = pCamera->GetZoomEnvelope(0);
  const float fZoom = pZoom ? pZoom->GetValue() : 1.0f;
  const float fAspect = pCamera->GetAspect();
  if (fZoom == 0.0f || fAspect == 0.0f) return result;
  D3DXVECTOR3 ray((2.0f * x - 1.0f) / fZoom / fAspect, -(2.0f * y - 1.0f) / fZoom, 1.0f);
  D3DXVec3Normalize(&ray, &ray);

  const CMatrix* pRotation = pCamera->GetRotationMatrix(pScene ? pScene->GetFrame() : 0.0f);
  if (!pRotation) return result;
  D3DXVECTOR4 turned;
  D3DXVec3Transform(&turned, &ray, reinterpret_cast<const D3DXMATRIX*>(pRotation));
  D3DXVECTOR3 direction(turned.x, turned.y, turned.z);
  D3DXVec3Normalize(&direction, &direction);
  result.x = direction.x;
  result.y = direction.y;
  result.z = direction.z;
  return result;
}
