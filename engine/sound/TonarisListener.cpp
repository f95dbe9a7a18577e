#include "sound/TonarisListener.h"

#include <dxerr9.h>

#include "sound/SoundLog.h"

namespace {

const char kSource[] = "QMRSNDListener";

void Copy3(const float from[3], float& x, float& y, float& z) {
  x = from[0];
  y = from[1];
  z = from[2];
}

void Store3(float to[3], float x, float y, float z) {
  to[0] = x;
  to[1] = y;
  to[2] = z;
}

}  // namespace

CTonarisListener::CTonarisListener(IDirectSound3DListener* listener, CSoundLog* log)
    : m_pListener(listener), m_pLog(log) {}

CTonarisListener::~CTonarisListener() {
  if (m_pListener) m_pListener->Release();
}

UINT CTonarisListener::Result(HRESULT result, const char* failure) {
  if (SUCCEEDED(result)) return 1;
  m_pLog->Write(kSource, failure, DXGetErrorString9A(result), DXGetErrorDescription9A(result));
  return 0;
}

UINT CTonarisListener::GetOrientation(float& frontX, float& frontY, float& frontZ, float& topX,
                                      float& topY, float& topZ) {
  Copy3(m_vecFront, frontX, frontY, frontZ);
  Copy3(m_vecTop, topX, topY, topZ);
  return m_pListener ? 1 : 0;
}

UINT CTonarisListener::SetOrientation(float frontX, float frontY, float frontZ, float topX,
                                      float topY, float topZ) {
  if (!m_pListener) return 0;
  Store3(m_vecFront, frontX, frontY, frontZ);
  Store3(m_vecTop, topX, topY, topZ);
  return Result(
      m_pListener->SetOrientation(frontX, frontY, frontZ, topX, topY, topZ, DS3D_DEFERRED),
      "ERROR! - Can't Set Listener's Orientation\n(%s - %s)\n");
}

UINT CTonarisListener::GetPosition(float& x, float& y, float& z) {
  Copy3(m_vecPosition, x, y, z);
  return m_pListener ? 1 : 0;
}

UINT CTonarisListener::Set3(float stored[3], float x, float y, float z,
                            HRESULT (IDirectSound3DListener::*set)(D3DVALUE, D3DVALUE, D3DVALUE,
                                                                   DWORD),
                            const char* failure) {
  if (!m_pListener) return 0;
  Store3(stored, x, y, z);
  return Result((m_pListener->*set)(x, y, z, DS3D_DEFERRED), failure);
}

UINT CTonarisListener::SetPosition(float x, float y, float z) {
  return Set3(m_vecPosition, x, y, z, &IDirectSound3DListener::SetPosition,
              "ERROR! - Can't Set Listener's Position\n(%s - %s)\n");
}

UINT CTonarisListener::GetVelocity(float& x, float& y, float& z) {
  Copy3(m_vecVelocity, x, y, z);
  return m_pListener ? 1 : 0;
}

UINT CTonarisListener::SetVelocity(float x, float y, float z) {
  return Set3(m_vecVelocity, x, y, z, &IDirectSound3DListener::SetVelocity,
              "ERROR! - Can't Set Listener's Velocity\n(%s - %s)\n");
}

UINT CTonarisListener::CommitSettings() {
  if (!m_pListener) return 0;
  return Result(m_pListener->CommitDeferredSettings(),
                "ERROR! - Can't Apply 3D Sound Settings\n(%s - %s)\n");
}
