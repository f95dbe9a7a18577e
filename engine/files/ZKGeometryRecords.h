#pragma once
// The geometry records of object files, field by field in their stored layout: `Vertex` (88
// bytes), `Face` (28) and `Edge` (20; its two face references are stored as zero words and
// rebuilt from the face numbers when read) and the 64-byte `ShaderParameter`.
#include <cstdint>
#include <vector>

#include "ZKDXRecords.h"
#include "files/RecordBytes.h"

class CChunkReader;
class CChunkWriter;

class CZKGeometryRecords {
 public:
  static constexpr uint32_t kVertexSize = 88;
  static constexpr uint32_t kFaceSize = 28;
  static constexpr uint32_t kEdgeSize = 20;
  static constexpr uint32_t kShaderParameterSize = 64;

  static constexpr uint32_t StoredSize(const WORD*) { return 2; }
  static constexpr uint32_t StoredSize(const Vertex*) { return kVertexSize; }
  static constexpr uint32_t StoredSize(const Face*) { return kFaceSize; }
  static constexpr uint32_t StoredSize(const Edge*) { return kEdgeSize; }
  static constexpr uint32_t StoredSize(const ShaderParameter*) { return kShaderParameterSize; }

  // Records whose stored bytes are their bytes in memory on this little-endian machine (the
  // layouts are pinned in ZKDXRecords.h): runs of them are read and written as they lie.
  static constexpr bool StoredAsInMemory(const WORD*) { return true; }
  static constexpr bool StoredAsInMemory(const Vertex*) { return true; }
  static constexpr bool StoredAsInMemory(const Face*) { return true; }
  static constexpr bool StoredAsInMemory(const Edge*) { return false; }
  static constexpr bool StoredAsInMemory(const ShaderParameter*) { return false; }

  // Each record field by field, encoded to or decoded from memory.
  template <class Sink> static bool Write(Sink& out, WORD index);
  template <class Sink> static bool Write(Sink& out, const Vertex& vertex);
  template <class Sink> static bool Write(Sink& out, const Face& face);
  template <class Sink> static bool Write(Sink& out, const Edge& edge);
  template <class Sink> static bool Write(Sink& out, const ShaderParameter& parameter);
  template <class Source> static bool Read(Source& in, WORD& index);
  template <class Source> static bool Read(Source& in, Vertex& vertex);
  template <class Source> static bool Read(Source& in, Face& face);
  // The edge comes back without face references.
  template <class Source> static bool Read(Source& in, Edge& edge);
  // The name is always terminated.
  template <class Source> static bool Read(Source& in, ShaderParameter& parameter);

  // `count` records in a row, encoded in memory and written in one piece.
  template <class Record>
  static bool WriteArray(CChunkWriter& out, const Record* records, uint32_t count) {
    if constexpr (StoredAsInMemory(static_cast<const Record*>(nullptr)))
      return count == 0 || WriteStored(out, records, size_t{count} * StoredSize(records));
    CRecordBytesWriter encoded(size_t{count} * StoredSize(records));
    for (uint32_t i = 0; i < count; ++i) Write(encoded, records[i]);
    return WriteEncoded(out, encoded);
  }
  // `count` records in a row, read in one piece and decoded in memory; false, with nothing
  // allocated, when they are not left in the payload.
  template <class Record>
  static bool ReadArray(CChunkReader& in, Record* records, uint32_t count) {
    if constexpr (StoredAsInMemory(static_cast<const Record*>(nullptr)))
      return ReadStored(in, records, uint64_t{count} * StoredSize(records));
    std::vector<unsigned char> bytes;
    if (!ReadRun(in, uint64_t{count} * StoredSize(records), bytes)) return false;
    CRecordBytesReader source(bytes.data(), bytes.size());
    for (uint32_t i = 0; i < count; ++i)
      if (!Read(source, records[i])) return false;
    return true;
  }

 private:
  static bool WriteEncoded(CChunkWriter& out, const CRecordBytesWriter& encoded);
  static bool WriteStored(CChunkWriter& out, const void* records, size_t size);
  static bool ReadStored(CChunkReader& in, void* records, uint64_t size);
  static bool ReadRun(CChunkReader& in, uint64_t size, std::vector<unsigned char>& bytes);
};
