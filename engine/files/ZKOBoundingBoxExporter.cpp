#include "ZKOBoundingBoxExporter.h"

bool CZKOBoundingBoxExporter::WriteBoundingBox(CMesh* /*mesh*/, FILE* /*stream*/, UINT& /*total*/) {
  return Unavailable(__LINE__, "Writing a bounding box");
}

bool CZKOBoundingBoxExporter::ReadBoundingBox(CMesh* /*mesh*/, CChunkReader& /*in*/) {
  return Unavailable(__LINE__, "Reading a bounding box");
}
