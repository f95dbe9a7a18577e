#pragma once
// The Yes/No/Cancel question box, "ZeKorb/MessageBoxYesNoCancel".
#include "console/QuestionBox.h"

class MessageBoxYesNoCancel final : public CQuestionBox {
 public:
  MessageBoxYesNoCancel(CWindowRegistry& windows, CEngineLog* log);

  void Show(MessageBoxCallback yes, void* yesData, MessageBoxCallback no, void* noData,
            MessageBoxCallback cancel, void* cancelData, const char* title, const char* text);
};
