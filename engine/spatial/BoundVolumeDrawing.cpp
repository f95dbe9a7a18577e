#include "spatial/BoundVolumeDrawing.h"

#include <vector>

#include "scene/Bone.h"
#include "spatial/BoundBox.h"

namespace {

// The layout of vertex format 0x1C2.
struct DebugVertex {
  float x, y, z;
  DWORD dwDiffuse;
  DWORD dwSpecular;
  float fU, fV;
};
static_assert(sizeof(DebugVertex) == 28);

constexpr UINT kRenderStateFillMode = 8;
constexpr UINT kFillWireframe = 2;
constexpr UINT kFillSolid = 3;
constexpr UINT kLineList = 2;
constexpr UINT kTriangleList = 4;
constexpr UINT kIndex16 = 101;
constexpr UINT kWorldTransform = 256;

// Two triangles per face of the box, wound outwards.
constexpr WORD kBoxIndices[36] = {0, 2, 1, 2, 3, 1, 5, 1, 3, 5, 3, 7, 2, 6, 3, 3, 6, 7,
                                  1, 4, 0, 5, 4, 1, 4, 2, 0, 4, 6, 2, 5, 6, 4, 5, 7, 6};
// Two four-sided pyramids joined at their base: tip 0 at the bone's root, tip 1 at its end.
constexpr WORD kBoneIndices[24] = {0, 2, 3, 0, 3, 4, 0, 4, 5, 0, 5, 2,
                                   1, 2, 3, 1, 3, 4, 1, 4, 5, 1, 5, 2};

void SetColor(DebugVertex* vertices, UINT count, DWORD color) {
  for (UINT i = 0; i < count; ++i) vertices[i].dwDiffuse = color;
}

// World transform, vertex format and no shaders, as every drawing starts.
void Prepare(CD3D9RendererInterface* renderer, const CMatrix& world) {
  renderer->SetTransform(kWorldTransform, &world);
  if (CVertexDeclarationStorageInterface* declarations =
          renderer->GetVertexDeclarationStorageInterface())
    declarations->SetFVF(CBoundVolumeDrawing::kVertexFormat);
  if (CVertexShaderStorageInterface* shaders = renderer->GetVertexShaderStorageInterface())
    shaders->SetShader(nullptr);
  if (CPixelShaderStorageInterface* shaders = renderer->GetPixelShaderStorageInterface())
    shaders->SetShader(nullptr);
}

void DrawSolidThenWire(CD3D9RendererInterface* renderer, const CMatrix& world,
                       DebugVertex* vertices, UINT vertexCount, const WORD* indices,
                       UINT triangleCount, DWORD solidColor, DWORD wireColor) {
  if (renderer == nullptr) return;
  Prepare(renderer, world);
  SetColor(vertices, vertexCount, solidColor);
  renderer->DrawIndexedPrimitiveUP(kTriangleList, 0, vertexCount, triangleCount, indices, kIndex16,
                                   vertices, sizeof(DebugVertex));
  renderer->SetRenderState(kRenderStateFillMode, kFillWireframe);
  SetColor(vertices, vertexCount, wireColor);
  renderer->DrawIndexedPrimitiveUP(kTriangleList, 0, vertexCount, triangleCount, indices, kIndex16,
                                   vertices, sizeof(DebugVertex));
  renderer->SetRenderState(kRenderStateFillMode, kFillSolid);
}

DebugVertex At(float x, float y, float z) { return {x, y, z, 0, 0, 0.0f, 0.0f}; }

}  // namespace

void CBoundVolumeDrawing::DrawBox(CD3D9RendererInterface* renderer, const CMatrix& world,
                                  const CVector4* corners) {
  if (corners == nullptr) return;
  DebugVertex vertices[CBoundBox::kCorners];
  for (int k = 0; k < CBoundBox::kCorners; ++k)
    vertices[k] = At(corners[k].x, corners[k].y, corners[k].z);
  DrawSolidThenWire(renderer, world, vertices, CBoundBox::kCorners, kBoxIndices, 12, kBoxColor,
                    kBoxWireColor);
}

void CBoundVolumeDrawing::DrawLines(CD3D9RendererInterface* renderer, const CMatrix& world,
                                    const CVector3* points, UINT pointCount, const WORD* indices,
                                    UINT lineCount, DWORD color) {
  if (renderer == nullptr || points == nullptr) return;
  std::vector<DebugVertex> vertices(pointCount);
  for (UINT i = 0; i < pointCount; ++i) vertices[i] = At(points[i].x, points[i].y, points[i].z);
  SetColor(vertices.data(), pointCount, color);
  Prepare(renderer, world);
  renderer->SetRenderState(kRenderStateFillMode, kFillWireframe);
  renderer->DrawIndexedPrimitiveUP(kLineList, 0, pointCount, lineCount, indices, kIndex16,
                                   vertices.data(), sizeof(DebugVertex));
  renderer->SetRenderState(kRenderStateFillMode, kFillSolid);
}

void CBoundVolumeDrawing::DrawBone(CD3D9RendererInterface* renderer, const CMatrix& world,
                                   float length) {
  const float side = 0.1f * length;
  DebugVertex vertices[6] = {At(0, 0, 0),          At(0, 0, length),    At(-side, 0, side),
                             At(0, -side, side), At(side, 0, side), At(0, side, side)};
  DrawSolidThenWire(renderer, world, vertices, 6, kBoneIndices, 8, kBoneColor, kBoneWireColor);
}

void CBoundVolumeDrawing::DrawBone(CD3D9RendererInterface* renderer, CBone* bone, float frame,
                                   const CMatrix& meshMatrix, float length) {
  if (bone == nullptr) return;
  const CMatrix world = *bone->GetBoneMatrix(frame) * *bone->GetRestMatrix(frame) * meshMatrix;
  DrawBone(renderer, world, length);
}
