#pragma once
// Game objects on a started application core whose top interface hands out the engine's real
// scenes: tests save scene files with the engine's own writer into the working folder, build
// node trees from small XML documents and step frames by hand on the game's clock.
#include <tinyxml.h>

#include <list>
#include <string>
#include <vector>

#include "BoxGeometry.h"
#include "GameCoreFixture.h"
#include "SceneGameTestZeKorbInterface.h"
#include "framework/GameObject.h"
#include "framework/RenderableObject.h"
#include "framework/TonarisManager.h"
#include "scene/Scene.h"

// Names of the drawn nodes below, in the order the core's render list reached them.
struct TDrawnNodes {
  static inline std::vector<std::string> drawn;
};

// A node class that notes its name each time it is drawn.
template <class Base>
class TDrawn : public Base {
 public:
  using Base::Base;
  void Render(DWORD dwClearFlags) override {
    TDrawnNodes::drawn.emplace_back(this->GetName());
    Base::Render(dwClearFlags);
  }
};
using CDrawnObject = TDrawn<geCRenderableObject>;

// A mesh of a saved scene: a cube of half edge 1 around a point (its vertices are placed there),
// optionally parented to an object of the scene by name.
struct SavedMesh {
  std::string name;
  CVector3 position;
  std::string parent = "";
};

class GameObjectTest : public GameCoreTest {
 protected:
  void SetUp() override {
    GameCoreTest::SetUp();
    CGameTestZeKorbInterface::Served() = &m_scenes;
    // Stream ids count from 1 in every test, as in a fresh program.
    g_dwTonarisCounter = 0;
  }

  // Saves "<name>.zks" (and its meshes under "Objects\") with the meshes, the nulls (by
  // name), an optional camera at the origin looking along +z, and the animation timing.
  void SaveScene(const char* name, const std::vector<SavedMesh>& meshes,
                 const std::vector<std::string>& nulls = {}, bool camera = false,
                 float framesPerSecond = 30.0f, UINT lastFrame = 60) {
    CSceneInterface* made = nullptr;
    m_scenes.AddScene(&made);
    ASSERT_NE(made, nullptr);
    made->SetName(name);
    auto* scene = dynamic_cast<CScene*>(made);
    scene->SetFramesPerSecond(framesPerSecond);
    made->SetLastFrame(lastFrame);
    for (const std::string& nullName : nulls) made->AddNull()->SetName(nullName.c_str());
    for (const SavedMesh& saved : meshes) {
      CMeshInterface* mesh = made->AddMesh(0);
      mesh->SetName(saved.name.c_str());
      const CVector3& at = saved.position;
      std::vector<Vertex> vertices =
          BoxVertices({at.x - 1, at.y - 1, at.z - 1}, {at.x + 1, at.y + 1, at.z + 1});
      std::vector<Face> faces = BoxFaces();
      mesh->SetVertices(static_cast<UINT>(vertices.size()), vertices.data(), 1);
      mesh->SetFaces(static_cast<UINT>(faces.size()), faces.data());
      if (!saved.parent.empty()) {
        CWorldObjectInterface* parent = made->GetMeshByName(saved.parent.c_str(), 0);
        if (!parent) parent = made->GetNullByName(saved.parent.c_str(), 0);
        mesh->SetParentObject(parent);
      }
    }
    if (camera) made->AddCamera();
    ASSERT_EQ(m_scenes.SaveSceneToZKS(made, 0), 1u);
    made->Release();
  }

  // Builds the Node elements of the document under the node (the root node by default).
  void Build(const std::string& xml, geCBaseNode* parent = nullptr) {
    m_documents.emplace_back();
    TiXmlDocument& document = m_documents.back();
    document.Parse(("<Tree>" + xml + "</Tree>").c_str());
    ASSERT_FALSE(document.Error()) << document.ErrorDesc();
    (parent ? parent : m_core->GetRootNode())->CreateChildrenFromXML(document.RootElement());
  }
  template <class T = geCGameObject>
  T* Node(const char* name) {
    return dynamic_cast<T*>(m_core->GetRootNode()->GetNodeByName(name, 1));
  }

  // The int global `name` of the script module `module`: -1000 without the module, -2000
  // without the global.
  static int ScriptGlobal(const char* module, const char* name) {
    AngelScript::asIScriptModule* found =
        g_pScriptEngine->GetModule(module, AngelScript::asGM_ONLY_IF_EXISTS);
    if (!found) return -1000;
    const int index = found->GetGlobalVarIndexByName(name);
    return index < 0 ? -2000 : *static_cast<int*>(found->GetAddressOfGlobalVar(index));
  }

  // One frame's game step at the game time t: the update and process passes and the render
  // list, without the main loop around them.
  void Step(float t) {
    m_core->GetGlobalArg()->m_fCurrentTime = t;
    m_core->ProcessFrame();
    m_core->Render();
  }

  CSceneGameTestZeKorbInterface m_scenes;
  std::list<TiXmlDocument> m_documents;
};
