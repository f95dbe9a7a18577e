#include "files/ZKSLightExporter.h"

#include "chunks/ChunkWriter.h"
#include "files/ZKReader.h"
#include "files/ZKSEnvelopeValue.h"
#include "files/ZKSFieldReader.h"
#include "files/ZKSLink.h"
#include "files/ZKSMotionExporter.h"
#include "scene/Envelope.h"
#include "scene/Light.h"

namespace {

constexpr UINT kTextField = 256;
constexpr UINT kRecordSize = 104;

bool WriteColor(CChunkWriter& out, const D3DCOLORVALUE& color) {
  return out.F32(color.r) && out.F32(color.g) && out.F32(color.b) && out.F32(color.a);
}

bool ReadColor(CChunkReader& in, D3DCOLORVALUE& color) {
  return in.F32(color.r) && in.F32(color.g) && in.F32(color.b) && in.F32(color.a);
}

bool WriteVector(CChunkWriter& out, const D3DVECTOR& vector) {
  return out.F32(vector.x) && out.F32(vector.y) && out.F32(vector.z);
}

bool ReadVector(CChunkReader& in, D3DVECTOR& vector) {
  return in.F32(vector.x) && in.F32(vector.y) && in.F32(vector.z);
}

// The Direct3D light record, field by field.
bool WriteRecord(CChunkWriter& out, const D3DLIGHT9& light) {
  return out.U32(static_cast<uint32_t>(light.Type)) && WriteColor(out, light.Diffuse) &&
         WriteColor(out, light.Specular) && WriteColor(out, light.Ambient) &&
         WriteVector(out, light.Position) && WriteVector(out, light.Direction) &&
         out.F32(light.Range) && out.F32(light.Falloff) && out.F32(light.Attenuation0) &&
         out.F32(light.Attenuation1) && out.F32(light.Attenuation2) && out.F32(light.Theta) &&
         out.F32(light.Phi);
}

bool ReadRecord(CChunkReader& in, D3DLIGHT9& light) {
  uint32_t type = 0;
  D3DLIGHT9 read = {};
  if (!in.U32(type) || !ReadColor(in, read.Diffuse) || !ReadColor(in, read.Specular) ||
      !ReadColor(in, read.Ambient) || !ReadVector(in, read.Position) ||
      !ReadVector(in, read.Direction) || !in.F32(read.Range) || !in.F32(read.Falloff) ||
      !in.F32(read.Attenuation0) || !in.F32(read.Attenuation1) || !in.F32(read.Attenuation2) ||
      !in.F32(read.Theta) || !in.F32(read.Phi))
    return false;
  read.Type = static_cast<D3DLIGHTTYPE>(type);
  light = read;
  return true;
}

}  // namespace

bool CZKSLightExporter::WriteLight(CLight* light, FILE* stream, UINT& total) {
  if (light == nullptr) return false;
  CChunkWriter out(stream, total);
  CZKReader* reader = m_pReader;
  auto envelope = [&](const char* tag, CLight::EnvelopeRole role) {
    return CZKSEnvelopeValue::Write(reader, tag, light->GetEnvelope(role), stream, total);
  };
  auto u32 = [&](const char* tag, uint32_t value) { return out.U32Chunk(tag, value); };
  CScene* scene = light->GetOwnerScene();
  return out.Container("LITE", [&] {
    return out.FixedChunk("NAME", kTextField,
                          [&] { return out.Text(light->GetName(), kTextField); }) &&
           out.FixedChunk("PROP", kRecordSize,
                          [&] { return WriteRecord(out, *light->GetD3DLightProperties()); }) &&
           reader->GetMotionExporter()->WriteMotion(light->GetOwnMotion(), stream, total) &&
           envelope("INTE", CLight::ENVELOPE_INTENSITY) &&
           CZKSLink::To(scene, light->GetParent()).Write(out, "PRNT") &&
           envelope("RANG", CLight::ENVELOPE_RANGE) &&
           CZKSLink::To(scene, light->GetTarget()).Write(out, "TRGT") &&
           envelope("FLSI", CLight::ENVELOPE_FLARE_SIZE) &&
           envelope("COAN", CLight::ENVELOPE_CONE_ANGLE) &&
           envelope("INCO", CLight::ENVELOPE_INNER_CONE_ANGLE) &&
           u32("FALL", light->GetFallOffType()) && u32("FLRE", light->GetIsFlare()) &&
           envelope("CLRR", CLight::ENVELOPE_RED) && envelope("CLRG", CLight::ENVELOPE_GREEN) &&
           envelope("CLRB", CLight::ENVELOPE_BLUE) && u32("TYPE", light->GetType()) &&
           u32("NMBR", light->GetNumber()) && u32("ACTV", light->GetIsActive());
  });
}

