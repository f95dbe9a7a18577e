#include "d3d/RenderingSchemes.h"

#include <cstdio>
#include <cstring>

#include "core/EngineLog.h"
#include "d3d/D3D9Enumeration.h"

namespace {

const char kSource[] = "ZKDXGlobals";

constexpr DWORD kR32F = 0x400;
constexpr DWORD kR32FAndDepth = 0x6000400;           // R32F, D24S8, D24X8
constexpr DWORD kR32FHalfFloat = 0x8400;             // R32F, A16B16G16R16F
constexpr DWORD kR32FHalfFloatAndDepth = 0x6008400;  // R32F, A16B16G16R16F, D24S8, D24X8

struct BuiltInDemands {
  const char* name;
  DWORD scheme;
  BYTE vs[2];
  BYTE ps[2];
  DWORD textures;
  DWORD vertexShaderConstants;
  float pixelShader1xMaxValue;
  DWORD vsDynamicFlowControlDepth;
  DWORD vs30Slots;
  DWORD psInstructionSlots;
  DWORD ps30Slots;
  DWORD formats[4];  // render target, cube render target, texture, cube texture
  DWORD twoSidedStencil;
  DWORD scissorTest;
};

// Every built-in record asks for one render target; what is not named is 0.
const BuiltInDemands kBuiltIn[CRenderingSchemes::kBuiltInCount] = {
    {"GeForce", ZK_SCHEME_GEFORCE2, {0, 0}, {0, 0}, 2, 0, 0.0f, 0, 0, 0, 0, {}, 0, 0},
    {"GeForce3", ZK_SCHEME_GEFORCE3, {1, 1}, {1, 1}, 4, 96, 0.0f, 0, 0, 0, 0, {}, 0, 1},
    {"Radeon8500", ZK_SCHEME_RADEON8500, {1, 1}, {1, 4}, 6, 192, 2.0f, 0, 0, 0, 0, {}, 0, 1},
    {"Radeon9700", ZK_SCHEME_RADEON9700, {2, 0}, {2, 0}, 8, 0, 0.0f, 0, 0, 0, 0,
     {kR32F, kR32F, kR32F, kR32F}, 1, 1},
    {"GeForceFX", ZK_SCHEME_GEFORCEFX, {2, 0}, {2, 0}, 8, 0, 0.0f, 1, 0, 0, 0,
     {kR32FAndDepth, kR32F, kR32FAndDepth, kR32F}, 1, 1},
    {"RadeonX800", ZK_SCHEME_RADEONX800, {2, 0}, {2, 0}, 8, 0, 0.0f, 0, 0, 256, 0,
     {kR32F, kR32F, kR32F, kR32F}, 1, 1},
    {"GeForce6800", ZK_SCHEME_GEFORCE6800, {3, 0}, {3, 0}, 8, 0, 0.0f, 1, 512, 0, 512,
     {kR32FHalfFloatAndDepth, kR32FHalfFloat, kR32FHalfFloatAndDepth, kR32FHalfFloat}, 1, 1},
};

RenderingScheme MakeRecord(const BuiltInDemands& demands) {
  RenderingScheme record = {};
  snprintf(record.szName, sizeof record.szName, "%s", demands.name);
  record.dwSize = CRenderingSchemes::kRecordSize;
  record.dwScheme = demands.scheme;
  record.VertexShaderMajor = demands.vs[0];
  record.VertexShaderMinor = demands.vs[1];
  record.PixelShaderMajor = demands.ps[0];
  record.PixelShaderMinor = demands.ps[1];
  record.dwCapsRequirement1 = 1;  // simultaneous render targets
  record.dwSimultaneousTextures = demands.textures;
  record.dwCapsRequirements[SCHEME_VS20_DYNAMIC_FLOW_CONTROL_DEPTH] = demands.vsDynamicFlowControlDepth;
  record.dwCapsRequirements[SCHEME_MAX_VS30_INSTRUCTION_SLOTS] = demands.vs30Slots;
  record.dwCapsRequirements[SCHEME_PS20_NUM_INSTRUCTION_SLOTS] = demands.psInstructionSlots;
  record.dwCapsRequirements[SCHEME_MAX_PS30_INSTRUCTION_SLOTS] = demands.ps30Slots;
  record.dwVertexShaderConstants = demands.vertexShaderConstants;
  record.fMaxPixelShaderValue = demands.pixelShader1xMaxValue;
  for (int i = 0; i < 4; ++i) record.dwCapsMasks[i] = demands.formats[i];
  record.dwCapsRequirement3 = demands.twoSidedStencil;
  record.dwCapsRequirement6 = demands.scissorTest;
  return record;
}

struct BuiltInTable {
  RenderingScheme records[CRenderingSchemes::kBuiltInCount];
  BuiltInTable() {
    for (DWORD i = 0; i < CRenderingSchemes::kBuiltInCount; ++i) records[i] = MakeRecord(kBuiltIn[i]);
  }
};

// Major above the demand, or equal with the minor at least the demand; compared signed.
bool MeetsVersion(int major, int minor, BYTE demandMajor, BYTE demandMinor) {
  int wantMajor = static_cast<signed char>(demandMajor);
  int wantMinor = static_cast<signed char>(demandMinor);
  return major > wantMajor || (major == wantMajor && minor >= wantMinor);
}

bool MeetsAnyBit(DWORD available, DWORD demand) { return demand == 0 || (available & demand) != 0; }
bool MeetsSigned(INT available, DWORD demand) { return available >= static_cast<INT>(demand); }
bool MeetsFlag(UINT available, DWORD demand) { return demand != 1 || available == 1; }

struct SchemeNameEntry {
  DWORD scheme;
  const char* name;
};
// Also the selection order: the first present bit wins.
const SchemeNameEntry kSelectionOrder[] = {
    {ZK_SCHEME_GEFORCE6800, "GeForce6800"}, {ZK_SCHEME_RADEONX800, "RadeonX800"},
    {ZK_SCHEME_RADEON9700, "Radeon9700"},   {ZK_SCHEME_GEFORCEFX, "GeForceFX"},
    {ZK_SCHEME_RADEON8500, "Radeon8500"},   {ZK_SCHEME_GEFORCE4, "GeForce4"},
    {ZK_SCHEME_GEFORCE3, "GeForce3"},       {ZK_SCHEME_GEFORCE2, "GeForce2"},
};

}  // namespace

