#include "ZKSSceneExporter.h"

bool CZKSSceneExporter::SaveScene(CScene* /*scene*/) {
  return Unavailable(__LINE__, "Saving a scene file");
}

bool CZKSSceneExporter::LoadScene(CScene** /*scene*/, const char* /*path*/, UINT loadFlag) {
  m_dwLoadFlag = loadFlag;
  return Unavailable(__LINE__, "Loading a scene file");
}
