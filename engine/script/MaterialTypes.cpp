#include "script/MaterialTypes.h"

#include <cstddef>
#include <new>

#include "ZKDXInterface.h"
#include "ZeKorbD3DHeader.h"
#include "core/FatalError.h"
#include "scene/Envelope.h"
#include "scene/Surface.h"
#include "script/ScriptGlue.h"
#include "script/ScriptMaterialTexture.h"
#include "script/ScriptRegistrar.h"
#include "script/ScriptTypeRows.h"

using namespace AngelScript;
using ScriptGlue::Function;
using ScriptGlue::kRejectNull;
using ScriptGlue::Method;
using ScriptGlue::Overload;

namespace {

constexpr asDWORD kObjFirst = asCALL_CDECL_OBJFIRST;
constexpr auto kInterface = CScriptTypeRows::kInterface;
constexpr auto kRecord = CScriptTypeRows::kRecord;

// ---- materials

// One shared default material (diffuse white, the rest 0): the storage hands back an equal
// material instead of filling its table a call at a time.
CMaterialInterface* CreateMaterial(CMaterialStorageInterface* storage) {
  D3DCOLORVALUE diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
  D3DCOLORVALUE specular = {};
  D3DCOLORVALUE emissive = {};
  CVector4 additional1(0.0f, 0.0f, 0.0f, 0.0f);
  CVector4 additional2(0.0f, 0.0f, 0.0f, 0.0f);
  return storage->CreateMaterial(&diffuse, &specular, &emissive, &additional1, &additional2, 0);
}

// ---- material textures

void ConstructMaterialTexture(ScriptMaterialTexture* self) { new (self) ScriptMaterialTexture(); }
void CopyMaterialTexture(ScriptMaterialTexture* self, const ScriptMaterialTexture& other) {
  new (self) ScriptMaterialTexture(other);
}
void DestroyMaterialTexture(ScriptMaterialTexture* self) { self->~ScriptMaterialTexture(); }
ScriptMaterialTexture& AssignMaterialTexture(ScriptMaterialTexture* self,
                                             const ScriptMaterialTexture& other) {
  return *self = other;
}

void RegisterMaterialTexture(CScriptRegistrar& registrar, const char* type,
                             const char* const (&names)[8]) {
  CScriptTypeRows t(registrar, type, kRecord);
  t.Type(sizeof(ScriptMaterialTexture),
         asOBJ_VALUE | asOBJ_APP_CLASS_CDAK | asGetTypeTraits<ScriptMaterialTexture>());
  const std::string name = type;
  registrar.Behaviour(type, asBEHAVE_CONSTRUCT, "void f()",
                      {asFUNCTION(ConstructMaterialTexture), kObjFirst},
                      ("Can't Declare Contructor1 For " + name).c_str());
  registrar.Behaviour(type, asBEHAVE_CONSTRUCT, ("void f(const " + name + " &in)").c_str(),
                      {asFUNCTION(CopyMaterialTexture), kObjFirst},
                      ("Can't Declare Contructor2 For " + name).c_str());
  registrar.Behaviour(type, asBEHAVE_DESTRUCT, "void f()",
                      {asFUNCTION(DestroyMaterialTexture), kObjFirst},
                      ("Can't Declare Destructor For " + name).c_str());
  registrar.Method(type, (name + " &opAssign(const " + name + " &in)").c_str(),
                   {asFUNCTION(AssignMaterialTexture), kObjFirst},
                   ("Can't Declare Assigment For " + name).c_str());
  for (int i = 0; i < 4; ++i)
    t.Property((std::string("bstr ") + names[i]).c_str(),
               static_cast<int>(offsetof(ScriptMaterialTexture, szNames) + i * sizeof(std::string)),
               i + 2);
  for (int i = 0; i < 4; ++i)
    t.Property((std::string("uint8 ") + names[4 + i]).c_str(),
               static_cast<int>(offsetof(ScriptMaterialTexture, values) + i), i + 6);
}

constexpr const char* kMaterialTexture1[8] = {
    "szDiffuseInRed",    "szSpecularGlossInGreen",     "szSpecularExpInBlue",
    "szReflectionInAlpha", "DiffuseValueInRed",        "SpecularGlossValueInGreeen",
    "SpecularExpValueInBlue", "ReflectionValueInAlpha"};
constexpr const char* kMaterialTexture2[8] = {
    "szTranslucencyInRed",   "szFresnelExponentInGreen",    "szRefractionInBlue",
    "szLuminosityInAlpha",   "TranslucencyValueInRed",      "FresnelExponentValueInGreen",
    "RefractionValueInBlue", "LuminosityValueInAlpha"};

// ---- textures

template <typename Record>
CTextureInterface* CreateMaterialTexture(CTextureStorageInterface* storage,
                                         const ScriptMaterialTexture& description) {
  Record record = description.ToEngine<Record>();
  return storage->CreateTexture(&record);
}

CTextureInterface* CreateTextureWithAlpha(CTextureStorageInterface* storage, const char* file,
                                          const char* alpha) {
  return storage->CreateTexture(file, alpha, 0u);
}
// Scripts always leave the file's format unchanged.
CTextureInterface* CreateTexture(CTextureStorageInterface* storage, const char* file) {
  return storage->CreateTexture(file, 0u);
}
CTextureInterface* GetTextureByName(CTextureStorageInterface* storage, const char* name) {
  return storage->GetTextureByName(name, 1u);
}
CTextureInterface* GetTextureByNames(CTextureStorageInterface* storage, const char* file,
                                     const char* alpha) {
  return storage->GetTextureByName(file, alpha, 1u);
}
UINT SetTexture(CTextureStorageInterface* storage, CTextureInterface* texture, WORD stage) {
  return storage->SetTexture(texture, stage, 1);
}

// ---- surfaces

CMaterialInterface* GetMaterial(CSurfaceInterface* surface) { return surface->GetMaterial(1); }
CMeshInterface* GetParentMesh(CSurfaceInterface* surface) { return surface->GetParentMesh(1); }

// The whole count: the interface's answer is cut to 16 bits.
UINT GetNumberOfIndices(CSurfaceInterface* surface) {
  if (auto* engineSurface = dynamic_cast<CSurface*>(surface))
    return engineSurface->GetIndexCount();
  return surface->GetNumberOfIndices();
}

// The surface owns and later frees the envelope it is given, so it gets a copy of any envelope
// that is not already its own for the channel: one owned by a light, a scene or another channel
// would otherwise be freed twice.
void SetMaterialEnvelope(CSurfaceInterface* surface, UINT channel, CEnvelopeInterface* envelope) {
  if (surface->GetMaterialEnvelope(channel) == envelope) return;
  auto* source = dynamic_cast<CEnvelope*>(envelope);
  if (source == nullptr) {
    ScriptGlue::RaiseException("Not An Engine Envelope");
    return;
  }
  surface->SetMaterialEnvelope(
      channel, NewOrFatal<CEnvelope>("Error While Copying Envelope", "Can't Allocate Memory",
                                     source->GetIsEnvelope(), &source->Channel(),
                                     source->GetValue()));
}

void RegisterSurface(CScriptRegistrar& registrar) {
  using Surface = CSurfaceInterface;
  CScriptTypeRows s(registrar, "CSurfaceInterface", kInterface);
  s.Type(0, ScriptGlue::kEngineObjectFlags);
  s.Method("bstr GetName()", Method<&Surface::GetName>());
  s.Method("CMaterialInterface@ GetMaterial()", Function<&GetMaterial>(kObjFirst));
  s.Method("CMeshInterface@ GetParentMesh()", Function<&GetParentMesh>(kObjFirst));
  s.Method("SurfaceTexture &GetColor0Texture()", Method<&Surface::GetColor0Texture>());
  s.Method("SurfaceTexture &GetColor1Texture()", Method<&Surface::GetColor1Texture>());
  s.Method("SurfaceTexture &GetNormalTexture()", Method<&Surface::GetNormalTexture>());
  s.Method("SurfaceTexture &GetMaterialTexture1()", Method<&Surface::GetMaterialTexture1>());
  s.Method("SurfaceTexture &GetMaterialTexture2()", Method<&Surface::GetMaterialTexture2>());
  s.Method("uint GetShadeType()", Method<&Surface::GetShadeType>());
  s.Method("uint16 GetFlags()", Method<&Surface::GetFlags>());
  s.Method("uint GetNumberOfIndices()", Function<&GetNumberOfIndices>(kObjFirst));
  s.Method("float GetMaterialValue(uint)", Method<&Surface::GetMaterialValue>());
  // A channel without a texture gives an empty name.
  s.Method("bstr GetTextureFileName(uint)", Method<&Surface::GetTextureFileName>());
  s.Method("void SetFlags(uint16)", Method<&Surface::SetFlags>());
  s.Method("void SetShadingType(uint)", Method<&Surface::SetShadingType>());
  s.Method("void SetMaterialValue(uint, float)", Method<&Surface::SetMaterialValue>());
  s.Method("CEnvelopeInterface@ GetColorREnvelope()", Method<&Surface::GetColorREnvelope>());
  s.Method("CEnvelopeInterface@ GetColorGEnvelope()", Method<&Surface::GetColorGEnvelope>());
  s.Method("CEnvelopeInterface@ GetColorBEnvelope()", Method<&Surface::GetColorBEnvelope>());
  s.Method("CEnvelopeInterface@ GetLuminosityEnvelope()",
           Method<&Surface::GetLuminosityEnvelope>());
  s.Method("CEnvelopeInterface@ GetDiffuseEnvelope()", Method<&Surface::GetDiffuseEnvelope>());
  s.Method("CEnvelopeInterface@ GetReflectionEnvelope()",
           Method<&Surface::GetReflectionEnvelope>());
  s.Method("CEnvelopeInterface@ GetRefractionEnvelope()",
           Method<&Surface::GetRefractionEnvelope>());
  s.Method("CEnvelopeInterface@ GetSpecularGlossinessEnvelope()",
           Method<&Surface::GetSpecularGlossinessEnvelope>());
  s.Method("CEnvelopeInterface@ GetSpecularExponentEnvelope()",
           Method<&Surface::GetSpecularExponentEnvelope>());
  s.Method("CEnvelopeInterface@ GetTransparencyEnvelope()",
           Method<&Surface::GetTransparencyEnvelope>());
  s.Method("CEnvelopeInterface@ GetFresnelEnvelope()", Method<&Surface::GetFresnelEnvelope>());
  s.Method("CEnvelopeInterface@ GetMaterialEnvelope(uint)",
           Method<&Surface::GetMaterialEnvelope>());
  s.Method("void SetMaterialEnvelope(uint, CEnvelopeInterface@)",
           Function<&SetMaterialEnvelope, kRejectNull>(kObjFirst), 29);
}

}  // namespace

