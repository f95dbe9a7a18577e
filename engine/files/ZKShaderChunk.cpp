#include "files/ZKShaderChunk.h"

#include "chunks/ChunkReader.h"
#include "chunks/ChunkWriter.h"
#include "files/ZKGeometryRecords.h"

bool CZKShaderChunk::Write(CChunkWriter& out, const char* name,
                           const ShaderParameter* parameters, uint32_t count) {
  return out.Container("SHDR", [&] {
    if (!out.FixedChunk("NAME", kNameLength, [&] { return out.Text(name, kNameLength); }))
      return false;
    if (parameters == nullptr || count == 0) return true;
    const uint64_t size = uint64_t{count} * CZKGeometryRecords::kShaderParameterSize;
    if (size > UINT32_MAX) return false;
    return out.FixedChunk("PARM", static_cast<UINT>(size), [&] {
      return CZKGeometryRecords::WriteArray(out, parameters, count);
    });
  });
}

bool CZKShaderChunk::Read(CChunkReader& in, Loaded& loaded, const ChunkReport& report,
                          const char* nameSize, const char* tooManyParameters) {
  uint32_t unusedSize = 0, size = 0;
  if (!in.U32(unusedSize)) return false;
  if (in.NextTagIs("NAME")) {
    if (!in.U32(size)) return false;
    if (size != kNameLength) {
      report.Error(nameSize);
      return false;
    }
    if (!in.Text(loaded.szName, kNameLength)) return false;
  }
  if (!in.NextTagIs("PARM")) return true;
  if (!in.U32(size)) return false;
  const uint32_t count = size / CZKGeometryRecords::kShaderParameterSize;
  if (count > kMaxParameters) {
    report.Error(tooManyParameters);
    return false;
  }
  if (!CZKGeometryRecords::ReadArray(in, loaded.Parameters, count)) return false;
  loaded.dwNumberOfParameters = count;
  // Bytes short of a whole record belong to no parameter.
  return in.Skip(size % CZKGeometryRecords::kShaderParameterSize);
}
