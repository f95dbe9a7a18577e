#include "framework/MouseDirection.h"

#include <d3dx9math.h>

#include "ZKDXInterface.h"
#include "framework/EngineGlobals.h"

CVector3 GetMouseDirection(CCameraInterface* pCamera, CSceneInterface* pScene, float x, float y) {
  if (!pScene && !pCamera && g_pZeKorb) pScene = g_pZeKorb->GetActiveScene();
  if (!pCamera && pScene) pCamera = pScene->GetCamera(pScene->GetActiveCameraNumber());
  if (!pCamera) return {};

  CEnvelopeInterface* pZoomEnvelope = pCamera->GetZoomEnvelope(0);
  const float fZoom = pZoomEnvelope ? pZoomEnvelope->GetValue() : 1.0f;
  const float fAspect = pCamera->GetAspect();
  D3DXVECTOR3 direction((2.0f * x - 1.0f) / fZoom / fAspect, -(2.0f * y - 1.0f) / fZoom, 1.0f);
  D3DXVec3Normalize(&direction, &direction);

  const float fFrame = pScene ? pScene->GetFrame() : 0.0f;
  const auto* pRotation = reinterpret_cast<const D3DXMATRIX*>(pCamera->GetRotationMatrix(fFrame));
  D3DXVECTOR4 rotated;
  D3DXVec3Transform(&rotated, &direction, pRotation);
  D3DXVECTOR3 result(rotated.x, rotated.y, rotated.z);
  D3DXVec3Normalize(&result, &result);
  return {result.x, result.y, result.z};
}
