// Game objects and renderable objects on real engine scenes: loading by extension, lending
// meshes to an ancestor's scene, the render list, animations, the object's clock, sounds, and
// the teardown.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "GameObjectFixture.h"
#include "framework/RenderableObject.h"
#include "zktest/ZkTestClock.h"

namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class GameObjects : public GameObjectTest {
 protected:
  void SetUp() override {
    GameObjectTest::SetUp();
    WriteSettings("<Param use_shaders=\"0\"/>");
    StartCore();
    RegisterNodeType<CDrawnObject>("DrawnObject");
    TDrawnNodes::drawn.clear();
    SaveScene("room", {{"panel", {0, 0, 5}}, {"lamp", {3, 0, 5}}}, {"hook"});
    SaveScene("crate", {{"box", {0, 0, 0}}, {"lid", {0, 1, 0}}});
  }
  geCGameObject* Loaded(const char* path, geCBaseNode* parent = nullptr) {
    auto* object = new geCGameObject(parent ? parent : m_core->GetRootNode());
    object->RegisterProperties();
    object->LoadFileByExtension(path);
    return object;
  }
  std::vector<std::string> MeshNames(CSceneInterface* scene) {
    std::vector<std::string> names;
    for (UINT i = 0; scene && i < scene->GetNumberOfMeshes(); ++i)
      names.emplace_back(scene->GetMesh(i)->GetName());
    return names;
  }
};

