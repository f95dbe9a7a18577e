#include "shaders/ShaderValueSource.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "ZKDXGlobals.h"
#include "core/UnitToByte.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "core/Timer.h"
#include "core/Tokenizer.h"
#include "d3d/EngineRenderer.h"
#include "d3d/Material.h"
#include "d3d/MaterialBankInterface.h"
#include "d3d/Texture.h"
#include "d3d/TextureBank.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/Motion.h"
#include "scene/Scene.h"
#include "scene/Surface.h"
#include "shaders/Shader.h"
#include "shaders/ShaderFileLines.h"
#include "shaders/ShaderPass.h"

namespace {

const char kSource[] = "ShaderVariable";

// What a value needs of the variable's type, and what it makes of it.
enum class Rule {
  kFloat,
  kDword,
  kVector,
  kDwordOrVector,
  kTexture,
  kMaterial,
  kTable,
  kMatrixReference,  // a MATRIX variable whose record becomes 9
  kMatrixValue,      // a MATRIX variable whose record becomes 1
  kSquareTarget,     // a TEXTURE variable whose record becomes 11
  kCubeTarget,       // a TEXTURE variable whose record becomes 12
};

struct ValueName {
  const char* szName;
  WORD wID;
  Rule rule;
};

// Each table is searched in order; a name matches a word that begins with it.
constexpr ValueName kSystemValues[] = {
    {"TSHADOWLOOKUP", 1, Rule::kTexture},      {"TSPOTMASK", 7, Rule::kTexture},
    {"TSHADOWMASK", 2, Rule::kTexture},        {"TATTENUATIONXY", 3, Rule::kTexture},
    {"TATTENUATIONZ", 4, Rule::kTexture},      {"TCUBENORMALIZER", 5, Rule::kTexture},
    {"TNDOTHPOWKLOOKUP", 6, Rule::kTexture},   {"TFRESNELTERMLOOKUP", 8, Rule::kTexture},
    {"FTIMER", 20, Rule::kFloat},
};

constexpr ValueName kSceneValues[] = {
    {"AMBIENT", 1, Rule::kDwordOrVector}, {"FOGDATA", 5, Rule::kVector},
    {"FOGCOLOR", 4, Rule::kDwordOrVector}, {"FFOGSTART", 2, Rule::kFloat},
    {"FFOGEND", 3, Rule::kFloat},
};

constexpr ValueName kCameraValues[] = {
    {"FASPECT", 1, Rule::kFloat},
    {"FSCRX", 2, Rule::kFloat},
    {"VISIBLELIGHTS", 100, Rule::kTable},
    {"FSCRY", 3, Rule::kFloat},
    {"FNEARPLANE", 4, Rule::kFloat},
    {"FFARPLANE", 5, Rule::kFloat},
    {"MTXWORLD2CAMERA", 6, Rule::kMatrixReference},
    {"MTXPROJECTION", 7, Rule::kMatrixReference},
    {"MTXCAMERA2WORLD", 8, Rule::kMatrixReference},
    {"VECDIRECTION", 9, Rule::kVector},
    {"VECPOSITION", 14, Rule::kVector},
    {"MTXCAMERA2SHADOWMAP", 10, Rule::kMatrixValue},
    {"MTXCAMERA2SHADOWMASK", 11, Rule::kMatrixValue},
    {"MTXCAMERA2ATTENUATIONXY", 12, Rule::kMatrixValue},
    {"MTXCAMERA2ATTENUATIONZ", 13, Rule::kMatrixValue},
};

// The object's own render targets, names that the LIGHT and MESH sources know after their own.
constexpr ValueName kRenderTargetValues[] = {
    {"TSQUARERENDERTEXTURE0", 20, Rule::kSquareTarget},
    {"TSQUARERENDERTEXTURE1", 21, Rule::kSquareTarget},
    {"TSQUARERENDERTEXTURE2", 22, Rule::kSquareTarget},
    {"TSQUARERENDERTEXTURE3", 23, Rule::kSquareTarget},
    {"TCUBERENDERTEXTURE0", 30, Rule::kCubeTarget},
    {"TCUBERENDERTEXTURE1", 31, Rule::kCubeTarget},
    {"TCUBERENDERTEXTURE2", 32, Rule::kCubeTarget},
    {"TCUBERENDERTEXTURE3", 33, Rule::kCubeTarget},
};

constexpr ValueName kLightValues[] = {
    {"VECDIRECTION", 1, Rule::kVector},
    {"VECPOSITION", 2, Rule::kVector},
    {"VECDIFFUSE", 3, Rule::kVector},
    {"VECSPECULAR", 4, Rule::kVector},
    {"VECATTENUATIONRANGE", 5, Rule::kVector},
    {"VECSPOTLIGHTANGLES", 6, Rule::kVector},
    {"COLOR", 8, Rule::kDwordOrVector},
    {"TYPE", 9, Rule::kDword},
    {"NUMBER", 10, Rule::kDword},
    {"MTXPROJECTION", 7, Rule::kMatrixReference},
    {"MTXCAMERA2SHADOWMAP", 11, Rule::kMatrixValue},
    {"MTXCAMERA2SHADOWMASK", 12, Rule::kMatrixValue},
    {"MTXCAMERA2ATTENUATIONXY", 13, Rule::kMatrixValue},
    {"MTXCAMERA2ATTENUATIONZ", 14, Rule::kMatrixValue},
    {"MTXWORLD2LIGHT", 15, Rule::kMatrixReference},
    {"MTXLIGHT2WORLD", 16, Rule::kMatrixValue},
};

constexpr ValueName kMeshValues[] = {
    {"VECPIVOT", 1, Rule::kVector},
    {"DWID", 2, Rule::kDword},
    {"MTXWORLD2OBJECT", 17, Rule::kMatrixValue},
    {"FMORPH", 18, Rule::kFloat},
    {"MTXOBJECT2WORLD", 3, Rule::kMatrixReference},
    {"MTXIDLOOKUP", 5, Rule::kMatrixValue},
    {"MTXOBJECT2PROJECTION", 6, Rule::kMatrixValue},
    {"MTXOBJECT2LIGHTPROJECTION", 15, Rule::kMatrixValue},
    {"MTXOBJECT2LIGHTSPACE", 14, Rule::kMatrixValue},
    {"MTXOBJECT2ATTENUATIONXY", 7, Rule::kMatrixValue},
    {"MTXOBJECT2ATTENUATIONZ", 8, Rule::kMatrixValue},
    {"MTXOBJECT2LIGHTSHADOWMAP", 16, Rule::kMatrixValue},
    {"MTXOBJECT2LIGHTSPOTMASK", 19, Rule::kMatrixValue},
    {"MTXOBJECT2ATTENUATION", 12, Rule::kMatrixValue},
    {"VECLIGHTPOS2OBJECT", 9, Rule::kVector},
    {"VECLIGHTDIR2OBJECT", 10, Rule::kVector},
    {"VECEYEPOS2OBJECT", 13, Rule::kVector},
    {"MTXOBJECT2CAMERA", 11, Rule::kMatrixValue},
    {"MTXBONES", 100, Rule::kTable},
};

constexpr ValueName kSurfaceValues[] = {
    {"DWSHADING", 1, Rule::kDword},
    {"MATERIAL", 2, Rule::kMaterial},
    {"TCOLORTEXTURE0", 3, Rule::kTexture},
    {"TCOLORTEXTURE1", 4, Rule::kTexture},
    {"TMATERIALTEXTURE1", 9, Rule::kTexture},
    {"TMATERIALTEXTURE2", 17, Rule::kTexture},
    {"TNORMALMAP", 11, Rule::kTexture},
    {"DWCULL", 12, Rule::kDword},
    {"TREFLECTION", 23, Rule::kTexture},
    {"TREFRACTION", 24, Rule::kTexture},
    {"DWCLIPVALUE", 25, Rule::kDword},
    {"VECAMBIENT", 13, Rule::kDwordOrVector},
    {"VECDIFFUSE", 14, Rule::kDwordOrVector},
    {"VECCOLOR", 26, Rule::kDwordOrVector},
    {"VECSPECULAR", 15, Rule::kDwordOrVector},
    {"VECLUMINOSITY", 22, Rule::kDwordOrVector},
    {"VECADDMATERIAL1", 16, Rule::kDwordOrVector},
    {"VECADDMATERIAL2", 18, Rule::kDwordOrVector},
    {"DWBLENDINGMODE", 19, Rule::kDword},
    {"VECFRESNELTERM", 27, Rule::kVector},
    {"DWTXT0OPACITY", 20, Rule::kDword},
    {"DWTXT1OPACITY", 21, Rule::kDword},
    {"MTXCOLORTEXTURE0", 30, Rule::kMatrixValue},
    {"MTXCOLORTEXTURE1", 31, Rule::kMatrixValue},
};

struct SourceSyntax {
  const char* szWord;
  WORD wCode;
  const char* szSender;
  const char* szTrace;
  const char* szCompiled;
  const ValueName* pNames;
  size_t dwNames;
  bool bRenderTargets;  // the object's render targets follow the names
};

template <size_t N>
constexpr SourceSyntax Syntax(const char* word, WORD code, const char* sender, const char* trace,
                              const char* compiled, const ValueName (&names)[N],
                              bool renderTargets = false) {
  return {word, code, sender, trace, compiled, names, N, renderTargets};
}

const SourceSyntax kSources[] = {
    Syntax("SURFACE", SHADER_SOURCE_SURFACE, "CShaderVariable::CompileSurfaceValues",
           "      - Surface Value: %s", "      - Compiled Surface Value: %i\n", kSurfaceValues),
    Syntax("MESH", SHADER_SOURCE_MESH, "CShaderVariable::CompileMeshValues",
           "      - Mesh Value: %s", "      - Compiled Mesh Value: %i\n", kMeshValues, true),
    Syntax("SCENE", SHADER_SOURCE_SCENE, "CShaderVariable::CompileSceneValues",
           "      - System Value: %s", "      - Compiled Scene Value: %i\n", kSceneValues),
    Syntax("CAMERA", SHADER_SOURCE_CAMERA, "CShaderVariable::CompileCameraValues",
           "      - Camera Value: %s", "      - Compiled Camera Value: %i\n", kCameraValues),
    Syntax("LIGHT", SHADER_SOURCE_LIGHT, "CShaderVariable::CompileLightValues",
           "      - Light Value: %s", "      - Compiled Camera Value: %i\n", kLightValues,
           true),
    Syntax("SYSTEM", SHADER_SOURCE_SYSTEM, "CShaderVariable::CompileSystemValues",
           "      - System Value: %s", "      - Compiled System Value: %i\n", kSystemValues),
};

const ValueName* FindValueName(const char* word, const ValueName* names, size_t count) {
  for (size_t i = 0; i < count; ++i)
    if (CShaderFileLines::BeginsWith(word, names[i].szName)) return &names[i];
  return nullptr;
}

// The record type a value makes of the variable's type `type`, or 0 when it cannot hold it.
UINT TypeFor(Rule rule, UINT type) {
  const bool matrix = type == SHADER_VALUE_MATRIX || type == SHADER_VALUE_MATRIX_REFERENCE;
  switch (rule) {
    case Rule::kFloat: return type == SHADER_VALUE_FLOAT ? type : 0;
    case Rule::kDword: return type == SHADER_VALUE_DWORD ? type : 0;
    case Rule::kVector: return type == SHADER_VALUE_VECTOR ? type : 0;
    case Rule::kDwordOrVector:
      return type == SHADER_VALUE_DWORD || type == SHADER_VALUE_VECTOR ? type : 0;
    case Rule::kTexture: return type == SHADER_VALUE_TEXTURE ? type : 0;
    case Rule::kMaterial: return type == SHADER_VALUE_MATERIAL ? type : 0;
    case Rule::kTable: return type == SHADER_VALUE_TABLE ? type : 0;
    case Rule::kMatrixReference: return matrix ? UINT{SHADER_VALUE_MATRIX_REFERENCE} : 0u;
    case Rule::kMatrixValue: return matrix ? UINT{SHADER_VALUE_MATRIX} : 0u;
    case Rule::kSquareTarget:
      return type == SHADER_VALUE_TEXTURE || type == SHADER_VALUE_SQUARE_RENDER_TEXTURE
                 ? UINT{SHADER_VALUE_SQUARE_RENDER_TEXTURE}
                 : 0u;
    case Rule::kCubeTarget:
      return type == SHADER_VALUE_TEXTURE || type == SHADER_VALUE_CUBE_RENDER_TEXTURE
                 ? UINT{SHADER_VALUE_CUBE_RENDER_TEXTURE}
                 : 0u;
  }
  return 0;
}

DWORD PackColor(float r, float g, float b, float a) {
  return UnitToByte(a) << 24 | UnitToByte(r) << 16 | UnitToByte(g) << 8 | UnitToByte(b);
}

CMatrix Translation(float x, float y, float z) {
  CMatrix matrix;
  matrix.SetMove(x, y, z);
  return matrix;
}

CMatrix Scaling(float x, float y, float z) {
  CMatrix matrix;
  matrix.SetScale(x, y, z);
  return matrix;
}

CVector4 Transform(const CVector4& vector, const CMatrix& matrix) { return vector * matrix; }

// The reciprocal of a light's range; 0 for a range of 0, so nothing divides by it.
float InverseRange(CLight* light) {
  CEnvelopeInterface* envelope = light->GetRangeEnvelope(1);
  const float range = envelope != nullptr ? envelope->GetValue() : 0.0f;
  return range != 0.0f ? 1.0f / range : 0.0f;
}

CVector3 LightPosition(CLight* light) {
  CVector3 position;
  light->GetPosition(&position, 0);
  return position;
}

// The translation channels of the light's motion at `frame`.
CVector3 MotionPosition(CLight* light, float frame) {
  CMotion* motion = light->GetMotion(frame);
  float channels[3] = {};
  for (UINT i = 0; i < 3; ++i)
    if (CChannelEnvelope* channel = motion != nullptr ? motion->GetChannel(i) : nullptr)
      channels[i] = channel->GetValue();
  return {channels[0], channels[1], channels[2]};
}

// Light-space matrices of the CAMERA, LIGHT and MESH sources.
enum class LightSpace {
  kShadowMapDescribed,  // sized by the renderer's shadow-map description
  kShadowMapTarget,     // sized by the light's square render target 0
  kShadowMask,
  kAttenuationXY,
  kAttenuationZ,
  kAttenuation,
  kSpotMask,
  kProjection,
  kView,
};

}  // namespace

