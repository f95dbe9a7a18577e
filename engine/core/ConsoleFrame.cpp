#include "core/ConsoleFrame.h"

namespace {

class CNoConsoleFrame final : public CConsoleFrame {
 public:
  bool IsOpen() const override { return false; }
  int Render(float) override { return 1; }
};

}  // namespace

CConsoleFrame& CConsoleFrame::Default() {
  static CNoConsoleFrame none;
  return none;
}
