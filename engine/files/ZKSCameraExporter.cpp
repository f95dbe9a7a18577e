#include "ZKSCameraExporter.h"

bool CZKSCameraExporter::WriteCamera(CCamera* /*camera*/, FILE* /*stream*/, UINT& /*total*/) {
  return Unavailable(__LINE__, "Writing a camera");
}

bool CZKSCameraExporter::ReadCamera(CCamera* /*camera*/, CChunkReader& /*in*/, UINT loadFlag) {
  m_dwLoadFlag = loadFlag;
  return Unavailable(__LINE__, "Reading a camera");
}
