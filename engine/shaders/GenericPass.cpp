#include "shaders/GenericPass.h"

#include <algorithm>
#include <cstring>

#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "d3d/D3D9Enumeration.h"
#include "d3d/EngineRenderer.h"
#include "d3d/MeshVertexBuffer.h"
#include "d3d/VertexElements.h"
#include "scene/Bone.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/Scene.h"
#include "scene/ScenePasses.h"
#include "scene/Surface.h"

const D3DVERTEXELEMENT9 GenericVertexElements[7] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0},
    {0, 24, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
    {0, 32, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 1},
    {0, 40, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 2},
    {0, 52, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 3},
    D3DDECL_END()};

namespace {

const char kSource[] = "GenericPass";
constexpr WORD kNoBone = 0xFFFF;
constexpr WORD kFlagBlended = 0x0001;
constexpr WORD kFlagAddBlend = 0x0002;
constexpr WORD kFlagTwoSided = 0x0004;
constexpr WORD kFlagReflection = 0x0100;
// The edge lines' vertex: position, diffuse, specular, one texture pair (FVF 0x1C2).
constexpr DWORD kEdgeFVF = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;
struct EdgeVertex {
  float x, y, z;
  D3DCOLOR diffuse, specular;
  float u, v;
};
static_assert(sizeof(EdgeVertex) == 28);

// One stage of a fixed texture-stage program; 0 leaves an argument alone.
struct StageProgram {
  UINT colorOp, colorArg0, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2;
};

// Reflection over a colour-0 texture, and reflection without one (stages 0 to 2).
const StageProgram kReflectionOverTexture[3] = {
    {D3DTOP_SELECTARG1, 0, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_TEXTURE,
     D3DTA_CURRENT},
    {D3DTOP_LERP, D3DTA_TFACTOR, D3DTA_CURRENT, D3DTA_TEXTURE, D3DTOP_SELECTARG1, D3DTA_CURRENT, 0},
    {D3DTOP_MODULATE, 0, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTOP_MODULATE, D3DTA_DIFFUSE,
     D3DTA_CURRENT}};
const StageProgram kReflectionAlone[3] = {
    {D3DTOP_SELECTARG1, 0, D3DTA_DIFFUSE | D3DTA_ALPHAREPLICATE, 0, D3DTOP_SELECTARG1,
     D3DTA_DIFFUSE | D3DTA_ALPHAREPLICATE, 0},
    {D3DTOP_MODULATE, 0, D3DTA_CURRENT, D3DTA_TEXTURE, D3DTOP_SELECTARG1, D3DTA_CURRENT,
     D3DTA_TEXTURE},
    {D3DTOP_LERP, D3DTA_TFACTOR, D3DTA_CURRENT, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_DIFFUSE,
     0}};

float EnvelopeValue(CEnvelopeInterface* envelope) {
  return envelope != nullptr ? envelope->GetValue() : 0.0f;
}

CTextureInterface* SlotTexture(SurfaceTexture* slot) {
  return slot != nullptr ? slot->pTextureImage : nullptr;
}

bool HasSpecular(CMaterialInterface* material) {
  if (material == nullptr) return false;
  const D3DCOLORVALUE& specular = material->GetD3DMaterial()->Specular;
  return specular.r > 0.0f || specular.g > 0.0f || specular.b > 0.0f;
}

}  // namespace

// What a surface is drawn with, as the surface functions decide it.
struct CGenericPass::SurfaceTextures {
  CTextureInterface* color0;
  CTextureInterface* color1;
  SurfaceTexture* color1Slot;
  CTextureInterface* reflection;

  explicit SurfaceTextures(CSurface* surface)
      : color0(SlotTexture(surface->GetColor0Texture())),
        color1(SlotTexture(surface->GetColor1Texture())),
        color1Slot(surface->GetColor1Texture()),
        reflection(SlotTexture(surface->GetReflectionTexture())) {}
};

CGenericPass::CGenericPass(CEngineRenderer* renderer, CEngineLog* log)
    : m_pRenderer(renderer),
      m_pLog(log),
      m_pVertexShaders(renderer->GetVertexShaderStorageInterface()),
      m_pVertexBuffers(renderer->GetVertexBufferStorageInterface()),
      m_pPixelShaders(renderer->GetPixelShaderStorageInterface()) {}