struct CShaderValueSource::Objects {
  CScene* pScene = nullptr;
  CMesh* pMesh = nullptr;
  CSurface* pSurface = nullptr;
  float fFrame = 0.0f;

  CCamera* Camera() {
    CCamera* camera = pScene->GetActiveCameraObject();
    if (camera == nullptr) FatalErrorWithTitle("Error While Executing Shader", "No Active Camera");
    return camera;
  }
  CLight* Light() {
    auto* light = dynamic_cast<CLight*>(pScene->GetCurrentLight());
    if (light == nullptr) FatalErrorWithTitle("Error While Executing Shader", "No Active Light");
    return light;
  }
  CMatrix CameraToWorld() {
    CCamera* camera = Camera();
    return *camera->GetMatrix(camera->GetFrame());
  }
  CMatrix World() { return *pMesh->GetMatrix(fFrame); }
};

CShaderValueSource::CShaderValueSource(CShaderPass* pass, CEngineRenderer* renderer,
                                       CEngineLog* log, ShaderVariableValue* value)
    : m_pPass(pass), m_pRenderer(renderer), m_pLog(log), m_pValue(value) {}

UINT CShaderValueSource::Compile(CTokenizer* tokenizer, int first, const char* text) {
  const SourceSyntax* syntax = nullptr;
  for (const SourceSyntax& source : kSources)
    if (std::strcmp(tokenizer->GetToken(first), source.szWord) == 0) syntax = &source;
  if (syntax == nullptr) return 0;
  m_pValue->wSource = syntax->wCode;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, syntax->szTrace, text);
  if (tokenizer->GetToken(first + 1)[0] != '.') {
    m_pPass->ReportError(27, syntax->szSender);
    return 0;
  }
  const char* word = tokenizer->GetToken(first + 2);
  const ValueName* value = FindValueName(word, syntax->pNames, syntax->dwNames);
  if (value == nullptr && syntax->bRenderTargets)
    value = FindValueName(word, kRenderTargetValues, std::size(kRenderTargetValues));
  if (value == nullptr) {
    if (syntax->wCode == SHADER_SOURCE_CAMERA) m_pPass->ReportError(256, syntax->szSender);
    return 0;
  }
  m_pValue->wValueID = value->wID;
  const UINT type = TypeFor(value->rule, m_pValue->dwType);
  if (type == 0) {
    m_pPass->ReportError(15, syntax->szSender);
    return 0;
  }
  m_pValue->dwType = type;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, syntax->szCompiled,
        static_cast<int>(value->wID));
  return 1;
}

