// The player's state machine: steps, jumps, walking on, turns, wet floors, locking, vetoed
// states, idling, the motion sway and the camera command.
#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

#include "PlayerFixture.h"
#include "scene/Mesh.h"
#include "scene/Motion.h"

namespace {

constexpr float kPi = 3.14159265f;

using PlayerStates = PlayerTest;

TEST_F(PlayerStates, AStepAtVelocityTwoTakesHalfASecondAndEndsExactlyOnTheCell) {
  LoadLevel(1.5f, 2.5f, R"(Velocity="2")");
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateIdle);
  Command(CPeltoPlayer::kCommandForward);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateForward);
  EXPECT_EQ(m_player->GetAnimations()->GetActive(), kStartId);
  EXPECT_EQ(Count("OnStartForward"), 1);
  // The start animation has ended by the first frame; the walk moves 2 × 0.15 a frame and the
  // last frame only what is left of the cell.
  const float expected[] = {0.3f, 0.6f, 0.9f, 1.0f, 1.0f};
  for (float progress : expected) {
    Frame(0.15f);
    EXPECT_NEAR(m_player->m_fMoveProgress, progress, 1e-5f);
    EXPECT_NEAR(m_player->m_vecPosition.x, 1.5f + progress, 1e-5f);
    EXPECT_NEAR(MeshPosition().x, 1.5f + progress, 1e-5f);
  }
  EXPECT_NEAR(m_player->m_vecPosition.x, 2.5f, 1e-5f);
  EXPECT_NEAR(m_player->m_vecPosition.z, 2.5f, 1e-5f);
  // Four frames of 0.15 s at two cells a second: the cell took 0.5 s (0.45 s and what was left).
  FramesUntilStanding(0.15f);
  EXPECT_NEAR(m_player->m_vecPosition.x, 2.5f, 1e-5f);
  EXPECT_GE(Count("OnStopState"), 2);
}

TEST_F(PlayerStates, AJumpRisesOnAHalfSineOverTwoCellsAndLands) {
  LoadLevel(0.5f, 2.5f, R"(Velocity="2" InitY="0")");
  Command(CPeltoPlayer::kCommandJump);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateForward);
  EXPECT_TRUE(m_player->m_bJumping);
  EXPECT_EQ(m_player->GetAnimations()->GetActive(), CPeltoPlayer::kAnimationStart);
  EXPECT_EQ(Count("OnStartJump"), 1);
  float highest = 0.0f;
  for (int frame = 1; frame <= 9; ++frame) {
    Frame(0.1f);
    const float progress = 0.2f * static_cast<float>(frame);
    ASSERT_NEAR(m_player->m_fMoveProgress, progress, 1e-4f) << frame;
    EXPECT_NEAR(m_player->m_vecPosition.y, 2.0f * std::sin(kPi * progress / 2.0f), 1e-4f);
    highest = std::max(highest, m_player->m_vecPosition.y);
  }
  EXPECT_NEAR(highest, 2.0f, 1e-4f);
  EXPECT_EQ(Count("OnProcessJump"), 9);
  Frame(0.1f);  // the two cells are done: back at the start height
  EXPECT_EQ(m_player->m_fMoveProgress, 2.0f);
  EXPECT_NEAR(m_player->m_vecPosition.x, 2.5f, 1e-5f);
  EXPECT_EQ(m_player->m_vecPosition.y, 0.0f);
  EXPECT_FALSE(m_player->m_bJumping);
  EXPECT_EQ(m_player->GetAnimations()->GetActive(), CPeltoPlayer::kAnimationEnd);
  FramesUntilStanding(0.1f);
  EXPECT_NEAR(m_player->m_vecPosition.x, 2.5f, 1e-5f);
  // From x 3.5 the jump would land outside the grid: refused.
  m_player->SetPosition(CVector3(3.5f, 0, 2.5f));
  Command(CPeltoPlayer::kCommandJump);
  EXPECT_FALSE(m_player->m_bJumping);
  EXPECT_EQ(Count("OnStartJump"), 1);
}

