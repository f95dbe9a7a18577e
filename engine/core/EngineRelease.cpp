#include "core/EngineRelease.h"

namespace {

class CNoRelease final : public CEngineRelease {
 public:
  void ReleaseServices() override {}
};

}  // namespace

CEngineRelease& CEngineRelease::Default() {
  static CNoRelease none;
  return none;
}
