// Menu pictures: what their properties make of them and what one draw asks of the renderer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MenuFixture.h"

namespace {

class MenuPictureTest : public MenuFixture {
 protected:
  CMenuPicture* Picture(const std::string& params) {
    return Build<CMenuPicture>("<Node Type=\"MenuPicture\" Name=\"P\"><Param " + params +
                               "/></Node>");
  }
  static CVector3 Transform(const D3DXMATRIX* m, float x, float y) {
    D3DXVECTOR3 out;
    const D3DXVECTOR3 in(x, y, 0.0f);
    D3DXVec3TransformCoord(&out, &in, m);
    return {out.x, out.y, out.z};
  }
};

TEST_F(MenuPictureTest, OneDrawRecordsItsStatesTransformAndVertices) {
  SetScreenSize(1600, 1200);
  m_folder.Write("face.dds", "image");
  m_folder.Write("events.as",
                 "void OnUpdate() { Note(3); }\n"
                 "void before_Render() { Note(1); }\n"
                 "void after_Render() { Note(2); }\n");
  CMenuPicture* picture = Picture(
      R"(Width="100" Height="50" Translation="10;20;0" Tex0="face.dds" Color="1;0.5;0" ScriptFile="events.as")");
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(m_menuTop.textures.loadAllCalls, 1);
  picture->Update(nullptr);
  EXPECT_EQ(m_notes, (std::vector<int>{3, 3}));
  m_notes.clear();
  const D3DXMATRIX before = *picture->GetMatrixStack()->GetTop();
  picture->Render(0);
  EXPECT_EQ(m_notes, (std::vector<int>{1, 2}));

  const std::vector<std::string> expected = {
      "transform 256",     "state 27=1",  "state 19=5",  "state 20=6",  "state 22=1",
      "state 137=0",       "stage 0 1=4", "stage 0 2=2", "stage 0 3=1", "stage 0 4=4",
      "stage 0 5=2",       "stage 0 6=1", "stage 1 1=1", "stage 1 4=1", "vertex shader null",
      "pixel shader null", "fvf 322",     "primitive",   "fvf 0",       "stage 0 1=1",
      "stage 0 4=1",       "state 27=0"};
  EXPECT_EQ(Renderer().calls, expected);
  using Sampler = std::array<UINT, 3>;
  EXPECT_EQ(Renderer().samplerStates, (std::vector<Sampler>{{0, 1, 3}, {0, 2, 3}}));
  EXPECT_EQ(m_menuTop.textures.made.at(0)->setStages, std::vector<WORD>{0});
  // The item's transform, then the stretch to the screen.
  const D3DXMATRIX world = World(0);
  EXPECT_EQ(world._11, 2.0f);
  EXPECT_EQ(world._22, 2.0f);
  EXPECT_EQ(world._41, 20.0f);
  EXPECT_EQ(world._42, 40.0f);
  EXPECT_EQ(0, std::memcmp(picture->GetMatrixStack()->GetTop(), &before, sizeof before));

  const auto& draw = Renderer().primitives.at(0);
  EXPECT_EQ(draw.type, 4u);
  EXPECT_EQ(draw.primitiveCount, 2u);
  EXPECT_EQ(draw.stride, 24u);
  const DWORD color = 0x00FF8000;
  const std::vector<geSMenuVertex> vertices = Vertices(0);
  const geSMenuVertex want[] = {{-0.5f, -0.5f, 0, color, 0, 1}, {99.5f, -0.5f, 0, color, 1, 1},
                                {-0.5f, 49.5f, 0, color, 0, 0}, {99.5f, -0.5f, 0, color, 1, 1},
                                {99.5f, 49.5f, 0, color, 1, 0}, {-0.5f, 49.5f, 0, color, 0, 0}};
  ASSERT_EQ(vertices.size(), 6u);
  for (size_t i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(vertices[i].x, want[i].x);
    EXPECT_EQ(vertices[i].y, want[i].y);
    EXPECT_EQ(vertices[i].z, 0.0f);
    EXPECT_EQ(vertices[i].dwColor, want[i].dwColor);
    EXPECT_EQ(vertices[i].u, want[i].u);
    EXPECT_EQ(vertices[i].v, want[i].v);
  }
}

TEST_F(MenuPictureTest, ColourAndTiling) {
  struct Case {
    const char* params;
    DWORD color;
    float u, v;
    UINT address;
  } cases[] = {
      {"", 0xFFFFFFFF, 1, 1, 3},                  // opaque white until a colour is set
      {R"(Color="1;0;0")", 0x00FF0000, 1, 1, 3},  // the blue byte is the alpha too
      {R"(Color="1;1;1;0.5")", 0xFFFFFFFF, 1, 1, 3},
      {R"(Color="2;-1;0.2")", 0x33FF0033, 1, 1, 3},
      {R"(Tiled="1")", 0xFFFFFFFF, 4, 2, 1},  // 256 × 128 units of a 64-texel texture
      {R"(Tiled="2")", 0xFFFFFFFF, 1, 1, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.params);
    m_menuTop.renderer.primitives.clear();
    m_menuTop.renderer.samplerStates.clear();
    CMenuPicture* picture = Picture(std::string(R"(Width="256" Height="128" )") + c.params);
    ASSERT_NE(picture, nullptr);
    m_menuTop.textures.made.back()->width = 64;
    m_menuTop.textures.made.back()->height = 64;
    EXPECT_EQ(picture->GetColor(), c.color);
    picture->Render(0);
    const std::vector<geSMenuVertex> vertices = Vertices(0);
    ASSERT_EQ(vertices.size(), 6u);
    EXPECT_EQ(vertices[1].dwColor, c.color);
    EXPECT_EQ(vertices[1].u, c.u);
    EXPECT_EQ(vertices[1].v, c.v);
    ASSERT_EQ(m_menuTop.renderer.samplerStates.size(), 2u);
    EXPECT_EQ(m_menuTop.renderer.samplerStates[0][2], c.address);
  }
}

TEST_F(MenuPictureTest, ScaleRotationAndEnabledState) {
  // The first field of "Scale" is the vertical factor.
  CMenuPicture* scaled = Picture(R"(Width="100" Height="50" Scale="2;1;1")");
  const CVector3 corner = Transform(scaled->GetMatrixStack()->GetTop(), 100, 50);
  EXPECT_FLOAT_EQ(corner.x, 100.0f);
  EXPECT_FLOAT_EQ(corner.y, 100.0f);

  // Turned about its own bottom-left corner, then moved.
  CMenuPicture* turned = Picture(R"(Width="100" Height="50" RotationZ="90" Translation="10;20;0")");
  const D3DXMATRIX* top = turned->GetMatrixStack()->GetTop();
  const CVector3 origin = Transform(top, 0, 0);
  const CVector3 right = Transform(top, 1, 0);
  EXPECT_FLOAT_EQ(origin.x, 10.0f);
  EXPECT_FLOAT_EQ(origin.y, 20.0f);
  EXPECT_NEAR(right.x, 10.0f, 1e-5);
  EXPECT_NEAR(right.y, 21.0f, 1e-5);
  EXPECT_EQ(*turned->GetTranslation(), CVector3(10, 20, 0));

  CMenuPicture* hidden = Picture(R"(Enabled="0")");
  EXPECT_TRUE(hidden->IsEnabled());

  // The item lets its matrix stack go with itself.
  ID3DXMatrixStack* stack = hidden->GetMatrixStack();
  stack->AddRef();
  m_root->RemoveChild(hidden);
  EXPECT_EQ(stack->Release(), 0u);
}

TEST_F(MenuPictureTest, TextureImagesAndTheEmptyFallback) {
  m_folder.Write("face.dds", "image");
  m_folder.Write("face_a.dds", "alpha");
  struct Case {
    const char* params;
    const char* tex0;  // the property afterwards
    const char* image;
    const char* alpha;
  } cases[] = {
      {R"(Tex0="face.dds" Alpha0="face_a.dds")", "face.dds", "face.dds", "face_a.dds"},
      {R"(Tex0="face.dds" Alpha0="gone.dds")", "face.dds", "face.dds", ""},
      {R"(Tex0="gone.dds" Alpha0="face_a.dds")", "empty.dds", "empty.dds", "face_a.dds"},
      {"", "", "empty.dds", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.params);
    CMenuPicture* picture = Picture(c.params);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->GetProperties()->GetString("Tex0"), c.tex0);
    ASSERT_EQ(picture->GetTexture(), m_menuTop.textures.made.back().get());
    EXPECT_EQ(m_menuTop.textures.made.back()->names[1], c.image);
    EXPECT_EQ(m_menuTop.textures.made.back()->names[4], c.alpha);
  }
  EXPECT_EQ(m_menuTop.textures.loadAllCalls, 4);
}

}  // namespace
