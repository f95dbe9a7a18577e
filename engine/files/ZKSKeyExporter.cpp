#include "files/ZKSKeyExporter.h"

#include "chunks/ChunkWriter.h"
#include "ZKDXInterface.h"

namespace {

// The parameters in the order the chunk stores them after the shape: bias, continuity and
// tension, then time and value, then parameters 4 to 7.
constexpr UINT kLeadingParams[] = {KEY_PARAM_BIAS, KEY_PARAM_CONTINUITY, KEY_PARAM_TENSION};
constexpr UINT kTrailingParams[] = {KEY_PARAM_0, KEY_PARAM_0 + 1, KEY_PARAM_0 + 2, KEY_PARAM_0 + 3};

}  // namespace

bool CZKSKeyExporter::WriteKey(CKeyInterface* key, FILE* stream, UINT& total) {
  CChunkWriter out(stream, total);
  return out.FixedChunk("KEYM", kKeySize, [&] {
    if (!out.U32(key->GetShape())) return false;
    for (UINT param : kLeadingParams)
      if (!out.F32(key->GetParamValue(param))) return false;
    if (!out.F32(key->GetKeyTime()) || !out.F32(key->GetKeyValue())) return false;
    for (UINT param : kTrailingParams)
      if (!out.F32(key->GetParamValue(param))) return false;
    return true;
  });
}

bool CZKSKeyExporter::ReadKey(CKeyInterface* key, CChunkReader& in) {
  uint32_t size = 0;
  if (!in.U32(size)) return false;
  if (size != kKeySize) {
    LogInfo(__LINE__, "ERORR! - Key Size Is Incorrect\n");
    return false;
  }
  CChunkReader::Payload payload(in, size);
  uint32_t shape = 0;
  float leading[3], time = 0, value = 0, trailing[4];
  bool ok = payload.Fits() && in.U32(shape);
  for (float& param : leading) ok = ok && in.F32(param);
  ok = ok && in.F32(time) && in.F32(value);
  for (float& param : trailing) ok = ok && in.F32(param);
  if (!ok) {
    LogInfo(__LINE__, "ERORR! - Key Chunk Size Is Not Equal To Amount Of Data\n");
    return false;
  }
  key->SetShape(shape);
  for (int i = 0; i < 3; ++i) key->SetParamValue(leading[i], kLeadingParams[i]);
  key->SetKeyTime(time);
  key->SetKeyValue(value);
  for (int i = 0; i < 4; ++i) key->SetParamValue(trailing[i], kTrailingParams[i]);
  return true;
}
