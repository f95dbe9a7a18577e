#include "files/ZKSFieldReader.h"

#include "files/ZKSLink.h"

namespace {

template <class Value>
CZKSFieldReader::Read Field(const ChunkReport& report, const char* incorrectSize,
                            std::function<void(Value)> store,
                            bool (CChunkReader::*read)(Value&)) {
  return [=](CChunkReader& in) {
    Value value{};
    if (!in.FixedChunk(4, report, incorrectSize, [&] { return (in.*read)(value); })) return false;
    store(value);
    return true;
  };
}

}  // namespace

CZKSFieldReader::Read CZKSFieldReader::U32(const ChunkReport& report, const char* incorrectSize,
                                           std::function<void(uint32_t)> store) {
  return Field<uint32_t>(report, incorrectSize, std::move(store), &CChunkReader::U32);
}

CZKSFieldReader::Read CZKSFieldReader::F32(const ChunkReport& report, const char* incorrectSize,
                                           std::function<void(float)> store) {
  return Field<float>(report, incorrectSize, std::move(store), &CChunkReader::F32);
}

CZKSFieldReader::Read CZKSFieldReader::Link(const ChunkReport& report, const char* incorrectSize,
                                            std::function<void(UINT, UINT)> store) {
  return [=](CChunkReader& in) {
    CZKSLink link;
    if (!link.Read(in, report, incorrectSize)) return false;
    store(link.dwKind, link.dwNumber);
    return true;
  };
}
