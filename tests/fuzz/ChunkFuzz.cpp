// The chunk reader on its own: a file of nested containers read with every kind of rule the
// engine's formats use (fixed-size chunks, wrapped chunks, texts, skips, nested containers).
// Besides not crashing, the reader must never ask the file for a byte past its end, and every
// container must end inside the file.
#include <cstdlib>
#include <vector>

#include "ChunkStreams.h"
#include "FuzzHarness.h"
#include "RecordingEngineLog.h"

namespace {

constexpr int kMaxDepth = 8;

bool ReadContainer(CChunkReader& in, CRecordingEngineLog& log, int depth) {
  const ChunkReport report{&log, "Fuzz", depth, "container", "part"};
  if (depth >= kMaxDepth) return in.SkipChunk();
  uint32_t value = 0;
  char text[32];
  return in.Container(
      {{"PROP",
        [&](CChunkReader& r) {
          return r.FixedChunk(4, report, "ERROR! - %s::PROP Incorrect Size\n",
                              [&] { return r.U32(value); });
        },
        "ERROR! - %s, Can't Load Properties\n"},
       {"NAME",
        [&](CChunkReader& r) {
          return r.FixedChunk(sizeof text, report, "ERROR! - %s::NAME Incorrect Size\n",
                              [&] { return r.Text(text, sizeof text); });
        },
        "ERROR! - %s, Can't Load Name\n"},
       {"WRAP",
        [&](CChunkReader& r) {
          return r.WrappedChunk([&] {
            ChunkTag tag;
            return r.Tag(tag) && ReadContainer(r, log, depth + 1);
          });
        },
        "ERROR! - %s, Can't Load %s\n"},
       {"LIST",
        [&](CChunkReader& r) {
          // A counted run of fields, as vertex and key chunks are.
          uint32_t count = 0;
          if (!r.U32(count)) return false;
          for (uint32_t i = 0; i < count; ++i) {
            float f = 0;
            uint16_t w = 0;
            if (!r.F32(f) || !r.U16(w)) return false;
          }
          return true;
        },
        "ERROR! - %s, Can't Load List\n"},
       {"SKIP",
        [&](CChunkReader& r) {
          uint32_t size = 0;
          return r.U32(size) && r.Skip(size);
        },
        nullptr},
       {"NEST", [&](CChunkReader& r) { return ReadContainer(r, log, depth + 1); },
        "ERROR! - %s, Can't Load Nested %s\n"}},
      report, "ERROR! - %s, Incorrect Size Of Chunk Length And Read Data\n");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzHarness::Instance().Run([&] {
    MemoryChunkFile f(std::vector<uint8_t>(data, data + size));
    CRecordingEngineLog log;
    // A file is a run of top-level containers, as a scene file's body is.
    ChunkTag tag;
    while (f.in.Tag(tag) && ReadContainer(f.in, log, 0)) {
    }
    if (f.file.ReadsPastEnd() != 0 || f.in.Position() > size) std::abort();
  });
  return 0;
}