// --- preparation ---

void CGenericPass::PrepareScene(CSceneInterface* scene) {
  if (scene == nullptr) return;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo,
        "- Preparing Scene: %s For Default Coded Rendering Path\n", scene->GetName());
  for (UINT i = 0; i < scene->GetNumberOfMeshes(); ++i)
    if (auto* mesh = dynamic_cast<CMesh*>(scene->GetMesh(i))) PrepareMesh(mesh);
}

void CGenericPass::PrepareMesh(CMesh* mesh) {
  if (mesh == nullptr) return;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo,
        "- Preparing Mesh: %s For Default Coded Rendering Path\n", mesh->GetName());
  CMesh* target = mesh->GetMorphTargetObject();
  // The bank reads as many target vertices as the mesh has: a smaller target is left out.
  Vertex* targetVertices = target != nullptr && target->GetNumberOfVertices() >= mesh->GetNumberOfVertices()
                               ? target->GetVertices()
                               : nullptr;
  CVertexBufferInterface* buffer = m_pVertexBuffers->CreateVertexBuffer(
      mesh->GetVertices(), targetVertices, mesh->GetNumberOfVertices(), mesh->GetName(), 0,
      mesh->GetHasDynamicBuffers());
  auto* meshBuffer = dynamic_cast<CMeshVertexBuffer*>(buffer);
  if (meshBuffer == nullptr) FatalErrorWithTitle("Error While Creating VB", "Can't Create");
  mesh->SetGenericPathData(meshBuffer);
  m_pDeclaration = m_pRenderer->GetVertexDeclarationStorageInterface()->CreateVertexDeclaration(
      const_cast<D3DVERTEXELEMENT9*>(GenericVertexElements));
  if (m_pDeclaration == nullptr)
    FatalErrorWithTitle("Error While Creating VS", "Can't Create: %s", mesh->GetName());
  meshBuffer->CreateCompatibleWith(m_pDeclaration->GetVertexElement());
}

// --- one frame ---