TEST_F(GameObjects, FilesLoadByTheirExtensionWithCaseAndRegisterTheirMeshes) {
  struct Case {
    const char* path;
    DWORD meshes;
    int sceneLoads;
  } cases[] = {
      {"room.zks", 2, 1},
      {"room.ZKS", 0, 0},  // the extension test is case-sensitive
      {"Objects\\panel.zko", 1, 0},
      {"room.txt", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    m_scenes.calls.clear();
    geCGameObject* object = Loaded(c.path);
    EXPECT_EQ(object->GetNumberOfMeshes(), c.meshes);
    EXPECT_EQ(std::count(m_scenes.calls.begin(), m_scenes.calls.end(), "LoadScene"), c.sceneLoads);
    EXPECT_EQ(object->GetOwnScene() != nullptr, c.meshes > 0);
    for (DWORD i = 0; i < object->GetNumberOfMeshes(); ++i) {
      CMeshInterface* mesh = object->GetMesh(i);
      void* data = nullptr;
      UINT first = 9, second = 9;
      mesh->GetUserDefinedData(&data, &first, &second);
      EXPECT_EQ(reinterpret_cast<uintptr_t>(data), object->GetID());
      EXPECT_EQ(first + second, 0u);
      const auto [from, to] = m_core->GetGameMeshes().equal_range(mesh);
      ASSERT_EQ(std::distance(from, to), 1);
      EXPECT_EQ(from->second, object->GetID());
    }
    EXPECT_EQ(object->GetMesh(c.meshes), nullptr);
    m_core->GetRootNode()->RemoveChild(object);
  }
  // The scene came with reader flag 0 and no shader choosers; released objects left the
  // registry.
  EXPECT_EQ(m_scenes.loadFlags.back(), 0u);
  EXPECT_EQ(m_scenes.choosersGiven, 0);
  EXPECT_TRUE(m_core->GetGameMeshes().empty());
}

TEST_F(GameObjects, AnUnnamedObjectTakesTheNameOfItsSceneOrMesh) {
  EXPECT_STREQ(Loaded("room.zks")->GetName(), "room");
  EXPECT_STREQ(Loaded("Objects\\lamp.zko")->GetName(), "lamp");
  geCGameObject* named = Loaded("crate.zks");
  EXPECT_STREQ(named->GetName(), "crate");
  named->SetName("Named");
  named->LoadSceneFromPointer(named->GetOwnScene());
  EXPECT_STREQ(named->GetName(), "Named");
}

TEST_F(GameObjects, MeshesGoToTheNearestAncestorSceneUnlessKeptApart) {
  Build(R"(<Node Type="GameObject" Name="level">
             <Node Type="GameObject" Name="middle">
               <Node Type="DrawnObject" Name="lent"><Param File="crate.zks" Directory=""/></Node>
               <Node Type="DrawnObject" Name="kept">
                 <Param File="crate.zks" Directory="" NotMergeWithParent="1"/></Node>
             </Node>
           </Node>)");
  geCGameObject* level = Node("level");
  // The level loads its scene after its children were built, as game code does.
  level->LoadFileByExtension("room.zks");
  EXPECT_NE(Node("lent")->GetOwnScene(), nullptr);  // no ancestor had a scene yet
  // A later object finds the level's scene two levels up; what is left of its loaded scene is
  // released, not kept by the engine until shutdown.
  auto* late = new geCRenderableObject(Node("middle"));
  m_scenes.log.entries.clear();
  late->LoadFileByExtension("crate.zks");
  EXPECT_PRED2(Contains, m_scenes.log.TextAt(CEngineLog::kLevelInfo), "- (CScene) Releasing crate\n");
  EXPECT_EQ(late->GetOwnScene(), nullptr);
  EXPECT_EQ(late->GetOwnerScene(), level->GetOwnScene());
  EXPECT_EQ(late->GetNumberOfMeshes(), 2u);
  EXPECT_EQ(MeshNames(level->GetOwnScene()), (std::vector<std::string>{"panel", "lamp", "box", "lid"}));
  geCGameObject* kept = Node("kept");
  ASSERT_NE(kept->GetOwnScene(), nullptr);
  EXPECT_EQ(MeshNames(kept->GetOwnScene()), (std::vector<std::string>{"box", "lid"}));
  EXPECT_PRED2(Contains, Log(), "  -Moving mshes to parent scene (from node 'level')...DONE.\n");
  // The lent meshes are found by name through the object's own list; the caller's text stays.
  char name[] = "LID";
  EXPECT_EQ(late->FindMeshByName(name, 0), late->GetMesh(1));
  EXPECT_STREQ(name, "LID");
  EXPECT_EQ(late->FindMeshByName("lid", 1), nullptr);
  EXPECT_EQ(level->FindNullByName("hook", 0), level->GetOwnScene()->GetNull(0));
}

TEST_F(GameObjects, AnObjectWithoutAnyAncestorSceneKeepsItsOwn) {
  Build(R"(<Node Type="GameObject" Name="empty">
             <Node Type="DrawnObject" Name="child"><Param File="crate.zks" Directory=""/></Node>
           </Node>)");
  EXPECT_NE(Node("child")->GetOwnScene(), nullptr);
  EXPECT_PRED2(Contains, Log(),
               "    -ERROR: Configured to move meshes to parent scene, but parent scene NOT "
               "exist!\n");
  // A mesh file under such an ancestor has no scene to go to: the list stays empty.
  auto* single = new geCGameObject(Node("empty"));
  single->LoadFileByExtension("Objects\\box.zko");
  EXPECT_EQ(single->GetNumberOfMeshes(), 0u);
  EXPECT_EQ(single->GetMesh(0), nullptr);
  EXPECT_PRED2(Contains, Log(), "ERROR: Empty mesh not added to scene.");
}

TEST_F(GameObjects, AFailedMoveLeavesTheObjectOwningAndDrawingItsScene) {
  geCGameObject* parent = Loaded("room.zks");
  CSceneInterface* shared = parent->GetOwnScene();
  shared->AddRef();  // both objects release it
  auto* child = new CDrawnObject(parent);
  child->RegisterProperties();
  // A scene merged into itself is refused by the engine.
  child->LoadSceneFromPointer(shared);
  EXPECT_PRED2(Contains, Log(), "    - FAILED to move meshes \n");
  EXPECT_EQ(child->GetParentScene(), nullptr);
  EXPECT_EQ(child->GetOwnScene(), shared);
  m_scenes.calls.clear();
  child->Render(7);
  EXPECT_EQ(m_scenes.GetActiveScene(), shared);
}

TEST_F(GameObjects, RenderListDrawsByPriorityWithTiesInProcessOrder) {
  // Nodes built from XML run only when their element enables them.
  Build(R"(<Node Type="DrawnObject" Name="late"><Param Enabled="1" RenderPriority="101"/></Node>
           <Node Type="DrawnObject" Name="firstDefault"><Param Enabled="1"/></Node>
           <Node Type="DrawnObject" Name="early"><Param Enabled="1" RenderPriority="99"/></Node>
           <Node Type="DrawnObject" Name="secondDefault"><Param Enabled="1"/></Node>
           <Node Type="DrawnObject" Name="hidden"><Param Enabled="1" DontCallRender="1"/></Node>
           <Node Type="DrawnObject" Name="off"><Param Enabled="1"/></Node>
           <Node Type="DrawnObject" Name="shown"><Param Enabled="1" RenderPriority="200"/></Node>)");
  EXPECT_EQ(Node("firstDefault")->GetRenderPriority(), 100u);
  Node("off")->Disable(1);
  Node("shown")->Disable(0);  // hides its meshes but stays in the list
  Step(0.0f);
  EXPECT_EQ(TDrawnNodes::drawn, (std::vector<std::string>{"early", "firstDefault",
                                                           "secondDefault", "late", "shown"}));
  EXPECT_PRED2(Contains, Log(),
               " - WARRNING! Property 'RenderPriority' not set in XML Node for object, setting "
               "default value (=100)\n");
}

TEST_F(GameObjects, DisableZeroHidesMeshesDisableOneStopsTheLogic) {
  Build(R"(<Node Type="RenderableObject" Name="crate">
             <Param File="crate.zks" Directory="" Enabled="1"/>
             <Node Type="Node" Name="inner"><Param Enabled="1"/></Node></Node>)");
  geCGameObject* crate = Node("crate");
  CMeshInterface* box = crate->GetMesh(0);
  crate->Disable(0);
  EXPECT_TRUE(crate->IsEnabled());
  EXPECT_TRUE(Node<geCBaseNode>("inner")->IsEnabled());
  EXPECT_EQ(box->GetVisibleByCameras() + box->GetVisibleByRays() + box->GetVisibleByCollisions(), 0u);
  crate->Enable(0);
  EXPECT_EQ(box->GetVisibleByCameras() + box->GetVisibleByRays() + box->GetVisibleByCollisions(), 3u);
  crate->Disable(1);
  EXPECT_FALSE(crate->IsEnabled());
  EXPECT_FALSE(Node<geCBaseNode>("inner")->IsEnabled());
  EXPECT_EQ(box->GetVisibleByCameras(), 1u);
}

TEST_F(GameObjects, TheObjectClockStandsStillWhileTheGameIsPaused) {
  geCGameObject* room = Loaded("room.zks");  // 30 frames a second, 60 frames long
  ZkTestClockSetManual(0);
  Step(0.0f);
  ZkTestClockAdvance(1000 * 1000);  // one second
  Step(1.0f);
  EXPECT_FLOAT_EQ(room->GetFrame(), 30.0f);
  m_core->PauseGame();
  Step(1.0f);
  ZkTestClockAdvance(500 * 1000);
  Step(1.0f);
  EXPECT_FLOAT_EQ(room->GetFrame(), 30.0f);
  m_core->ResumeGame();
  Step(1.0f);
  ZkTestClockAdvance(500 * 1000);
  Step(1.5f);
  EXPECT_FLOAT_EQ(room->GetFrame(), 45.0f);
  // Past the scene's last frame the scene's own animation starts over.
  ZkTestClockAdvance(1000 * 1000);
  Step(2.5f);
  EXPECT_FLOAT_EQ(room->GetFrame(), 0.0f);
  EXPECT_FLOAT_EQ(room->GetOwnScene()->GetFrame(), 0.0f);
}

TEST_F(GameObjects, VisibilityElementsSetTheMeshesFlags) {
  Build(R"(<Node Type="RenderableObject" Name="room"><Param File="room.zks" Directory=""/>
             <SetVisibilityForAll Cameras="0"/><SetVisibilityForAll Rays="0"/>
             <SetVisibility MeshName="lamp" Rays="0"/><SetVisibility MeshName="nothing"/>
           </Node>)");
  geCGameObject* room = Node("room");
  auto flags = [](CMeshInterface* mesh) {
    return std::vector<UINT>{mesh->GetVisibleByCameras(), mesh->GetVisibleByRays(),
                             mesh->GetVisibleByCollisions()};
  };
  EXPECT_EQ(flags(room->FindMeshByName("panel", 0)), (std::vector<UINT>{0, 1, 1}));
  EXPECT_EQ(flags(room->FindMeshByName("lamp", 0)), (std::vector<UINT>{1, 0, 1}));
  EXPECT_PRED2(Contains, Log(),
               " - Setting visibility for mesh (lamp) in level (Cameras=1, Rays=0, Collisions=1)\n");
}

TEST_F(GameObjects, RenderActivatesTheOwnSceneAndClearsDepthWhenAsked) {
  geCGameObject* room = Loaded("room.zks");
  room->Render(7);
  EXPECT_EQ(m_scenes.GetActiveScene(), room->GetOwnScene());
  EXPECT_TRUE(m_scenes.renderer.frameCalls.empty());
  room->SetFlag(geCGameObject::kFlagClearDepth, true);
  room->Render(7);
  EXPECT_EQ(m_scenes.renderer.frameCalls, std::vector<std::string>{"Clear(2,0)"});
}

TEST_F(GameObjects, DontUpdateStructureIsReadEveryFrame) {
  Build(R"(<Node Type="RenderableObject" Name="still">
             <Param File="room.zks" Directory="" Enabled="1" DontUpdateStructure="1"/></Node>)");
  geCGameObject* still = Node("still");
  ZkTestClockSetManual(0);
  Step(0.0f);
  ZkTestClockAdvance(1000 * 1000);
  Step(1.0f);
  EXPECT_FLOAT_EQ(still->GetFrame(), 0.0f);
  still->GetProperties()->Set("DontUpdateStructure", geCVariant(0));
  Step(1.0f);
  EXPECT_FLOAT_EQ(still->GetFrame(), 30.0f);
}

TEST_F(GameObjects, AnimationListPlaysOnceOrLoopsAndActivatesByItsRules) {
  struct Case {
    const char* animations;
    DWORD active;
  } cases[] = {
      {R"(<Animation Id="1" Start="0" End="30"/><Animation Id="2" Start="5" End="9" Active="2"/>)", 2},
      {R"(<Animation Id="0" Start="0" End="30"/><Animation Id="3" Start="0" End="9"/>)", 0},
      {R"(<Animation Id="1" Start="0" End="30"/><Animation Id="3" Start="0" End="9"/>)",
       geCAnimationsManager::kNoAnimation},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.animations);
    const std::string name = "animated" + std::to_string(n++);
    Build("<Node Type=\"RenderableObject\" Name=\"" + name + "\">" + c.animations + "</Node>");
    EXPECT_EQ(Node(name.c_str())->GetAnimations()->GetActive(), c.active);
  }

  geCAnimationsManager animations;
  animations.AddAnimation(1, 0, 30, geCAnimationsManager::kTypePlayOnce);
  animations.AddAnimation(2, 10, 20, geCAnimationsManager::kTypeLoop);
  animations.AddAnimation(3, 20, 10, geCAnimationsManager::kTypePlayOnce);
  geSUpdateArgument* arg = m_core->GetGlobalArg();
  struct Step {
    DWORD id;
    float start, at, frame;
    DWORD stopped;
  } steps[] = {
      {1, 0.0f, 1.0f, 30.0f, 0},  // at its end frame, not past it
      {1, 0.0f, 1.5f, 30.0f, 1},  // past it: stopped at the end
      {2, 0.0f, 0.2f, 16.0f, 0},
      {2, 0.0f, 0.5f, 10.0f, 0},  // past the end a loop starts over
      {3, 0.0f, 0.2f, 14.0f, 0},  // a range running backwards
      {3, 0.0f, 0.5f, 10.0f, 1},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.at);
    arg->m_fCurrentTime = s.start;
    animations.SetActive(s.id);
    arg->m_fCurrentTime = s.at;
    EXPECT_FLOAT_EQ(animations.GetFrame(30.0f), s.frame);
    EXPECT_EQ(animations.IsStopped(), s.stopped);
  }
  // Stopped, the frame stays; an id the list lacks changes nothing.
  arg->m_fCurrentTime = 9.0f;
  EXPECT_FLOAT_EQ(animations.GetFrame(30.0f), 10.0f);
  animations.SetActive(7);
  EXPECT_EQ(animations.GetActive(), 3u);
  EXPECT_EQ(animations.IsStopped(), 1u);
}