UINT CShaderValueSource::Evaluate() {
  if (m_pValue->wSource == SHADER_SOURCE_SYSTEM) return EvaluateSystem();
  CShader* shader = m_pPass->GetShader();
  Objects objects;
  objects.fFrame = shader->GetRunValue();
  void* target = shader->GetTarget();
  switch (shader->GetTargetKind()) {
    case SHADER_TARGET_SCENE:
      objects.pScene = static_cast<CScene*>(target);
      if (objects.pScene != nullptr)
        objects.pMesh = dynamic_cast<CMesh*>(objects.pScene->GetCurrentMesh());
      break;
    case SHADER_TARGET_MESH:
      objects.pMesh = static_cast<CMesh*>(target);
      break;
    case SHADER_TARGET_SURFACE:
      objects.pSurface = static_cast<CSurface*>(target);
      if (objects.pSurface != nullptr) objects.pMesh = objects.pSurface->GetParentMeshObject();
      break;
    default:
      return 0;
  }
  if (objects.pScene == nullptr && objects.pMesh != nullptr)
    objects.pScene = static_cast<CWorldObject*>(objects.pMesh)->GetOwnerScene();
  if (objects.pSurface == nullptr && objects.pMesh != nullptr)
    objects.pSurface = dynamic_cast<CSurface*>(objects.pMesh->GetCurrentSurface());
  if (objects.pScene == nullptr) return 0;
  // Every camera, light and mesh value is taken in the active camera's view.
  const WORD source = m_pValue->wSource;
  if (source == SHADER_SOURCE_CAMERA || source == SHADER_SOURCE_LIGHT ||
      source == SHADER_SOURCE_MESH)
    objects.Camera();
  switch (m_pValue->wSource) {
    case SHADER_SOURCE_SCENE: return EvaluateScene(objects.pScene);
    case SHADER_SOURCE_CAMERA: return EvaluateCamera(objects);
    case SHADER_SOURCE_LIGHT: return EvaluateLight(objects);
    case SHADER_SOURCE_MESH: return objects.pMesh != nullptr ? EvaluateMesh(objects) : 0;
    case SHADER_SOURCE_SURFACE: return objects.pSurface != nullptr ? EvaluateSurface(objects) : 0;
    default: return 0;
  }
}

