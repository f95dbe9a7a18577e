// The mouse polled by hand on DirectInput, with motion and buttons injected through the platform.
#include <string>
#include <vector>

#include "InputFixture.h"

namespace {

struct MouseCall {
  UINT action;
  float value;
  UINT state;
  bool operator==(const MouseCall&) const = default;
};
std::vector<MouseCall> g_calls;
void RecordMouse(UINT action, float value, UINT state) { g_calls.push_back({action, value, state}); }

class MouseTest : public InputFixture {
 protected:
  void SetUp() override {
    InputFixture::SetUp();
    StartInput();
    m_mouse = m_input->GetMouse();
    m_mouse->SetCallback(RecordMouse);
    g_calls.clear();
  }

  void Move(int dx, int dy) {
    ASSERT_TRUE(ZkTestInputMouseMove(m_hWnd, 100, 100, dx, dy));
    Pump();
    m_mouse->Poll();
  }

  void Button(int button, bool down) {
    ASSERT_TRUE(ZkTestInputMouseButton(m_hWnd, button, down ? TRUE : FALSE, 1));
    Pump();
    m_mouse->Poll();
  }

  CMouse* m_mouse = nullptr;
};

TEST_F(MouseTest, FirstMovementOnlyAccumulatesAndLaterOnesReportTheTotalSoFar) {
  const ActionPair map[] = {{7, CMouse::OBJECT_X_AXIS}, {8, CMouse::OBJECT_Y_AXIS}};
  m_mouse->SetActionMapper(map, 2);
  m_mouse->SetSensitivity(2.0f);

  Move(5, 0);
  EXPECT_TRUE(g_calls.empty());
  EXPECT_EQ(m_mouse->GetAccumulated(0), 5);

  Move(3, 4);
  // X reports what was there before this poll; Y's first movement only accumulates.
  EXPECT_EQ(g_calls, (std::vector<MouseCall>{{7, 10.0f, 1}}));
  EXPECT_EQ(m_mouse->GetAccumulated(0), 8);
  EXPECT_EQ(m_mouse->GetAccumulated(1), 4);

  m_mouse->ResetAction(CMouse::OBJECT_X_AXIS);
  m_mouse->ResetAction(CMouse::OBJECT_BUTTON_0);  // not an axis: changes nothing
  g_calls.clear();
  Move(1, 0);
  EXPECT_TRUE(g_calls.empty());
  EXPECT_EQ(m_mouse->GetAccumulated(0), 1);
  EXPECT_EQ(m_mouse->GetAccumulated(1), 4);
}

TEST_F(MouseTest, WheelPairsReportTheWheelsOwnValues) {
  const ActionPair map[] = {{3, CMouse::OBJECT_WHEEL}};
  m_mouse->SetActionMapper(map, 1);
  ASSERT_TRUE(ZkTestInputMouseWheel(m_hWnd, 1));
  Pump();
  m_mouse->Poll();
  Move(50, 0);
  ASSERT_TRUE(ZkTestInputMouseWheel(m_hWnd, 1));
  Pump();
  m_mouse->Poll();
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].action, 3u);
  EXPECT_EQ(g_calls[0].value, static_cast<float>(m_mouse->GetAccumulated(2) / 2));
  MouseAction action = {};
  m_mouse->GetAction(3, &action);
  EXPECT_EQ(action.dwState, 1u);
  EXPECT_EQ(action.fValue, static_cast<float>(m_mouse->GetAccumulated(2)));
}

TEST_F(MouseTest, ButtonEdgesReachEveryPairInMapOrder) {
  const ActionPair map[] = {{20, CMouse::OBJECT_BUTTON_0},
                            {21, CMouse::OBJECT_BUTTON_0 + 1},
                            {22, CMouse::OBJECT_BUTTON_0}};
  m_mouse->SetActionMapper(map, 3);
  Button(0, true);
  m_mouse->Poll();  // held: no second report
  Button(0, false);
  EXPECT_EQ(g_calls, (std::vector<MouseCall>{{20, 0, 1}, {22, 0, 1}, {20, 0, 0}, {22, 0, 0}}));
}

