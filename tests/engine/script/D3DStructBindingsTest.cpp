// The platform's rectangle, viewport, light, material and vertex element as script values: the
// bytes a script builds are the platform's record field by field, whatever order the
// properties were registered in.
#include <gtest/gtest.h>

#include <cstring>

#include "ScriptBindingsFixture.h"
#include "d3d9.h"
#include "windef.h"

using namespace AngelScript;

namespace {

// What the scripts hand over, as an engine operation would receive it.
struct Received {
  RECT rect;
  D3DVIEWPORT9 viewport;
  D3DLIGHT9 light;
  D3DMATERIAL9 material;
  D3DVERTEXELEMENT9 element;
};
Received g_received;

void TakeRect(const RECT& value) { g_received.rect = value; }
void TakeViewport(const D3DVIEWPORT9& value) { g_received.viewport = value; }
void TakeLight(const D3DLIGHT9& value) { g_received.light = value; }
void TakeMaterial(const D3DMATERIAL9& value) { g_received.material = value; }
void TakeElement(const D3DVERTEXELEMENT9& value) { g_received.element = value; }

class D3DStructBindingsTest : public ScriptBindingsTest {
 protected:
  void SetUp() override {
    ScriptBindingsTest::SetUp();
    std::memset(&g_received, 0xAB, sizeof g_received);
    struct Take {
      const char* declaration;
      asSFuncPtr function;
    };
    const Take takes[] = {{"void Take(const RECT &in)", asFUNCTION(TakeRect)},
                          {"void Take(const D3DVIEWPORT9 &in)", asFUNCTION(TakeViewport)},
                          {"void Take(const D3DLIGHT9 &in)", asFUNCTION(TakeLight)},
                          {"void Take(const D3DMATERIAL9 &in)", asFUNCTION(TakeMaterial)},
                          {"void Take(const D3DVERTEXELEMENT9 &in)", asFUNCTION(TakeElement)}};
    for (const Take& take : takes)
      ASSERT_GE(script.engine->RegisterGlobalFunction(take.declaration, take.function,
                                                      asCALL_CDECL),
                0);
  }
};

TEST_F(D3DStructBindingsTest, EachPropertySitsOnThePlatformFieldOfItsName) {
  Run("RECT r; r.left = 1; r.right = 3; r.top = 2; r.bottom = 4; Take(r);");
  EXPECT_EQ(g_received.rect.left, 1);
  EXPECT_EQ(g_received.rect.top, 2);  // the second field, registered third
  EXPECT_EQ(g_received.rect.right, 3);
  EXPECT_EQ(g_received.rect.bottom, 4);

  Run("D3DVIEWPORT9 v; v.X = 10; v.Y = 20; v.Width = 640; v.Height = 480; v.MinZ = 0.25f;"
      "v.MaxZ = 0.75f; Take(v);");
  const D3DVIEWPORT9 viewport = {10, 20, 640, 480, 0.25f, 0.75f};
  EXPECT_EQ(std::memcmp(&g_received.viewport, &viewport, sizeof viewport), 0);

  Run("D3DLIGHT9 l; l.Type = 2; l.Diffuse = CVector4(0.1f, 0.2f, 0.3f, 0.4f);"
      "l.Specular.y = 5; l.Ambient.w = 6; l.Position = CVector3(1, 2, 3);"
      "l.Direction = CVector3(0, -1, 0); l.Range = 100; l.Falloff = 1.5f; l.Attenuation0 = 7;"
      "l.Attenuation1 = 8; l.Attenuation2 = 9; l.Theta = 0.5f; l.Phi = 0.75f; Take(l);");
  D3DLIGHT9 light = {};
  light.Type = D3DLIGHT_SPOT;
  light.Diffuse = {0.1f, 0.2f, 0.3f, 0.4f};
  light.Specular.g = 5;
  light.Ambient.a = 6;
  light.Position = {1, 2, 3};
  light.Direction = {0, -1, 0};
  light.Range = 100;
  light.Falloff = 1.5f;
  light.Attenuation0 = 7;
  light.Attenuation1 = 8;
  light.Attenuation2 = 9;
  light.Theta = 0.5f;
  light.Phi = 0.75f;
  EXPECT_EQ(std::memcmp(&g_received.light, &light, sizeof light), 0);

  Run("D3DMATERIAL9 m; m.Diffuse.x = 1; m.Ambient.y = 2; m.Specular.z = 3; m.Emissive.w = 4;"
      "m.Power = 20; Take(m);");
  D3DMATERIAL9 material = {};
  material.Diffuse.r = 1;
  material.Ambient.g = 2;
  material.Specular.b = 3;
  material.Emissive.a = 4;
  material.Power = 20;
  EXPECT_EQ(std::memcmp(&g_received.material, &material, sizeof material), 0);

  Run("D3DVERTEXELEMENT9 e; e.Stream = 65535; e.Offset = 24; e.Type = 255; e.Method = 1;"
      "e.Usage = 5; e.UsageIndex = 7; Take(e);");
  const D3DVERTEXELEMENT9 element = {65535, 24, 255, 1, 5, 7};
  EXPECT_EQ(std::memcmp(&g_received.element, &element, sizeof element), 0);
}

TEST_F(D3DStructBindingsTest, ColoursAndVectorsReadBackAsTheEnginesVectors) {
  EXPECT_EQ(script.Eval<CVector4>("CVector4",
                                  "D3DLIGHT9 l; l.Diffuse = CVector4(0.1f, 0.2f, 0.3f, 0.4f);"
                                  "return l.Diffuse;"),
            CVector4(0.1f, 0.2f, 0.3f, 0.4f));
  EXPECT_EQ(script.Eval<CVector3>("CVector3",
                                  "D3DLIGHT9 l; l.Position = CVector3(4, 5, 6); return l.Position;"),
            CVector3(4, 5, 6));
  // 8- and 16-bit fields wrap as their widths do.
  EXPECT_EQ(script.Eval<asUINT>("uint", "D3DVERTEXELEMENT9 e; e.Usage = 256 + 3; return e.Usage;"),
            3u);
}

TEST_F(D3DStructBindingsTest, ARecordAScriptDeclaresStartsCleared) {
  // The stack is dirtied by a first record so that a second one would inherit it.
  Run("D3DLIGHT9 a; a.Range = 5; a.Type = 3; Take(a);");
  Run("D3DLIGHT9 b; Take(b); RECT r; Take(r);");
  const D3DLIGHT9 cleared = {};
  EXPECT_EQ(std::memcmp(&g_received.light, &cleared, sizeof cleared), 0);
  EXPECT_EQ(g_received.rect.right, 0);
}

}  // namespace
