#pragma once
// What the surface chunk suites share: the surface bench (fake banks, shader library, a scene in
// "levels\one\" with the mesh "crate" of eight vertices), the reader object, a writer that
// checks the running total, a reader of "SURF" bytes into a fresh surface, and the top-level
// sub-chunks of a written "SURF".
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ChunkBuilder.h"
#include "ChunkStreams.h"
#include "SurfaceTestBench.h"
#include "files/ZKOSurfaceExporter.h"
#include "files/ZKReader.h"

class SurfaceChunkFixture : public testing::Test {
 protected:
  struct SubChunk {
    std::string tag;
    uint32_t size;
    size_t payload;  // offset of the payload in the written bytes
  };

  SurfaceChunkFixture() {
    bench.scene->SetDirectory("levels\\one\\");
    mesh = bench.AddMesh("crate");
    Vertex vertices[8] = {};
    mesh->SetVertices(8, vertices, 0);
  }

  CZKOSurfaceExporter* Exporter() const { return reader.GetSurfaceExporter(); }

  // The "SURF" chunk of the surface; its size words must add up to what was written.
  std::vector<uint8_t> Write(CSurface* surface) {
    WrittenStream stream;
    UINT total = 0;
    EXPECT_TRUE(Exporter()->WriteSURF(surface, stream.Stream(), total));
    std::vector<uint8_t> bytes = stream.Bytes();
    EXPECT_EQ(total, bytes.size());
    if (bytes.size() >= 8) {
      EXPECT_EQ(U32At(bytes, 4) + 8, bytes.size());
    }
    return bytes;
  }

  // Reads "SURF" bytes (tag included) into a new surface of the mesh; `read` holds the result.
  CSurface* Read(const std::vector<uint8_t>& bytes, const char* textureDirectory = nullptr) {
    CSurface* surface = bench.Make("", mesh);
    MemoryChunkFile f(bytes);
    ChunkTag tag;
    EXPECT_TRUE(f.in.Tag(tag) && tag.Is("SURF"));
    read = Exporter()->ReadSURF(surface, f.in, textureDirectory);
    EXPECT_EQ(f.file.ReadsPastEnd(), 0);
    if (read) {
      EXPECT_TRUE(f.in.AtEnd());
    }
    return surface;
  }

  // A "SURF" built by hand.
  static std::vector<uint8_t> Surf(const std::function<void(CChunkBuilder&)>& body) {
    CChunkBuilder b;
    b.Begin("SURF");
    body(b);
    b.End();
    return b.Bytes();
  }

  // The sub-chunks at the top of a written "SURF".
  static std::vector<SubChunk> SubChunks(const std::vector<uint8_t>& bytes) {
    std::vector<SubChunk> chunks;
    for (size_t at = 8; at + 8 <= bytes.size();) {
      const uint32_t size = U32At(bytes, at + 4);
      chunks.push_back({std::string(bytes.begin() + at, bytes.begin() + at + 4), size, at + 8});
      at += 8 + size;
    }
    return chunks;
  }
  static std::vector<std::string> Tags(const std::vector<SubChunk>& chunks) {
    std::vector<std::string> tags;
    for (const SubChunk& chunk : chunks) tags.push_back(chunk.tag);
    return tags;
  }

  std::string Errors() const { return bench.log.TextAt(CEngineLog::kLevelError); }
  std::string Infos() const { return bench.log.TextAt(CEngineLog::kLevelInfo); }

  SurfaceTestBench bench;
  bool ok = false;
  CZKReader reader{&bench.renderer, &bench.log, ok};
  CMesh* mesh = nullptr;
  bool read = false;
};
