// The socket link and the cable: plugging in, the sub player taking over, the tail points, the
// HUD text, unplugging by distance and by command, and the cable mesh built on the engine's real
// mesh and surface.
#include <cmath>
#include <string>
#include <vector>

#include "FakeSurfaceBanks.h"
#include "PlayerFixture.h"
#include "cpelto/MenuText.h"
#include "cpelto/PeltoCable.h"
#include "framework/TextReceiver.h"
#include "scene/SurfaceFactory.h"

namespace {

// A socket: any node with the two properties.
class CSocketNode : public geCBaseNode {
 public:
  using geCBaseNode::geCBaseNode;
  void RegisterProperties() override {
    geCBaseNode::RegisterProperties();
    m_Properties.Register("SocketDistance");
    m_Properties.Register("SocketType");
  }
};

// A node that takes text but is no menu text.
class CTextSink : public geCBaseNode, public geCTextReceiver {
 public:
  using geCBaseNode::geCBaseNode;
  void SetText(const char* szText) override { texts.emplace_back(szText); }
  std::vector<std::string> texts;
};

const std::string kOpen8 = "00000000\n00000000\n00000000\n00000000\n"
                           "00000000\n00000000\n00000000\n00000000\n";

class SocketLink : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    RegisterNodeType<CSocketNode>("Socket");
    RegisterNodeType<CTextSink>("TextSink");
    SaveScene("monster", {{"monster", {0, 0, 0}}}, {"kabelek"});
    // The cable mesh gets the engine's real surfaces, their materials from a bank that keeps them.
    m_scenes.context->ports.surfaceFactory.Set(&m_surfaceFactory);
    m_scenes.renderer.materialStorage = &m_materials;
  }

  // An 8 × 8 level with the player at (x, z), a sub player and a socket of that length; the
  // player's (and sub player's) extra parameters given.
  void LoadLinkLevel(float x, float z, int socketDistance, const std::string& params = "") {
    LoadLevel(x, z, params, kOpen8, kOpen8, kAnimations,
              R"(<Node Type="PeltoPlayer" Name="monster"><Param File="monster.zks" Directory=""
                   Enabled="1" SubPlayer="1" ScriptFile="player.as" )" +
                  params + "/>" + kAnimations + R"(</Node>
                 <Node Type="Socket" Name="socket"><Param Enabled="1" SocketType="7"
                   SocketDistance=")" +
                  std::to_string(socketDistance) + R"("/></Node>)");
    m_sub = Node<CPeltoPlayer>("monster");
    m_socket = m_core->GetRootNode()->GetNodeByName("socket", 1);
    ASSERT_TRUE(m_sub && m_socket);
  }

  // The socket command with the socket on offer, then frames (the offer renewed each) until the
  // plug is in; the script's "OnActivateSocketSetMonster" would name the sub player, the test
  // does it up front.
  void PlugIn() {
    m_player->ActiveSocket = m_socket->GetID();
    Command(CPeltoPlayer::kCommandSocket);
    ASSERT_EQ(m_player->m_dwState, CPeltoPlayer::kStateSocketIn);
    m_player->m_pSubPlayer = m_sub;
    int frames = 0;
    while (!m_player->m_bSocketEnabled && frames++ < 50) {
      m_player->ActiveSocket = m_socket->GetID();
      Frame(0.1f);
    }
    ASSERT_EQ(m_player->m_bSocketEnabled, 1);
  }

  // A step of the sub player through the player (idle first, so it takes the step too: its
  // arrivals lay the tail), run to its end.
  void Walk(DWORD command) {
    int frames = 0;
    while (m_player->m_dwState != CPeltoPlayer::kStateIdle && frames++ < 10) Frame(0.1f);
    Command(command);
    while (!(SubStanding() && Standing()) && m_player->m_pSubPlayer && frames++ < 100)
      Frame(0.1f);
  }
  bool SubStanding() const {
    return m_sub->m_dwState == CPeltoPlayer::kStateStop ||
           m_sub->m_dwState == CPeltoPlayer::kStateIdle;
  }

  // The cells (x, z) of the tail points.
  std::vector<std::pair<int, int>> TailCells() const {
    std::vector<std::pair<int, int>> cells;
    for (const CVector3& point : m_player->m_vecTailPoints)
      cells.emplace_back(static_cast<int>(point.x), static_cast<int>(point.z));
    return cells;
  }

  CMenuText* AddHudText() {
    auto* text = new CMenuText(m_core->GetRootNode());
    text->SetName("SocketDistance");
    return text;
  }

  CSurfaceFactory m_surfaceFactory;
  FakeMaterialStorage m_materials;
  CPeltoPlayer* m_sub = nullptr;
  geCBaseNode* m_socket = nullptr;
};