TEST_F(PlayerStates, HoldingForwardWalksOnWithoutStoppingAndReleasingEndsTheWalk) {
  LoadLevel(0.5f, 2.5f);
  Hold(m_port.keys.move_forward);
  Command(CPeltoPlayer::kCommandForward);
  std::set<int> states;
  int frames = 0;
  while (Count("OnContinueWalking") < 2 && frames++ < 200) {
    Frame(0.1f);
    states.insert(m_player->m_dwState);
  }
  EXPECT_EQ(Count("OnContinueWalking"), 2);
  EXPECT_EQ(states, std::set<int>{CPeltoPlayer::kStateForward});
  EXPECT_EQ(Count("OnStopState"), 1);  // only the configuration's
  EXPECT_NEAR(m_player->m_vecPosition.x, 2.5f, 1e-4f);  // two cells done, the third begun
  Release(m_port.keys.move_forward);
  while (m_player->GetAnimations()->GetActive() != kEndId && frames++ < 200) Frame(0.1f);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateForward);
  EXPECT_NEAR(m_player->m_vecPosition.x, 3.5f, 1e-5f);
  FramesUntilStanding(0.1f);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateStop);
  EXPECT_EQ(Count("OnStopState"), 2);
  EXPECT_EQ(Count("OnContinueWalking"), 2);
  Frame(0.1f);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateIdle);
}

TEST_F(PlayerStates, ATurnKeyDownOnArrivalStopsThenTurns) {
  LoadLevel(0.5f, 2.5f);
  Hold(m_port.keys.rotate_left);
  Command(CPeltoPlayer::kCommandForward);
  int frames = 0;
  while (m_player->m_dwState == CPeltoPlayer::kStateForward && frames++ < 100) Frame(0.1f);
  // Stopped on the cell; the turn the player posted itself arrived after the frame.
  EXPECT_NEAR(m_player->m_vecPosition.x, 1.5f, 1e-5f);
  EXPECT_EQ(Count("OnStopState"), 2);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateLeft);
  EXPECT_EQ(Count("OnStartLeft"), 1);
  Release(m_port.keys.rotate_left);
  FramesUntilStanding(0.1f);
  EXPECT_EQ(m_player->m_iFacing, 1);
  EXPECT_NEAR(m_player->StepDirection(kMoveForward).z, 1.0f, 1e-5f);
}

TEST_F(PlayerStates, FourRightTurnsTakeTheFacingRoundAndEachLastsOneRunOfItsAnimation) {
  LoadLevel(2.5f, 2.5f);
  const float quarter = kPi / 4.0f;  // half the angle of a quarter turn
  for (int expected : {3, 2, 1, 0}) {
    Command(CPeltoPlayer::kCommandRight);
    EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateRight);
    // 30 frames at 30 a second: ten frames of 0.1 s.
    EXPECT_EQ(FramesUntilStanding(0.1f), 10);
    EXPECT_EQ(m_player->m_iFacing, expected);
    EXPECT_NEAR(m_player->m_fTurnT, 1.0f, 1e-5f);
    EXPECT_EQ(m_player->m_fMoveProgress, 1.0f);
    // A whole number of quarter turns about y: the quaternion's y is sin(k × π/4) up to sign.
    const float turned = static_cast<float>((4 - expected) % 4) * quarter;
    EXPECT_NEAR(std::fabs(m_player->m_qRotation.y), std::fabs(std::sin(turned)), 1e-4f);
    EXPECT_NEAR(std::fabs(m_player->m_qRotation.w), std::fabs(std::cos(turned)), 1e-4f);
  }
  EXPECT_EQ(Count("OnStartRight"), 4);
  // The mesh carries the rotation (its motion adds nothing).
  const float* mesh = dynamic_cast<CMesh*>(m_player->GetMesh(0))->GetExplicitQuaternion();
  EXPECT_NEAR(std::fabs(mesh[3]), 1.0f, 1e-4f);
}

