#include <gtest/gtest.h>

#include "windows.h"
#include "zktest/ZkTestKernel.h"

namespace {

class MessageBoxTest : public testing::Test {
 protected:
  void SetUp() override { ZkTestMessageBoxCapture(true); }
  void TearDown() override { ZkTestMessageBoxCapture(false); }
};

TEST_F(MessageBoxTest, AnswersAtOnceWithTheDefaultButton) {
  const struct {
    UINT type;
    int expected;
  } cases[] = {
      {MB_OK | MB_ICONERROR, IDOK},
      {MB_OKCANCEL, IDOK},
      {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
      {MB_YESNO | MB_ICONQUESTION, IDYES},
      {MB_YESNO | MB_DEFBUTTON2, IDNO},
      {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, IDRETRY},
      {MB_RETRYCANCEL, IDRETRY},
      {MB_OK | MB_DEFBUTTON3, IDOK},  // a button the box lacks: the first
  };
  for (const auto& c : cases)
    EXPECT_EQ(MessageBoxA(nullptr, "text", "title", c.type), c.expected) << std::hex << c.type;
  EXPECT_EQ(ZkTestMessageBoxes().size(), std::size(cases));
}

TEST_F(MessageBoxTest, RecordsWhatWasShownAndWritesItToStandardError) {
  testing::internal::CaptureStderr();
  MessageBoxA(nullptr, "Can't Load ZeKorb.dll", "Error", MB_OK | MB_ICONERROR);
  MessageBoxA(nullptr, nullptr, nullptr, MB_OK);
  const std::string written = testing::internal::GetCapturedStderr();
  EXPECT_NE(written.find("Error: Can't Load ZeKorb.dll\n"), std::string::npos) << written;

  const std::vector<ZkTestMessageBox> boxes = ZkTestMessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].text, "Can't Load ZeKorb.dll");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_EQ(boxes[0].result, IDOK);
  EXPECT_EQ(boxes[1].caption, "Error");  // a box without a title is titled "Error"
  EXPECT_EQ(boxes[1].text, "");
}

TEST_F(MessageBoxTest, TestCanChooseTheAnswer) {
  ZkTestMessageBoxSetAnswer(IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "Quit?", "Question", MB_YESNO), IDNO);
  EXPECT_EQ(ZkTestMessageBoxes().back().result, IDNO);
  ZkTestMessageBoxCapture(true);  // a new capture starts empty and with default answers
  EXPECT_TRUE(ZkTestMessageBoxes().empty());
  EXPECT_EQ(MessageBoxA(nullptr, "Quit?", "Question", MB_YESNO), IDYES);
}

TEST(MessageBoxHeadlessTest, WithoutADisplayTheBoxDoesNotWait) {
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxA(nullptr, "Hasn't Been Initialized", "Error In Shader Bank Interface",
                        MB_RETRYCANCEL | MB_DEFBUTTON2),
            IDCANCEL);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Error In Shader Bank Interface: Hasn't Been Initialized\n");
}

}  // namespace