UINT CShaderValueSource::EvaluateSystem() {
  if (m_pValue->wValueID == 20) {
    CTimer* timer = GetEngineContext()->pEngineTimer;
    return timer != nullptr && StoreFloat(timer->GetTime());
  }
  // Value ids 1 to 8 name the bank's system textures in this order.
  static constexpr UINT kSystemTextures[] = {0, 3, 1, 4, 5, 0, 6, 7, 8};
  const WORD id = m_pValue->wValueID;
  if (id == 0 || id >= std::size(kSystemTextures)) return 0;
  UINT index = kSystemTextures[id];
  if (id == 1) {
    const DWORD scheme = m_pPass->GetShader()->GetTechniqueTarget();
    index = scheme == ZK_SCHEME_GEFORCE3 || scheme == ZK_SCHEME_GEFORCE4 ? 2 : 3;
  }
  auto* bank = dynamic_cast<CTextureBank*>(m_pRenderer->GetTextureStorageInterface());
  if (bank == nullptr) return 0;
  return StorePointer(SHADER_VALUE_TEXTURE,
                      static_cast<CTextureInterface*>(bank->GetSystemTexture(index)));
}

UINT CShaderValueSource::EvaluateScene(CScene* scene) {
  switch (m_pValue->wValueID) {
    case 1: {
      const ColorByte* color = scene->GetColor();
      CEnvelopeInterface* envelope = scene->GetAmbLightIntensityEnvelope();
      const float intensity = envelope != nullptr ? envelope->GetValue() : 0.0f;
      const float r = color->cRed * intensity, g = color->cGreen * intensity,
                  b = color->cBlue * intensity;
      if (m_pValue->dwType == SHADER_VALUE_DWORD)
        return StoreDword(PackColor(r / 255.0f, g / 255.0f, b / 255.0f, 1.0f));
      return StoreVector({r / 255.0f, g / 255.0f, b / 255.0f, 1.0f});
    }
    case 2: return StoreFloat(scene->GetMinimumFogDistance());
    case 3: return StoreFloat(scene->GetMaximumFogDistance());
    case 4: {
      const DWORD color = scene->GetFogColor();
      if (m_pValue->dwType == SHADER_VALUE_DWORD) return StoreDword(color);
      return StoreVector({static_cast<float>(color >> 16 & 0xFF) / 255.0f,
                          static_cast<float>(color >> 8 & 0xFF) / 255.0f,
                          static_cast<float>(color & 0xFF) / 255.0f,
                          static_cast<float>(color >> 24 & 0xFF) / 255.0f});
    }
    case 5: {
      const D3DXVECTOR4& held = m_pValue->vecValue;
      return StoreVector(
          {scene->GetMinimumFogDistance(), scene->GetMaximumFogDistance(), held.z, held.w});
    }
    default: return 0;
  }
}

