#include "console/RelativeMetrics.h"
#include "console/QuestionBox.h"

#include <CEGUI/Exceptions.h>
#include <CEGUI/WindowManager.h>
#include <CEGUI/widgets/FrameWindow.h>
#include <CEGUI/widgets/PushButton.h>

#include "console/ToolWindows.h"
#include "console/WindowRegistry.h"
#include "core/CopyName.h"
#include "core/EngineLog.h"

namespace {

const char kSource[] = "messagebox";

}  // namespace

CQuestionBox::CQuestionBox(const char* name, const std::vector<Button>& buttons,
                           CWindowRegistry& windows, CEngineLog* log)
    : m_name(name), m_windows(windows), m_pLog(log) {
  try {
    Build(buttons);
  } catch (const CEGUI::Exception& exception) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "CEGUI Exception: %s\n",
          exception.getMessage().c_str());
    if (m_pFrame) CEGUI::WindowManager::getSingleton().destroyWindow(m_pFrame);
    throw;
  }
}

CQuestionBox::~CQuestionBox() {
  if (m_windows.Contains(m_name.c_str()))
    CEGUI::WindowManager::getSingleton().destroyWindow(m_windows.Find(m_name.c_str()));
}

void CQuestionBox::Build(const std::vector<Button>& buttons) {
  auto* frame = static_cast<CEGUI::FrameWindow*>(
      m_windows.Create("TaharezLook/FrameWindow", m_name.c_str(), m_windows.Find("root_wnd")));
  m_pFrame = frame;
  frame->setPosition(Relative(0.35f, 0.4f));
  frame->setSize(RelativeSize(0.3f, 0.2f));
  frame->setMinSize(RelativeSize(0.3f, 0.2f));
  frame->setMaxSize(RelativeSize(0.3f, 0.2f));
  frame->setText("");
  frame->setCloseButtonEnabled(false);
  frame->setUserData(this);

  CEGUI::Window* text =
      m_windows.Create("TaharezLook/StaticText", (m_name + "/Text1").c_str(), frame);
  text->setPosition(Relative(0.025f, 0.025f));
  text->setSize(RelativeSize(0.95f, 0.7f));
  text->setMaxSize(RelativeSize(1.0f, 1.0f));
  text->setText("");
  text->setProperty("HorzFormatting", "WordWrapRightAligned");
  text->setProperty("VertFormatting", "CentreAligned");

  for (const Button& layout : buttons) {
    CEGUI::Window* button =
        m_windows.Create("TaharezLook/Button", (m_name + layout.name).c_str(), frame);
    PlaceButton(button, layout.x, 0.8f, layout.text);
    button->subscribeEvent(CEGUI::PushButton::EventClicked,
                           CEGUI::Event::Subscriber(&CQuestionBox::OnButton));
    m_Buttons.push_back(button);
  }
  m_Answers.assign(buttons.size(), Answer{nullptr, nullptr});
  ShowToolFrame(frame, false, false);
}

void CQuestionBox::Ask(const std::vector<Answer>& answers, const char* title, const char* text) {
  if (m_dwOpen) return;
  for (size_t i = 0; i < m_Answers.size() && i < answers.size(); ++i) m_Answers[i] = answers[i];
  m_dwOpen = 1;
  CopyName(m_szText, text);
  try {
    ShowToolFrame(m_pFrame, true, true);
    m_pFrame->setText(title ? title : "");
    m_windows.Find((m_name + "/Text1").c_str())->setText(m_szText);
  } catch (const CEGUI::Exception& exception) {
    // A box left open but perhaps hidden would refuse every later question.
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "CEGUI Exception: %s\n",
          exception.getMessage().c_str());
    Close();
  }
}

void CQuestionBox::Close() {
  m_dwOpen = 0;
  try {
    ShowToolFrame(m_pFrame, false, false);
  } catch (const CEGUI::Exception&) {
  }
}

bool CQuestionBox::OnButton(const CEGUI::EventArgs& args) {
  try {
    CEGUI::Window* button = EventWindow(args);
    auto* box = static_cast<CQuestionBox*>(button->getParent()->getUserData());
    size_t index = 0;
    while (index < box->m_Buttons.size() && box->m_Buttons[index] != button) ++index;
    if (index == box->m_Buttons.size()) return false;
    const Answer answer = box->m_Answers[index];
    box->Close();
    if (answer.callback) answer.callback(answer.data);
    return true;
  } catch (const CEGUI::Exception&) {
    return false;
  }
}
