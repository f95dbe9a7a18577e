// The engine library as the application core's tests load it. With the export it forwards to
// the test program, which decides what the core gets; without it the core must refuse it.
#include "ZKDXInterface.h"

#ifdef STAND_IN_WITH_EXPORT
extern "C" CZeKorbD3DInterface* ZkGameTestServedInterface(ApplicationDescriptor* descriptor);

extern "C" __attribute__((visibility("default"))) CZeKorbD3DInterface* GetZeKorbD3DInterface(
    ApplicationDescriptor* descriptor) {
  return ZkGameTestServedInterface(descriptor);
}
#else
extern "C" __attribute__((visibility("default"))) int StandInEngineWithoutExport() { return 0; }
#endif