UINT CShaderValueSource::EvaluateCamera(Objects& objects) {
  CCamera* camera = objects.Camera();
  switch (m_pValue->wValueID) {
    case 1: return StoreFloat(camera->GetAspect());
    case 2: return StoreFloat(camera->GetXScreenCoordinate());
    case 3: return StoreFloat(camera->GetYScreenCoordinate());
    case 4: return StoreFloat(camera->GetNearClipPlane());
    case 5: return StoreFloat(camera->GetFarClipPlane());
    case 6: return StoreMatrix(*camera->GetWorld2CameraMatrix(objects.fFrame));
    case 7: return StoreMatrix(*camera->GetProjectionMatrix());
    case 8: return StoreMatrix(objects.CameraToWorld());
    case 9: {
      const CVector3& direction = *camera->GetDirectionVector();
      return StoreVector({direction.x, direction.y, direction.z, 0.0f});
    }
    case 14: {
      const CVector3& position = *camera->GetPositionVector();
      return StoreVector({position.x, position.y, position.z, 0.0f});
    }
    case 100:
      if (m_pValue->dwType != SHADER_VALUE_TABLE) return 0;
      m_pValue->scalar.dwValue = 100;
      return 1;
    // The camera's light-space matrices are the current light's, from camera space.
    case 10: return LightSpaceMatrix(static_cast<UINT>(LightSpace::kShadowMapDescribed),
                                     objects.CameraToWorld(), objects);
    case 11: return LightSpaceMatrix(static_cast<UINT>(LightSpace::kShadowMask),
                                     objects.CameraToWorld(), objects);
    case 12: return LightSpaceMatrix(static_cast<UINT>(LightSpace::kAttenuationXY),
                                     objects.CameraToWorld(), objects);
    case 13: return LightSpaceMatrix(static_cast<UINT>(LightSpace::kAttenuationZ),
                                     objects.CameraToWorld(), objects);
    default: return 0;
  }
}

UINT CShaderValueSource::EvaluateLight(Objects& objects) {
  CLight* light = objects.Light();
  const D3DLIGHT9& properties = *light->GetD3DLightProperties();
  const WORD id = m_pValue->wValueID;
  switch (id) {
    case 1: return StoreVector({properties.Direction.x, properties.Direction.y,
                                properties.Direction.z, 0.0f});
    case 2: return StoreVector({properties.Position.x, properties.Position.y,
                                properties.Position.z, 0.0f});
    case 3: return StoreColor(properties.Diffuse);
    case 4: return StoreColor(properties.Specular);
    case 5: return StoreVector({properties.Attenuation0, properties.Attenuation1,
                                properties.Attenuation2, properties.Range});
    case 6: {
      const float outer = std::cos(properties.Phi / 2.0f);
      const float inner = std::cos(properties.Theta / 2.0f);
      return StoreVector({outer, inner, properties.Falloff, 1.0f / (inner - outer)});
    }
    case 8: {
      if (m_pValue->dwType == SHADER_VALUE_DWORD) return StoreDword(light->GetColor());
      CVector3 color;
      light->GetColorVector(&color);
      return StoreVector({color.x, color.y, color.z, 1.0f});
    }
    case 9: return StoreDword(light->GetType());
    case 10: return StoreDword(light->GetNumber());
    case 7: return StoreMatrix(*light->GetProjectionMatrix());
    case 11: return LightSpaceMatrix(static_cast<UINT>(LightSpace::kShadowMapDescribed),
                                     objects.CameraToWorld(), objects);
    case 12: return LightSpaceMatrix(static_cast<UINT>(LightSpace::kShadowMask),
                                     objects.CameraToWorld(), objects);
    case 13: return LightSpaceMatrix(static_cast<UINT>(LightSpace::kAttenuationXY),
                                     objects.CameraToWorld(), objects);
    case 14: return LightSpaceMatrix(static_cast<UINT>(LightSpace::kAttenuationZ),
                                     objects.CameraToWorld(), objects);
    case 15: return StoreMatrix(*light->GetMatrix(objects.fFrame));
    case 16: {
      if (m_pValue->dwType != SHADER_VALUE_MATRIX) return 0;
      CMatrix inverse;
      return !Invert(*light->GetMatrix(objects.fFrame), &inverse) || StoreMatrix(inverse);
    }
    default: return StoreRenderTarget(light);
  }
}

