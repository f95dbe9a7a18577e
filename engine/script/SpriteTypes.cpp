#include "script/SpriteTypes.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "ZKDXInterface.h"
#include "ZeKorbD3DHeader.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "scene/NullOptions.h"
#include "script/ScriptArrays.h"
#include "script/ScriptGlue.h"
#include "script/ScriptKeptData.h"
#include "script/ScriptRegistrar.h"
#include "script/ScriptTypeRows.h"

using namespace AngelScript;
using ScriptGlue::Function;
using ScriptGlue::Method;
using ScriptGlue::Overload;

namespace {

constexpr const char* kSource = "SpriteType";
constexpr asDWORD kObjFirst = asCALL_CDECL_OBJFIRST;
constexpr const char* kOutOfMemory = "Error While Creating Sprite";

// The null's sprite: position, normal and one coordinate pair, as the engine's vertices hold.
D3DVERTEXELEMENT9 g_nullSpriteLayout[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0},
    {0, 24, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
    D3DDECL_END()};

constexpr size_t kTextureNameLength = 254;
constexpr size_t kNullNameLength = 240;  // with "_options_sprite", 255 characters

// The sprite keeps pointers to the slots it is given, so it gets copies kept as long as its
// storage; a sprite the storage made earlier keeps what it had.
CSpriteInterface* CreateSpriteWithSlots(CSpriteStorageInterface* storage, const char* name,
                                        UINT quads, D3DVERTEXELEMENT9* elements,
                                        const SurfaceTexture* slots, UINT slotCount,
                                        CMaterialInterface* material, UINT flags, UINT dynamic) {
  const size_t size = slotCount > 0 ? slotCount : 1;
  std::shared_ptr<SurfaceTexture[]> copies(
      NewArrayOrFatal<SurfaceTexture>(kOutOfMemory, "Can't Copy Sprite Textures", size));
  std::unique_ptr<SurfaceTexture*[]> list(
      NewArrayOrFatal<SurfaceTexture*>(kOutOfMemory, "Can't Copy Sprite Textures", size));
  for (UINT i = 0; i < slotCount; ++i) {
    copies[i] = slots[i];
    list[i] = &copies[i];
  }
  CSpriteInterface* sprite = storage->CreateSprite(name, quads, elements,
                                                   slotCount > 0 ? list.get() : nullptr,
                                                   slotCount, material, flags, dynamic, 1);
  if (slotCount > 0) CScriptKeptData::Instance().Keep(storage, sprite, copies);
  return sprite;
}

CSpriteInterface* CreateSpriteForScript(CSpriteStorageInterface* storage, const bstr& name,
                                        UINT quads, CScriptArray* elements, CScriptArray* slots,
                                        UINT slotCount, CMaterialInterface* material, UINT flags,
                                        UINT dynamic) {
  std::vector<D3DVERTEXELEMENT9> layout = ScriptArrays::Elements(elements);
  if (layout.empty()) return nullptr;
  if (slotCount > 0 && !ScriptArrays::Holds(slots, slotCount)) return nullptr;
  const std::vector<SurfaceTexture> copies = ScriptArrays::Records<SurfaceTexture>(slots, slotCount);
  return CreateSpriteWithSlots(storage, name.c_str(), quads, layout.data(), copies.data(),
                               slotCount, material, flags, dynamic);
}

// A quad past the sprite's count would be written or read past its quads.
bool HasQuad(CSpriteInterface* sprite, UINT quad) {
  return quad < sprite->GetNumberOfSpriteQuads();
}

UINT AddIntoQuad(CSpriteInterface* sprite, UINT quad, const Vertex& first, const Vertex& second,
                 const Vertex& third, const Vertex& fourth) {
  if (!HasQuad(sprite, quad)) return 0;
  Vertex corners[4] = {first, second, third, fourth};
  return sprite->AddIntoQuad(quad, &corners[0], &corners[1], &corners[2], &corners[3]);
}

Vertex* GetQuadVertex(CSpriteInterface* sprite, UINT quad, UINT corner) {
  return HasQuad(sprite, quad) ? sprite->GetQuadVertex(quad, corner) : nullptr;
}

// The operation answers nothing; scripts get 0, as from the storage's Draw.
UINT DrawNow(CSpriteInterface* sprite) {
  sprite->Draw(-1.0f);
  return 0;
}

CSpriteInterface* GetSpriteByName(CSpriteStorageInterface* storage, const char* name) {
  return storage->GetSpriteByName(name, 1);
}

void CreateSpriteForNullObject(const char* texture, float half, CNullInterface* null,
                               UINT additive) {
  if (null == nullptr) return;
  CEngineContext* context = GetEngineContext();
  CD3D9RendererInterface* renderer = context->pRenderer;
  if (renderer == nullptr) return;
  const char* nullName = null->GetName() != nullptr ? null->GetName() : "";
  for (const char* name : {texture, nullName}) {
    const size_t limit = name == texture ? kTextureNameLength : kNullNameLength;
    if (strnlen(name, limit + 1) > limit) {
      LogTo(context->pLog, kSource, CEngineLog::kLevelError,
            "ERROR!!! - Can't Create Sprite For Null Object, Name Too Long: %s\n", name);
      return;
    }
  }
  char spriteName[256];
  snprintf(spriteName, sizeof spriteName, "%s_options_sprite", nullName);

  CTextureStorageInterface* textures = renderer->GetTextureStorageInterface();
  SurfaceTexture slot;
  slot.Clear();
  slot.pTextureImage = textures->CreateTexture(texture, 0u);
  slot.wOpacity = 4;
  slot.fOpacityValue = 1.0f;
  slot.dwNumberOfFrames = 1;
  CSpriteInterface* sprite =
      CreateSpriteWithSlots(renderer->GetSpriteStorageInterface(), spriteName, 1,
                            g_nullSpriteLayout, &slot, 1, nullptr, SPRITE_CAMERA_FACING, 1);
  if (sprite == nullptr) return;

  sprite->SetCullMode(D3DCULL_NONE);
  if (additive == 1) {
    sprite->SetAlphaBlending(1);
    sprite->SetAlphaBlendingSource(D3DBLEND_ONE);
    sprite->SetAlphaBlendingDestination(D3DBLEND_ONE);
  }
  Vertex corners[4] = {};
  const float x[4] = {-half, -half, half, half};
  const float y[4] = {-half, half, -half, half};
  for (int i = 0; i < 4; ++i) {
    corners[i].vecPosition = CVector3(x[i], y[i], 0.0f);
    corners[i].fTU[0] = x[i] < 0 ? 1.0f : 0.0f;
    corners[i].fTV[0] = y[i] < 0 ? 1.0f : 0.0f;
  }
  sprite->AddIntoQuad(0, &corners[0], &corners[1], &corners[2], &corners[3]);

  // A second call finds the sprite already in the scene; twice there, it would draw twice.
  CSceneInterface* scene = null->GetScene();
  if (scene != nullptr && sprite->GetScene() != scene) scene->AddSprite(sprite);
  if (auto* options = dynamic_cast<CNullOptions*>(null->GetNullOptions()))
    options->SetSpriteOption(sprite, 1);
  textures->LoadAllTextures();
}

}  // namespace

