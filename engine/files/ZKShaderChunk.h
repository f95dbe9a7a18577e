#pragma once
// "SHDR": a shader file name ("NAME", 256 bytes) and, when the shader has parameters, their
// records ("PARM", 64 bytes each). Its size word holds the payload size; readers go by the
// sizes of "NAME" and "PARM" instead.
#include <cstdint>

#include "ZKDXRecords.h"

class CChunkReader;
class CChunkWriter;
struct ChunkReport;

class CZKShaderChunk {
 public:
  static constexpr uint32_t kMaxParameters = 16;
  static constexpr uint32_t kNameLength = 256;

  struct Loaded {
    char szName[kNameLength] = {};
    ShaderParameter Parameters[kMaxParameters] = {};
    uint32_t dwNumberOfParameters = 0;
  };

  static bool Write(CChunkWriter& out, const char* name, const ShaderParameter* parameters,
                    uint32_t count);
  // After the "SHDR" tag. A "NAME" of another size logs `nameSize`, more than kMaxParameters
  // records log `tooManyParameters`; a chunk that does not start with "NAME" leaves the name
  // empty.
  static bool Read(CChunkReader& in, Loaded& loaded, const ChunkReport& report,
                   const char* nameSize, const char* tooManyParameters);
};