UINT CShaderValueSource::EvaluateMesh(Objects& objects) {
  CMesh* mesh = objects.pMesh;
  const WORD id = m_pValue->wValueID;
  switch (id) {
    case 1: {
      const CVector3& pivot = *mesh->GetPivot();
      return StoreVector({pivot.x, pivot.y, pivot.z, 0.0f});
    }
    case 2: return StoreDword(mesh->GetID());
    case 17: {
      if (m_pValue->dwType != SHADER_VALUE_MATRIX) return 0;
      CMatrix inverse;
      return !Invert(*mesh->GetMatrix(mesh->GetFrame()), &inverse) || StoreMatrix(inverse);
    }
    case 18: {
      CEnvelopeInterface* dissolve = mesh->GetEnvDissolve();
      return StoreFloat(dissolve != nullptr ? dissolve->GetValue() : 0.0f);
    }
    case 3: return StoreMatrix(objects.World());
    case 5: {
      CMatrix lookup;
      lookup._31 = (static_cast<float>(mesh->GetID()) + 0.5f) / 255.0f;
      return StoreMatrix(lookup);
    }
    case 6: {
      CCamera* camera = objects.Camera();
      return StoreMatrix(objects.World() * *camera->GetWorld2CameraMatrix(objects.fFrame) *
                         *camera->GetProjectionMatrix());
    }
    case 11:
      return StoreMatrix(objects.World() *
                         *objects.Camera()->GetWorld2CameraMatrix(objects.fFrame));
    case 15: return LightSpaceMatrix(static_cast<UINT>(LightSpace::kProjection), objects.World(),
                                     objects);
    case 14:
      return LightSpaceMatrix(static_cast<UINT>(LightSpace::kView), objects.World(), objects);
    case 7: return LightSpaceMatrix(static_cast<UINT>(LightSpace::kAttenuationXY),
                                    objects.World(), objects);
    case 8: return LightSpaceMatrix(static_cast<UINT>(LightSpace::kAttenuationZ),
                                    objects.World(), objects);
    case 16: return LightSpaceMatrix(static_cast<UINT>(LightSpace::kShadowMapTarget),
                                     objects.World(), objects);
    case 19: return LightSpaceMatrix(static_cast<UINT>(LightSpace::kSpotMask), objects.World(),
                                     objects);
    case 12: return LightSpaceMatrix(static_cast<UINT>(LightSpace::kAttenuation),
                                     objects.World(), objects);
    case 9:
    case 10:
    case 13: {
      if (m_pValue->dwType != SHADER_VALUE_VECTOR) return 0;
      CVector4 point;
      CMatrix toObject;
      if (id == 13) {
        const CVector3& eye = *objects.Camera()->GetPositionVector();
        point = {eye.x, eye.y, eye.z, 1.0f};
      } else {
        const D3DLIGHT9& light = *objects.Light()->GetD3DLightProperties();
        const D3DVECTOR& from = id == 9 ? light.Position : light.Direction;
        point = {from.x, from.y, from.z, 1.0f};
      }
      const CMatrix& world = id == 10 ? *mesh->GetRotationMatrix(objects.fFrame) : objects.World();
      if (!Invert(world, &toObject)) return 1;
      CVector4 result = Transform(point, toObject);
      result.w = 0.0f;
      if (id == 10) {
        const float length = std::sqrt(result.x * result.x + result.y * result.y +
                                       result.z * result.z + result.w * result.w);
        if (length > 0.0f) result = {result.x / length, result.y / length, result.z / length, 0.0f};
      }
      return StoreVector(result);
    }
    case 100:
      if (m_pValue->dwType != SHADER_VALUE_TABLE) return 0;
      m_pValue->scalar.dwValue = 100;
      return 1;
    default: return StoreRenderTarget(mesh);
  }
}