const RenderingScheme* CRenderingSchemes::BuiltIn(DWORD index) {
  static const BuiltInTable table;
  return index < kBuiltInCount ? &table.records[index] : nullptr;
}

DWORD CRenderingSchemes::Build(const RenderingScheme* applicationRecords, DWORD applicationCount,
                               CEngineLog* log) {
  m_dwCount = 0;
  if (!applicationRecords) applicationCount = 0;
  for (DWORD i = 0; i < applicationCount; ++i) {
    const RenderingScheme& record = applicationRecords[i];
    if (record.dwSize != kRecordSize) {
      if (log)
        log->Log(kSource, __LINE__, CEngineLog::kLevelError,
                 "WARNING!!! - Rendering Scheme %u Has Size %u Instead Of %u, Skipped\n", i,
                 record.dwSize, kRecordSize);
      continue;
    }
    if (m_dwCount == kCapacity) {
      if (log)
        log->Log(kSource, __LINE__, CEngineLog::kLevelError,
                 "WARNING!!! - Too Many Rendering Schemes, Only %u Are Used\n", kCapacity);
      break;
    }
    m_Records[m_dwCount] = record;
    m_Records[m_dwCount].szName[sizeof m_Records[m_dwCount].szName - 1] = 0;
    ++m_dwCount;
  }
  // Built-in records are checked against the application's records only, never against
  // each other: their bits are all different.
  const DWORD applicationKept = m_dwCount;
  m_dwApplicationCount = applicationKept;
  for (DWORD i = 0; i < kBuiltInCount && m_dwCount < kCapacity; ++i) {
    const RenderingScheme* builtIn = BuiltIn(i);
    bool replaced = false;
    for (DWORD j = 0; j < applicationKept; ++j)
      if (m_Records[j].dwScheme == builtIn->dwScheme) replaced = true;
    if (!replaced) m_Records[m_dwCount++] = *builtIn;
  }
  return m_dwCount;
}

