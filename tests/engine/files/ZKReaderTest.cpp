#include <gtest/gtest.h>

#include "ChunkStreams.h"
#include "RecordingEngineLog.h"
#include "files/ZKOBoundingBoxExporter.h"
#include "files/ZKOMeshExporter.h"
#include "files/ZKOShadowVolumeExporter.h"
#include "files/ZKOSurfaceExporter.h"
#include "files/ZKReader.h"
#include "files/ZKSBoneExporter.h"
#include "files/ZKSCameraExporter.h"
#include "files/ZKSChannelEnvelopeExporter.h"
#include "files/ZKSEnvelopeExporter.h"
#include "files/ZKSKeyExporter.h"
#include "files/ZKSLightExporter.h"
#include "files/ZKSMeshExporter.h"
#include "files/ZKSMotionExporter.h"
#include "files/ZKSNullExporter.h"
#include "files/ZKSSceneExporter.h"

namespace {

TEST(ZKReader, MakesEveryExporterOnceAndLogsItsStart) {
  CRecordingEngineLog log;
  bool ok = false;
  auto* renderer = reinterpret_cast<CD3D9RendererInterface*>(uintptr_t{1234});
  CZKReader reader(renderer, &log, ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelInfo),
            "  - Initializing ZK Reader... - 1234\n    - Done\n");
  EXPECT_EQ(log.entries.front().source, ".\\Sources\\ZKReader");

  const void* exporters[] = {reader.GetBoundingBoxExporter(), reader.GetSurfaceExporter(),
                             reader.GetObjectExporter(),      reader.GetShadowVolumeExporter(),
                             reader.GetKeyExporter(),         reader.GetChannelEnvelopeExporter(),
                             reader.GetEnvelopeExporter(),    reader.GetMotionExporter(),
                             reader.GetBoneExporter(),        reader.GetMeshExporter(),
                             reader.GetNullExporter(),        reader.GetLightExporter(),
                             reader.GetCameraExporter(),      reader.GetSceneExporter()};
  for (const void* exporter : exporters) EXPECT_NE(exporter, nullptr);
  EXPECT_EQ(reader.GetSceneExporter(), reader.GetSceneExporter());
}

// Exporters whose objects the engine cannot build yet must say so and fail, never pretend.
TEST(ZKReader, ExportersWithoutTheirObjectsFailWithAMessage) {
  CRecordingEngineLog log;
  bool ok = false;
  CZKReader reader(nullptr, &log, ok);
  ASSERT_TRUE(ok);
  log.entries.clear();
  WrittenStream stream;
  MemoryChunkFile f({});
  UINT total = 0;

  EXPECT_FALSE(reader.GetMeshExporter()->WriteMesh(nullptr, stream.Stream(), total));
  EXPECT_FALSE(reader.GetMeshExporter()->ReadMesh(nullptr, f.in, 0));
  EXPECT_FALSE(reader.GetBoneExporter()->WriteBone(nullptr, stream.Stream(), total));
  EXPECT_FALSE(reader.GetBoneExporter()->ReadBone(nullptr, f.in));
  EXPECT_FALSE(reader.GetObjectExporter()->SaveObject(nullptr));
  EXPECT_FALSE(reader.GetObjectExporter()->LoadObject(nullptr, "a.zko", 0));
  EXPECT_FALSE(reader.GetObjectExporter()->LoadObjectFromDirectory(nullptr, "", "a", 0));
  EXPECT_FALSE(reader.GetBoundingBoxExporter()->WriteBoundingBox(nullptr, stream.Stream(), total));
  EXPECT_FALSE(reader.GetBoundingBoxExporter()->ReadBoundingBox(nullptr, f.in));
  EXPECT_FALSE(
      reader.GetShadowVolumeExporter()->WriteShadowVolume(nullptr, stream.Stream(), total));
  EXPECT_FALSE(reader.GetShadowVolumeExporter()->ReadShadowVolume(nullptr, f.in));

  ASSERT_EQ(log.entries.size(), 11u);
  for (const CRecordingEngineLog::Entry& entry : log.entries) {
    EXPECT_EQ(entry.level, CEngineLog::kLevelError);
    EXPECT_NE(entry.text.find("Not Available"), std::string::npos) << entry.text;
  }
  EXPECT_EQ(log.entries[0].text, "ERROR! - Writing a mesh: Not Available\n");
  EXPECT_EQ(total, 0u);
  EXPECT_TRUE(stream.Bytes().empty());
}

}  // namespace
