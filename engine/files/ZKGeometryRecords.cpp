#include "files/ZKGeometryRecords.h"

#include "chunks/ChunkReader.h"
#include "chunks/ChunkWriter.h"

namespace {

bool WriteVector(CChunkWriter& out, const CVector3& v) {
  return out.F32(v.x) && out.F32(v.y) && out.F32(v.z);
}

bool ReadVector(CChunkReader& in, CVector3& v) { return in.F32(v.x) && in.F32(v.y) && in.F32(v.z); }

}  // namespace

bool CZKGeometryRecords::Write(CChunkWriter& out, WORD index) { return out.U16(index); }

bool CZKGeometryRecords::Read(CChunkReader& in, WORD& index) { return in.U16(index); }

bool CZKGeometryRecords::Write(CChunkWriter& out, const Vertex& vertex) {
  bool ok = WriteVector(out, vertex.vecPosition);
  for (float weight : vertex.fWeights) ok = ok && out.F32(weight);
  for (WORD bone : vertex.wBonesIndices) ok = ok && out.U16(bone);
  ok = ok && WriteVector(out, vertex.vecNormal) && WriteVector(out, vertex.vecTangent) &&
       WriteVector(out, vertex.vecBiNormal);
  for (float u : vertex.fTU) ok = ok && out.F32(u);
  for (float v : vertex.fTV) ok = ok && out.F32(v);
  return ok;
}

bool CZKGeometryRecords::Read(CChunkReader& in, Vertex& vertex) {
  bool ok = ReadVector(in, vertex.vecPosition);
  for (float& weight : vertex.fWeights) ok = ok && in.F32(weight);
  for (WORD& bone : vertex.wBonesIndices) ok = ok && in.U16(bone);
  ok = ok && ReadVector(in, vertex.vecNormal) && ReadVector(in, vertex.vecTangent) &&
       ReadVector(in, vertex.vecBiNormal);
  for (float& u : vertex.fTU) ok = ok && in.F32(u);
  for (float& v : vertex.fTV) ok = ok && in.F32(v);
  return ok;
}

bool CZKGeometryRecords::Write(CChunkWriter& out, const Face& face) {
  const BYTE marks[2] = {face.cWorkingMark1, face.cWorkingMark2};
  return WriteVector(out, face.vecNormal) && out.U16(face.wIndex1) && out.U16(face.wIndex2) &&
         out.U16(face.wIndex3) && out.U16(face.wEdge1) && out.U16(face.wEdge2) &&
         out.U16(face.wEdge3) && out.Bytes(marks, sizeof marks) && out.U16(face.wFaceIndex);
}

bool CZKGeometryRecords::Read(CChunkReader& in, Face& face) {
  BYTE marks[2] = {};
  const bool ok = ReadVector(in, face.vecNormal) && in.U16(face.wIndex1) &&
                  in.U16(face.wIndex2) && in.U16(face.wIndex3) && in.U16(face.wEdge1) &&
                  in.U16(face.wEdge2) && in.U16(face.wEdge3) && in.Bytes(marks, sizeof marks) &&
                  in.U16(face.wFaceIndex);
  face.cWorkingMark1 = marks[0];
  face.cWorkingMark2 = marks[1];
  return ok;
}

bool CZKGeometryRecords::Write(CChunkWriter& out, const Edge& edge) {
  // The face references mean nothing outside this process.
  return out.U32(0) && out.U32(0) && out.U16(edge.wIndex1) && out.U16(edge.wIndex2) &&
         out.U16(edge.wFace1) && out.U16(edge.wFace2) && out.U32(edge.dwOvershared);
}

bool CZKGeometryRecords::Read(CChunkReader& in, Edge& edge) {
  uint32_t owners[2] = {};
  edge.pOwner1 = nullptr;
  edge.pOwner2 = nullptr;
  return in.U32(owners[0]) && in.U32(owners[1]) && in.U16(edge.wIndex1) &&
         in.U16(edge.wIndex2) && in.U16(edge.wFace1) && in.U16(edge.wFace2) &&
         in.U32(edge.dwOvershared);
}

bool CZKGeometryRecords::Write(CChunkWriter& out, const ShaderParameter& parameter) {
  return out.U32(parameter.dwValue) && out.U32(parameter.dwDynamicID) &&
         out.Text(parameter.szParameterName, sizeof parameter.szParameterName);
}

bool CZKGeometryRecords::Read(CChunkReader& in, ShaderParameter& parameter) {
  return in.U32(parameter.dwValue) && in.U32(parameter.dwDynamicID) &&
         in.Text(parameter.szParameterName, sizeof parameter.szParameterName);
}
