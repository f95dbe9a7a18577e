#pragma once
// A named sprite that records the scene it is given, its orientation flags, the active flag and
// the four vertices of each of its quads, its depth and blending states, its position and the
// frames it is drawn at with the quads active at each draw; everything else answers neutrally.
#include <array>
#include <string>
#include <vector>

#include "ZKDXInterface.h"

class FakeSprite final : public CSpriteInterface {
 public:
  explicit FakeSprite(const char* spriteName, UINT quadCount = 0)
      : name(spriteName), quadActive(quadCount, 1), quads(quadCount) {}

  const char* GetSpriteName() override { return name.c_str(); }
  CSceneInterface* GetScene() override { return scene; }
  void SetScene(CSceneInterface* owner) override { scene = owner; }

  // Quads out of range are left alone, as the sprite bank's sprites do.
  void SetIsActive(UINT quad, UINT active) override {
    if (quad < quadActive.size()) quadActive[quad] = active;
  }
  UINT GetIsActive(UINT quad) override { return quad < quadActive.size() ? quadActive[quad] : 0; }
  UINT GetNumberOfSpriteQuads() override { return static_cast<UINT>(quadActive.size()); }
  void SetOrientationFlags(UINT flags) override { orientationFlags = flags; }
  UINT GetOrientationFlags() override { return orientationFlags; }

  UINT AddIntoQuad(UINT quad, Vertex* a, Vertex* b, Vertex* c, Vertex* d) override {
    if (quad >= quads.size() || !a || !b || !c || !d) return 0;
    quads[quad] = {*a, *b, *c, *d};
    ++quadsAdded;
    return 1;
  }
  UINT GetIsDynamic() override { return 0; }
  void SetIsDynamic(UINT) override {}
  UINT SetShader(const char*) override { return 0; }
  void SetIsActive(UINT) override {}
  UINT GetIsActive() override { return 0; }
  UINT GetIsSuccessfulyCreated() override { return 1; }
  Vertex* GetQuadVertex(UINT quad, UINT corner) override {
    return quad < quads.size() && corner < 4 ? &quads[quad][corner] : nullptr;
  }
  CMaterialInterface* GetMaterialInterface() override { return nullptr; }
  void Draw(float frame) override {
    drawFrames.push_back(frame);
    std::vector<UINT> active;
    for (UINT q = 0; q < quadActive.size(); ++q)
      if (quadActive[q]) active.push_back(q);
    drawnQuads.push_back(active);
  }
  void SetPosition(const CVector3& placed) override { position = placed; }
  CVector3* GetPosition() override { return &position; }
  void SetRotation(const CVector3&) override {}
  CVector3* GetRotation() override { return &vector; }
  void SetScale(const CVector3&) override {}
  CVector3* GetScale() override { return &vector; }
  void SetQuadRotation(UINT, float) override {}
  float SetQuadRotation(UINT) override { return 0; }
  void SetZWrite(UINT value) override { zWrite = value; }
  UINT GetZWrite() override { return zWrite; }
  void SetZTest(UINT value) override { zTest = value; }
  UINT GetZTest() override { return zTest; }
  void SetZCompare(UINT) override {}
  UINT GetZCompare() override { return 0; }
  void SetAlphaTest(UINT) override {}
  UINT GetAlphaTest() override { return 0; }
  void SetAlphaTestRef(UINT) override {}
  UINT GetAlphaTestRef() override { return 0; }
  void SetAlphaTestOp(UINT) override {}
  UINT GetAlphaTestOp() override { return 0; }
  void SetAlphaBlending(UINT value) override { alphaBlending = value; }
  UINT GetAlphaBlending() override { return alphaBlending; }
  void SetAlphaBlendingOp(UINT) override {}
  UINT GetAlphaBlendingOp() override { return 0; }
  void SetAlphaBlendingSource(UINT value) override { blendSource = value; }
  UINT GetAlphaBlendingSource() override { return blendSource; }
  void SetAlphaBlendingDestination(UINT value) override { blendDestination = value; }
  UINT GetAlphaBlendingDestination() override { return blendDestination; }
  void SetCullMode(UINT) override {}
  UINT GetCullMode() override { return 0; }
  void SetSmoothShaded(UINT) override {}
  UINT GetSmoothShaded() override { return 0; }

  std::string name;
  CSceneInterface* scene = nullptr;
  std::vector<UINT> quadActive;  // starts with every quad on
  UINT orientationFlags = 0;
  std::vector<float> drawFrames;
  // The quads active at each draw, in quad order.
  std::vector<std::vector<UINT>> drawnQuads;
  std::vector<std::array<Vertex, 4>> quads;
  int quadsAdded = 0;
  UINT zWrite = 1, zTest = 1, alphaBlending = 0, blendSource = 0, blendDestination = 0;
  CVector3 position;

 private:
  CVector3 vector;
};
