#include "files/ZKSSceneFileReader.h"

#include "files/ZKReader.h"
#include "files/ZKSSceneExporter.h"

bool CZKSSceneFileReader::LoadScene(CScene** scene, const char* path, UINT loadFlag) {
  CZKSSceneExporter* exporter = m_pReader != nullptr ? m_pReader->GetSceneExporter() : nullptr;
  return exporter != nullptr && exporter->LoadScene(scene, path, loadFlag);
}

bool CZKSSceneFileReader::SaveScene(CScene* scene) {
  CZKSSceneExporter* exporter = m_pReader != nullptr ? m_pReader->GetSceneExporter() : nullptr;
  return exporter != nullptr && exporter->SaveScene(scene);
}
