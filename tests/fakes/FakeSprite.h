#pragma once
// A named sprite that records the scene it is given, its orientation flags, the active flag of
// each of its quads, its position and the frames it is drawn at; everything else answers
// neutrally.
#include <string>
#include <vector>

#include "ZKDXInterface.h"

class FakeSprite final : public CSpriteInterface {
 public:
  explicit FakeSprite(const char* spriteName, UINT quadCount = 0)
      : name(spriteName), quadActive(quadCount, 1) {}

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

  UINT AddIntoQuad(UINT, Vertex*, Vertex*, Vertex*, Vertex*) override { return 0; }
  UINT GetIsDynamic() override { return 0; }
  void SetIsDynamic(UINT) override {}
  UINT SetShader(const char*) override { return 0; }
  void SetIsActive(UINT) override {}
  UINT GetIsActive() override { return 0; }
  UINT GetIsSuccessfulyCreated() override { return 1; }
  Vertex* GetQuadVertex(UINT, UINT) override { return nullptr; }
  CMaterialInterface* GetMaterialInterface() override { return nullptr; }
  void Draw(float frame) override { drawFrames.push_back(frame); }
  void SetPosition(const CVector3& placed) override { position = placed; }
  CVector3* GetPosition() override { return &position; }
  void SetRotation(const CVector3&) override {}
  CVector3* GetRotation() override { return &vector; }
  void SetScale(const CVector3&) override {}
  CVector3* GetScale() override { return &vector; }
  void SetQuadRotation(UINT, float) override {}
  float SetQuadRotation(UINT) override { return 0; }
  void SetZWrite(UINT) override {}
  UINT GetZWrite() override { return 0; }
  void SetZTest(UINT) override {}
  UINT GetZTest() override { return 0; }
  void SetZCompare(UINT) override {}
  UINT GetZCompare() override { return 0; }
  void SetAlphaTest(UINT) override {}
  UINT GetAlphaTest() override { return 0; }
  void SetAlphaTestRef(UINT) override {}
  UINT GetAlphaTestRef() override { return 0; }
  void SetAlphaTestOp(UINT) override {}
  UINT GetAlphaTestOp() override { return 0; }
  void SetAlphaBlending(UINT) override {}
  UINT GetAlphaBlending() override { return 0; }
  void SetAlphaBlendingOp(UINT) override {}
  UINT GetAlphaBlendingOp() override { return 0; }
  void SetAlphaBlendingSource(UINT) override {}
  UINT GetAlphaBlendingSource() override { return 0; }
  void SetAlphaBlendingDestination(UINT) override {}
  UINT GetAlphaBlendingDestination() override { return 0; }
  void SetCullMode(UINT) override {}
  UINT GetCullMode() override { return 0; }
  void SetSmoothShaded(UINT) override {}
  UINT GetSmoothShaded() override { return 0; }

  std::string name;
  CSceneInterface* scene = nullptr;
  std::vector<UINT> quadActive;  // starts with every quad on
  UINT orientationFlags = 0;
  std::vector<float> drawFrames;
  CVector3 position;

 private:
  CVector3 vector;
};