TEST_F(SocketLink, PluggingInHandsTheCamerasAndThePlaceToTheSubPlayer) {
  LoadLinkLevel(2.5f, 3.5f, 5);
  m_player->m_iFacing = 1;
  // Without an offer the plug waits in state 10, its animation ended.
  Command(CPeltoPlayer::kCommandSocket);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateIdle);
  m_player->ActiveSocket = m_socket->GetID();
  Command(CPeltoPlayer::kCommandSocket);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateSocketIn);
  for (int frame = 0; frame < 5; ++frame) Frame(0.1f);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateSocketIn);
  EXPECT_EQ(m_player->GetAnimations()->GetActive(), CPeltoPlayer::kAnimationPlugIn);
  EXPECT_TRUE(m_player->GetAnimations()->IsStopped());
  EXPECT_EQ(m_player->m_bSocketEnabled, 0);
  EXPECT_EQ(m_player->ActiveSocket, 0u);

  PlugIn();
  EXPECT_EQ(Count("OnActivateSocketSetMonster"), 1);
  EXPECT_EQ(m_player->m_iSocketDistance, 5);
  EXPECT_EQ(m_player->m_dwSocketType, 7u);
  EXPECT_EQ(m_player->GetAnimations()->GetActive(), CPeltoPlayer::kAnimationPluggedIn);
  EXPECT_EQ(m_player->ActiveSocket, 0u);
  ASSERT_EQ(m_player->m_vecTailPoints.size(), 2u);
  EXPECT_NEAR(m_player->m_vecTailPoints[0].y, 0.1f, 1e-6f);
  EXPECT_NEAR(m_player->m_vecTailPoints[1].z - m_player->m_vecTailPoints[0].z, 0.01f, 1e-5f);
  EXPECT_NEAR(m_sub->m_vecPosition.x, 2.5f, 1e-5f);
  EXPECT_NEAR(m_sub->m_vecPosition.z, 3.5f, 1e-5f);
  EXPECT_EQ(m_sub->m_iFacing, 1);
  CCameraInterface* camera = m_player->GetOwnerScene()->GetCamera(0);
  EXPECT_EQ(camera->GetTargetObject(0), static_cast<CWorldObjectInterface*>(m_sub->GetMesh(0)));
  EXPECT_EQ(m_player->GetMesh(0)->GetVisibleByCameras(), 0u);
  EXPECT_EQ(m_player->GetMesh(0)->GetVisibleByRays(), 1u);
  // The player stopped (and idles on); commands reach the sub player too.
  EXPECT_TRUE(Standing());
  Walk(CPeltoPlayer::kCommandForward);
  EXPECT_NEAR(m_sub->m_vecPosition.z, 4.5f, 1e-5f);
  EXPECT_NEAR(m_player->m_vecPosition.z, 4.5f, 1e-5f);
}

TEST_F(SocketLink, TheCableWindsUpWhenTheSubPlayerStepsBack) {
  LoadLinkLevel(0.5f, 3.5f, 5);
  PlugIn();
  for (int step = 0; step < 3; ++step) Walk(CPeltoPlayer::kCommandForward);
  EXPECT_NEAR(m_sub->m_vecPosition.x, 3.5f, 1e-5f);
  using Cells = std::vector<std::pair<int, int>>;
  EXPECT_EQ(TailCells(), (Cells{{0, 3}, {0, 3}, {1, 3}, {2, 3}, {3, 3}}));
  for (int step = 0; step < 2; ++step) Walk(CPeltoPlayer::kCommandBack);
  EXPECT_NEAR(m_sub->m_vecPosition.x, 1.5f, 1e-5f);
  EXPECT_EQ(TailCells(), (Cells{{0, 3}, {0, 3}, {1, 3}}));
  EXPECT_EQ(m_player->m_iCableDistance, 1);
  // Wound up to the socket, a step out lays the cable again.
  Walk(CPeltoPlayer::kCommandBack);
  EXPECT_EQ(TailCells(), (Cells{{0, 3}, {0, 3}}));
  Walk(CPeltoPlayer::kCommandForward);
  EXPECT_EQ(TailCells(), (Cells{{0, 3}, {0, 3}, {1, 3}}));
}

