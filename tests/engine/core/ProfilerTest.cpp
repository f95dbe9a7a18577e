#include <gtest/gtest.h>

#include <cfloat>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "TempDir.h"
#include "ZKDXGlobals.h"
#include "core/EngineContext.h"
#include "core/Profiler.h"
#include "core/ProfilerSample.h"
#include "zktest/ZkTestClock.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Time passes only when a test moves the clock; 1 ms = 1000 microseconds.
struct ProfilerFixture : testing::Test {
  void SetUp() override { ZkTestClockSetManual(5'000'000); }
  void TearDown() override { ZkTestClockSetReal(); }
  static void Spend(uint64_t microseconds) { ZkTestClockAdvance(microseconds); }

  // Times one stretch of `microseconds` on `sample`.
  static void Measure(CProfilerSample& sample, uint64_t microseconds) {
    sample.Begin();
    Spend(microseconds);
    sample.End();
  }
};

const char kSeparator[] = "-----------------------------------------------------\n";

}  // namespace

TEST_F(ProfilerFixture, AChildGetsItsShareOfTheParentsTime) {
  CProfilerSample parent("parent");
  CProfilerSample* child = new CProfilerSample("child");
  parent.AddChild(child);
  parent.Begin();
  Measure(*child, 5'000'000);
  Spend(15'000'000);
  parent.End();
  parent.Update();
  EXPECT_FLOAT_EQ(child->GetMinimumPercentage(), 25.0f);
  EXPECT_FLOAT_EQ(child->GetMaximumPercentage(), 25.0f);
  EXPECT_FLOAT_EQ(child->GetAveragePercentage(), 25.0f);
  EXPECT_EQ(child->GetUpdateCount(), 1u);
  EXPECT_FLOAT_EQ(parent.GetAveragePercentage(), 100.0f);
  parent.DeleteChildren();
}

TEST_F(ProfilerFixture, TimesAreTakenAcrossTheWrapOfThe32BitStamp) {
  ZkTestClockSetManual((uint64_t{1} << 32) - 100);
  CProfilerSample sample("wrap");
  Measure(sample, 300);
  sample.Update();
  EXPECT_EQ(sample.GetAverageTime(), 300u);
}

TEST_F(ProfilerFixture, AveragesHalveAndAParentTimeOfZeroGives100Percent) {
  CProfilerSample sample("idle");
  sample.Update();  // nothing measured: T is 0
  EXPECT_FLOAT_EQ(sample.GetMaximumPercentage(), 100.0f);
  Measure(sample, 400);
  sample.Update();
  EXPECT_EQ(sample.GetAverageTime(), 400u);  // an average of 0 takes the time as it is
  Measure(sample, 100);
  sample.Update();
  EXPECT_EQ(sample.GetAverageTime(), 250u);
  EXPECT_EQ(sample.ResetStatistics(), 0);
  EXPECT_EQ(sample.GetMinimumPercentage(), 0.0f);
  EXPECT_EQ(sample.GetMaximumPercentage(), 0.0f);
}

TEST_F(ProfilerFixture, EndWithoutBeginAddsNothing) {
  CProfilerSample sample("s");
  sample.End();
  Spend(1000);
  sample.End();
  sample.Update();
  EXPECT_EQ(sample.GetAverageTime(), 0u);
}

TEST(ProfilerSampleTest, RemoveChildUnlinksAndDeletesOnlyItsOwnChildren) {
  CProfiler profiler;
  CProfilerSample* root = profiler.CreateSample("root");
  CProfilerSample* a = profiler.CreateSample("a");
  CProfilerSample* b = profiler.CreateSample("b");
  CProfilerSample* c = profiler.CreateSample("c");
  root->AddChild(a);
  root->AddChild(b);
  root->AddChild(c);
  b->AddChild(profiler.CreateSample("grandchild"));

  CProfilerSample stranger("stranger");
  root->RemoveChild(&stranger);
  EXPECT_EQ(root->GetFirstChild(), a);

  profiler.DeleteSample(b);  // has a parent: removed from it with its subtree
  EXPECT_EQ(a->GetNextSibling(), c);
  root->RemoveChild(a);
  EXPECT_EQ(root->GetFirstChild(), c);
  EXPECT_EQ(c->GetParent(), root);
  profiler.DeleteSample(root);
}

