#include "files/ZKSLink.h"

#include "chunks/ChunkWriter.h"
#include "scene/Mesh.h"
#include "scene/Scene.h"

bool CZKSLink::IsWritten(CWorldObject* object) {
  if (object == nullptr || !CWorldObject::IsKnownType(object->GetWorldObjectType())) return false;
  auto* mesh = dynamic_cast<CMesh*>(object);
  return mesh == nullptr || mesh->GetHasDynamicBuffers() == 0;
}

CZKSLink CZKSLink::To(CScene* scene, CWorldObject* linked) {
  CZKSLink link;
  if (scene == nullptr || !IsWritten(linked)) return link;
  const UINT kind = CScene::GetLinkKind(linked);
  UINT number = 0;
  for (CWorldObject* object = scene->GetFirstWorldObject(); object != nullptr;
       object = object->GetNext()) {
    if (object == linked) {
      link.dwNumber = number;
      link.dwKind = kind;
      return link;
    }
    if (CScene::GetLinkKind(object) == kind && IsWritten(object)) ++number;
  }
  return link;  // not in this scene: no link to write
}

bool CZKSLink::Write(CChunkWriter& out, const char* tag) const {
  return out.FixedChunk(tag, 8, [&] { return out.U32(dwNumber) && out.U32(dwKind); });
}

bool CZKSLink::Read(CChunkReader& in, const ChunkReport& report, const char* incorrectSize) {
  uint32_t number = 0, kind = 0;
  if (!in.FixedChunk(8, report, incorrectSize, [&] { return in.U32(number) && in.U32(kind); }))
    return false;
  dwNumber = number;
  dwKind = kind;
  return true;
}
