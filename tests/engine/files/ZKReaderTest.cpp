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

}  // namespace
