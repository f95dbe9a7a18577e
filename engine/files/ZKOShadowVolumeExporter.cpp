#include "ZKOShadowVolumeExporter.h"

bool CZKOShadowVolumeExporter::WriteShadowVolume(CMesh* /*mesh*/, FILE* /*stream*/,
                                                 UINT& /*total*/) {
  return Unavailable(__LINE__, "Writing a shadow volume");
}

bool CZKOShadowVolumeExporter::ReadShadowVolume(CMesh* /*mesh*/, CChunkReader& /*in*/) {
  return Unavailable(__LINE__, "Reading a shadow volume");
}
