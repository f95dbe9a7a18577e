#include "core/GuiKeyQueue.h"

namespace {

class CNoGuiKeys final : public CGuiKeyQueue {
 public:
  void InjectQueuedGuiKeys() override {}
};

}  // namespace

CGuiKeyQueue& CGuiKeyQueue::Default() {
  static CNoGuiKeys none;
  return none;
}