UINT CShaderValueSource::EvaluateSurface(Objects& objects) {
  CSurface* surface = objects.pSurface;
  CEnvelopeInterface* dissolveEnvelope =
      objects.pMesh != nullptr ? objects.pMesh->GetEnvDissolve() : nullptr;
  const float dissolve = dissolveEnvelope != nullptr ? dissolveEnvelope->GetValue() : 0.0f;
  const auto texture = [&](SurfaceTexture* slot) {
    return StorePointer(SHADER_VALUE_TEXTURE, slot != nullptr ? slot->pTextureImage : nullptr);
  };
  CMaterialInterface* material = surface->GetMaterial(1);
  D3DMATERIAL9* values = material != nullptr ? material->GetD3DMaterial() : nullptr;
  const WORD id = m_pValue->wValueID;
  switch (id) {
    case 1: return StoreDword(surface->GetShadeType());
    case 2: {
      // Every mesh holds a dissolve envelope; only one that is keyed or set makes the surface
      // fade, and the shared material must not change with it.
      const bool dissolving = dissolveEnvelope != nullptr &&
                              (dissolveEnvelope->GetIsEnvelope() == 1 || dissolve != 0.0f);
      if (!dissolving || material == nullptr) return StorePointer(SHADER_VALUE_MATERIAL, material);
      auto* bank = dynamic_cast<CMaterialBankInterface*>(m_pRenderer->GetMaterialStorageInterface());
      auto* source = dynamic_cast<CMaterial*>(material);
      CMaterial* dynamic = bank != nullptr ? bank->GetDynamicMaterial() : nullptr;
      if (dynamic == nullptr || source == nullptr) return 0;
      dynamic->CopyFrom(*source);
      dynamic->GetD3DMaterial()->Diffuse.a *= 1.0f - dissolve;
      dynamic->GetD3DMaterial()->Ambient.a *= 1.0f - dissolve;
      return StorePointer(SHADER_VALUE_MATERIAL, static_cast<CMaterialInterface*>(dynamic));
    }
    case 3: return texture(surface->GetColor0Texture());
    case 4: return texture(surface->GetColor1Texture());
    case 9: return texture(surface->GetMaterialTexture1());
    case 17: return texture(surface->GetMaterialTexture2());
    case 11: return texture(surface->GetNormalTexture());
    case 23: return texture(surface->GetReflectionTexture());
    case 24: return texture(surface->GetRefractionTexture());
    case 12: return StoreDword((surface->GetFlags() & 0x4) != 0 ? 1 : 3);
    case 19: return StoreDword((surface->GetFlags() & 0x2) != 0 ? 2 : 6);
    case 25: {
      // Out-of-range parameters are held to the word's range rather than left undefined.
      const float parameter = surface->GetSurfaceParameter();
      const int32_t clipped = !(parameter > -2147483648.0f) ? INT32_MIN
                              : parameter >= 2147483647.0f ? INT32_MAX
                                                            : static_cast<int32_t>(parameter);
      return StoreDword(static_cast<DWORD>(clipped));
    }
    case 26: {
      const float* color = surface->GetColor();
      return StoreColor({color[0], color[1], color[2], 1.0f});
    }
    case 27: {
      const float fresnel = surface->GetMaterialValue(8) * 120.0f;
      return StoreVector({fresnel, fresnel, fresnel, fresnel});
    }
    case 20:
    case 21: {
      SurfaceTexture* slot = id == 20 ? surface->GetColor0Texture() : surface->GetColor1Texture();
      return StoreDword(slot != nullptr ? slot->wOpacity : 1);
    }
    case 30:
    case 31: {
      SurfaceTexture* slot = id == 30 ? surface->GetColor0Texture() : surface->GetColor1Texture();
      return slot != nullptr && StoreMatrix(slot->mtxMatrix);
    }
    default: break;
  }
  if (values == nullptr) return 0;
  switch (id) {
    case 13: return StoreColor(values->Ambient, 1.0f - dissolve);
    case 14: return StoreColor(values->Diffuse);
    case 22: return StoreColor(values->Emissive);
    case 15: {
      if (m_pValue->dwType == SHADER_VALUE_DWORD)
        return StoreDword(PackColor(values->Specular.r, values->Specular.g, values->Specular.b,
                                    values->Power));
      const bool radeon = m_pPass->GetShader()->GetTechniqueTarget() == ZK_SCHEME_RADEON9700;
      return StoreVector({values->Specular.r, values->Specular.g, values->Specular.b,
                          radeon ? values->Power * 120.0f : values->Power});
    }
    case 16:
    case 18: {
      const CVector4& extra =
          id == 16 ? *material->GetAdditionalMaterial1() : *material->GetAdditionalMaterial2();
      return StoreColor({extra.x, extra.y, extra.z, extra.w});
    }
    default: return 0;
  }
}

CMatrix CShaderValueSource::ShadowMapBias(UINT width, UINT height) {
  CMatrix bias = CMatrix::Identity();
  bias._11 = 0.5f;
  bias._22 = -0.5f;
  bias._41 = 0.5f + (width != 0 ? 0.5f / static_cast<float>(width) : 0.0f);
  bias._42 = 0.5f + (height != 0 ? 0.5f / static_cast<float>(height) : 0.0f);
  return bias;
}