TEST_F(SocketLink, TheHudCountsDownAndTheLinkBreaksFiveCellsAway) {
  CMenuText* hud = AddHudText();
  LoadLinkLevel(3.5f, 0.5f, 5);
  m_player->m_iFacing = 1;  // +z
  PlugIn();
  EXPECT_EQ(hud->GetText(), "   5");
  Walk(CPeltoPlayer::kCommandForward);
  EXPECT_EQ(hud->GetText(), "   4");
  for (int step = 0; step < 3; ++step) Walk(CPeltoPlayer::kCommandForward);
  EXPECT_EQ(hud->GetText(), "   1");
  ASSERT_NE(m_player->m_pSubPlayer, nullptr);
  // The fifth cell: the link breaks as the sub player enters it.
  Command(CPeltoPlayer::kCommandForward);
  int frames = 0;
  while (m_player->m_pSubPlayer && frames++ < 100) Frame(0.1f);
  EXPECT_EQ(m_player->m_pSubPlayer, nullptr);
  EXPECT_EQ(hud->GetText(), "");
  EXPECT_EQ(m_player->m_bSocketEnabled, 0);
  EXPECT_EQ(Count("OnDeActivateSocketSetMonster"), 1);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateStop);
  EXPECT_EQ(static_cast<int>(m_sub->m_vecPosition.z), 5);
  EXPECT_EQ(m_player->m_vecPosition.x, 3.5f);
  EXPECT_EQ(m_player->m_vecPosition.z, 5.5f);
  EXPECT_EQ(m_player->m_iFacing, 1);
  EXPECT_FALSE(m_player->m_bJumping);
  EXPECT_FALSE(m_sub->m_bJumping);
  EXPECT_TRUE(m_player->m_vecTailPoints.empty());
  EXPECT_EQ(m_player->m_pCableMesh->GetVisibleByCameras(), 0u);
  EXPECT_EQ(m_sub->GetMesh(0)->GetVisibleByCameras(), 0u);
  EXPECT_EQ(m_player->GetMesh(0)->GetVisibleByCameras(), 1u);
  CCameraInterface* camera = m_player->GetOwnerScene()->GetCamera(0);
  EXPECT_EQ(camera->GetTargetObject(0), static_cast<CWorldObjectInterface*>(m_player->GetMesh(0)));
}

TEST_F(SocketLink, TheSocketCommandUnplugsWithoutAnOfferOrWhileLinked) {
  CMenuText* hud = AddHudText();
  hud->SetText("  12");
  LoadLinkLevel(2.5f, 3.5f, 5);
  // Standing, nothing on offer, no link: still an unplug.
  Command(CPeltoPlayer::kCommandSocket);
  EXPECT_EQ(hud->GetText(), "");
  EXPECT_EQ(Count("OnDeActivateSocketSetMonster"), 1);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateIdle);

  PlugIn();
  Walk(CPeltoPlayer::kCommandForward);
  EXPECT_EQ(hud->GetText(), "   4");
  m_player->m_bJumping = true;
  Command(CPeltoPlayer::kCommandSocket);
  EXPECT_EQ(Count("OnDeActivateSocketSetMonster"), 2);
  EXPECT_EQ(m_player->m_pSubPlayer, nullptr);
  EXPECT_EQ(m_player->m_bSocketEnabled, 0);
  EXPECT_EQ(m_player->m_bSkipCableBuild, 1);
  EXPECT_EQ(hud->GetText(), "");
  EXPECT_TRUE(m_player->m_vecTailPoints.empty());
  EXPECT_NEAR(m_player->m_vecPosition.x, 3.5f, 1e-5f);
  EXPECT_EQ(m_sub->GetMesh(0)->GetVisibleByCameras(), 0u);
  EXPECT_EQ(m_player->GetMesh(0)->GetVisibleByCameras(), 1u);
  EXPECT_EQ(m_player->m_pCableMesh->GetVisibleByCameras(), 0u);
  // The state and the jump are left as they were.
  EXPECT_TRUE(m_player->m_bJumping);
  EXPECT_TRUE(Standing());
}