TEST_F(GameObjects, ParentingAttachesToAnAncestorsMeshOrLogsAndSkips) {
  Build(R"(<Node Type="GameObject" Name="holder">
             <Node Type="RenderableObject" Name="rider">
               <Param File="crate.zks" Directory="" NotMergeWithParent="1" ParentToMesh="lamp"
                      MeshToParent="lid"/></Node>
           </Node>
           <Node Type="RenderableObject" Name="orphan">
             <Param File="crate.zks" Directory="" ParentToNull="hook" BodyMesh="box"/></Node>)");
  // The holder had no scene when the rider was built: its parent is not found and left unset.
  EXPECT_PRED2(Contains, Log(), " - ERROR: Parent object 'lamp' NOT found in any parent game object\n");
  EXPECT_EQ(Node("rider")->FindMeshByName("lid", 0)->GetParentObject(0), nullptr);
  EXPECT_PRED2(Contains, Log(), "node has no parent game object");
  EXPECT_EQ(Node("orphan")->FindMeshByName("box", 0)->GetParentObject(0), nullptr);

  geCGameObject* holder = Node("holder");
  holder->LoadFileByExtension("room.zks");
  Build(R"(<Node Type="RenderableObject" Name="rider2">
             <Param File="crate.zks" Directory="" NotMergeWithParent="1" ParentToMesh="lamp"
                    MeshToParent="lid"/></Node>)",
        holder);
  geCGameObject* rider = Node("rider2");
  EXPECT_EQ(rider->FindMeshByName("lid", 0)->GetParentObject(0),
            static_cast<CWorldObjectInterface*>(holder->FindMeshByName("lamp", 0)));
  EXPECT_PRED2(Contains, Log(), " - Attaching object 'lid' to object 'lamp' from owner scene\n");
}

