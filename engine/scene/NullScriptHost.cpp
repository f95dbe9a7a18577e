#include "scene/NullScriptHost.h"

#include "core/EngineContext.h"
#include "core/EngineLog.h"

namespace {

class CNoScriptHost final : public CNullScriptHost {
 public:
  int ExecuteString(CNullInterface* parent, const char*, const char*, CScriptOutput*,
                    UINT) override {
    LogTo(GetEngineContext()->pLog, "ZK3DNullProcessing", CEngineLog::kLevelError,
          "WARNING!!! - No Script Storage To Run The Script Of NULL: %s\n",
          parent != nullptr ? parent->GetName() : "");
    return -1;
  }
};

}  // namespace

CNullScriptHost& CNullScriptHost::Default() {
  static CNoScriptHost none;
  return none;
}