TEST_F(PlayerStates, WetCellsSlideTheStepOnUntilTheWayIsBlocked) {
  // Row z = 2 (fourth line): wet cells x 1 to 3, a wall at x 4.
  LoadLevel(0.5f, 2.5f, "", "000000\n000000\n000000\n0WXZ00\n000000\n000000\n",
            "000000\n000000\n000000\n000090\n000000\n000000\n");
  Command(CPeltoPlayer::kCommandForward);
  std::vector<float> stops;
  int frames = 0;
  while (m_player->m_dwState == CPeltoPlayer::kStateForward && frames++ < 200) {
    const float before = m_player->m_fMoveProgress;
    Frame(0.1f);
    if (m_player->m_fMoveProgress < before) stops.push_back(m_player->m_vecPosition.x);
  }
  // Each wet cell started the step again; the third could not go on (the wall).
  ASSERT_EQ(stops.size(), 2u);
  EXPECT_NEAR(stops[0], 1.5f, 1e-5f);
  EXPECT_NEAR(stops[1], 2.5f, 1e-5f);
  EXPECT_NEAR(m_player->m_vecPosition.x, 3.5f, 1e-5f);
  EXPECT_EQ(Count("OnStartWettFloor"), 1);
  EXPECT_EQ(CPeltoPlayer::s_aiSlideCounters[kMoveForward], 0);
  EXPECT_EQ(Count("OnContinueWalking"), 0);
  // Stepping back over the same cells slides too, and the back run counts afresh.
  FramesUntilStanding(0.1f);
  Command(CPeltoPlayer::kCommandBack);
  FramesUntilStanding(0.1f);
  EXPECT_NEAR(m_player->m_vecPosition.x, 0.5f, 1e-5f);
  EXPECT_EQ(Count("OnStartWettFloor"), 2);
}

TEST_F(PlayerStates, StrafesStepSidewaysAndStopOnTheCell) {
  LoadLevel(2.5f, 2.5f);
  // Facing +x: right is −z, left +z.
  struct Case {
    DWORD command;
    DWORD animation;
    const char* event;
    float z;
  } cases[] = {{CPeltoPlayer::kCommandStrafeRight, 14, "OnStartStrifeRight", 1.5f},
               {CPeltoPlayer::kCommandStrafeLeft, 13, "OnStartStrifeLeft", 2.5f}};
  for (const Case& test : cases) {
    Frame(0.1f);  // idle again
    Command(test.command);
    EXPECT_EQ(m_player->GetAnimations()->GetActive(), test.animation) << test.event;
    EXPECT_EQ(Count(test.event), 1);
    // A cell at one a second in frames of 0.3 s: the fourth is shortened, and the player stops
    // on arrival without waiting for the animation.
    EXPECT_EQ(FramesUntilStanding(0.3f), 4) << test.event;
    EXPECT_EQ(m_player->m_fMoveProgress, 1.0f);
    EXPECT_NEAR(m_player->m_vecPosition.z, test.z, 1e-5f) << test.event;
    EXPECT_NEAR(m_player->m_vecPosition.x, 2.5f, 1e-5f) << test.event;
  }
}

TEST_F(PlayerStates, ALockedPlayerOnlyJumpsAndUnlocks) {
  LoadLevel(0.5f, 2.5f);
  Command(CPeltoPlayer::kCommandLock, "lock");
  EXPECT_TRUE(m_player->m_bInputLocked);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateStop);
  for (int frame = 0; frame < 3; ++frame) Frame(0.1f);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateStop);  // no idling
  EXPECT_EQ(Count("OnStartIdle"), 1);
  for (DWORD command : {CPeltoPlayer::kCommandForward, CPeltoPlayer::kCommandBack,
                        CPeltoPlayer::kCommandLeft, CPeltoPlayer::kCommandRight,
                        CPeltoPlayer::kCommandStrafeRight, CPeltoPlayer::kCommandStrafeLeft,
                        CPeltoPlayer::kCommandWalkInPlace}) {
    Command(command);
    EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateStop) << command;
  }
  for (const char* event : {"OnStartForward", "OnStartBack", "OnStartLeft", "OnStartRight",
                            "OnStartStrifeRight", "OnStartStrifeLeft", "OnStartWalkInPlace"})
    EXPECT_EQ(Count(event), 0) << event;
  Command(CPeltoPlayer::kCommandJump);
  EXPECT_TRUE(m_player->m_bJumping);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateForward);
  Command(CPeltoPlayer::kCommandLock, "please unlock");
  EXPECT_FALSE(m_player->m_bInputLocked);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateForward);
  // A name with neither word changes nothing.
  Command(CPeltoPlayer::kCommandLock, "latch");
  EXPECT_FALSE(m_player->m_bInputLocked);
}

