#include "files/ZKSCameraExporter.h"

#include "chunks/ChunkWriter.h"
#include "files/ZKReader.h"
#include "files/ZKSEnvelopeValue.h"
#include "files/ZKSFieldReader.h"
#include "files/ZKSLink.h"
#include "files/ZKSMotionExporter.h"
#include "scene/Camera.h"

bool CZKSCameraExporter::WriteCamera(CCamera* camera, FILE* stream, UINT& total) {
  if (camera == nullptr) return false;
  CChunkWriter out(stream, total);
  CScene* scene = camera->GetOwnerScene();
  auto pair = [&](const char* tag, float first, float second) {
    return out.FixedChunk(tag, 8, [&] { return out.F32(first) && out.F32(second); });
  };
  return out.Container("CAME", [&] {
    return CZKSEnvelopeValue::Write(m_pReader, "ZOOM", camera->GetZoomEnvelope(0), stream,
                                    total) &&
           CZKSLink::To(scene, camera->GetParent()).Write(out, "PRNT") &&
           CZKSLink::To(scene, CWorldObject::FromInterface(camera->GetTargetObject(0)))
               .Write(out, "TRGT") &&
           m_pReader->GetMotionExporter()->WriteMotion(camera->GetOwnMotion(), stream, total) &&
           out.F32Chunk("ASPC", camera->GetAspect()) &&
           pair("CORD", camera->GetXScreenCoordinate(), camera->GetYScreenCoordinate()) &&
           pair("CLIP", camera->GetNearClipPlane(), camera->GetFarClipPlane());
  });
}

bool CZKSCameraExporter::ReadCamera(CCamera* camera, CChunkReader& in, UINT loadFlag) {
  m_dwLoadFlag = loadFlag;
  if (camera == nullptr) return false;
  const ChunkReport report = Report(__LINE__);
  auto pair = [&](CChunkReader& r, const char* incorrectSize, float& first, float& second) {
    return r.FixedChunk(8, report, incorrectSize, [&] { return r.F32(first) && r.F32(second); });
  };
  return in.Container(
      {
          {"ZOOM",
           [&](CChunkReader& r) {
             return CZKSEnvelopeValue::Read(m_pReader, camera->GetZoomEnvelope(0), r, report,
                                            "ERROR! - Camera::ZOOM Incorrect Size\n");
           },
           "ERROR! - Camera, Can't Load Zoom\n"},
          {"PRNT",
           CZKSFieldReader::Link(report, "ERROR! - Camera::PRNT Incorrect Size\n",
                                 [camera](UINT kind, UINT number) {
                                   camera->SetParentReference(kind, number);
                                 }),
           "ERROR! - Camera, Can't Load Parent\n"},
          {"TRGT",
           CZKSFieldReader::Link(report, "ERROR! - Camera::TRGT Incorrect Size\n",
                                 [camera](UINT kind, UINT number) {
                                   camera->SetTargetReference(kind, number);
                                 }),
           "ERROR! - Camera, Can't Load Target\n"},
          {"MOTN",
           [&](CChunkReader& r) {
             return m_pReader->GetMotionExporter()->ReadMotion(camera->GetOwnMotion(), r);
           },
           "ERROR! - Camera, Can't Load Motion\n"},
          {"ASPC",
           CZKSFieldReader::F32(report, "ERROR! - Camera::ASPC Incorrect Size\n",
                                [camera](float aspect) { camera->SetAspect(aspect); }),
           "ERROR! - Camera, Can't Load Aspect\n"},
          {"CORD",
           [&](CChunkReader& r) {
             float x = 0, y = 0;
             if (!pair(r, "ERROR! - Camera::CORD Incorrect Size\n", x, y)) return false;
             camera->SetScreenSize(x, y);
             return true;
           },
           "ERROR! - Camera, Can't Load Coordinates\n"},
          {"CLIP",
           [&](CChunkReader& r) {
             float nearPlane = 0, farPlane = 0;
             if (!pair(r, "ERROR! - Camera::CLIP Incorrect Size\n", nearPlane, farPlane))
               return false;
             camera->SetNearClipPlane(nearPlane);
             camera->SetFarClipPlane(farPlane);
             return true;
           },
           "ERROR! - Camera, Can't Load Clip Planes\n"},
      },
      report, "ERROR! - Camera, Incorrect Size Of Chunk Length And Read Data\n");
}