bool RegisterSpriteTypes(CScriptRegistrar& registrar) {
  CScriptRegistrar::SourceScope source(registrar, kSource);
  using Sprite = CSpriteInterface;

  CScriptTypeRows s(registrar, "CSpriteInterface", CScriptTypeRows::kInterface);
  s.Type(0, ScriptGlue::kEngineObjectFlags);
  s.Method("uint AddIntoQuad(uint, const Vertex &in, const Vertex &in, const Vertex &in, "
           "const Vertex &in)",
           Function<&AddIntoQuad>(kObjFirst));
  s.Method("void SetOrientationFlags(uint)", Method<&Sprite::SetOrientationFlags>());
  s.Method("uint GetOrientationFlags()", Method<&Sprite::GetOrientationFlags>());
  s.Method("uint GetIsDynamic()", Method<&Sprite::GetIsDynamic>());
  s.Method("void SetIsDynamic(uint)", Method<&Sprite::SetIsDynamic>());
  s.Method("uint SetShader(const bstr &in)", Method<&Sprite::SetShader>());
  s.Method("void SetIsActive(uint)", Method<Overload<void(UINT)>(&Sprite::SetIsActive)>());
  s.Method("uint GetIsActive()", Method<Overload<UINT()>(&Sprite::GetIsActive)>());
  s.Method("void SetIsActive(uint, uint)",
           Method<Overload<void(UINT, UINT)>(&Sprite::SetIsActive)>());
  s.Method("uint GetIsActive(uint)", Method<Overload<UINT(UINT)>(&Sprite::GetIsActive)>());
  s.Method("uint GetIsSuccessfulyCreated()", Method<&Sprite::GetIsSuccessfulyCreated>());
  s.Method("Vertex &GetQuadVertex(uint, uint)", Function<&GetQuadVertex>(kObjFirst));
  s.Method("CMaterialInterface@ GetMaterialInterface()", Method<&Sprite::GetMaterialInterface>());
  s.Method("bstr GetSpriteName()", Method<&Sprite::GetSpriteName>());
  s.Method("uint GetNumberOfSpriteQuads()", Method<&Sprite::GetNumberOfSpriteQuads>());
  s.Method("uint Draw()", Function<&DrawNow>(kObjFirst));
  s.Method("void SetPosition(const CVector3 &in)", Method<&Sprite::SetPosition>());
  s.Method("CVector3 &GetPosition()", Method<&Sprite::GetPosition>());
  s.Method("void SetRotation(const CVector3 &in)", Method<&Sprite::SetRotation>());
  s.Method("CVector3 &GetRotation()", Method<&Sprite::GetRotation>());
  s.Method("void SetScale(const CVector3 &in)", Method<&Sprite::SetScale>());
  s.Method("CVector3 &GetScale()", Method<&Sprite::GetScale>());
  s.Method("void SetQuadRotation(uint, float)",
           Method<Overload<void(UINT, float)>(&Sprite::SetQuadRotation)>());
  // The getter keeps the name scripts have always called it by.
  s.Method("float SetQuadRotation(uint)",
           Method<Overload<float(UINT)>(&Sprite::SetQuadRotation)>());
  s.Method("void SetZWrite(uint)", Method<&Sprite::SetZWrite>());
  s.Method("uint GetZWrite()", Method<&Sprite::GetZWrite>());
  s.Method("void SetZTest(uint)", Method<&Sprite::SetZTest>());
  s.Method("uint GetZTest()", Method<&Sprite::GetZTest>());
  s.Method("void SetZCompare(uint)", Method<&Sprite::SetZCompare>());
  s.Method("uint GetZCompare()", Method<&Sprite::GetZCompare>());
  s.Method("void SetAlphaTest(uint)", Method<&Sprite::SetAlphaTest>());
  s.Method("uint GetAlphaTest()", Method<&Sprite::GetAlphaTest>());
  s.Method("void SetAlphaTestRef(uint)", Method<&Sprite::SetAlphaTestRef>());
  s.Method("uint GetAlphaTestRef()", Method<&Sprite::GetAlphaTestRef>());
  s.Method("void SetAlphaTestOp(uint)", Method<&Sprite::SetAlphaTestOp>());
  s.Method("uint GetAlphaTestOp()", Method<&Sprite::GetAlphaTestOp>());
  s.Method("void SetAlphaBlending(uint)", Method<&Sprite::SetAlphaBlending>());
  s.Method("uint GetAlphaBlending()", Method<&Sprite::GetAlphaBlending>());
  s.Method("void SetAlphaBlendingOp(uint)", Method<&Sprite::SetAlphaBlendingOp>());
  s.Method("uint GetAlphaBlendingOp()", Method<&Sprite::GetAlphaBlendingOp>());
  s.Method("void SetAlphaBlendingSource(uint)", Method<&Sprite::SetAlphaBlendingSource>());
  s.Method("uint GetAlphaBlendingSource()", Method<&Sprite::GetAlphaBlendingSource>());
  s.Method("void SetAlphaBlendingDestination(uint)",
           Method<&Sprite::SetAlphaBlendingDestination>());
  s.Method("uint GetAlphaBlendingDestination()", Method<&Sprite::GetAlphaBlendingDestination>());
  s.Method("void SetCullMode(uint)", Method<&Sprite::SetCullMode>());
  s.Method("uint GetCullMode()", Method<&Sprite::GetCullMode>());
  s.Method("void SetSmoothShaded(uint)", Method<&Sprite::SetSmoothShaded>());
  s.Method("uint GetSmoothShaded()", Method<&Sprite::GetSmoothShaded>());
  // Null is meaningful: the sprite belongs to no scene afterwards.
  s.Method("void SetScene(CSceneInterface@)", Method<&Sprite::SetScene>());
  s.Method("CSceneInterface@ GetScene()", Method<&Sprite::GetScene>());

  CScriptTypeRows storage(registrar, "CSpriteStorageInterface", CScriptTypeRows::kInterface);
  storage.Type(0, ScriptGlue::kEngineObjectFlags);
  storage.Method("CSpriteInterface@ CreateSprite(const bstr &in, uint, "
                 "array<D3DVERTEXELEMENT9>@, array<SurfaceTexture>@, uint, CMaterialInterface@, "
                 "uint, uint)",
                 Function<&CreateSpriteForScript>(kObjFirst));
  storage.Method("CSpriteInterface@ GetSpriteByName(const bstr &in)",
                 Function<&GetSpriteByName>(kObjFirst));
  storage.Method("uint Draw()", Method<&CSpriteStorageInterface::Draw>());

  CScriptTypeRows null(registrar, "CNullInterface", CScriptTypeRows::kInterface);
  null.Type(0, ScriptGlue::kEngineObjectFlags);

  registrar.Function("void CreateSpriteForNullObject(const bstr &in, float, CNullInterface@, uint)",
                     Function<&CreateSpriteForNullObject>(),
                     "ERROR!!! - Can't Register CreateSpriteForNullObject() Function");
  return registrar.Succeeded();
}
