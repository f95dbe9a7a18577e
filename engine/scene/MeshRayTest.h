#pragma once
// A ray against the triangles of one mesh: the nearest face hit, its distance along the ray and
// the normal there. The mesh decides the space: with a world matrix the vertex positions and
// face normals are carried into world space before each test, without one the ray is taken to
// be in the mesh's own space already.
#include "ZKDXInterface.h"

// Flags of the mesh ray tests.
enum : UINT {
  RAY_TEST_FACES = 0x01,
  RAY_TEST_ALIGNED_BOX = 0x02,
  RAY_TEST_ORIENTED_BOX = 0x04,
  // Faces turned away from the ray are tested too.
  RAY_TEST_BACK_FACES = 0x10,
  // The normal reported is the face's own, not the vertex normals interpolated at the hit.
  RAY_TEST_FACE_NORMAL = 0x40,
};

class CMeshRayTest {
 public:
  // `rotation` turns reported normals into world space; `world` (null for the mesh's own space)
  // places the vertices and turns the face normals for the back-face rule.
  CMeshRayTest(const Vertex* vertices, UINT vertexCount, const CMatrix& rotation,
               const CMatrix* world);

  // The face alone: 1 when the ray meets it at distance >= 0, written to *distance. A face
  // turned away from the ray is not tested unless the flags keep back faces; a face that names
  // a vertex the mesh does not have is never hit.
  UINT HitFace(const Face& face, const CRay& ray, UINT flags, float* distance, float* u,
               float* v) const;
  // Every face in order; the nearest hit with 0 < distance < *distance replaces *distance (and
  // *normal when given). 1 when any face was hit.
  UINT Nearest(const Face* faces, UINT faceCount, const CRay& ray, UINT flags, float* distance,
               CVector3* normal) const;

 private:
  CVector3 Position(WORD index) const;
  CVector3 Turned(const CVector3& vector, const CMatrix& matrix) const;
  CVector3 NormalAt(const Face& face, float u, float v, UINT flags) const;

  const Vertex* m_pVertices;
  UINT m_dwVertexCount;
  const CMatrix& m_mtxRotation;
  const CMatrix* m_pWorld;
};
