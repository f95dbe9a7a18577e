#include "ZKSNullExporter.h"

bool CZKSNullExporter::WriteNull(CNull* /*null*/, FILE* /*stream*/, UINT& /*total*/) {
  return Unavailable(__LINE__, "Writing a null");
}

bool CZKSNullExporter::ReadNull(CNull* /*null*/, CChunkReader& /*in*/, UINT loadFlag) {
  m_dwLoadFlag = loadFlag;
  return Unavailable(__LINE__, "Reading a null");
}