UINT CGenericPass::RenderScene(CScene* scene) {
  if (scene == nullptr) return 0;
  CCamera* camera = scene->GetActiveCameraObject();
  if (camera == nullptr) {
    if (!m_bMissingCameraLogged)
      LogTo(m_pLog, kSource, CEngineLog::kLevelError,
            "WARNING!!! - No Active Camera, Not Drawing The Scene: %s\n", scene->GetName());
    m_bMissingCameraLogged = true;
    return 0;
  }
  m_bMissingCameraLogged = false;
  CEngineRenderer* r = m_pRenderer;
  r->SetDefaultStates();
  r->SetRenderState(D3DRS_LIGHTING, TRUE);
  camera->Set();

  const ColorByte* color = scene->GetColor();
  const float intensity = EnvelopeValue(scene->GetAmbLightIntensityEnvelope());
  const auto channel = [intensity](BYTE value) {
    return static_cast<UINT>(static_cast<int>(value * intensity)) & 0xFF;
  };
  r->SetRenderState(D3DRS_AMBIENT, (channel(color->cRed) << 16) + (channel(color->cGreen) << 8) +
                                       channel(color->cBlue));

  const UINT lights = std::min(kMaxLights, camera->GetNumberOfVisibleLights());
  for (UINT i = 0; i < lights; ++i)
    if (auto* light = dynamic_cast<CLight*>(camera->GetVisibleLight(i))) {
      r->SetLightEnable(static_cast<WORD>(i), 1);
      r->SetLight(i, light->GetD3DLightProperties());
    }

  if (scene->GetFogType() == 3) {
    const float start = scene->GetMinimumFogDistance(), end = scene->GetMaximumFogDistance();
    DWORD startBits, endBits;
    std::memcpy(&startBits, &start, sizeof startBits);
    std::memcpy(&endBits, &end, sizeof endBits);
    r->SetRenderState(D3DRS_FOGENABLE, TRUE);
    // Without a fog mode Direct3D computes no fog: linear fog needs its mode set.
    r->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    r->SetRenderState(D3DRS_FOGSTART, startBits);
    r->SetRenderState(D3DRS_FOGEND, endBits);
    r->SetRenderState(D3DRS_FOGCOLOR, scene->GetFogColor());
  } else {
    r->SetRenderState(D3DRS_FOGENABLE, FALSE);
  }

  m_BlendedMeshes.clear();
  m_BlendedMeshes.reserve(scene->GetNumberOfMeshes());
  for (UINT i = 0; i < camera->GetNumberOfVisibleMeshes(); ++i) {
    auto* mesh = dynamic_cast<CMesh*>(camera->GetVisibleMesh(i));
    if (mesh == nullptr) continue;
    const UINT blending = mesh->GetIsBlended();
    const float dissolve = EnvelopeValue(mesh->GetDissolveEnvelope());
    if (blending != 1 && dissolve == 0.0f) RenderMesh(mesh);
    if (blending != 0 || dissolve > 0.0f) m_BlendedMeshes.push_back(mesh);
  }

  for (UINT i = 0; i < scene->GetNumberOfSprites(); ++i)
    if (CSpriteInterface* sprite = scene->GetSprite(i)) sprite->Draw(-1.0f);

  r->SetTransform(D3DTS_VIEW, camera->GetWorld2CameraMatrix(camera->GetFrame()));
  r->SetTransform(D3DTS_PROJECTION, camera->GetProjectionMatrix());

  r->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  r->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  r->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  r->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
  for (CMesh* mesh : m_BlendedMeshes) RenderBlendedMesh(mesh);

  r->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  r->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  r->SetRenderState(D3DRS_LIGHTING, FALSE);
  r->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
  CTextureInterface* flare = GetEngineContext()->ports.scenePasses->GetFlareTexture();
  for (UINT i = 0; i < scene->GetNumberOfLights(); ++i)
    if (auto* light = dynamic_cast<CLight*>(scene->GetLightObject(i)))
      light->RenderFlare(*camera, flare);

  r->SetRenderState(D3DRS_LIGHTING, FALSE);
  r->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  r->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  r->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
  r->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  r->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
  r->SetRenderState(D3DRS_STENCILENABLE, FALSE);
  m_BlendedMeshes.clear();
  return 1;
}

// --- meshes ---

void CGenericPass::SetWorld(CMesh* mesh) {
  CSceneInterface* scene = mesh->GetScene(0);
  m_pRenderer->SetTransform(D3DTS_WORLD,
                            mesh->GetMatrix(scene != nullptr ? scene->GetFrame() : mesh->GetFrame()));
}

void CGenericPass::UseFixedPipeline() {
  m_pPixelShaders->SetShader(nullptr);
  m_pVertexShaders->SetShader(nullptr);
}

bool CGenericPass::SetStaticStreams(CMesh* mesh) {
  // A mesh made in code after its scene was prepared has no buffer on this path yet: it gets
  // one when first drawn. Without vertices it is not drawn: its surfaces would read the stream
  // of the mesh drawn before it.
  if (mesh->GetVertexBuffer(0) == nullptr && mesh->GetNumberOfVertices() > 0) PrepareMesh(mesh);
  CVertexBufferInterface* buffer = mesh->GetVertexBuffer(0);
  if (buffer == nullptr) return false;
  if (m_pDeclaration != nullptr) m_pDeclaration->Set();
  buffer->SetStreams();
  UseFixedPipeline();
  return true;
}

UINT CGenericPass::RenderMesh(CMesh* mesh) {
  SetWorld(mesh);
  if (!SetStaticStreams(mesh)) return 0;
  for (UINT i = 0; i < mesh->GetNumberOfSurfaces(); ++i)
    if (auto* surface = dynamic_cast<CSurface*>(mesh->GetSurface(i))) RenderSurface(surface);
  if (mesh->GetHasShadowVolumeGeometry() == 0) DrawEdges(mesh);
  return 1;
}