TEST_F(MouseTest, GetActionTimesTheLastChangeAndAnswersZeroForUnknownActions) {
  const ActionPair map[] = {{20, CMouse::OBJECT_BUTTON_0}, {30, 400}};
  MouseAction action = {};
  EXPECT_EQ(m_mouse->GetAction(20, &action)->dwState, 0u) << "no map yet";
  EXPECT_EQ(action.fTime, 0.0f);

  m_mouse->SetActionMapper(map, 2);
  Button(0, true);
  ZkTestClockAdvance(250000);
  m_mouse->GetAction(20, &action);
  EXPECT_EQ(action.dwAction, 20u);
  EXPECT_EQ(action.dwState, 1u);
  EXPECT_NEAR(action.fTime, 0.25f, 1e-4f);

  for (UINT unknown : {31u, 30u}) {  // not in the map; an object code out of range
    m_mouse->GetAction(unknown, &action);
    EXPECT_EQ(action.dwState, 0u);
    EXPECT_EQ(action.fTime, 0.0f);
  }
  EXPECT_EQ(m_mouse->GetAction(20, nullptr), nullptr);
}

TEST_F(MouseTest, WithoutAMapPollsStillAccumulateAndTrackButtons) {
  Move(4, 0);
  Move(4, 0);
  Button(1, true);
  EXPECT_TRUE(g_calls.empty());
  EXPECT_EQ(m_mouse->GetAccumulated(0), 8);
  const ActionPair map[] = {{5, CMouse::OBJECT_BUTTON_0 + 1}};
  m_mouse->SetActionMapper(map, 1);
  MouseAction action = {};
  EXPECT_EQ(m_mouse->GetAction(5, &action)->dwState, 1u);
}

TEST_F(MouseTest, CursorFractionsAreTakenOverTheClientArea) {
  struct Case {
    int x, y;
    float fx, fy;
    UINT inside;
  };
  const Case cases[] = {{160, 60, 0.5f, 0.25f, 1}, {0, 240, 0.0f, 1.0f, 1},
                        {-50, 100, 0.0f, 100 / 240.0f, 0}, {400, 300, 1.0f, 1.0f, 0}};
  for (const Case& one : cases) {
    SCOPED_TRACE(testing::Message() << one.x << "," << one.y);
    m_mouse->UpdateCursorPosition(MAKELPARAM(one.x, one.y));
    float x = -1, y = -1;
    m_mouse->GetCursorPosition(&x, &y);
    EXPECT_FLOAT_EQ(x, one.fx);
    EXPECT_FLOAT_EQ(y, one.fy);
    EXPECT_EQ(m_mouse->IsInside(), one.inside);
  }
}

TEST_F(MouseTest, LeavingTheWindowStopsReadsAndComingBackReacquires) {
  const ActionPair map[] = {{20, CMouse::OBJECT_BUTTON_0}};
  m_mouse->SetActionMapper(map, 1);
  m_mouse->UpdateCursorPosition(MAKELPARAM(-5, 10));
  Button(0, true);
  EXPECT_TRUE(g_calls.empty());

  m_log.entries.clear();
  m_mouse->UpdateCursorPosition(MAKELPARAM(5, 10));
  m_mouse->Poll();
  EXPECT_NE(m_log.TextAt(CEngineLog::kLevelInfo).find(" ReAcquired\n"), std::string::npos);
  EXPECT_EQ(g_calls, (std::vector<MouseCall>{{20, 0, 1}}));
}

TEST_F(MouseTest, CentreLockKeepsTheCursorAtTheClientCentreUnlessSuspended) {
  RECT client;
  ASSERT_TRUE(GetClientRect(m_hWnd, &client));
  POINT centre = {client.right / 2, client.bottom / 2};
  ClientToScreen(m_hWnd, &centre);

  m_mouse->SetCentreLock(1);
  SendMessageA(m_hWnd, WM_ACTIVATE, WA_INACTIVE, 0);  // suspends the centring
  SetCursorPos(centre.x + 30, centre.y + 30);
  m_mouse->Poll();
  POINT cursor;
  ASSERT_TRUE(GetCursorPos(&cursor));
  EXPECT_EQ(cursor.x, centre.x + 30);

  SendMessageA(m_hWnd, WM_ACTIVATE, WA_ACTIVE, 0);  // resumes it
  m_mouse->Poll();
  ASSERT_TRUE(GetCursorPos(&cursor));
  EXPECT_EQ(cursor.x, centre.x);
  EXPECT_EQ(cursor.y, centre.y);
}

}  // namespace