TEST_F(SocketLink, TheCableIsBuiltOneBuildAfterPluggingInAroundTheTail) {
  LoadLinkLevel(3.5f, 0.5f, 50, R"(OgonFrameOffset="1" OgonDiffuse="1;0;0;1")");
  ASSERT_NE(m_player->m_pCableMesh, nullptr);
  ASSERT_NE(m_player->m_pCableSurface, nullptr);
  EXPECT_EQ(m_sub->m_pCableMesh, nullptr);  // a sub player makes none
  m_player->m_iFacing = 1;
  PlugIn();
  // The plug-in frame's build was skipped.
  EXPECT_EQ(m_player->m_pCableMesh->GetNumberOfVertices(), 0u);
  EXPECT_EQ(m_player->m_bSkipCableBuild, 0);
  Frame(0.1f);
  // Two tail points: the socket keyed, three arc keys, the end: t up to 4, 16 rings of 8.
  EXPECT_EQ(m_player->m_pCableMesh->GetNumberOfVertices(), 17u * 8u);
  EXPECT_EQ(m_player->m_pCableSurface->GetNumberOfIndices(), 15u * 8u * 6u);
  EXPECT_FALSE(m_player->m_bFirstCableBuild);

  for (int step = 0; step < 2; ++step) Walk(CPeltoPlayer::kCommandForward);
  ASSERT_EQ(m_player->m_vecTailPoints.size(), 4u);
  Frame(0.1f);
  // Four tail points: t up to 6, 24 rings.
  CMeshInterface* cable = m_player->m_pCableMesh;
  ASSERT_EQ(cable->GetNumberOfVertices(), 25u * 8u);
  ASSERT_EQ(m_player->m_pCableSurface->GetNumberOfIndices(), 23u * 8u * 6u);
  ASSERT_EQ(cable->GetNumberOfFaces(), 23u * 8u * 2u);
  EXPECT_EQ(m_player->m_pCableSurface->GetFlags(), 4u);
  ASSERT_FALSE(m_materials.made.empty());
  const D3DMATERIAL9& material = m_materials.made.back()->block;
  EXPECT_EQ(material.Diffuse.r, 1.0f);
  EXPECT_EQ(material.Diffuse.g, 0.0f);
  EXPECT_EQ(material.Specular.g, 0.5f);
  EXPECT_EQ(material.Emissive.r, 0.0f);
  EXPECT_EQ(cable->GetVisibleByCameras(), 1u);
  EXPECT_EQ(cable->GetVisibleByRays(), 0u);
  EXPECT_EQ(cable->GetVisibleByCollisions(), 0u);
  // Ring 0 stands on the socket point (3.5, 0.1, 0.5) facing along z: its third vertex is the
  // top offset turned a quarter about z, half the thickness to −x.
  const Vertex* ring0 = cable->GetVertex(2);
  EXPECT_NEAR(ring0->vecPosition.x, 3.5f - 0.0225f, 1e-5f);
  EXPECT_NEAR(ring0->vecPosition.y, 0.1f, 1e-5f);
  EXPECT_NEAR(ring0->vecPosition.z, 0.5f, 1e-5f);
  EXPECT_NEAR(ring0->vecNormal.x, -1.0f, 1e-5f);
  EXPECT_NEAR(cable->GetVertex(0)->vecPosition.y, 0.1f + 0.0225f, 1e-5f);
  // Face k is triangle k of the index list: its three indices and its number.
  std::vector<WORD>& indices = CPeltoCable::Get().GetIndices();
  for (UINT k : {0u, 1u, 7u, 367u}) {
    const Face* face = cable->GetFace(k);
    EXPECT_EQ(face->wFaceIndex, k);
    EXPECT_EQ(face->wIndex1, indices[3 * k]);
    EXPECT_EQ(face->wIndex2, indices[3 * k + 1]);
    EXPECT_EQ(face->wIndex3, indices[3 * k + 2]);
  }
  // Ring 1, side 1: the first triangle joins it to ring 0.
  EXPECT_EQ(cable->GetFace(0)->wIndex1, 8);
  EXPECT_EQ(cable->GetFace(0)->wIndex2, 9);
  EXPECT_EQ(cable->GetFace(0)->wIndex3, 1);
  // The cable ends on the sub player's plug null, in world space.
  const CVector3 last = cable->GetVertex(23 * 8)->vecPosition;
  EXPECT_NEAR(last.z, m_sub->m_vecPosition.z, 0.1f);
}