// Edges shared by more than two faces, drawn as white lines over everything.
void CGenericPass::DrawEdges(CMesh* mesh) {
  CEngineRenderer* r = m_pRenderer;
  r->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
  r->SetRenderState(D3DRS_LIGHTING, FALSE);
  r->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  const UINT vertices = mesh->GetNumberOfVertices();
  static const WORD kLine[2] = {0, 1};
  for (UINT i = 0; i < mesh->GetNumberOfEdges(); ++i) {
    const Edge* edge = mesh->GetEdge(i);
    if (edge == nullptr || edge->dwOvershared != 1) continue;
    if (edge->wIndex1 >= vertices || edge->wIndex2 >= vertices) continue;
    EdgeVertex line[2] = {};
    for (int end = 0; end < 2; ++end) {
      const CVector3& p = mesh->GetVertex(end == 0 ? edge->wIndex1 : edge->wIndex2)->vecPosition;
      line[end] = {p.x, p.y, p.z, 0xFFFFFFFF, 0, 0.0f, 0.0f};
    }
    r->GetVertexDeclarationStorageInterface()->SetFVF(kEdgeFVF);
    r->DrawIndexedPrimitiveUP(D3DPT_LINELIST, 0, 2, 1, kLine, D3DFMT_INDEX16, line,
                              sizeof(EdgeVertex));
  }
  r->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
  r->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
  r->SetRenderState(D3DRS_LIGHTING, TRUE);
}

UINT CGenericPass::VertexSize() const {
  const D3DVERTEXELEMENT9* elements =
      m_pDeclaration != nullptr ? m_pDeclaration->GetVertexElement() : GenericVertexElements;
  UINT size = 0;
  for (const D3DVERTEXELEMENT9* e = elements; !IsEndMarker(*e); ++e) size += GetVertexElementSize(e->Type);
  return size;
}

bool CGenericPass::WantsSecondTexturePair(CMesh* mesh) const {
  const D3DVERTEXELEMENT9* elements =
      m_pDeclaration != nullptr ? m_pDeclaration->GetVertexElement() : GenericVertexElements;
  bool hasPair = false;
  for (const D3DVERTEXELEMENT9* e = elements; !IsEndMarker(*e); ++e)
    hasPair |= e->Usage == D3DDECLUSAGE_TEXCOORD && e->UsageIndex == 1;
  if (!hasPair) return false;
  for (UINT i = 0; i < mesh->GetNumberOfSurfaces(); ++i)
    if (CSurfaceInterface* surface = mesh->GetSurface(i); surface && surface->GetColor1Texture())
      return true;
  return false;
}

void CGenericPass::WriteVertex(BYTE* out, const CVector3& position, const CVector3& normal,
                               const Vertex& source, bool secondPair) const {
  const float values[10] = {position.x,     position.y,     position.z,     normal.x,
                            normal.y,       normal.z,       source.fTU[0],  source.fTV[0],
                            source.fTU[1],  source.fTV[1]};
  std::memcpy(out, values, (secondPair ? 10 : 8) * sizeof(float));
}

void CGenericPass::WarnOnce(std::unordered_set<const CMesh*>& logged, const CMesh* mesh,
                            const char* format) {
  if (!logged.insert(mesh).second) return;
  LogTo(m_pLog, kSource, CEngineLog::kLevelError, format,
        const_cast<CMesh*>(mesh)->GetName());
}

