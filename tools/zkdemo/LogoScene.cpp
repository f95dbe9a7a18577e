#include "LogoScene.h"

#include <array>
#include <cmath>
#include <vector>

#include "DemoEngine.h"
#include "DemoFile.h"
#include "scene/ChannelEnvelope.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/Motion.h"
#include "scene/Scene.h"
#include "scene/Surface.h"
#include "spatial/EdgeList.h"

namespace {

constexpr uint32_t kPictureSize = 256;
constexpr float kHalfWidth = 2.0f;
constexpr float kHalfHeight = 1.0f;
constexpr float kHalfDepth = 0.1f;
constexpr float kDistance = 5.0f;  // from the camera to the panel's face

// The import's face record, as the edge builder reads it.
struct EdgeFace {
  WORD v[3];
  WORD edgeIndex[3];
  Edge* edge[3];
};

void Key(CMotion* motion, UINT channel, float frame, float value) {
  if (motion->GetNumberOfChannels() <= channel) motion->SetNumberOfChannels(channel + 1);
  motion->GetChannel(channel)->AddKeyData(value, frame, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
}

// A closed box, so that its edges make a shadow volume and the object file takes it: the front
// face carries the whole picture, the other faces stretch its border.
bool ShapePanel(DemoEngine& engine, CMesh* mesh) {
  std::vector<Vertex> vertices(8);
  for (UINT i = 0; i < 8; ++i) {
    const float x = (i & 1) ? kHalfWidth : -kHalfWidth;
    const float y = (i & 2) ? kHalfHeight : -kHalfHeight;
    const float z = (i & 4) ? kHalfDepth : -kHalfDepth;
    Vertex& v = vertices[i];
    v.vecPosition = {x, y, z};
    v.vecNormal = {0, 0, z < 0 ? -1.0f : 1.0f};
    v.fTU[0] = v.fTU[1] = x < 0 ? 0.0f : 1.0f;
    v.fTV[0] = v.fTV[1] = y < 0 ? 1.0f : 0.0f;
  }
  // Clockwise seen from outside (front faces are clockwise); corner bits: 1 x, 2 y, 4 z.
  const std::array<std::array<WORD, 3>, 12> triangles = {{
      {0, 2, 3}, {0, 3, 1},  // front (-z), towards the camera
      {4, 5, 7}, {4, 7, 6},  // back
      {0, 4, 6}, {0, 6, 2},  // left
      {1, 3, 7}, {1, 7, 5},  // right
      {2, 6, 7}, {2, 7, 3},  // top
      {0, 1, 5}, {0, 5, 4},  // bottom
  }};
  std::vector<EdgeFace> imported(triangles.size());
  std::vector<Face> faces(triangles.size());
  for (size_t i = 0; i < triangles.size(); ++i)
    for (int k = 0; k < 3; ++k) imported[i].v[k] = triangles[i][k];
  Edge* edges = nullptr;
  UINT edgeCount = 0;
  const UINT closed = BuildEdgeList(&edges, &edgeCount, imported.data(),
                                    static_cast<UINT>(imported.size()), engine.Log());
  for (size_t i = 0; i < faces.size(); ++i) {
    const CVector3& a = vertices[triangles[i][0]].vecPosition;
    const CVector3& b = vertices[triangles[i][1]].vecPosition;
    const CVector3& c = vertices[triangles[i][2]].vecPosition;
    const CVector3 u = {b.x - a.x, b.y - a.y, b.z - a.z}, w = {c.x - a.x, c.y - a.y, c.z - a.z};
    CVector3 normal = {u.y * w.z - u.z * w.y, u.z * w.x - u.x * w.z, u.x * w.y - u.y * w.x};
    const float length = std::sqrt(normal.x * normal.x + normal.y * normal.y + normal.z * normal.z);
    faces[i].vecNormal = {normal.x / length, normal.y / length, normal.z / length};
    faces[i].wIndex1 = triangles[i][0];
    faces[i].wIndex2 = triangles[i][1];
    faces[i].wIndex3 = triangles[i][2];
    faces[i].wEdge1 = imported[i].edgeIndex[0];
    faces[i].wEdge2 = imported[i].edgeIndex[1];
    faces[i].wEdge3 = imported[i].edgeIndex[2];
    faces[i].wFaceIndex = static_cast<WORD>(i);
  }
  const bool shaped = closed == 1 &&
                      mesh->SetVertices(static_cast<UINT>(vertices.size()), vertices.data(), 1) != 0 &&
                      mesh->SetFaces(static_cast<UINT>(faces.size()), faces.data()) != 0;
  if (shaped) mesh->PrepareShadowVolume(edges, edgeCount);
  delete[] edges;
  if (!shaped) return false;

  // One surface over every face.
  std::vector<WORD> indices;
  for (const auto& triangle : triangles) indices.insert(indices.end(), triangle.begin(), triangle.end());
  auto* surface = static_cast<CSurface*>(mesh->CreateSurface());
  if (surface == nullptr) return false;
  surface->SetName("logo");
  D3DCOLORVALUE diffuse = {1, 1, 1, 1}, specular = {0, 0, 0, 0}, emissive = {1, 1, 1, 1};
  CVector4 additional1 = {1, 0, 0, 0}, additional2 = {0, 0, 0, 1};
  return surface->SetIndices(static_cast<UINT>(indices.size()), indices.data()) != 0 &&
         surface->CreateMaterial(&diffuse, &specular, &emissive, &additional1, &additional2, 1) != 0;
}

}  // namespace

RgbaImage LogoScene::Picture() {
  RgbaImage image = RgbaImage::Solid(kPictureSize, kPictureSize, kColour[0], kColour[1], kColour[2], 255);
  auto paint = [&](uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1, uint8_t shade) {
    for (uint32_t y = y0; y < y1; ++y)
      for (uint32_t x = x0; x < x1; ++x) {
        uint8_t* texel = &image.rgba[(static_cast<size_t>(y) * kPictureSize + x) * 4];
        for (int c = 0; c < 3; ++c) texel[c] = static_cast<uint8_t>(kColour[c] * shade / 255);
      }
  };
  const uint32_t border = kPictureSize / 20;
  paint(0, 0, kPictureSize, border, 96);
  paint(0, kPictureSize - border, kPictureSize, kPictureSize, 96);
  paint(0, 0, border, kPictureSize, 96);
  paint(kPictureSize - border, 0, kPictureSize, kPictureSize, 96);
  // A row of "lettering" in the lower fifth; the middle stays the plain colour.
  const uint32_t bars = 8, bar = kPictureSize / 16, gap = bar / 2;
  const uint32_t left = (kPictureSize - bars * bar - (bars - 1) * gap) / 2;
  for (uint32_t i = 0; i < bars; ++i)
    paint(left + i * (bar + gap), kPictureSize * 3 / 4, left + i * (bar + gap) + bar,
          kPictureSize * 3 / 4 + bar, 160);
  return image;
}

bool LogoScene::Write(DemoEngine& engine, const std::string& folder) {
  const std::string texture = folder + "/Textures/logo.png";
  if (!WriteDemoFile(texture, EncodePng(Picture()))) return false;

  CScene* scene = engine.NewScene("logo", (folder + "/").c_str());
  const float hold = kHoldSeconds * kFramesPerSecond;
  const float gone = (kHoldSeconds + kShrinkSeconds) * kFramesPerSecond;
  scene->SetFramesPerSecond(kFramesPerSecond);
  scene->SetFirstFrame(0);
  scene->SetLastFrame(static_cast<UINT>(gone));
  scene->SetAmbientColor(0xFFFFFFFF);

  scene->AddCamera();

  auto* light = static_cast<CLight*>(scene->AddLight());
  light->SetName("logo light");
  light->SetType(LIGHT_DISTANT);
  light->SetIsActive(1);
  D3DLIGHT9* record = light->GetD3DLightProperties();
  record->Diffuse = {1, 1, 1, 1};
  record->Direction = {0, 0, 1};

  auto* mesh = static_cast<CMesh*>(scene->AddMesh(0));
  mesh->SetName("logo");
  bool written = ShapePanel(engine, mesh);
  if (written) {
    CMotion* motion = mesh->GetFirstMotion();
    Key(motion, MOTION_POSITION_Z, 0, kDistance + kHalfDepth);
    // Whole until the hold ends, then down to nothing; the last key holds it there.
    for (UINT channel = MOTION_SCALE_X; channel <= MOTION_SCALE_X + 2; ++channel) {
      Key(motion, channel, 0, 1);
      Key(motion, channel, hold, 1);
      Key(motion, channel, gone, 0);
    }
    auto* surface = static_cast<CSurface*>(mesh->GetSurface(0));
    written = surface->SetTexture(CSurface::TEXTURE_COLOR0, texture.c_str()) != 0;
  }
  written = written && engine.Save(scene);
  scene->Release();
  return written;
}
