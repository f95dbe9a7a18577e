#pragma once
// The debug drawings of bound volumes and bones: a solid translucent pass, then the same
// triangles again in wireframe, through the fixed-function pipeline with no shaders bound; and
// plain wireframe lines (octree cells). Every drawing leaves the fill mode solid.
#include "ZKDXMath.h"
#include "ZeKorbD3DHeader.h"

class CBone;

class CBoundVolumeDrawing {
 public:
  // Position, diffuse, specular and one texture-coordinate pair.
  static constexpr DWORD kVertexFormat = 0x1C2;
  static constexpr DWORD kBoxColor = 0x4077A2B3;
  static constexpr DWORD kBoxWireColor = 0x40FFFFFF;
  static constexpr DWORD kBoneColor = 0x80C86F71;
  static constexpr DWORD kBoneWireColor = 0xFFC86F71;

  // The eight corners in the bound volumes' corner order, placed by the world matrix.
  static void DrawBox(CD3D9RendererInterface* renderer, const CMatrix& world,
                      const CVector4* corners);
  // Lines between the points (two indices a line) in one colour, wireframe, placed by the world
  // matrix.
  static void DrawLines(CD3D9RendererInterface* renderer, const CMatrix& world,
                        const CVector3* points, UINT pointCount, const WORD* indices,
                        UINT lineCount, DWORD color);
  // A bone of rest length `length` along its +z axis, placed by the world matrix.
  static void DrawBone(CD3D9RendererInterface* renderer, const CMatrix& world, float length);
  // A mesh's bone at the frame: its bone matrix times its rest matrix, then the mesh's world
  // matrix at that frame.
  static void DrawBone(CD3D9RendererInterface* renderer, CBone* bone, float frame,
                       const CMatrix& meshMatrix, float length);
};