TEST_F(ProfilerFixture, StatisticsFileShowsTheSampleTreeAndTheFrameAverages) {
  CProfiler profiler;
  CProfilerSample* root = profiler.CreateSample("BeginEnd");
  CProfilerSample* shader = profiler.CreateSample("ShaderLib");
  CProfilerSample* calls = profiler.CreateSample("Direct3DCalls");
  CProfilerSample* flip = profiler.CreateSample("Flip1");
  root->AddChild(shader);
  shader->AddChild(calls);
  root->AddChild(flip);
  root->AddChild(profiler.CreateSample("Never"));

  // Two frames: ShaderLib 50% then 25%, Direct3DCalls 40% then 100% of ShaderLib, Flip1 10%
  // then 50%.
  const uint64_t frames[2][4] = {{1000, 500, 200, 100}, {2000, 500, 500, 1000}};
  for (const auto& frame : frames) {
    root->Begin();
    shader->Begin();
    Measure(*calls, frame[2]);
    Spend(frame[1] - frame[2]);
    shader->End();
    Measure(*flip, frame[3]);
    Spend(frame[0] - frame[1] - frame[3]);
    root->End();
    root->Update();
  }

  // Three frames of 10, 20 and 30 draw calls within one second.
  for (uint32_t calls : {10u, 20u, 30u}) {
    profiler.AddToCounter(CProfiler::kDIPs, calls);
    profiler.AddToCounter(CProfiler::kTriangles, 2 * calls);
    profiler.AddToCounter(CProfiler::kSetPixelShader, 1);
    profiler.EndFrame();
    Spend(100'000);
  }
  EXPECT_EQ(profiler.GetAverage(CProfiler::kDIPs), 25u);

  TempDir folder;
  ASSERT_TRUE(profiler.WriteStatistics(folder / "statistics.txt", root));
  EXPECT_EQ(ReadFile(folder / "statistics.txt"),
            std::string(kSeparator) + "|    Min  |    Max  |    Avg  | Sample Name\n" + kSeparator +
                "|  100.00 |  100.00 |  100.00 | - BeginEnd\n"
                "|   25.00 |   50.00 |   37.50 |   - ShaderLib\n"
                "|   40.00 |  100.00 |   70.00 |     - Direct3DCalls\n"
                "|   10.00 |   50.00 |   30.00 |   - Flip1\n"
                "|    0.00 |    0.00 |    0.00 |   - Never\n" +
                kSeparator +
                "\n\n"
                "Average Number Of DIPs Per Frame: 25\n"
                "Average Number Of Triangles Per Frame: 50\n"
                "Average Number Of SetTexture Per Frame: 0\n"
                "Average Number Of Vertices Per Frame: 0\n"
                "Average Number Of SetVertexShader Per Frame: 0\n"
                "Average Number Of SetPixelShader Per Frame: 1\n"
                "Average Number Of SetVertexBuffer Per Frame: 0\n");
  profiler.DeleteSample(root);
}

TEST_F(ProfilerFixture, AFullSecondMovesTheCountersIntoTheTotals) {
  CProfiler profiler;
  profiler.AddToCounter(CProfiler::kDIPs, 10);
  profiler.EndFrame();  // opens the window
  Spend(600'000);
  profiler.AddToCounter(CProfiler::kDIPs, 10);
  profiler.EndFrame();
  EXPECT_EQ(profiler.GetLastSecondTotal(CProfiler::kDIPs), 0u);
  Spend(400'000);
  profiler.AddToCounter(CProfiler::kDIPs, 10);
  profiler.EndFrame();
  EXPECT_EQ(profiler.GetLastSecondTotal(CProfiler::kDIPs), 30u);
  EXPECT_EQ(profiler.GetAverage(CProfiler::kDIPs), 12u);  // 10, (20 + 10) / 2, (10 + 15) / 2
  // The counters start again from 0, so the next frame's difference is its own count.
  profiler.AddToCounter(CProfiler::kDIPs, 10);
  profiler.EndFrame();
  EXPECT_EQ(profiler.GetAverage(CProfiler::kDIPs), 11u);

  profiler.ClearCounters();
  EXPECT_EQ(profiler.GetAverage(CProfiler::kDIPs), 0u);
  EXPECT_EQ(profiler.GetLastSecondTotal(CProfiler::kDIPs), 0u);
}

TEST(ProfilerDumpTest, WritesIntoTheLogFolderOnlyWhenTheApplicationKeepsLogs) {
  TempDir folder;
  ApplicationDescriptor descriptor = {};
  descriptor.szLogDirectory = folder.Path().c_str();
  CEngineContext* context = GetEngineContext();
  ApplicationDescriptor* kept = context->pDescriptor;
  context->pDescriptor = &descriptor;

  CProfiler profiler;
  CProfilerSample root("BeginEnd");
  profiler.DumpStatistics("statistics.txt", &root);
  EXPECT_FALSE(std::filesystem::exists(folder / "statistics.txt"));

  descriptor.dwUseLogs = 1;
  profiler.DumpStatistics("statistics.txt", &root);
  EXPECT_NE(ReadFile(folder / "statistics.txt").find("- BeginEnd\n"), std::string::npos);
  context->pDescriptor = kept;
}
