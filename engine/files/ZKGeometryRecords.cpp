#include "files/ZKGeometryRecords.h"

#include <bit>

#include "chunks/ChunkReader.h"
#include "chunks/ChunkWriter.h"

namespace {

template <class Sink>
bool WriteVector(Sink& out, const CVector3& v) {
  return out.F32(v.x) && out.F32(v.y) && out.F32(v.z);
}

template <class Source>
bool ReadVector(Source& in, CVector3& v) {
  return in.F32(v.x) && in.F32(v.y) && in.F32(v.z);
}

}  // namespace

static_assert(std::endian::native == std::endian::little,
              "records are read and written as they lie in memory");

bool CZKGeometryRecords::WriteStored(CChunkWriter& out, const void* records, size_t size) {
  return out.Bytes(records, size);
}

bool CZKGeometryRecords::ReadStored(CChunkReader& in, void* records, uint64_t size) {
  return size <= in.BytesLeft() && (size == 0 || in.Bytes(records, static_cast<size_t>(size)));
}

bool CZKGeometryRecords::WriteEncoded(CChunkWriter& out, const CRecordBytesWriter& encoded) {
  return encoded.Encoded().empty() || out.Bytes(encoded.Encoded().data(), encoded.Encoded().size());
}

bool CZKGeometryRecords::ReadRun(CChunkReader& in, uint64_t size, std::vector<unsigned char>& bytes) {
  if (size > in.BytesLeft()) return false;
  bytes.resize(static_cast<size_t>(size));
  return size == 0 || in.Bytes(bytes.data(), bytes.size());
}

template <class Sink>
bool CZKGeometryRecords::Write(Sink& out, WORD index) { return out.U16(index); }

template <class Source>
bool CZKGeometryRecords::Read(Source& in, WORD& index) { return in.U16(index); }

template <class Sink>
bool CZKGeometryRecords::Write(Sink& out, const Vertex& vertex) {
  bool ok = WriteVector(out, vertex.vecPosition);
  for (float weight : vertex.fWeights) ok = ok && out.F32(weight);
  for (WORD bone : vertex.wBonesIndices) ok = ok && out.U16(bone);
  ok = ok && WriteVector(out, vertex.vecNormal) && WriteVector(out, vertex.vecTangent) &&
       WriteVector(out, vertex.vecBiNormal);
  for (float u : vertex.fTU) ok = ok && out.F32(u);
  for (float v : vertex.fTV) ok = ok && out.F32(v);
  return ok;
}

template <class Source>
bool CZKGeometryRecords::Read(Source& in, Vertex& vertex) {
  bool ok = ReadVector(in, vertex.vecPosition);
  for (float& weight : vertex.fWeights) ok = ok && in.F32(weight);
  for (WORD& bone : vertex.wBonesIndices) ok = ok && in.U16(bone);
  ok = ok && ReadVector(in, vertex.vecNormal) && ReadVector(in, vertex.vecTangent) &&
       ReadVector(in, vertex.vecBiNormal);
  for (float& u : vertex.fTU) ok = ok && in.F32(u);
  for (float& v : vertex.fTV) ok = ok && in.F32(v);
  return ok;
}

template <class Sink>
bool CZKGeometryRecords::Write(Sink& out, const Face& face) {
  const BYTE marks[2] = {face.cWorkingMark1, face.cWorkingMark2};
  return WriteVector(out, face.vecNormal) && out.U16(face.wIndex1) && out.U16(face.wIndex2) &&
         out.U16(face.wIndex3) && out.U16(face.wEdge1) && out.U16(face.wEdge2) &&
         out.U16(face.wEdge3) && out.Bytes(marks, sizeof marks) && out.U16(face.wFaceIndex);
}

template <class Source>
bool CZKGeometryRecords::Read(Source& in, Face& face) {
  BYTE marks[2] = {};
  const bool ok = ReadVector(in, face.vecNormal) && in.U16(face.wIndex1) &&
                  in.U16(face.wIndex2) && in.U16(face.wIndex3) && in.U16(face.wEdge1) &&
                  in.U16(face.wEdge2) && in.U16(face.wEdge3) && in.Bytes(marks, sizeof marks) &&
                  in.U16(face.wFaceIndex);
  face.cWorkingMark1 = marks[0];
  face.cWorkingMark2 = marks[1];
  return ok;
}

template <class Sink>
bool CZKGeometryRecords::Write(Sink& out, const Edge& edge) {
  // The face references mean nothing outside this process.
  return out.U32(0) && out.U32(0) && out.U16(edge.wIndex1) && out.U16(edge.wIndex2) &&
         out.U16(edge.wFace1) && out.U16(edge.wFace2) && out.U32(edge.dwOvershared);
}

template <class Source>
bool CZKGeometryRecords::Read(Source& in, Edge& edge) {
  uint32_t owners[2] = {};
  edge.pOwner1 = nullptr;
  edge.pOwner2 = nullptr;
  return in.U32(owners[0]) && in.U32(owners[1]) && in.U16(edge.wIndex1) &&
         in.U16(edge.wIndex2) && in.U16(edge.wFace1) && in.U16(edge.wFace2) &&
         in.U32(edge.dwOvershared);
}

template <class Sink>
bool CZKGeometryRecords::Write(Sink& out, const ShaderParameter& parameter) {
  return out.U32(parameter.dwValue) && out.U32(parameter.dwDynamicID) &&
         out.Text(parameter.szParameterName, sizeof parameter.szParameterName);
}

template <class Source>
bool CZKGeometryRecords::Read(Source& in, ShaderParameter& parameter) {
  return in.U32(parameter.dwValue) && in.U32(parameter.dwDynamicID) &&
         in.Text(parameter.szParameterName, sizeof parameter.szParameterName);
}

// Records are encoded to and decoded from memory only: runs reach the file in one piece.
template bool CZKGeometryRecords::Write(CRecordBytesWriter&, WORD);
template bool CZKGeometryRecords::Write(CRecordBytesWriter&, const Vertex&);
template bool CZKGeometryRecords::Write(CRecordBytesWriter&, const Face&);
template bool CZKGeometryRecords::Write(CRecordBytesWriter&, const Edge&);
template bool CZKGeometryRecords::Write(CRecordBytesWriter&, const ShaderParameter&);
template bool CZKGeometryRecords::Read(CRecordBytesReader&, WORD&);
template bool CZKGeometryRecords::Read(CRecordBytesReader&, Vertex&);
template bool CZKGeometryRecords::Read(CRecordBytesReader&, Face&);
template bool CZKGeometryRecords::Read(CRecordBytesReader&, Edge&);
template bool CZKGeometryRecords::Read(CRecordBytesReader&, ShaderParameter&);
