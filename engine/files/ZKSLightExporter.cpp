#include "ZKSLightExporter.h"

bool CZKSLightExporter::WriteLight(CLight* /*light*/, FILE* /*stream*/, UINT& /*total*/) {
  return Unavailable(__LINE__, "Writing a light");
}

bool CZKSLightExporter::ReadLight(CLight* /*light*/, CChunkReader& /*in*/, UINT loadFlag) {
  m_dwLoadFlag = loadFlag;
  return Unavailable(__LINE__, "Reading a light");
}