bool CGenericPass::FillDynamicBuffer(CMesh* mesh, bool skinned) {
  const UINT count = mesh->GetNumberOfVertices();
  const UINT size = VertexSize();
  if (size == 0 || kDynamicBufferBytes / size < count) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING!!! - Not Enuff Space In Dynamic Vertex Buffer: %s\n", mesh->GetName());
    return false;
  }
  IDirect3DVertexBuffer9* buffer = m_pVertexBuffers->GetDynamicVertexBuffer();
  void* locked = nullptr;
  if (buffer == nullptr ||
      FAILED(buffer->Lock(0, 0, &locked, skinned ? 0 : D3DLOCK_DISCARD)) || locked == nullptr) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - Can't Lock The Dynamic Vertex Buffer: %s\n", mesh->GetName());
    return false;
  }
  auto* out = static_cast<BYTE*>(locked);
  const bool secondPair = WantsSecondTexturePair(mesh);
  const Vertex* vertices = mesh->GetVertices();
  if (skinned) {
    CBone* bones = mesh->GetBones();
    const UINT boneCount = mesh->GetNumberOfBones();
    const float frame = mesh->GetFrame();
    for (UINT i = 0; i < count; ++i) {
      const Vertex& v = vertices[i];
      CVector3 position = v.vecPosition, normal = v.vecNormal;
      bool anyBone = false;
      for (WORD index : v.wBonesIndices) anyBone |= index != kNoBone;
      if (anyBone) {
        position = normal = CVector3(0.0f, 0.0f, 0.0f);
        for (int k = 0; k < 4; ++k) {
          const WORD index = v.wBonesIndices[k];
          if (index == kNoBone) continue;
          if (index >= boneCount) {
            WarnOnce(m_BadBoneLogged, mesh,
                     "WARNING!!! - Bone Index Out Of Range, Ignored: %s\n");
            continue;
          }
          const CVector3 p = v.vecPosition * *bones[index].GetBoneMatrix(frame);
          const CVector3 n = v.vecNormal * *bones[index].GetBoneRotationMatrix(frame);
          position = position + p * v.fWeights[k];
          normal = normal + n * v.fWeights[k];
        }
      }
      WriteVertex(out + i * size, position, normal, v, secondPair);
    }
  } else {
    CMesh* target = mesh->GetMorphTargetObject();
    const Vertex* targetVertices =
        target != nullptr && target->GetNumberOfVertices() >= count ? target->GetVertices() : nullptr;
    if (targetVertices == nullptr)
      WarnOnce(m_BadMorphLogged, mesh,
               "WARNING!!! - Morph Target Missing Or Smaller, Drawn Unmorphed: %s\n");
    CChannelEnvelope* channel = mesh->GetSecondMotion()->GetChannel(0);
    const float t = targetVertices != nullptr && channel != nullptr ? channel->GetValue() : 0.0f;
    for (UINT i = 0; i < count; ++i) {
      const Vertex& v = vertices[i];
      CVector3 position = v.vecPosition, normal = v.vecNormal;
      if (targetVertices != nullptr) {
        const Vertex& q = targetVertices[i];
        position = position + (q.vecPosition - v.vecPosition) * t;
        normal = normal + (q.vecNormal - v.vecNormal) * t;
      }
      WriteVertex(out + i * size, position, normal, v, secondPair);
    }
  }
  buffer->Unlock();
  if (m_pDeclaration != nullptr) m_pDeclaration->Set();
  m_pVertexBuffers->SetStreamSource(buffer, size, count);
  return true;
}

UINT CGenericPass::RenderBlendedMesh(CMesh* mesh) {
  SetWorld(mesh);
  if (mesh->GetIsMorph() == 1) {
    if (!FillDynamicBuffer(mesh, false)) return 0;
    UseFixedPipeline();
  }
  // A mesh that both morphs and has bones ends up skinned.
  const bool skinned = mesh->GetNumberOfBones() > 0 && mesh->GetBones() != nullptr;
  if (skinned && !FillDynamicBuffer(mesh, true)) return 0;
  if (mesh->GetIsMorph() != 1 && !skinned && !SetStaticStreams(mesh)) return 0;
  for (UINT i = 0; i < mesh->GetNumberOfSurfaces(); ++i)
    if (auto* surface = dynamic_cast<CSurface*>(mesh->GetSurface(i))) RenderBlendedSurface(surface);
  return 1;
}

// --- surfaces ---

void CGenericPass::SetStage(UINT stage, UINT type, UINT value) {
  m_pRenderer->SetTextureStageState(stage, type, value);
}

void CGenericPass::SetMaterial(CSurface* surface) {
  CMaterialInterface* material = surface->GetMaterial(0);
  if (material == nullptr) return;
  CMesh* mesh = surface->GetParentMeshObject();
  const float dissolve = mesh != nullptr ? EnvelopeValue(mesh->GetDissolveEnvelope()) : 0.0f;
  if (dissolve > 0.0f) {
    m_pRenderer->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    m_pRenderer->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    D3DMATERIAL9 copy = *material->GetD3DMaterial();
    copy.Diffuse.a *= 1.0f - dissolve;
    copy.Ambient.a *= 1.0f - dissolve;
    m_pRenderer->GetMaterialStorageInterface()->SetMaterial(&copy);
  } else {
    material->Set(0);
  }
}

