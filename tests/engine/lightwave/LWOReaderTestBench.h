#pragma once
// What the object-reader suites share: a data folder over a real virtual file system, an import
// buffer with its reader state and reader, and a load that writes the file first and resets the
// buffer as the reader entry does. Fatal stops end in ProcessExited.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "LWOBuilder.h"
#include "LoadingTestBench.h"
#include "scene/LWOImportBuffer.h"
#include "lightwave/LWOReader.h"
#include "lightwave/LWOReaderState.h"

class LWOReaderTestBench {
 public:
  static constexpr const char* kFileName = "obj.lwo";

  // Writes `bytes` as `name` in the data folder.
  void Write(const std::vector<uint8_t>& bytes, const std::string& name = kFileName) {
    bench.folder.Write(name, std::string(bytes.begin(), bytes.end()));
  }
  // Resets the buffer, names the file and reads it from `directory`.
  UINT Load(const std::string& name = kFileName, const char* directory = "",
            UINT fromScene = 0) {
    buffer->Reset();
    CopyName(buffer->fileName, name.c_str());
    return reader.Load(directory, fromScene);
  }
  UINT Load(const CLWOBuilder& object) {
    Write(object.File());
    return Load();
  }

  LoadingTestBench bench;
  std::unique_ptr<LWOImportBuffer> buffer = std::make_unique<LWOImportBuffer>();
  LWOReaderState state{*buffer};
  LWOReader reader{state};
};

// A triangle tagged "Skin", a still and a sequence clip, and what `surface` adds after them.
inline CLWOBuilder SkinTriangle(const std::function<void(CLWOBuilder&)>& surface) {
  CLWOBuilder object;
  object.Tags({"Skin", "Unused"})
      .StillClip(4, "Images/Glass.png")
      .Chunk("CLIP")
      .U4(5)
      .SubChunk("ISEQ")
      .U1(3).U1(0).U2(0).U2(0).U2(1).U2(3)
      .S0("seq/f")
      .S0(".tga")
      .End()
      .End()
      .Layer()
      .Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}})
      .Triangles({{0, 1, 2}})
      .SurfaceTags({{0, 0}});
  surface(object);
  return object;
}

// One SURF "Skin" of these sub-chunks.
inline CLWOBuilder SkinWith(const std::function<void(CLWOBuilder&)>& subChunks) {
  return SkinTriangle([subChunks](CLWOBuilder& b) {
    b.BeginSurface("Skin");
    subChunks(b);
    b.End();
  });
}
