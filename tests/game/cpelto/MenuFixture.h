#pragma once
// Menus built from XML under a root node, on the node fixture's scripts and recording core port
// (the test sets the mouse, sees the render list and projection modes), with a top interface
// whose renderer records draws and states, whose texture bank counts what it made, and whose
// configured screen size the test chooses.
#include <tinyxml.h>

#include <cstring>
#include <list>
#include <string>

#include "FakeSurfaceBanks.h"
#include "NodeFixture.h"
#include "RecordingDrawRenderer.h"
#include "TestZeKorbInterface.h"
#include "cpelto/MenuItem.h"
#include "cpelto/MenuPicture.h"
#include "cpelto/MenuQuad.h"
#include "cpelto/MenuScreen.h"
#include "cpelto/MenuText.h"

class CMenuTestZeKorbInterface : public CTestZeKorbInterface {
 public:
  CMenuTestZeKorbInterface() {
    configuration = {};
    configuration.wWidth = 800;
    configuration.wHeight = 600;
    renderer.textureStorage = &textures;
  }
  CD3D9RendererInterface* GetD3DRendererInterface() override { return &renderer; }
  ZeKorbConfig* GetConfiguration() override { return &configuration; }

  RecordingDrawRenderer renderer;
  FakeTextureStorage textures;
  ZeKorbConfig configuration;
};

class MenuFixture : public NodeFixture {
 protected:
  void SetUp() override {
    NodeFixture::SetUp();
    g_pZeKorb = &m_menuTop;
    ASSERT_TRUE(RegisterNodeType<CMenuScreen>("MenuScreen"));
    ASSERT_TRUE(RegisterNodeType<CMenuPicture>("MenuPicture"));
    ASSERT_TRUE(RegisterNodeType<CMenuText>("MenuText"));
    m_root = new geCBaseNode(nullptr);
  }
  void TearDown() override {
    m_root.Reset();
    NodeFixture::TearDown();
  }

  // The node built from one "Node" element, under the root.
  template <class T>
  T* Build(const std::string& xml) {
    TiXmlDocument& document = m_documents.emplace_back();
    document.Parse(xml.c_str());
    EXPECT_FALSE(document.Error()) << xml;
    geCBaseNode* node = m_root->CreateChildFromXML(document.FirstChildElement("Node"));
    T* typed = dynamic_cast<T*>(node);
    EXPECT_NE(typed, nullptr) << xml;
    return typed;
  }

  void SetScreenSize(WORD width, WORD height) {
    m_menuTop.configuration.wWidth = width;
    m_menuTop.configuration.wHeight = height;
  }
  void SetMouse(DWORD x, DWORD y, bool left) {
    m_core.mouse.dwMouseX = x;
    m_core.mouse.dwMouseY = y;
    m_core.mouse.dwLeft = left ? 1 : 0;
  }
  // A script file for an item that notes its number times ten plus 1 for "OnActivate", 2
  // "OnDeactivate", 3 "OnLClick", 4 "OnLUnClick".
  std::string EventScript(int number) {
    const std::string file = "item" + std::to_string(number) + ".as";
    const std::string n = std::to_string(number * 10);
    m_folder.Write(file, "void OnActivate() { Note(" + n +
                             " + 1); }\n"
                             "void OnDeactivate() { Note(" +
                             n +
                             " + 2); }\n"
                             "void OnLClick() { Note(" +
                             n +
                             " + 3); }\n"
                             "void OnLUnClick() { Note(" +
                             n + " + 4); }\n");
    return file;
  }
  const RecordingDrawRenderer& Renderer() const { return m_menuTop.renderer; }
  // The world transform set at the call numbered `index` (the last for -1).
  D3DXMATRIX World(int index) const {
    const auto& transforms = Renderer().transforms;
    D3DXMATRIX matrix;
    std::memset(&matrix, 0, sizeof matrix);
    const size_t at = index < 0 ? transforms.size() - 1 : static_cast<size_t>(index);
    if (at < transforms.size()) std::memcpy(&matrix, &transforms[at].second, sizeof matrix);
    return matrix;
  }
  // The vertices of the draw numbered `index`.
  std::vector<geSMenuVertex> Vertices(size_t index) const {
    std::vector<geSMenuVertex> vertices;
    const auto& draws = Renderer().primitives;
    if (index >= draws.size()) return vertices;
    const auto& bytes = draws[index].vertexBytes;
    vertices.resize(bytes.size() / sizeof(geSMenuVertex));
    std::memcpy(vertices.data(), bytes.data(), vertices.size() * sizeof(geSMenuVertex));
    return vertices;
  }

  CMenuTestZeKorbInterface m_menuTop;
  geTRefPtr<geCBaseNode> m_root;

 private:
  std::list<TiXmlDocument> m_documents;
};