TEST_F(PlayerStates, WalkingInPlaceEndsWithItsAnimation) {
  LoadLevel(0.5f, 2.5f, R"(IdleTimeBeforeAnim="100")");
  Frame(0.2f);  // the first animation has ended
  Command(CPeltoPlayer::kCommandWalkInPlace);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateWalkInPlace);
  EXPECT_EQ(m_player->GetAnimations()->GetActive(), CPeltoPlayer::kAnimationStart);
  EXPECT_EQ(Count("OnStartWalkInPlace"), 1);
  FramesUntilStanding(0.1f);
  EXPECT_NEAR(m_player->m_vecPosition.x, 0.5f, 1e-5f);
}

TEST_F(PlayerStates, VetoedStatesBlockingAnimationAndForcedStates) {
  LoadLevel(1.5f, 2.5f);
  // A disabled target state: the animation and the event happen, the state stays.
  m_player->TurnStateOnOrOff(CPeltoPlayer::kStateForward, 0);
  Command(CPeltoPlayer::kCommandForward);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateIdle);
  EXPECT_EQ(m_player->GetAnimations()->GetActive(), kStartId);
  EXPECT_EQ(Count("OnStartForward"), 1);
  m_player->TurnStateOnOrOff(CPeltoPlayer::kStateForward, 1);

  // While animation 4 plays every command but the camera's is dropped.
  m_player->GetAnimations()->SetActive(CPeltoPlayer::kAnimationBlocking);
  for (DWORD command : {CPeltoPlayer::kCommandForward, CPeltoPlayer::kCommandJump,
                        CPeltoPlayer::kCommandRight}) {
    Command(command);
    EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateIdle) << command;
  }
  Command(CPeltoPlayer::kCommandLock, "lock");
  EXPECT_FALSE(m_player->m_bInputLocked);
  EXPECT_EQ(Count("OnStartForward"), 1);
  Command(CPeltoPlayer::kCommandCamera, "", 1);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateDetached);

  // Forcing idle ends a jump.
  m_player->GetAnimations()->SetActive(kStartId);
  m_player->ForceSetState(CPeltoPlayer::kStateIdle);
  Command(CPeltoPlayer::kCommandJump);
  ASSERT_TRUE(m_player->m_bJumping);
  m_player->ForceSetState(CPeltoPlayer::kStateIdle);
  EXPECT_FALSE(m_player->m_bJumping);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateIdle);
}

TEST_F(PlayerStates, IdleAnimationsComeAfterTheWaitThenAtTenthsOfTheInterval) {
  LoadLevel(1.5f, 2.5f, R"(IdleTimeBeforeAnim="1" MaxTimeIntervalBetweenAnim="3")");
  // The first frame entered idle at time 0.
  EXPECT_EQ(Count("OnStartIdle"), 1);
  const DWORD before = m_player->GetAnimations()->GetActive();
  for (int frame = 0; frame < 9; ++frame) Frame(0.1f);
  EXPECT_EQ(m_player->GetAnimations()->GetActive(), before);
  std::srand(11);
  const int draw = std::rand();
  std::srand(11);
  Frame(0.1f);  // one second idle
  EXPECT_EQ(m_player->GetAnimations()->GetActive(), draw % 2 ? 11u : 12u);
  const float wait = static_cast<float>(draw % 10) * 0.1f * 3.0f;
  EXPECT_FLOAT_EQ(m_player->m_fIdleWait, wait);
  EXPECT_FLOAT_EQ(m_player->m_fIdleStamp, m_now);
  EXPECT_EQ(Count("OnStartIdle"), 1);
}

