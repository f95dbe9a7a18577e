#pragma once
// The Yes/No question box, "ZeKorb/MessageBoxYesNo".
#include "console/QuestionBox.h"

class MessageBoxYesNo final : public CQuestionBox {
 public:
  MessageBoxYesNo(CWindowRegistry& windows, CEngineLog* log);

  void Show(MessageBoxCallback yes, void* yesData, MessageBoxCallback no, void* noData,
            const char* title, const char* text);
};
