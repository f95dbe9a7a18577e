#include "ZKSBoneExporter.h"

bool CZKSBoneExporter::WriteBone(CBone* /*bone*/, FILE* /*stream*/, UINT& /*total*/) {
  return Unavailable(__LINE__, "Writing a bone");
}

bool CZKSBoneExporter::ReadBone(CBone* /*bone*/, CChunkReader& /*in*/) {
  return Unavailable(__LINE__, "Reading a bone");
}