bool CZKSLightExporter::ReadLight(CLight* light, CChunkReader& in, UINT loadFlag) {
  m_dwLoadFlag = loadFlag;
  if (light == nullptr) return false;
  CZKReader* reader = m_pReader;
  // Messages after the first carry the light's name, which the "NAME" chunk fills in.
  const ChunkReport report = Report(__LINE__, light->GetName());
  auto envelope = [&](CLight::EnvelopeRole role, const char* incorrectSize) {
    return [=, &report](CChunkReader& r) {
      return CZKSEnvelopeValue::Read(reader, light->GetEnvelope(role), r, report, incorrectSize);
    };
  };
  auto u32 = [&](const char* incorrectSize, std::function<void(uint32_t)> store) {
    return CZKSFieldReader::U32(report, incorrectSize, std::move(store));
  };
  auto link = [&](const char* incorrectSize, std::function<void(UINT, UINT)> store) {
    return CZKSFieldReader::Link(report, incorrectSize, std::move(store));
  };
  const bool read = in.Container(
      {
          {"NAME",
           [&](CChunkReader& r) {
             char name[kTextField] = {};
             if (!r.FixedChunk(kTextField, report, "ERROR! - Light::NAME Incorrect Size\n",
                               [&] { return r.Text(name, kTextField); }))
               return false;
             light->SetName(name);
             return true;
           },
           "ERROR! - Light, Can't Load Name\n"},
          {"PROP",
           [&](CChunkReader& r) {
             return r.FixedChunk(kRecordSize, report, "ERROR! - Light::PROP Incorrect Size\n",
                                 [&] { return ReadRecord(r, *light->GetD3DLightProperties()); });
           },
           "ERROR! - Light, Can't Load Properties: %s\n"},
          {"MOTN",
           [&](CChunkReader& r) {
             return reader->GetMotionExporter()->ReadMotion(light->GetOwnMotion(), r);
           },
           "ERROR! - Light, Can't Load Motion: %s\n"},
          {"INTE", envelope(CLight::ENVELOPE_INTENSITY, "ERROR! - Light::INTE Incorrect Size\n"),
           "ERROR! - Light, Can't Load Intensity: %s\n"},
          {"PRNT",
           link("ERROR! - Light::PRNT Incorrect Size\n",
                [light](UINT kind, UINT number) { light->SetParentReference(kind, number); }),
           "ERROR! - Light, Can't Load Parent: %s\n"},
          {"RANG", envelope(CLight::ENVELOPE_RANGE, "ERROR! - Light::RANG Incorrect Size\n"),
           "ERROR! - Light, Can't Load Range: %s\n"},
          {"INCO",
           envelope(CLight::ENVELOPE_INNER_CONE_ANGLE, "ERROR! - Light::INCO Incorrect Size\n"),
           "ERROR! - Light, Can't Load Inner Cone Angle: %s\n"},
          {"TRGT",
           link("ERROR! - Light::TRGT Incorrect Size\n",
                [light](UINT kind, UINT number) { light->SetTargetReference(kind, number); }),
           "ERROR! - Light, Can't Load Target: %s\n"},
          {"FLSI", envelope(CLight::ENVELOPE_FLARE_SIZE, "ERROR! - Light::FLSI Incorrect Size\n"),
           "ERROR! - Light, Can't Load FlareSize: %s\n"},
          {"COAN", envelope(CLight::ENVELOPE_CONE_ANGLE, "ERROR! - Light::COAN Incorrect Size\n"),
           "ERROR! - Light, Can't Load ConeAngle: %s\n"},
          {"FALL",
           u32("ERROR! - Light::FALL Incorrect Size\n",
               [light](uint32_t v) { light->SetFallOffType(v); }),
           "ERROR! - Light, Can't Load FallOff: %s\n"},
          {"FLRE",
           u32("ERROR! - Light::FLRE Incorrect Size\n",
               [light](uint32_t v) { light->SetIsFlare(v); }),
           "ERROR! - Light, Can't Load IsFlare: %s\n"},
          {"CLRR", envelope(CLight::ENVELOPE_RED, "ERROR! - Light::CLRR Incorrect Size\n"),
           "ERROR! - Light, Can't Load ColorR: %s\n"},
          {"CLRG", envelope(CLight::ENVELOPE_GREEN, "ERROR! - Light::CLRG Incorrect Size\n"),
           "ERROR! - Light, Can't Load ColorG: %s\n"},
          {"CLRB", envelope(CLight::ENVELOPE_BLUE, "ERROR! - Light::CLRB Incorrect Size\n"),
           "ERROR! - Light, Can't Load ColorB: %s\n"},
          {"TYPE",
           u32("ERROR! - Light::TYPE Incorrect Size\n",
               [light](uint32_t v) { light->SetStoredType(static_cast<WORD>(v & 0xFFFF)); }),
           "ERROR! - Light, Can't Load Type: %s\n"},
          {"NMBR",
           u32("ERROR! - Light::NMBR Incorrect Size\n",
               [light](uint32_t v) { light->SetNumber(static_cast<WORD>(v & 0xFFFF)); }),
           "ERROR! - Light, Can't Load Number: %s\n"},
          {"ACTV",
           u32("ERROR! - Light::ACTV Incorrect Size\n",
               [light](uint32_t v) { light->SetIsActive(v); }),
           "ERROR! - Light, Can't Load Activity Flag: %s\n"},
      },
      report, "ERROR! - Light, Incorrect Size Of Chunk Length And Read Data\n");
  if (!read) return false;
  light->FinishLoaded();
  return true;
}
