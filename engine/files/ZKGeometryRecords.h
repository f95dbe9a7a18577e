#pragma once
// The geometry records of object files, field by field in their stored layout: `Vertex` (88
// bytes), `Face` (28) and `Edge` (20; its two face references are stored as zero words and
// rebuilt from the face numbers when read) and the 64-byte `ShaderParameter`.
#include <cstdint>

#include "ZKDXRecords.h"

class CChunkReader;
class CChunkWriter;

class CZKGeometryRecords {
 public:
  static constexpr uint32_t kVertexSize = 88;
  static constexpr uint32_t kFaceSize = 28;
  static constexpr uint32_t kEdgeSize = 20;
  static constexpr uint32_t kShaderParameterSize = 64;

  static bool Write(CChunkWriter& out, WORD index);
  static bool Write(CChunkWriter& out, const Vertex& vertex);
  static bool Write(CChunkWriter& out, const Face& face);
  static bool Write(CChunkWriter& out, const Edge& edge);
  static bool Write(CChunkWriter& out, const ShaderParameter& parameter);
  static bool Read(CChunkReader& in, WORD& index);
  // The edge comes back without face references.
  static bool Read(CChunkReader& in, Vertex& vertex);
  static bool Read(CChunkReader& in, Face& face);
  static bool Read(CChunkReader& in, Edge& edge);
  // The name is always terminated.
  static bool Read(CChunkReader& in, ShaderParameter& parameter);

  // `count` records in a row.
  template <class Record>
  static bool WriteArray(CChunkWriter& out, const Record* records, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i)
      if (!Write(out, records[i])) return false;
    return true;
  }
  template <class Record>
  static bool ReadArray(CChunkReader& in, Record* records, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i)
      if (!Read(in, records[i])) return false;
    return true;
  }
};
