#include "script/ScriptTopInterface.h"

namespace {

class CNoTopInterface final : public CScriptTopInterface {
 public:
  CZeKorbD3DInterface* GetTopInterface() override { return nullptr; }
};

}  // namespace

CScriptTopInterface& CScriptTopInterface::Default() {
  static CNoTopInterface none;
  return none;
}