TEST_F(PlayerStates, VelocityIsReadEveryFrameAndTheMeshFollowsItsMotion) {
  LoadLevel(1.5f, 2.5f);
  const float base = m_player->m_fBaseFramesPerSecond;
  EXPECT_EQ(base, 30.0f);
  m_player->GetProperties()->Set("Velocity", geCVariant(4.0f));
  Frame(0.1f);
  EXPECT_EQ(m_player->m_fVelocity, 4.0f);
  EXPECT_EQ(m_player->GetFramesPerSecond(), 120.0f);
  EXPECT_EQ(Count("CPeltoPlayer_PreUpdatePosition"), 2);

  // Key the body's motion: it sways the mesh off the logical position and turns it on top of
  // the player's rotation.
  CMotionInterface* motion = m_player->GetMesh(0)->GetMotion(0.0f);
  ASSERT_NE(motion, nullptr);
  dynamic_cast<CMotion*>(motion)->SetNumberOfChannels(6);
  motion->GetChannel(0)->AddKeyData(0.25f, 0.0f, 0, 0, 0, 0, 0, 0, 0, 0);
  motion->GetChannel(1)->AddKeyData(0.5f, 0.0f, 0, 0, 0, 0, 0, 0, 0, 0);
  motion->GetChannel(3)->AddKeyData(kPi / 2, 0.0f, 0, 0, 0, 0, 0, 0, 0, 0);
  m_player->SetRotation(CVector3(0, 0, 90));  // roll 90°
  Frame(0.1f);
  const CVector3 at = MeshPosition();
  EXPECT_NEAR(at.x, 1.75f, 1e-5f);
  EXPECT_NEAR(at.y, 0.5f, 1e-5f);
  EXPECT_NEAR(at.z, 2.5f, 1e-5f);
  EXPECT_NEAR(m_player->m_vecPosition.x, 1.5f, 1e-5f);
  D3DXQUATERNION roll, yaw, expected;
  D3DXQuaternionRotationYawPitchRoll(&roll, 0, 0, kPi / 2);
  D3DXQuaternionRotationYawPitchRoll(&yaw, kPi / 2, 0, 0);
  D3DXQuaternionMultiply(&expected, &roll, &yaw);
  const float* turned = dynamic_cast<CMesh*>(m_player->GetMesh(0))->GetExplicitQuaternion();
  EXPECT_NEAR(turned[0], expected.x, 1e-5f);
  EXPECT_NEAR(turned[1], expected.y, 1e-5f);
  EXPECT_NEAR(turned[2], expected.z, 1e-5f);
  EXPECT_NEAR(turned[3], expected.w, 1e-5f);
}

