#include "shaders/DefaultShaderChoice.h"

#include "ZKDXGlobals.h"
#include "ZKDXInterface.h"
#include "core/SettingEntry.h"
#include "core/Settings.h"
#include "scene/Mesh.h"
#include "scene/Surface.h"

namespace {

constexpr WORD kFlagPlainReflection = 0x100;
constexpr WORD kFlagCubeReflection = 0x200;
constexpr WORD kFlagPlaneReflection = 0x400;

bool Off(CSettings* settings, const char* name) {
  CSettingEntry* entry = settings != nullptr ? settings->GetSetting(name) : nullptr;
  return entry != nullptr && entry->GetInt() == 0;
}

bool HasAlpha(const SurfaceTexture* texture) {
  if (texture == nullptr) return false;
  CTextureInterface* image =
      texture->pFrames != nullptr ? texture->pFrames[0] : texture->pTextureImage;
  return image != nullptr && image->HasAlphaChannel() != 0;
}

// What the rules read of one surface; the engine's surfaces answer the channel tests.
struct SurfaceReading {
  explicit SurfaceReading(CSurfaceInterface& surface)
      : surface(surface), engine(dynamic_cast<CSurface*>(&surface)) {}
  bool Channel(UINT channel) const {
    return engine != nullptr && engine->IsMaterialChannelActive(channel);
  }
  bool Flag(WORD flag) const { return (surface.GetFlags() & flag) != 0; }
  bool Specular() const { return Channel(2) && Channel(3); }
  bool AlphaChannel() const { return HasAlpha(surface.GetColor0Texture()); }
  bool Transparent() const { return Channel(6) || AlphaChannel(); }
  bool Cube() const { return Flag(kFlagCubeReflection) && Channel(5); }
  bool Plane() const { return Flag(kFlagPlaneReflection) && Channel(5); }
  bool Plain() const {
    return Flag(kFlagPlainReflection) && surface.GetTexture(SURFACE_TEXTURE_REFLECTION) != nullptr &&
           Channel(5);
  }
  CSurfaceInterface& surface;
  CSurface* engine;
};

bool DissolveIsEnvelope(CMeshInterface* mesh) {
  CEnvelopeInterface* dissolve = mesh != nullptr ? mesh->GetEnvDissolve() : nullptr;
  return dissolve != nullptr && dissolve->GetIsEnvelope() == 1;
}

const char* BlendParameter(WORD opacity) {
  switch (opacity) {
    case 4: return "D3DTOP_MODULATE";
    case 7: return "D3DTOP_ADD";
    case 10: return "D3DTOP_SUBTRACT";
    default: return "D3DTOP_DISABLE";
  }
}

void AddIf(std::vector<std::string>& parameters, bool condition, const char* name) {
  if (condition) parameters.emplace_back(name);
}

void AddUVs(std::vector<std::string>& parameters, bool twoUV, bool anyUV) {
  if (twoUV)
    parameters.emplace_back("TWOUVS");
  else if (!anyUV)
    parameters.emplace_back("NOUVS");
}

}  // namespace

DefaultShaderSettings CDefaultShaderChoice::ReadSettings(CSettings* settings,
                                                         DWORD selectedScheme) {
  DefaultShaderSettings read;
  read.shadowsOff = Off(settings, "shadows");
  read.reflectionsOff = Off(settings, "reflections");
  read.refractionsOff = Off(settings, "refractions");
  read.fullEffectsOff = Off(settings, "shaders_force_full_effects");
  read.geForce2 = selectedScheme == ZK_SCHEME_GEFORCE2;
  return read;
}

bool CDefaultShaderChoice::SceneProfile(UINT lightingModel, bool anyShadowCaster,
                                        const DefaultShaderSettings& settings, UINT* profile) {
  const bool shadows = anyShadowCaster && !settings.shadowsOff;
  switch (lightingModel) {
    case 1: *profile = shadows ? 2 : 1; return true;
    case 2: *profile = shadows ? 11 : 10; return true;
    case 3: *profile = shadows ? 12 : 13; return true;
    default: return false;
  }
}

