#include "console/MessageBoxYesNo.h"

MessageBoxYesNo::MessageBoxYesNo(CWindowRegistry& windows, CEngineLog* log)
    : CQuestionBox("ZeKorb/MessageBoxYesNo", {{"/Yes", "Yes", 0.075f}, {"/No", "No", 0.7f}},
                   windows, log) {}

void MessageBoxYesNo::Show(MessageBoxCallback yes, void* yesData, MessageBoxCallback no,
                           void* noData, const char* title, const char* text) {
  Ask({{yes, yesData}, {no, noData}}, title, text);
}