// Faults: the skip mark's first value, a zero build period, a tail wound to one point, a tube
// too long for 16-bit indices, and a HUD node that is no menu text.
TEST_F(SocketLink, ALinkSetUpByHandBuildsAtOnceAndAZeroPeriodBuildsEveryFrame) {
  LoadLinkLevel(3.5f, 0.5f, 50, R"(OgonFrameOffset="0")");
  EXPECT_EQ(m_player->m_vecOgonFrameOffset, 0u);
  EXPECT_EQ(m_player->m_bSkipCableBuild, 0);
  // Scripts may link without the plug: no skip mark was ever set, so the first build is real.
  m_player->m_bSocketEnabled = 1;
  m_player->m_pSubPlayer = m_sub;
  m_player->m_iSocketDistance = 50;
  m_player->m_vecTailPoints = {CVector3(3.5f, 0.1f, 0.5f), CVector3(3.5f, 0.1f, 0.51f)};
  Frame(0.1f);
  EXPECT_EQ(m_player->m_pCableMesh->GetNumberOfVertices(), 17u * 8u);
  m_player->m_vecTailPoints.emplace_back(3.5f, 0.1f, 1.5f);
  Frame(0.1f);
  EXPECT_EQ(m_player->m_pCableMesh->GetNumberOfVertices(), 21u * 8u);
  // A new, shorter link replaces the longer cable whole.
  m_player->m_vecTailPoints.pop_back();
  Frame(0.1f);
  EXPECT_EQ(m_player->m_pCableMesh->GetNumberOfVertices(), 17u * 8u);
  EXPECT_EQ(m_player->m_pCableMesh->GetNumberOfFaces(), 15u * 8u * 2u);
}

TEST_F(SocketLink, ATailWoundToOnePointGrowsAgain) {
  LoadLinkLevel(3.5f, 0.5f, 50);
  m_player->m_iFacing = 1;
  PlugIn();
  m_player->m_vecTailPoints.resize(1);
  Walk(CPeltoPlayer::kCommandForward);
  ASSERT_EQ(m_player->m_vecTailPoints.size(), 2u);
  EXPECT_NEAR(m_player->m_vecTailPoints[1].z, 1.5f, 1e-5f);
}

TEST_F(SocketLink, ATubeTooLongForShortIndicesKeepsTheLastCable) {
  LoadLinkLevel(3.5f, 0.5f, 100000, R"(OgonFrameOffset="1")");
  m_player->m_iFacing = 1;
  PlugIn();
  Frame(0.1f);
  const UINT built = m_player->m_pCableMesh->GetNumberOfVertices();
  ASSERT_EQ(built, 17u * 8u);
  // 2100 points: t up to 2101, 8404 rings of 8 vertices, beyond 65535.
  std::vector<CVector3> tail(2100, CVector3(3.5f, 0.1f, 0.5f));
  for (size_t i = 0; i < tail.size(); ++i) tail[i].z += 0.001f * static_cast<float>(i);
  m_player->m_vecTailPoints = tail;
  Frame(0.1f);
  EXPECT_EQ(m_player->m_pCableMesh->GetNumberOfVertices(), built);
  EXPECT_EQ(CPeltoCable::Get().GetVertices().size(), built);
  EXPECT_NE(Log().find("more than 16-bit indices address; the last cable stays"),
            std::string::npos);
}

TEST_F(SocketLink, AHudNodeThatIsNoMenuTextGetsNoText) {
  Build(R"(<Node Type="TextSink" Name="SocketDistance"/>)");
  auto* sink = dynamic_cast<CTextSink*>(m_core->GetRootNode()->GetNodeByName("SocketDistance", 1));
  ASSERT_NE(sink, nullptr);
  LoadLinkLevel(2.5f, 3.5f, 5);
  PlugIn();
  Walk(CPeltoPlayer::kCommandForward);
  Command(CPeltoPlayer::kCommandSocket);
  EXPECT_TRUE(sink->texts.empty());
  EXPECT_EQ(Count("OnDeActivateSocketSetMonster"), 1);
}

}  // namespace
