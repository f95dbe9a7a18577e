#include "ZKOSurfaceExporter.h"

bool CZKOSurfaceExporter::WriteSURF(CSurface* /*surface*/, FILE* /*stream*/, UINT& /*total*/) {
  return Unavailable(__LINE__, "Writing a surface");
}

bool CZKOSurfaceExporter::ReadSURF(CSurface* /*surface*/, CChunkReader& /*in*/,
                                   const char* /*textureDirectory*/) {
  return Unavailable(__LINE__, "Reading a surface");
}
