#include "scene/MeshFileReader.h"

namespace {

class CNoMeshFiles final : public CMeshFileReader {
 public:
  bool LoadObject(CMesh*, const char*, UINT) override { return false; }
};

}  // namespace

CMeshFileReader& CMeshFileReader::Default() {
  static CNoMeshFiles none;
  return none;
}
