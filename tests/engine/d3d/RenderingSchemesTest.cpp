#include "d3d/RenderingSchemes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FakeEnumerationOwner.h"
#include "RecordingEngineLog.h"
#include "TestCards.h"
#include "d3d/D3D9Enumeration.h"

namespace {

uint32_t WordAt(const RenderingScheme& record, size_t offset) {
  uint32_t value;
  memcpy(&value, reinterpret_cast<const char*>(&record) + offset, sizeof value);
  return value;
}

RenderingScheme ApplicationRecord(const char* name, DWORD scheme) {
  RenderingScheme record = {};
  snprintf(record.szName, sizeof record.szName, "%s", name);
  record.dwSize = 360;
  record.dwScheme = scheme;
  return record;
}

std::vector<std::string> Names(const CRenderingSchemes& schemes) {
  std::vector<std::string> names;
  for (DWORD i = 0; i < schemes.GetNumberOfSchemes(); ++i) names.push_back(schemes.GetScheme(i)->szName);
  return names;
}

// The built-in records as the application sees them: 360 bytes at fixed offsets.
TEST(RenderingSchemesTest, BuiltInRecordsHoldTheirDemandsAtTheirOffsets) {
  struct Case {
    const char* name;
    uint32_t scheme;
    uint32_t versions;  // VS major, VS minor, PS major, PS minor, lowest byte first
    std::vector<std::pair<size_t, uint32_t>> words;
  } cases[] = {
      {"GeForce", 2, 0x00000000, {{268, 1}, {276, 2}, {316, 0}, {352, 0}}},
      {"GeForce3", 4, 0x01010101, {{268, 1}, {276, 4}, {316, 96}, {352, 1}}},
      {"Radeon8500", 16, 0x04010101, {{276, 6}, {316, 192}, {352, 1}}},
      {"Radeon9700", 32, 0x00020002, {{276, 8}, {324, 0x400}, {336, 0x400}, {340, 1}, {352, 1}}},
      {"GeForceFX", 64, 0x00020002,
       {{288, 1}, {324, 0x6000400}, {328, 0x400}, {332, 0x6000400}, {336, 0x400}, {340, 1}}},
      {"RadeonX800", 128, 0x00020002, {{304, 0x100}, {324, 0x400}, {332, 0x400}, {340, 1}}},
      {"GeForce6800", 256, 0x00030003,
       {{288, 1}, {296, 0x200}, {312, 0x200}, {324, 0x6008400}, {328, 0x8400}, {352, 1}}},
  };
  ASSERT_EQ(sizeof(RenderingScheme), 360u);
  for (DWORD i = 0; i < CRenderingSchemes::kBuiltInCount; ++i) {
    const RenderingScheme& record = *CRenderingSchemes::BuiltIn(i);
    const Case& c = cases[i];
    EXPECT_STREQ(record.szName, c.name);
    EXPECT_EQ(WordAt(record, 256), 360u) << c.name;
    EXPECT_EQ(WordAt(record, 260), c.scheme) << c.name;
    EXPECT_EQ(WordAt(record, 264), c.versions) << c.name;
    for (const auto& [offset, value] : c.words) EXPECT_EQ(WordAt(record, offset), value) << c.name << " @" << offset;
  }
  float radeon8500MaxValue;
  memcpy(&radeon8500MaxValue, reinterpret_cast<const char*>(CRenderingSchemes::BuiltIn(2)) + 320, 4);
  EXPECT_EQ(radeon8500MaxValue, 2.0f);
  EXPECT_EQ(CRenderingSchemes::BuiltIn(7), nullptr);
}

TEST(RenderingSchemesTest, WithoutApplicationRecordsTheListIsTheSevenBuiltIns) {
  CRenderingSchemes schemes;
  EXPECT_EQ(schemes.Build(nullptr, 3, nullptr), 7u);
  EXPECT_EQ(Names(schemes), (std::vector<std::string>{"GeForce", "GeForce3", "Radeon8500", "Radeon9700",
                                                      "GeForceFX", "RadeonX800", "GeForce6800"}));
  EXPECT_EQ(schemes.GetApplicationCount(), 0u);
  EXPECT_EQ(schemes.GetScheme(7), nullptr);
}

TEST(RenderingSchemesTest, ApplicationRecordsComeFirstAndReplaceTheBuiltInOfTheirBit) {
  RenderingScheme records[] = {ApplicationRecord("MyGeForce", ZK_SCHEME_GEFORCE2),
                               ApplicationRecord("MyGeForce4", ZK_SCHEME_GEFORCE4)};
  CRenderingSchemes schemes;
  EXPECT_EQ(schemes.Build(records, 2, nullptr), 8u);
  EXPECT_EQ(Names(schemes), (std::vector<std::string>{"MyGeForce", "MyGeForce4", "GeForce3", "Radeon8500",
                                                      "Radeon9700", "GeForceFX", "RadeonX800", "GeForce6800"}));
  EXPECT_EQ(schemes.GetApplicationCount(), 2u);
}

// The list has room for nine records: more application records are refused with a warning,
// records of another size are skipped, and an unterminated name is cut to its field.
TEST(RenderingSchemesTest, ApplicationRecordsAreBoundedAndChecked) {
  std::vector<RenderingScheme> records;
  for (int i = 0; i < 12; ++i) records.push_back(ApplicationRecord("App", 0x1000u << i));
  records[1].dwSize = 356;
  memset(records[2].szName, 'N', sizeof records[2].szName);
  CRecordingEngineLog log;
  CRenderingSchemes schemes;
  EXPECT_EQ(schemes.Build(records.data(), static_cast<DWORD>(records.size()), &log), 9u);
  EXPECT_EQ(schemes.GetApplicationCount(), 9u);
  EXPECT_EQ(schemes.GetScheme(1)->dwScheme, 0x4000u);  // the record of 356 bytes is gone
  EXPECT_EQ(strlen(schemes.GetScheme(1)->szName), 255u);
  EXPECT_EQ(schemes.GetScheme(8)->dwScheme, 0x1000u << 9);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "WARNING!!! - Rendering Scheme 1 Has Size 356 Instead Of 360, Skipped\n"
            "WARNING!!! - Too Many Rendering Schemes, Only 9 Are Used\n");
}