TEST_F(GameObjects, MissingFilesAndJoinedPaths) {
  std::filesystem::create_directories(std::filesystem::path(m_folder.Path()) / "data");
  const std::filesystem::path folder(m_folder.Path());
  std::filesystem::copy_file(folder / "crate.zks", folder / "data" / "crate.zks");
  std::filesystem::copy(folder / "Objects", folder / "data" / "Objects");
  Build(R"(<Node Type="RenderableObject" Name="joined"><Param File="crate.zks" Directory="data\"/></Node>
           <Node Type="RenderableObject" Name="unjoined"><Param File="crate.zks" Directory="data"/></Node>
           <Node Type="RenderableObject" Name="bare"/>)");
  EXPECT_EQ(Node("joined")->GetNumberOfMeshes(), 2u);
  EXPECT_EQ(Node("unjoined")->GetNumberOfMeshes(), 0u);
  EXPECT_PRED2(Contains, Log(), " - ERROR! can't open scene/object file 'datacrate.zks'\n");
  EXPECT_PRED2(Contains, Log(), " - WARRNING! Property 'File' not set in XML Node for object \n");
  EXPECT_PRED2(Contains, Log(),
               " - WARRNING! Property 'Directory' not set in XML Node for object \n");
}

TEST_F(GameObjects, ReleasedObjectsFreeTheirSceneAndTimer) {
  const int liveBefore = m_scenes.LiveTimers();
  geCGameObject* room = Loaded("room.zks");
  Loaded("Objects\\panel.zko");
  EXPECT_EQ(m_scenes.LiveTimers(), liveBefore + 2);
  m_scenes.SetActiveScene(room->GetOwnScene());
  while (m_core->GetRootNode()->GetNodesCount() > 0)
    m_core->GetRootNode()->RemoveChild(m_core->GetRootNode()->GetNode(0));
  EXPECT_EQ(m_scenes.LiveTimers(), liveBefore);
  EXPECT_EQ(m_scenes.GetActiveScene(), nullptr);
  EXPECT_PRED2(Contains, Log(), "\t- Renderer Scene 'room' Releasing...done\n");
  EXPECT_TRUE(m_core->GetGameMeshes().empty());
}

