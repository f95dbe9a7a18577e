#pragma once
// What one read of a LightWave scene file fills: the scene record, the record of each item
// kind (one item at a time), the object reader's state (whose frame rate the scene sets) and
// the scene that receives the items, and the log the readers write to.
#include "core/FatalError.h"
#include "windef.h"

class CEngineLog;
class CScene;
class LWOImportBuffer;
class LWOReaderState;
struct LWSCameraBuffer;
struct LWSLightBuffer;
struct LWSNullBuffer;
struct LWSSceneBuffer;

struct LWSImport {
  LWSSceneBuffer& scene;
  LWOImportBuffer& object;
  LWOReaderState& objectReader;
  LWSLightBuffer& light;
  LWSCameraBuffer& camera;
  LWSNullBuffer& null;
  CScene& target;
  CEngineLog* log;
};

// A creator of the scene that answers 0 could not allocate the item.
inline void RequireCreated(UINT created) {
  if (created == 0) FatalErrorWithTitle("Error While Importing File", "Can't Allocate Memory");
}
