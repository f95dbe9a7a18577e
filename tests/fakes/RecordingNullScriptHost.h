#pragma once
// Stands in for the script storage: records each script a null asks it to run and answers
// with the result the test chooses, after writing the test's message lines to the output.
#include <string>
#include <vector>

#include "scene/NullScriptHost.h"
#include "script/ScriptOutput.h"

class RecordingNullScriptHost final : public CNullScriptHost {
 public:
  struct Run {
    CNullInterface* parent;
    std::string module;
    std::string script;
    UINT flags;
  };

  int result = 0;
  std::vector<std::string> messages;
  std::vector<Run> runs;

  int ExecuteString(CNullInterface* parent, const char* module, const char* script,
                    CScriptOutput* output, UINT flags) override {
    runs.push_back({parent, module, script, flags});
    for (const std::string& message : messages) output->Line(message.c_str());
    return result;
  }
};
