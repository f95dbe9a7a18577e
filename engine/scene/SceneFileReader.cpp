#include "scene/SceneFileReader.h"

namespace {

class CNoSceneFiles final : public CSceneFileReader {
 public:
  bool LoadScene(CScene**, const char*, UINT) override { return false; }
  bool SaveScene(CScene*) override { return false; }
};

}  // namespace

CSceneFileReader& CSceneFileReader::Default() {
  static CNoSceneFiles none;
  return none;
}
