#pragma once
// What the Yes/No and Yes/No/Cancel boxes share: a frame with the question's text and one button
// per answer, shown at once without blocking its caller. A click closes the box and then runs that
// button's callback, so a callback may ask the same box again. A question asked while the box is
// open is dropped.
#include <string>
#include <vector>

#include "windef.h"

namespace CEGUI {
class EventArgs;
class Window;
}  // namespace CEGUI

class CEngineLog;
class CWindowRegistry;

typedef void (*MessageBoxCallback)(void* data);

class CQuestionBox {
 public:
  static constexpr UINT kTextSize = 2048;

  struct Answer {
    MessageBoxCallback callback;
    void* data;
  };

  CQuestionBox(const CQuestionBox&) = delete;
  CQuestionBox& operator=(const CQuestionBox&) = delete;

  bool IsOpen() const { return m_dwOpen == 1; }
  const char* GetText() const { return m_szText; }

 protected:
  struct Button {
    const char* name;  // after the box's name, e.g. "/Yes"
    const char* text;
    float x;
  };

  // Builds the tree named `name` under "root_wnd", hidden and disabled. A GUI exception is logged
  // ("CEGUI Exception: ...") and raised again.
  CQuestionBox(const char* name, const std::vector<Button>& buttons, CWindowRegistry& windows,
               CEngineLog* log);
  // Destroys the tree while the GUI runs.
  ~CQuestionBox();

  // `answers` in button order; the text is shown as it is, cut to 2047 characters.
  void Ask(const std::vector<Answer>& answers, const char* title, const char* text);

 private:
  void Build(const std::vector<Button>& buttons);
  void Close();
  static bool OnButton(const CEGUI::EventArgs& args);

  std::string m_name;
  CWindowRegistry& m_windows;
  CEngineLog* m_pLog;
  CEGUI::Window* m_pFrame = nullptr;
  std::vector<CEGUI::Window*> m_Buttons;
  std::vector<Answer> m_Answers;
  char m_szText[kTextSize] = {};
  UINT m_dwOpen = 0;
};
