#include "files/ZKOMeshFileReader.h"

#include "files/ZKOMeshExporter.h"
#include "files/ZKReader.h"

bool CZKOMeshFileReader::LoadObject(CMesh* mesh, const char* path, UINT loadFlag) {
  CZKOMeshExporter* objects = m_pReader != nullptr ? m_pReader->GetObjectExporter() : nullptr;
  return objects != nullptr && objects->LoadObject(mesh, path, loadFlag);
}