bool RegisterMaterialTypes(CScriptRegistrar& registrar) {
  CScriptRegistrar::SourceScope source(registrar, "MaterialTypes");

  using Texture = CTextureInterface;
  CScriptTypeRows t(registrar, "CTextureInterface", kInterface);
  t.Type(0, ScriptGlue::kEngineObjectFlags);
  t.Method("void Set(uint16)", Method<&Texture::Set>());
  t.Method("uint IsLoaded()", Method<&Texture::IsLoaded>());
  t.Method("uint HasAlphaChannel()", Method<&Texture::HasAlphaChannel>(), 5);
  t.Method("uint GetWidth()", Method<&Texture::GetWidth>());
  t.Method("uint GetHeight()", Method<&Texture::GetHeight>());
  t.Method("uint16 GetTextureType()", Method<&Texture::GetTextureType>());

  // The slot record is known already; here it gets the fields scripts see.
  CScriptTypeRows slot(registrar, "SurfaceTexture", kRecord);
  slot.Known();
  slot.Property("CTextureInterface@ pTextureImage", offsetof(SurfaceTexture, pTextureImage));
  slot.Property("CMatrix mtxMatrix", offsetof(SurfaceTexture, mtxMatrix));
  slot.Property("uint16 wFlags", offsetof(SurfaceTexture, wFlags));
  slot.Property("uint16 wOpacity", offsetof(SurfaceTexture, wOpacity));
  slot.Property("float fOpacityValue", offsetof(SurfaceTexture, fOpacityValue));

  using Material = CMaterialInterface;
  CScriptTypeRows m(registrar, "CMaterialInterface", kInterface);
  m.Known();
  m.Method("void Set(uint)", Method<&Material::Set>());
  m.Method("D3DMATERIAL9 &GetD3DMaterial()", Method<&Material::GetD3DMaterial>());
  m.Method("CVector4 &GetAdditionalMaterial1()", Method<&Material::GetAdditionalMaterial1>());
  m.Method("CVector4 &GetAdditionalMaterial2()", Method<&Material::GetAdditionalMaterial2>(), 4);

  using Materials = CMaterialStorageInterface;
  CScriptTypeRows ms(registrar, "CMaterialStorageInterface", kInterface);
  ms.Known();
  ms.Method("CMaterialInterface@ CreateMaterial()", Function<&CreateMaterial>(kObjFirst));
  ms.Method("void SetMaterial(CMaterialInterface@, uint)",
            Method<Overload<void(CMaterialInterface*, UINT)>(&Materials::SetMaterial),
                   kRejectNull>());
  ms.Method("void SetMaterial(const D3DMATERIAL9 &in, uint)",
            Method<Overload<void(D3DMATERIAL9*, UINT)>(&Materials::SetMaterial)>());
  ms.Method("void SetMaterial(const D3DMATERIAL9 &in)",
            Method<Overload<void(D3DMATERIAL9*)>(&Materials::SetMaterial)>());

  RegisterMaterialTexture(registrar, "MaterialTexture1", kMaterialTexture1);
  RegisterMaterialTexture(registrar, "MaterialTexture2", kMaterialTexture2);

  CScriptTypeRows ts(registrar, "CTextureStorageInterface", kInterface);
  ts.Known();
  ts.Method("CTextureInterface@ CreateTexture(const bstr &in, const bstr &in)",
            Function<&CreateTextureWithAlpha>(kObjFirst));
  ts.Method("CTextureInterface@ CreateTexture(const bstr &in)",
            Function<&CreateTexture>(kObjFirst));
  ts.Method("CTextureInterface@ CreateTexture(const MaterialTexture1 &in)",
            Function<&CreateMaterialTexture<MaterialTexture1>>(kObjFirst));
  ts.Method("CTextureInterface@ CreateTexture(const MaterialTexture2 &in)",
            Function<&CreateMaterialTexture<MaterialTexture2>>(kObjFirst));
  ts.Method("CTextureInterface@ GetTextureByName(const bstr &in)",
            Function<&GetTextureByName>(kObjFirst));
  ts.Method("CTextureInterface@ GetTextureByName(const bstr &in, const bstr &in)",
            Function<&GetTextureByNames>(kObjFirst));
  ts.Method("uint SetTexture(CTextureInterface@, uint16)",
            Function<&SetTexture, kRejectNull>(kObjFirst));
  ts.Method("uint LoadAllTextures()", Method<&CTextureStorageInterface::LoadAllTextures>());
  ts.Method("CTextureInterface@ GetTextureByID(uint)",
            Method<&CTextureStorageInterface::GetTextureByID>());
  ts.Method("uint GetNumberOfTextures()",
            Method<&CTextureStorageInterface::GetNumberOfTextures>());

  RegisterSurface(registrar);
  return registrar.Succeeded();
}
