#include "console/PreviewSphere.h"

#include <new>

#include "ZKDXInterface.h"
#include "d3dx9math.h"
#include "scene/Scene.h"

namespace {

// 7.5 degrees.
constexpr float kStep = 0.1308996975f;
constexpr float kQuarterTurn = 0.785398f;
constexpr UINT kGrey = 0x7F7F7F7F;

UINT RingVertex(UINT ring, UINT step) {
  return ring * CPreviewSphere::kRingVertices + step % CPreviewSphere::kRingVertices;
}

}  // namespace

CPreviewSphere::CPreviewSphere() : m_Vertices(kVertexCount) {
  m_Faces.reserve(kMaxFaces);
  m_Indices.reserve(kMaxFaces * 3);

  // Each ring starts one step about Z below the one before; each vertex one step about Y on.
  D3DXMATRIX aboutZ, aboutY;
  D3DXMatrixRotationZ(&aboutZ, kStep);
  D3DXMatrixRotationY(&aboutY, kStep);
  D3DXVECTOR3 ringStart(0.0f, kRadius, 0.0f);
  for (UINT ring = 0; ring < kRings; ++ring) {
    D3DXVECTOR4 turned;
    D3DXVec3Transform(&turned, &ringStart, &aboutZ);
    ringStart = D3DXVECTOR3(turned.x, turned.y, turned.z);
    D3DXVECTOR3 point = ringStart;
    for (UINT step = 0; step < kRingVertices; ++step) {
      m_Vertices[RingVertex(ring, step)].vecPosition = CVector3(point.x, point.y, point.z);
      D3DXVec3Transform(&turned, &point, &aboutY);
      point = D3DXVECTOR3(turned.x, turned.y, turned.z);
    }
  }
  m_Vertices[kNorthPole].vecPosition = CVector3(0.0f, kRadius, 0.0f);
  m_Vertices[kSouthPole].vecPosition = CVector3(0.0f, -kRadius, 0.0f);

  for (UINT step = 0; step < kRingVertices; ++step)
    AddFace(kNorthPole, RingVertex(0, step), RingVertex(0, step + 1));
  for (UINT ring = 0; ring + 1 < kRings; ++ring)
    for (UINT step = 0; step < kRingVertices; ++step) {
      const UINT a = RingVertex(ring, step), b = RingVertex(ring, step + 1);
      const UINT c = RingVertex(ring + 1, step), d = RingVertex(ring + 1, step + 1);
      AddFace(a, c, b);
      AddFace(b, c, d);
    }
  for (UINT step = 0; step < kRingVertices; ++step)
    AddFace(RingVertex(kRings - 1, step), kSouthPole, RingVertex(kRings - 1, step + 1));
}

void CPreviewSphere::AddFace(UINT a, UINT b, UINT c) {
  Face face = {};
  face.wIndex1 = static_cast<WORD>(a);
  face.wIndex2 = static_cast<WORD>(b);
  face.wIndex3 = static_cast<WORD>(c);
  m_Faces.push_back(face);
  m_Indices.insert(m_Indices.end(), {face.wIndex1, face.wIndex2, face.wIndex3});
}

CSceneInterface* CPreviewSphere::CreateScene(CD3D9RendererInterface* renderer, CEngineLog* log) {
  // Without memory for it the editor goes on without a preview: no fatal end here.
  CScene* scene = new (std::nothrow) CScene(renderer, log);
  if (scene == nullptr) return nullptr;
  scene->SetName(kSceneName);

  CPreviewSphere sphere;
  if (CMeshInterface* mesh = scene->AddMesh(0)) {
    CSurfaceInterface* surface = mesh->CreateSurface();
    mesh->SetVertices(kVertexCount, sphere.m_Vertices.data(), 1);
    mesh->SetFaces(static_cast<UINT>(sphere.m_Faces.size()), sphere.m_Faces.data());
    mesh->ComputeNormals();
    mesh->SetPosition(CVector3(0.0f, 0.0f, 0.0f));
    mesh->SetRotation(CVector3(0.0f, 0.0f, 0.0f));
    mesh->SetScale(CVector3(1.0f, 1.0f, 1.0f));
    mesh->RebuildBoundVolume();
    mesh->SetVisibility(1, 1, 1);
    if (surface) {
      surface->SetIndices(static_cast<UINT>(sphere.m_Indices.size()), sphere.m_Indices.data());
      surface->SetFlags(4);
      D3DCOLORVALUE black = {0.0f, 0.0f, 0.0f, 0.0f};
      CVector4 additional1(0.0f, 0.0f, 0.0f, 0.0f), additional2(0.0f, 0.0f, 0.0f, 0.0f);
      surface->CreateMaterial(&black, &black, &black, &additional1, &additional2, 0);
      CVector3 centre(0.0f, 0.0f, 0.0f), size(20.0f, 20.0f, 20.0f);
      surface->ProjectTextureCoordinates(2, 2, &centre, &size, 1.0f, 1.0f);
    }
  }
  if (CCameraInterface* camera = scene->AddCamera()) {
    camera->SetPosition(CVector3(0.0f, 0.0f, -40.0f));
    camera->SetRotation(CVector3(0.0f, 0.0f, 0.0f));
    // The aspect follows the square preview, not the game's screen.
    camera->SetScreenCoordinates(64.0f, 64.0f);
  }
  if (CLightInterface* light = scene->AddLight()) {
    light->SetType(0);
    light->SetPosition(CVector3(0.0f, 0.0f, 0.0f));
    light->SetRotation(CVector3(kQuarterTurn, kQuarterTurn, 0.0f));
    light->SetColor(0xFFFFFFFF);
    if (CEnvelopeInterface* intensity = light->GetIntensityEnvelope(0)) intensity->SetValue(1.0f);
  }
  scene->SetAmbientColor(kGrey);
  if (CEnvelopeInterface* ambient = scene->GetAmbLightIntensityEnvelope()) {
    ambient->SetIsEnvelope(0);
    ambient->SetValue(1.0f);
  }
  scene->SetBackgroundColor(kGrey);
  // Made in code rather than loaded, the scene is prepared as loading prepares one (without it
  // the sphere has no vertex buffer to draw from).
  scene->PrepareForDrawing(1);
  return scene;
}
