#include "console/MessageBoxYesNoCancel.h"

MessageBoxYesNoCancel::MessageBoxYesNoCancel(CWindowRegistry& windows, CEngineLog* log)
    : CQuestionBox("ZeKorb/MessageBoxYesNoCancel",
                   {{"/Yes", "Yes", 0.075f}, {"/No", "No", 0.7f}, {"/Cancel", "Cancel", 0.3875f}},
                   windows, log) {}

void MessageBoxYesNoCancel::Show(MessageBoxCallback yes, void* yesData, MessageBoxCallback no,
                                 void* noData, MessageBoxCallback cancel, void* cancelData,
                                 const char* title, const char* text) {
  Ask({{yes, yesData}, {no, noData}, {cancel, cancelData}}, title, text);
}
