#include "scene/MeshRayTest.h"

#include <cfloat>

#include <d3dx9math.h>

namespace {

const D3DXVECTOR3* AsD3DX(const CVector3& v) { return reinterpret_cast<const D3DXVECTOR3*>(&v); }

}  // namespace

CMeshRayTest::CMeshRayTest(const Vertex* vertices, UINT vertexCount, const CMatrix& rotation,
                           const CMatrix* world)
    : m_pVertices(vertices),
      m_dwVertexCount(vertices != nullptr ? vertexCount : 0),
      m_mtxRotation(rotation),
      m_pWorld(world) {}

CVector3 CMeshRayTest::Position(WORD index) const {
  const CVector3& position = m_pVertices[index].vecPosition;
  return m_pWorld != nullptr ? position * *m_pWorld : position;
}

// A direction through the matrix: no translation.
CVector3 CMeshRayTest::Turned(const CVector3& vector, const CMatrix& matrix) const {
  return {vector.x * matrix._11 + vector.y * matrix._21 + vector.z * matrix._31,
          vector.x * matrix._12 + vector.y * matrix._22 + vector.z * matrix._32,
          vector.x * matrix._13 + vector.y * matrix._23 + vector.z * matrix._33};
}

UINT CMeshRayTest::HitFace(const Face& face, const CRay& ray, UINT flags, float* distance,
                           float* u, float* v) const {
  if (face.wIndex1 >= m_dwVertexCount || face.wIndex2 >= m_dwVertexCount ||
      face.wIndex3 >= m_dwVertexCount)
    return 0;
  if ((flags & RAY_TEST_BACK_FACES) == 0) {
    const CVector3 normal = m_pWorld != nullptr ? Turned(face.vecNormal, m_mtxRotation)
                                                : face.vecNormal;
    // One dot product rejects a face turned away before the triangle test.
    if (!(dot(normal, ray.vecDirection) < FLT_EPSILON)) return 0;
  }
  const CVector3 p1 = Position(face.wIndex1), p2 = Position(face.wIndex2),
                 p3 = Position(face.wIndex3);
  return D3DXIntersectTri(AsD3DX(p1), AsD3DX(p2), AsD3DX(p3), AsD3DX(ray.vecOrigin),
                          AsD3DX(ray.vecDirection), u, v, distance)
             ? 1
             : 0;
}

UINT CMeshRayTest::Nearest(const Face* faces, UINT faceCount, const CRay& ray, UINT flags,
                           float* distance, CVector3* normal) const {
  UINT hit = 0;
  for (UINT i = 0; faces != nullptr && i < faceCount; ++i) {
    float d = 0.0f, u = 0.0f, v = 0.0f;
    if (HitFace(faces[i], ray, flags, &d, &u, &v) == 0 || !(d > 0.0f) || !(d < *distance))
      continue;
    *distance = d;
    if (normal != nullptr) *normal = NormalAt(faces[i], u, v, flags);
    hit = 1;
  }
  return hit;
}

CVector3 CMeshRayTest::NormalAt(const Face& face, float u, float v, UINT flags) const {
  if ((flags & RAY_TEST_FACE_NORMAL) != 0) return Turned(face.vecNormal, m_mtxRotation);
  const CVector3& n1 = m_pVertices[face.wIndex1].vecNormal;
  const CVector3& n2 = m_pVertices[face.wIndex2].vecNormal;
  const CVector3& n3 = m_pVertices[face.wIndex3].vecNormal;
  return Turned(n1 + (n2 - n1) * u + (n3 - n1) * v, m_mtxRotation);
}