void CGenericPass::DrawSurface(CSurface* surface) {
  CIndexBufferInterface* indices = surface->GetIndexBuffer();
  if (indices == nullptr) return;
  indices->Set();
  m_pRenderer->DrawIndexedPrimitive(surface->GetIndexCount() / 3);
}

UINT CGenericPass::RenderSurface(CSurface* surface) {
  const WORD flags = surface->GetFlags();
  if (flags & kFlagBlended) return 0;
  CEngineRenderer* r = m_pRenderer;
  const float parameter = surface->GetSurfaceParameter();
  if (parameter != 1.0f) {
    r->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    r->SetRenderState(D3DRS_ALPHAREF, static_cast<UINT>(static_cast<int>(parameter * 255.0f)));
    r->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
  }
  r->SetRenderState(D3DRS_CULLMODE, flags & kFlagTwoSided ? D3DCULL_NONE : D3DCULL_CCW);
  const SurfaceTextures textures(surface);
  if (textures.color0) textures.color0->Set(0);
  if (textures.color1) textures.color1->Set(1);

  const CD3D9Enumeration* enumeration = r->GetEnumeration();
  const bool fourTextures = enumeration != nullptr && enumeration->GetMaxSimultaneousTextures() >= 4;
  const bool reflectionPossible = textures.reflection != nullptr && fourTextures;
  const bool reflection =
      reflectionPossible && !textures.color1 && (!textures.color0 || (flags & kFlagReflection));
  if (reflection) {
    const StageProgram* program = textures.color0 ? kReflectionOverTexture : kReflectionAlone;
    for (UINT stage = 0; stage < 3; ++stage) {
      const StageProgram& p = program[stage];
      SetStage(stage, D3DTSS_COLOROP, p.colorOp);
      if (p.colorArg0) SetStage(stage, D3DTSS_COLORARG0, p.colorArg0);
      if (p.colorArg1) SetStage(stage, D3DTSS_COLORARG1, p.colorArg1);
      if (p.colorArg2) SetStage(stage, D3DTSS_COLORARG2, p.colorArg2);
      SetStage(stage, D3DTSS_ALPHAOP, p.alphaOp);
      if (p.alphaArg1) SetStage(stage, D3DTSS_ALPHAARG1, p.alphaArg1);
      if (p.alphaArg2) SetStage(stage, D3DTSS_ALPHAARG2, p.alphaArg2);
    }
    textures.reflection->Set(1);
    CMaterialInterface* material = surface->GetMaterial(0);
    const float z = material != nullptr ? material->GetAdditionalMaterial1()->z : 0.0f;
    const UINT grey = static_cast<UINT>(static_cast<int>((1.0f - z) * 255.0f)) & 0xFF;
    r->SetRenderState(D3DRS_TEXTUREFACTOR, grey * 0x010101);
    SetStage(1, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR);
  }

  SetMaterial(surface);

  if (HasSpecular(surface->GetMaterial(0))) {
    r->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    UINT stage = 0;
    if (textures.color1 || (reflectionPossible && textures.color0))
      stage = reflection ? 3 : 2;
    else if (textures.color0)
      stage = 1;
    else if (reflectionPossible)
      stage = 3;
    AddSpecular(stage, D3DTOP_DISABLE, stage == 0 ? D3DTA_DIFFUSE : D3DTA_CURRENT);
  }

  r->SetRenderState(D3DRS_SHADEMODE, surface->GetShadeType());

  if (textures.color1) {
    DrawOverSecondTexture(surface, textures.color1Slot->wOpacity);
  } else if (textures.color0) {
    if (textures.color0->HasAlphaChannel()) {
      r->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
      r->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    }
    DrawSurface(surface);
  } else {
    CTextureStorageInterface* bank = r->GetTextureStorageInterface();
    bank->SetD3DTexture(nullptr, 0);
    const bool oldPixelShaders =
        enumeration == nullptr || (enumeration->GetPixelShaderVersion() >> 16) <= 1;
    if (!textures.reflection && oldPixelShaders) {
      bank->SetD3DTexture(nullptr, 1);
      SetStage(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    }
    DrawSurface(surface);
    SetStage(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  }
  ResetStages();
  return 1;
}

void CGenericPass::DrawOverSecondTexture(CSurface* surface, UINT operation) {
  SetStage(1, D3DTSS_TEXCOORDINDEX, 1);
  SetStage(1, D3DTSS_COLOROP, operation);
  SetStage(1, D3DTSS_ALPHAOP, operation);
  SetStage(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  SetStage(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
  SetStage(1, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  SetStage(1, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
  DrawSurface(surface);
}

void CGenericPass::AddSpecular(UINT stage, UINT alphaOp, UINT firstArgument) {
  SetStage(stage, D3DTSS_COLOROP, D3DTOP_ADD);
  SetStage(stage, D3DTSS_ALPHAOP, alphaOp);
  SetStage(stage, D3DTSS_COLORARG1, firstArgument);
  SetStage(stage, D3DTSS_COLORARG2, D3DTA_SPECULAR);
  SetStage(stage, D3DTSS_ALPHAARG1, firstArgument);
  SetStage(stage, D3DTSS_ALPHAARG2, D3DTA_SPECULAR);
}

void CGenericPass::ModulateTextureAlpha() {
  SetStage(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  SetStage(0, D3DTSS_ALPHAARG1, D3DTA_CURRENT);
  SetStage(0, D3DTSS_ALPHAARG2, D3DTA_TEXTURE);
}

void CGenericPass::ResetStages() {
  m_pRenderer->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
  for (UINT stage = 0; stage < 4; ++stage) {
    const UINT first = stage == 0 ? D3DTA_DIFFUSE : D3DTA_CURRENT;
    const UINT op = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    SetStage(stage, D3DTSS_COLOROP, op);
    SetStage(stage, D3DTSS_ALPHAOP, op);
    SetStage(stage, D3DTSS_COLORARG1, first);
    SetStage(stage, D3DTSS_COLORARG2, D3DTA_TEXTURE);
    SetStage(stage, D3DTSS_ALPHAARG1, first);
    SetStage(stage, D3DTSS_ALPHAARG2, D3DTA_TEXTURE);
  }
  SetStage(0, D3DTSS_TEXCOORDINDEX, 0);
  SetStage(1, D3DTSS_TEXCOORDINDEX, 1);
  m_pRenderer->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
}

UINT CGenericPass::RenderBlendedSurface(CSurface* surface) {
  const WORD flags = surface->GetFlags();
  if (!(flags & kFlagBlended)) return 0;
  CEngineRenderer* r = m_pRenderer;
  r->SetTextureStageStateVerbose(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
  r->SetTextureStageStateVerbose(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
  r->SetRenderState(D3DRS_DESTBLEND, flags & kFlagAddBlend ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA);
  r->SetRenderState(D3DRS_CULLMODE, flags & kFlagTwoSided ? D3DCULL_NONE : D3DCULL_CCW);
  const SurfaceTextures textures(surface);
  if (textures.color0) textures.color0->Set(0);
  if (textures.color1) textures.color1->Set(1);
  SetMaterial(surface);
  if (HasSpecular(surface->GetMaterial(0))) {
    r->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    if (textures.color1)
      AddSpecular(2, D3DTOP_ADD, D3DTA_CURRENT);
    else
      AddSpecular(1, D3DTOP_DISABLE, D3DTA_CURRENT);
  }
  r->SetRenderState(D3DRS_SHADEMODE, surface->GetShadeType());
  if (textures.color1) {
    DrawOverSecondTexture(surface, textures.color1Slot->wOpacity);
  } else if (textures.color0) {
    if (textures.color0->HasAlphaChannel()) {
      // The texture's alpha scales the surface's, set before the draw and again after it.
      ModulateTextureAlpha();
      DrawSurface(surface);
      ModulateTextureAlpha();
    } else {
      DrawSurface(surface);
    }
  } else {
    CTextureStorageInterface* bank = r->GetTextureStorageInterface();
    bank->SetD3DTexture(nullptr, 0);
    bank->SetD3DTexture(nullptr, 1);
    SetStage(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    SetStage(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    DrawSurface(surface);
    SetStage(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    SetStage(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  }
  r->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
  r->SetTextureStageStateVerbose(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
  r->SetTextureStageStateVerbose(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
  return 1;
}