// ---- sounds ---------------------------------------------------------------------------------

TEST_F(GameObjects, SoundsOfObjectsAndOfTheCoreShareRisingIds) {
  m_scenes.sounds.failing.insert("broken.ogg");
  Build(R"(<Node Type="GameObject" Name="speaker">
             <AddMusic File="hum.ogg" Name="hum" Loop="1"/>
             <AddMusic File="tick.wav" Name="tick" Loop="true"/>
             <AddMusic File="broken.ogg" Name="broken"/>
           </Node>)");
  EXPECT_TRUE(m_core->AddNewTonaris("theme.ogg", "theme", true));
  EXPECT_TRUE(m_core->AddNewSound("click.wav", "click"));
  EXPECT_FALSE(m_core->AddNewSound("broken.ogg", "bad"));
  EXPECT_TRUE(m_core->AddNewSound("click.wav", "theme"));  // loads, but the name keeps its id
  const std::vector<std::pair<std::string, UINT>> loads = {
      {"hum.ogg", 0x24}, {"tick.wav", 4}, {"broken.ogg", 4}, {"theme.ogg", 1},
      {"click.wav", 4},  {"broken.ogg", 4}, {"click.wav", 4}};
  EXPECT_EQ(m_scenes.sounds.loads, loads);
  geCGameObject* speaker = Node("speaker");
  EXPECT_EQ(speaker->GetSoundID("hum"), 1u);
  EXPECT_EQ(speaker->GetSoundID("tick"), 2u);
  EXPECT_EQ(speaker->GetSoundID("broken"), 0u);  // never the counter's value
  EXPECT_EQ(g_mapTonarisMusic.size(), 1u);
  EXPECT_EQ(g_mapTonarisMusic.begin()->first, 3u);
  EXPECT_EQ(g_mapTonarisSounds.size(), 4u);
  EXPECT_EQ(m_scenes.sounds.streams[0].sequence, std::vector<std::string>{"SetVolume 100"});

  speaker->PlaySoundByName("hum");
  speaker->StopSoundByName("hum");
  m_core->PlayTonarisByName("theme");
  m_core->StopTonarisByName("theme");
  m_core->PlayTonarisByName("bad");  // id 0: nothing, and nothing logged
  m_core->PlayTonarisByName("nobody");
  speaker->PlaySoundByName("nothing");
  EXPECT_EQ(m_scenes.sounds.streams[0].sequence,
            (std::vector<std::string>{"SetVolume 100", "Play", "Stop"}));
  EXPECT_EQ(m_scenes.sounds.streams[2].sequence,
            (std::vector<std::string>{"SetVolume 100", "Play", "Reset", "Stop"}));
  EXPECT_PRED2(Contains, Log(), "WARNING: Not fount 'nobody'\n");
  EXPECT_PRED2(Contains, Log(), "WARNING: Not fount 'nothing'\n");
  EXPECT_FALSE(Contains(Log(), "Not fount 'bad'"));

  // The streams go with the core's music manager, in id order.
  int released = 0;
  for (RecordingStream& stream : m_scenes.sounds.streams) released += stream.releaseCalls;
  EXPECT_EQ(released, 0);
  DestroyCore();
  for (RecordingStream& stream : m_scenes.sounds.streams) EXPECT_EQ(stream.releaseCalls, 1);
}

TEST_F(GameObjects, WithoutASoundServerEveryLoadFailsWithItsLine) {
  m_scenes.soundServer = nullptr;
  Build(R"(<Node Type="GameObject" Name="mute"><AddMusic File="hum.ogg" Name="hum"/></Node>)");
  EXPECT_FALSE(m_core->AddNewTonaris("theme.ogg", "theme", false));
  EXPECT_EQ(Node("mute")->GetSoundID("hum"), 0u);
  const std::string log = Log();
  size_t lines = 0;
  for (size_t at = 0; (at = log.find("ERROR: can't get TonarisInterface from ZeKorb\n", at)) !=
                      std::string::npos;
       ++at)
    ++lines;
  EXPECT_EQ(lines, 2u);
  EXPECT_PRED2(Contains, log, "- Loaded sound/tonaris 'theme.ogg' as 'theme'\n");
}

}  // namespace
