#include "ZKSMeshExporter.h"

bool CZKSMeshExporter::WriteMesh(CMesh* /*mesh*/, FILE* /*stream*/, UINT& /*total*/) {
  return Unavailable(__LINE__, "Writing a mesh");
}

bool CZKSMeshExporter::ReadMesh(CMesh* /*mesh*/, CChunkReader& /*in*/, UINT loadFlag) {
  m_dwLoadFlag = loadFlag;
  return Unavailable(__LINE__, "Reading a mesh");
}