UINT CShaderValueSource::LightSpaceMatrix(UINT kind, const CMatrix& from, Objects& objects) {
  if (m_pValue->dwType != SHADER_VALUE_MATRIX) return 0;
  CLight* light = objects.Light();
  const CMatrix& view = *light->GetViewMatrix();
  const CMatrix& projection = *light->GetProjectionMatrix();
  const CVector3 position = LightPosition(light);
  const float inverseRange = InverseRange(light);
  const CMatrix toLight = Translation(-position.x, -position.y, -position.z);
  switch (static_cast<LightSpace>(kind)) {
    case LightSpace::kShadowMapDescribed:
    case LightSpace::kShadowMapTarget: {
      if (light->GetType() == 1) {
        // A point light's map is looked up by the direction from the light.
        const CVector3 at = MotionPosition(light, objects.fFrame);
        return StoreMatrix(from * Translation(-at.x, -at.y, -at.z));
      }
      if (light->GetType() != 2) return 1;
      CMatrix bias;
      if (static_cast<LightSpace>(kind) == LightSpace::kShadowMapDescribed) {
        UINT width = 0, height = 0, edge = 0, format = 0;
        m_pRenderer->GetRenderTargetDescription(0x10000, &width, &height, &edge, &format);
        bias = ShadowMapBias(width, height);
      } else {
        CRenderTargetInterface* target = light->GetRenderTarget(0);
        IDirect3DSurface9* surface = target != nullptr ? target->GetSurface() : nullptr;
        D3DSURFACE_DESC description = {};
        if (surface != nullptr && SUCCEEDED(surface->GetDesc(&description))) {
          bias = ShadowMapBias(description.Width & 0xFFFF, description.Height & 0xFFFF);
        } else {
          LogTo(m_pLog, kSource, CEngineLog::kLevelError,
                "WARNING!!! - Executing ::Object2LightShadowMap, Square Render Target #0 Is "
                "NULL\n");
          bias = ShadowMapBias(0, 0);
          bias._41 = 0.0f;
          bias._42 = 0.0f;
        }
      }
      return StoreMatrix(from * view * projection * bias);
    }
    case LightSpace::kShadowMask: {
      // The projected depth becomes the first texture coordinate.
      CMatrix depth = CMatrix::Identity();
      depth._11 = 0.0f;
      depth._22 = 0.0f;
      depth._31 = 1.0f;
      return StoreMatrix(from * view * projection * depth);
    }
    case LightSpace::kAttenuationXY:
      return StoreMatrix(from * toLight * Scaling(inverseRange, inverseRange, 1.0f) *
                         Scaling(0.5f, 0.5f, 1.0f) * Translation(0.5f, 0.5f, 0.0f));
    case LightSpace::kAttenuationZ: {
      // Like the XY map, the distance along z from the light over the range, mapped from
      // -1..1 to 0..1, becomes the first texture coordinate; the second stays at the centre.
      CMatrix along = CMatrix::Identity();
      along._11 = 0.0f;
      along._22 = 0.0f;
      along._31 = 0.5f * inverseRange;
      along._41 = 0.5f;
      along._42 = 0.5f;
      return StoreMatrix(from * toLight * along);
    }
    case LightSpace::kAttenuation:
      return StoreMatrix(from * toLight * Scaling(inverseRange, inverseRange, inverseRange));
    case LightSpace::kSpotMask:
      // The spot mask is projected like the shadow map, with no texel offset to centre.
      return StoreMatrix(from * view * projection * ShadowMapBias(0, 0));
    case LightSpace::kProjection: return StoreMatrix(from * view * projection);
    case LightSpace::kView: return StoreMatrix(from * view);
  }
  return 0;
}

bool CShaderValueSource::Invert(const CMatrix& matrix, CMatrix* inverse) {
  if (matrix.Inverse(inverse)) return true;
  if (!m_bSingularLogged)
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING!!! - Executing ::MatrixInverse, Singular Matrix, Value Kept\n");
  m_bSingularLogged = true;
  return false;
}

bool CShaderValueSource::StoreMatrix(const CMatrix& matrix) {
  // References are copied in too: the getters' matrices do not outlive the call.
  if (m_pValue->dwType != SHADER_VALUE_MATRIX &&
      m_pValue->dwType != SHADER_VALUE_MATRIX_REFERENCE)
    return false;
  static_assert(sizeof(CMatrix) == sizeof(D3DMATRIX));
  std::memcpy(&m_pValue->mtxValue, &matrix, sizeof matrix);
  m_pValue->pValue = nullptr;
  return true;
}

bool CShaderValueSource::StoreVector(const CVector4& vector) {
  if (m_pValue->dwType != SHADER_VALUE_VECTOR) return false;
  m_pValue->vecValue = D3DXVECTOR4(vector.x, vector.y, vector.z, vector.w);
  return true;
}

bool CShaderValueSource::StoreColor(const D3DCOLORVALUE& color, float alphaFactor) {
  const float alpha = color.a * alphaFactor;
  if (m_pValue->dwType == SHADER_VALUE_DWORD)
    return StoreDword(PackColor(color.r, color.g, color.b, alpha));
  return StoreVector({color.r, color.g, color.b, alpha});
}

bool CShaderValueSource::StoreFloat(float value) {
  if (m_pValue->dwType != SHADER_VALUE_FLOAT) return false;
  m_pValue->scalar.fValue = value;
  return true;
}

bool CShaderValueSource::StoreDword(DWORD value) {
  if (m_pValue->dwType != SHADER_VALUE_DWORD) return false;
  m_pValue->scalar.dwValue = value;
  return true;
}

UINT CShaderValueSource::StoreRenderTarget(CWorldObject* object) {
  const WORD id = m_pValue->wValueID;
  if (id >= 20 && id <= 23)
    return StorePointer(SHADER_VALUE_SQUARE_RENDER_TEXTURE, object->GetRenderTarget(id - 20));
  if (id >= 30 && id <= 33)
    return StorePointer(SHADER_VALUE_CUBE_RENDER_TEXTURE, object->GetCubeRenderTarget(id - 30));
  return 0;
}

bool CShaderValueSource::StorePointer(UINT type, void* pointer) {
  if (m_pValue->dwType != type) return false;
  m_pValue->pValue = pointer;
  return true;
}