void CRenderingSchemes::Set(const RenderingScheme* records, DWORD count) {
  m_dwCount = 0;
  m_dwApplicationCount = 0;
  if (!records) return;
  for (DWORD i = 0; i < count && i < kCapacity; ++i) m_Records[m_dwCount++] = records[i];
}

bool CRenderingSchemes::IsCompatible(const RenderingScheme& record, const CD3D9Enumeration& enumeration) {
  const D3DCAPS9& caps = enumeration.GetCaps();
  const DWORD* demand = record.dwCapsRequirements;
  // Without hardware vertex processing the vertex shaders run in software: any version goes.
  if (enumeration.IsHardwareVertexProcessing() == 1 &&
      !MeetsVersion(enumeration.GetVertexShaderMajor(), enumeration.GetVertexShaderMinor(),
                    record.VertexShaderMajor, record.VertexShaderMinor))
    return false;
  if (!MeetsVersion(enumeration.GetPixelShaderMajor(), enumeration.GetPixelShaderMinor(),
                    record.PixelShaderMajor, record.PixelShaderMinor))
    return false;
  if (caps.NumSimultaneousRTs < record.dwCapsRequirement1 ||
      caps.MaxUserClipPlanes < record.dwCapsRequirement2 ||
      caps.MaxSimultaneousTextures < record.dwSimultaneousTextures)
    return false;
  if (!MeetsAnyBit(caps.VS20Caps.Caps, demand[SCHEME_VS20_CAPS]) ||
      !MeetsSigned(caps.VS20Caps.DynamicFlowControlDepth, demand[SCHEME_VS20_DYNAMIC_FLOW_CONTROL_DEPTH]) ||
      !MeetsSigned(caps.VS20Caps.NumTemps, demand[SCHEME_VS20_NUM_TEMPS]))
    return false;
  if (!MeetsAnyBit(caps.PS20Caps.Caps, demand[SCHEME_PS20_CAPS]) ||
      !MeetsSigned(caps.PS20Caps.DynamicFlowControlDepth, demand[SCHEME_PS20_DYNAMIC_FLOW_CONTROL_DEPTH]) ||
      !MeetsSigned(caps.PS20Caps.NumInstructionSlots, demand[SCHEME_PS20_NUM_INSTRUCTION_SLOTS]) ||
      !MeetsSigned(caps.PS20Caps.NumTemps, demand[SCHEME_PS20_NUM_TEMPS]))
    return false;
  if (caps.MaxPixelShader30InstructionSlots < demand[SCHEME_MAX_PS30_INSTRUCTION_SLOTS] ||
      caps.MaxVertexShader30InstructionSlots < demand[SCHEME_MAX_VS30_INSTRUCTION_SLOTS] ||
      caps.MaxVertexShaderConst < record.dwVertexShaderConstants)
    return false;
  // Written so that a NaN on either side fails.
  if (!(record.fMaxPixelShaderValue <= caps.PixelShader1xMaxValue)) return false;
  static const CD3D9Enumeration::FormatMask kFormatMasks[4] = {
      CD3D9Enumeration::kRenderTargetFormats, CD3D9Enumeration::kCubeRenderTargetFormats,
      CD3D9Enumeration::kTextureFormats, CD3D9Enumeration::kCubeTextureFormats};
  for (int i = 0; i < 4; ++i)
    if (!MeetsAnyBit(enumeration.GetFormatMask(kFormatMasks[i]), record.dwCapsMasks[i])) return false;
  return MeetsFlag(enumeration.IsTwoSidedStencilSupported(), record.dwCapsRequirement3) &&
         MeetsFlag(enumeration.IsNPatchesSupported(), record.dwCapsRequirement4) &&
         MeetsFlag(enumeration.IsVolumeTextureSupported(), record.dwCapsRequirement5) &&
         MeetsFlag(enumeration.IsScissorTestSupported(), record.dwCapsRequirement6);
}

DWORD CRenderingSchemes::SelectBest(DWORD mask) {
  for (const SchemeNameEntry& entry : kSelectionOrder)
    if (mask & entry.scheme) return entry.scheme;
  return 0;
}

const char* CRenderingSchemes::SchemeName(DWORD scheme) {
  for (const SchemeNameEntry& entry : kSelectionOrder)
    if (scheme == entry.scheme) return entry.name;
  return nullptr;
}
