#include <gtest/gtest.h>

#include <cstdio>

#include "RecordingEngineLog.h"
#include "TempDir.h"
#include "vfs/VFSFile.h"
#include "chunks/ChunkReader.h"
#include "chunks/ChunkWriter.h"
#include "files/ZKReader.h"
#include "files/ZKSEnvelopeExporter.h"
#include "files/ZKSMotionExporter.h"
#include "scene/Envelope.h"
#include "scene/Motion.h"

namespace {

// A whole file as the scene writer lays it out, written to disk and read back through the
// file system's own file object: header, top-level chunks, a wrapped envelope and a motion as
// the last chunk of the file.
TEST(ChunkFile, WrittenFileReadsBackThroughAVFSFile) {
  CRecordingEngineLog log;
  bool ok = false;
  CZKReader reader(nullptr, &log, ok);
  ASSERT_TRUE(ok);
  TempDir dir;
  const std::string path = dir / "scene.zks";

  CEnvelope intensity;
  ASSERT_EQ(intensity.Channel().AddKeyData(0.25f, 0, KEY_SHAPE_TCB, 0, 0, 0, 0, 0, 0, 0), 1u);
  ASSERT_EQ(intensity.Channel().AddKeyData(0.75f, 10, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0), 1u);
  intensity.SetIsEnvelope(1);
  CMotion motion;
  ASSERT_EQ(motion.GetChannel(0)->AddKeyData(3, 1, KEY_SHAPE_STEPPED, 0, 0, 0, 0, 0, 0, 0), 1u);
  motion.SetNumberOfChannels(1);

  FILE* stream = fopen(path.c_str(), "wb");
  ASSERT_NE(stream, nullptr);
  UINT total = 0;
  CChunkWriter out(stream, total);
  CChunkWriter::ContainerMark file;
  const bool written =
      out.BeginFile("ZKS5", file) && out.U32Chunk("FFRM", 5) &&
      out.Container(
          "AINT",
          [&] { return reader.GetEnvelopeExporter()->WriteEnvelope(&intensity, stream, total); }) &&
      reader.GetMotionExporter()->WriteMotion(&motion, stream, total) && out.EndFile(file);
  fclose(stream);
  ASSERT_TRUE(written);

  CVFSFile vfsFile(&log);
  ASSERT_EQ(vfsFile.Open(nullptr, 0, VFS_SOURCE_LOOSE_FILE, path.c_str(), "rb"), 1u);
  EXPECT_EQ(vfsFile.GetFileLength(), total + 8);
  CChunkReader in(&vfsFile);
  ChunkTag magic;
  ASSERT_TRUE(in.Tag(magic));
  EXPECT_TRUE(magic.Is("ZKS5"));
  uint32_t firstFrame = 0;
  CEnvelope loadedIntensity;
  CMotion loadedMotion;
  const ChunkReport report{&log, "Test", __LINE__, "scene"};
  EXPECT_TRUE(in.Container(
      {{"FFRM",
        [&](CChunkReader& r) {
          return r.FixedChunk(4, report, "FFRM size\n", [&] { return r.U32(firstFrame); });
        },
        "FFRM\n"},
       {"AINT",
        [&](CChunkReader& r) {
          return r.WrappedChunk(
              [&] { return reader.GetEnvelopeExporter()->ReadEnvelope(&loadedIntensity, r); });
        },
        "AINT\n"},
       {"MOTN",
        [&](CChunkReader& r) { return reader.GetMotionExporter()->ReadMotion(&loadedMotion, r); },
        "MOTN\n"}},
      report, "file size\n"));
  vfsFile.Close();

  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), "");
  EXPECT_EQ(firstFrame, 5u);
  loadedIntensity.CalcStep(5);
  EXPECT_EQ(loadedIntensity.GetIsEnvelope(), 1u);
  EXPECT_GT(loadedIntensity.GetValue(), 0.25f);
  EXPECT_LT(loadedIntensity.GetValue(), 0.75f);
  ASSERT_EQ(loadedMotion.GetNumberOfChannels(), 1u);
  loadedMotion.Evaluate(4);
  EXPECT_EQ(loadedMotion.GetChannel(0)->GetValue(), 3.0f);
}

}  // namespace
