#include "ZKOMeshExporter.h"

bool CZKOMeshExporter::SaveObject(CMesh* /*mesh*/) {
  return Unavailable(__LINE__, "Saving an object file");
}

bool CZKOMeshExporter::LoadObject(CMesh* /*mesh*/, const char* /*path*/, UINT /*loadFlag*/) {
  return Unavailable(__LINE__, "Loading an object file");
}

bool CZKOMeshExporter::LoadObjectFromDirectory(CMesh* /*mesh*/, const char* /*directory*/,
                                               const char* /*name*/, UINT /*loadFlag*/) {
  return Unavailable(__LINE__, "Loading an object file");
}