DefaultShader CDefaultShaderChoice::ForMesh(UINT lightingModel, const MeshShaderFacts& facts,
                                            const DefaultShaderSettings& settings) {
  DefaultShader chosen;
  std::vector<std::string>& parameters = chosen.parameters;
  const bool extrudes = facts.canCastShadowVolume && !facts.transparent;
  if (lightingModel == 1) {
    const bool reflections =
        facts.plainReflection && !settings.geForce2 && !settings.reflectionsOff;
    AddIf(parameters, facts.specular, "SPECULAR");
    AddIf(parameters, facts.opaque, "OPAQUE");
    AddIf(parameters, facts.transparent, "TRANSPARENT");
    AddIf(parameters, reflections, "REFLECTIONS");
    AddIf(parameters, extrudes, "CANEXTRUDESV");
    AddUVs(parameters, facts.twoUV, facts.anyUV);
    if (facts.morph) return chosen;
    if (facts.bones)
      chosen.file = "PerVertex\\mesh_bones_nomorph.ssh";
    else
      chosen.file = facts.twoUV ? "PerVertex\\mesh_nobones_nomorph_2uv.ssh"
                                : "PerVertex\\mesh_nobones_nomorph.ssh";
    return chosen;
  }
  const bool reflections = !settings.reflectionsOff;
  AddIf(parameters, facts.specular, "SPECULAR");
  AddIf(parameters, facts.opaque, "OPAQUE");
  AddIf(parameters, facts.fresnel, "FRESNEL");
  AddIf(parameters, facts.transparent, "TRANSPARENT");
  AddIf(parameters, facts.refraction && !settings.refractionsOff, "REFRACTIONS");
  AddIf(parameters, facts.cubeReflection && reflections, "GEN_CUBE_REFLECTIONS");
  AddIf(parameters, facts.planeReflection && reflections, "GEN_PLANE_REFLECTIONS");
  AddIf(parameters, facts.plainReflection && reflections, "REFLECTIONS_PLANE");
  AddIf(parameters, extrudes, "CANEXTRUDESV");
  AddUVs(parameters, facts.twoUV, facts.anyUV);
  // Only the shadow-volume and shadow-map models have folders of mesh shaders.
  if (facts.morph || (lightingModel != 2 && lightingModel != 3)) return chosen;
  chosen.file = lightingModel == 2 ? "ShadowVolume\\" : "ShadowMap\\";
  if (facts.bones)
    chosen.file += facts.allNormal ? "NormalMap\\NoHeightMap\\mesh_bones_nomorph.ssh"
                                   : "NoNormalMap\\mesh_bones_nomorph.ssh";
  else if (facts.allNormal)
    chosen.file += "NormalMap\\NoHeightMap\\mesh_nobones_nomorph.ssh";
  else
    chosen.file += facts.twoUV ? "NoNormalMap\\mesh_nobones_nomorph_2uv.ssh"
                               : "NoNormalMap\\mesh_nobones_nomorph.ssh";
  return chosen;
}

DefaultShader CDefaultShaderChoice::ForSurface(UINT lightingModel,
                                               const SurfaceShaderFacts& facts,
                                               const DefaultShaderSettings& settings) {
  DefaultShader chosen;
  std::vector<std::string>& parameters = chosen.parameters;
  if (lightingModel == 1) {
    AddIf(parameters, facts.specular, "SPECULAR");
    AddIf(parameters, facts.plainReflection && !settings.geForce2 && !settings.reflectionsOff,
          "REFLECTIONS");
    AddIf(parameters, facts.clipValueNotOne && facts.alphaChannel, "ALPHATEST");
    AddIf(parameters, facts.alphaChannel, "ALPHACHANNEL");
    parameters.emplace_back(facts.transparent ? "TRANSPARENT" : "OPAQUE");
    if (facts.uv2) parameters.emplace_back(BlendParameter(facts.color1Opacity));
    chosen.file = facts.uv2   ? "PerVertex\\surface_uv2.ssh"
                  : facts.uv1 ? "PerVertex\\surface.ssh"
                              : "PerVertex\\surface_nouvs.ssh";
    return chosen;
  }
  if (lightingModel != 2 && lightingModel != 3) return chosen;
  const bool material1 = facts.materialTexture1 && !settings.fullEffectsOff;
  const bool material2 = facts.materialTexture2 && !settings.fullEffectsOff;
  const bool reflections = !settings.reflectionsOff;
  const char* reflection = nullptr;
  if (reflections) {
    if (facts.cubeReflection)
      reflection = "GEN_CUBE_REFLECTIONS";
    else if (facts.planeReflection)
      reflection = "GEN_PLANE_REFLECTIONS";
    else if (facts.plainReflection)
      reflection = "REFLECTIONS";
  }
  AddIf(parameters, facts.specular, "SPECULAR");
  AddIf(parameters, material1 || material2, "MATERIALTXT");
  AddIf(parameters, material1, "MATTXT1");
  AddIf(parameters, material2, "MATTXT2");
  AddIf(parameters, facts.luminosity, "LUMINOSITY");
  AddIf(parameters,
        facts.refraction || facts.translucency || reflection != nullptr || facts.fresnel ||
            material1 || material2,
        "ADDMAT");
  AddIf(parameters, facts.refraction, "REFRACTIONS");
  AddIf(parameters, facts.fresnel, "FRESNEL");
  AddIf(parameters, facts.translucency, "TRANSLUCENCY");
  AddIf(parameters, reflection != nullptr, reflection);
  AddIf(parameters, facts.alphaChannel, "ALPHACHANNEL");
  parameters.emplace_back(facts.transparent ? "TRANSPARENT" : "OPAQUE");
  if (facts.uv2) parameters.emplace_back(BlendParameter(facts.color1Opacity));
  chosen.file = lightingModel == 2 ? "ShadowVolume\\" : "ShadowMap\\";
  chosen.file += facts.normalMap ? "NormalMap\\NoHeightMap\\" : "NoNormalMap\\";
  chosen.file += facts.uv2 ? "surface_2uv.ssh" : facts.uv1 ? "surface.ssh" : "surface_nouv.ssh";
  return chosen;
}