TEST_F(PlayerStates, TheCameraCommandDetachesAndReattachesCameraZero) {
  Build(R"(<Node Type="HoldCamera" Name="GameCamera"/>)");
  LoadLevel(1.5f, 2.5f, R"(CameraY="4")");
  auto* holder = Node<CHoldCamera>("GameCamera");
  ASSERT_NE(holder, nullptr);
  CCameraInterface* camera = m_player->GetOwnerScene()->GetCamera(0);
  CWorldObjectInterface* body = m_player->GetMesh(0);
  ASSERT_EQ(camera->GetTopmostParent(), body);
  CVector3 before;
  camera->GetPosition(&before, 0);
  Command(CPeltoPlayer::kCommandCamera, "", 1);
  EXPECT_EQ(holder->hold, 1);
  EXPECT_NE(camera->GetTopmostParent(), body);
  CVector3 after;
  camera->GetPosition(&after, 0);
  EXPECT_NEAR(after.x, before.x, 1e-4f);
  EXPECT_NEAR(after.y, before.y, 1e-4f);
  EXPECT_NEAR(after.z, before.z, 1e-4f);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateDetached);
  // Nothing moves while detached.
  Command(CPeltoPlayer::kCommandForward);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateDetached);

  m_player->m_iFacing = 2;
  m_player->m_qRotation = D3DXQUATERNION(0, 1, 0, 0);
  Command(CPeltoPlayer::kCommandCamera, "", 0);
  EXPECT_EQ(holder->hold, 0);
  EXPECT_EQ(camera->GetTopmostParent(), body);
  CVector3 offset;
  camera->GetPosition(&offset, 1);
  EXPECT_NEAR(offset.y, 4.0f, 1e-5f);
  EXPECT_EQ(m_player->m_iFacing, 0);
  EXPECT_EQ(m_player->m_qRotation.y, m_player->m_qBaseRotation.y);
  EXPECT_EQ(m_player->m_qRotation.w, m_player->m_qBaseRotation.w);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateDetached);  // the state stays
}

// Faults: a turn range given backwards, a turn without a record, and no level or game camera.
TEST_F(PlayerStates, BackwardTurnRangesAndMissingRecordsStillEndTheTurn) {
  LoadLevel(2.5f, 2.5f, "", kOpen6, kOpen6,
            R"(<Animation Id="9" Start="29" End="0" animation_type="once"/>)");
  Command(CPeltoPlayer::kCommandLeft);
  EXPECT_EQ(FramesUntilStanding(0.1f), 10);  // 30 frames, counted either way
  EXPECT_EQ(m_player->m_iFacing, 1);
}

TEST_F(PlayerStates, WithoutAnimationsATurnTakesOneSecondOverVelocity) {
  LoadLevel(2.5f, 2.5f, R"(Velocity="2")", kOpen6, kOpen6, "");
  Command(CPeltoPlayer::kCommandLeft);
  EXPECT_EQ(FramesUntilStanding(0.1f), 5);
  EXPECT_EQ(m_player->m_iFacing, 1);
  Command(CPeltoPlayer::kCommandRight);
  EXPECT_EQ(FramesUntilStanding(0.1f), 5);
  EXPECT_EQ(m_player->m_iFacing, 0);
}

TEST_F(PlayerStates, WithoutALevelOrAGameCameraMovesAreRefusedAndNothingBreaks) {
  Build(R"(<Node Type="PeltoPlayer" Name="GamePlayer"><Param File="hero.zks" Directory=""
             Enabled="1" ScriptFile="player.as" InitX="0.5" InitZ="0.5"/>)" +
        std::string(kAnimations) + "</Node>");
  m_player = Node<CPeltoPlayer>("GamePlayer");
  ASSERT_NE(m_player, nullptr);
  Frame(0.0f);
  Command(CPeltoPlayer::kCommandJump);
  EXPECT_FALSE(m_player->m_bJumping);
  EXPECT_EQ(Count("OnStartJump"), 0);
  // A step ends on dry ground and does not walk on, the key held or not.
  Hold(m_port.keys.move_forward);
  Command(CPeltoPlayer::kCommandForward);
  int frames = 0;
  while (m_player->m_fMoveProgress < 1.0f && frames++ < 100) Frame(0.1f);
  for (int frame = 0; frame < 5; ++frame) Frame(0.1f);
  EXPECT_NEAR(m_player->m_vecPosition.x, 1.5f, 1e-5f);
  EXPECT_EQ(Count("OnContinueWalking"), 0);
  EXPECT_EQ(Count("OnStartWettFloor"), 0);
  Release(m_port.keys.move_forward);
  FramesUntilStanding(0.1f);
  Command(CPeltoPlayer::kCommandCamera, "", 1);
  EXPECT_EQ(m_player->m_dwState, CPeltoPlayer::kStateDetached);
  Command(CPeltoPlayer::kCommandCamera, "", 0);
  EXPECT_EQ(m_player->m_iFacing, 0);
}

}  // namespace