TEST(RenderingSchemesTest, SelectionPrefersRadeon9700OverGeForceFX) {
  struct Case {
    DWORD mask;
    DWORD selected;
  } cases[] = {{0x1F6, 0x100}, {0xF6, 0x80}, {0x60, 0x20}, {0x50, 0x40},
               {0x1E, 0x10},   {0x0E, 0x08}, {0x06, 0x04}, {0x02, 0x02}, {0x01, 0}, {0x200, 0}};
  for (const Case& c : cases) EXPECT_EQ(CRenderingSchemes::SelectBest(c.mask), c.selected) << c.mask;
  EXPECT_STREQ(CRenderingSchemes::SchemeName(0x40), "GeForceFX");
  EXPECT_EQ(CRenderingSchemes::SchemeName(0x41), nullptr);
}

class SchemeMatchTest : public ::testing::Test {
 protected:
  void SetUp() override { d3d = Direct3DCreate9(D3D_SDK_VERSION); }
  void TearDown() override { d3d->Release(); }
  std::unique_ptr<CD3D9Enumeration> Enumerate(const TestCard& card) {
    card.Apply();
    return std::make_unique<CD3D9Enumeration>(nullptr, d3d, 0, &owner);
  }
  bool Matches(const RenderingScheme& record, const CD3D9Enumeration& e) {
    return CRenderingSchemes::IsCompatible(record, e);
  }

  TestCardScope cardScope;
  IDirect3D9* d3d = nullptr;
  FakeEnumerationOwner owner;
};

TEST_F(SchemeMatchTest, VertexShaderVersionIsTestedOnlyWithHardwareVertexProcessing) {
  std::unique_ptr<CD3D9Enumeration> e = Enumerate(ShaderModel2Card());
  RenderingScheme record = *CRenderingSchemes::BuiltIn(6);  // GeForce6800
  record.PixelShaderMajor = 2;
  memset(record.dwCapsRequirements, 0, sizeof record.dwCapsRequirements);
  record.dwCapsMasks[0] = record.dwCapsMasks[1] = record.dwCapsMasks[2] = record.dwCapsMasks[3] = 0;
  EXPECT_FALSE(Matches(record, *e));
  e->SetHardwareVertexProcessing(0);
  EXPECT_TRUE(Matches(record, *e));
}

// One demand at a time, on a card that meets every other demand of the record.
TEST_F(SchemeMatchTest, EachDemandCanRefuseTheCard) {
  std::unique_ptr<CD3D9Enumeration> e = Enumerate(ShaderModel3Card());
  const RenderingScheme base = *CRenderingSchemes::BuiltIn(6);
  ASSERT_TRUE(Matches(base, *e));
  struct Case {
    const char* name;
    void (*raise)(RenderingScheme&);
  } cases[] = {
      {"pixel shader minor", [](RenderingScheme& r) { r.PixelShaderMinor = 1; }},
      {"render targets", [](RenderingScheme& r) { r.dwCapsRequirement1 = 5; }},
      {"clip planes", [](RenderingScheme& r) { r.dwCapsRequirement2 = 7; }},
      {"textures", [](RenderingScheme& r) { r.dwSimultaneousTextures = 9; }},
      {"VS20 caps", [](RenderingScheme& r) { r.dwCapsRequirements[SCHEME_VS20_CAPS] = 0x2; }},
      {"PS20 caps", [](RenderingScheme& r) { r.dwCapsRequirements[SCHEME_PS20_CAPS] = 0x2; }},
      {"PS temps", [](RenderingScheme& r) { r.dwCapsRequirements[SCHEME_PS20_NUM_TEMPS] = 33; }},
      {"PS30 slots", [](RenderingScheme& r) { r.dwCapsRequirements[SCHEME_MAX_PS30_INSTRUCTION_SLOTS] = 513; }},
      {"constants", [](RenderingScheme& r) { r.dwVertexShaderConstants = 257; }},
      {"PS1.x value", [](RenderingScheme& r) { r.fMaxPixelShaderValue = 70000.0f; }},
      {"NaN PS1.x value", [](RenderingScheme& r) { r.fMaxPixelShaderValue = std::nanf(""); }},
      {"cube formats", [](RenderingScheme& r) { r.dwCapsMasks[SCHEME_CUBE_TEXTURE_FORMATS] = 0x40000; }},
      {"N-patches", [](RenderingScheme& r) { r.dwCapsRequirement4 = 1; }},
  };
  for (const Case& c : cases) {
    RenderingScheme record = base;
    c.raise(record);
    EXPECT_FALSE(Matches(record, *e)) << c.name;
  }
  // A feature word other than 1 asks for nothing.
  RenderingScheme record = base;
  record.dwCapsRequirement4 = 2;
  EXPECT_TRUE(Matches(record, *e));
}

}  // namespace