MeshShaderFacts CDefaultShaderChoice::GatherMesh(CMesh& mesh) {
  MeshShaderFacts facts;
  facts.bones = mesh.GetNumberOfBones() > 0;
  facts.morph = mesh.GetIsMorph() != 0;
  facts.canCastShadowVolume = mesh.GetCanCastShadowVolume() == 1;
  facts.allNormal = true;
  for (UINT i = 0; i < mesh.GetNumberOfSurfaces(); ++i) {
    CSurfaceInterface* surface = mesh.GetSurface(i);
    if (surface == nullptr) continue;
    const SurfaceReading reading(*surface);
    if (surface->GetNormalTexture() == nullptr) facts.allNormal = false;
    if (reading.Specular()) facts.specular = true;
    if (reading.Transparent())
      facts.transparent = true;
    else
      facts.opaque = true;
    if (surface->GetColor0Texture() != nullptr) {
      facts.anyUV = true;
      if (surface->GetColor1Texture() != nullptr) facts.twoUV = true;
    }
    facts.fresnel = facts.fresnel || reading.Channel(8);
    facts.refraction = facts.refraction || reading.Channel(4);
    facts.cubeReflection = facts.cubeReflection || reading.Cube();
    facts.planeReflection = facts.planeReflection || reading.Plane();
    facts.plainReflection = facts.plainReflection || reading.Plain();
  }
  if (DissolveIsEnvelope(&mesh)) {
    facts.transparent = true;
    facts.opaque = false;
  }
  return facts;
}

SurfaceShaderFacts CDefaultShaderChoice::GatherSurface(CSurface& surface) {
  const SurfaceReading reading(surface);
  SurfaceShaderFacts facts;
  facts.specular = reading.Specular();
  facts.alphaChannel = reading.AlphaChannel();
  facts.transparent = reading.Transparent() || DissolveIsEnvelope(surface.GetParentMeshObject());
  facts.uv1 = surface.GetColor0Texture() != nullptr;
  if (const SurfaceTexture* color1 = surface.GetColor1Texture()) {
    facts.uv2 = true;
    facts.color1Opacity = color1->wOpacity;
  }
  facts.clipValueNotOne = surface.GetSurfaceParameter() != 1.0f;
  facts.materialTexture1 = surface.GetMaterialTexture1() != nullptr;
  facts.materialTexture2 = surface.GetMaterialTexture2() != nullptr;
  facts.luminosity = reading.Channel(9);
  facts.refraction = reading.Channel(4);
  facts.fresnel = reading.Channel(8);
  facts.translucency = reading.Channel(10);
  facts.cubeReflection = reading.Cube();
  facts.planeReflection = reading.Plane();
  facts.plainReflection = reading.Plain();
  facts.normalMap = surface.GetNormalTexture() != nullptr;
  return facts;
}
