#include "console/ConsoleToolBox.h"

namespace {

class CNoToolBox final : public CConsoleToolBox {
 public:
  int Show() override { return 0; }
};

}  // namespace

CConsoleToolBox& CConsoleToolBox::Default() {
  static CNoToolBox none;
  return none;
}
