#include "FixedFunctionProgram.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "VertexDeclaration9.h"

namespace {

// Appends formatted text of any length to the generated source.
void Add(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Add(std::string& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list measure;
  va_copy(measure, args);
  const int length = vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (length > 0) {
    const size_t start = out.size();
    out.resize(start + static_cast<size_t>(length) + 1);
    vsnprintf(&out[start], static_cast<size_t>(length) + 1, format, args);
    out.resize(start + static_cast<size_t>(length));
  }
  va_end(args);
}

uint8_t MaterialSource(const CDeviceState& state, D3DRENDERSTATETYPE which, bool hasColor0, bool hasColor1) {
  if (!state.renderStates[D3DRS_COLORVERTEX]) return 0;
  DWORD source = state.renderStates[which];
  if (source == D3DMCS_COLOR1 && hasColor0) return 1;
  if (source == D3DMCS_COLOR2 && hasColor1) return 2;
  return 0;
}

bool UsesArgument(const SStageKey& stage, uint8_t argument) {
  for (int i = 0; i < 3; ++i)
    if ((stage.colorArg[i] & D3DTA_SELECTMASK) == argument || (stage.alphaArg[i] & D3DTA_SELECTMASK) == argument)
      return true;
  return false;
}

// Whether an operation reads a texture that is not there. Direct3D then passes the stage's
// input through, so untextured geometry drawn with the default stages shows its diffuse colour.
bool ReadsMissingTexture(uint8_t op, const uint8_t* args) {
  if (op == D3DTOP_DISABLE) return false;
  auto isTexture = [](uint8_t arg) { return (arg & D3DTA_SELECTMASK) == D3DTA_TEXTURE; };
  if (op != D3DTOP_SELECTARG2 && isTexture(args[1])) return true;
  if (op != D3DTOP_SELECTARG1 && isTexture(args[2])) return true;
  if ((op == D3DTOP_MULTIPLYADD || op == D3DTOP_LERP) && isTexture(args[0])) return true;
  return op == D3DTOP_BLENDTEXTUREALPHA || op == D3DTOP_BLENDTEXTUREALPHAPM || op == D3DTOP_BUMPENVMAP ||
         op == D3DTOP_BUMPENVMAPLUMINANCE;
}

bool OpUsesTexture(uint8_t op) {
  return op == D3DTOP_BLENDTEXTUREALPHA || op == D3DTOP_BLENDTEXTUREALPHAPM || op == D3DTOP_BUMPENVMAP ||
         op == D3DTOP_BUMPENVMAPLUMINANCE;
}

// The GLSL expression of a combiner argument with its modifiers.
std::string Argument(uint8_t argument, int stage) {
  std::string value;
  switch (argument & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE:
      value = "diffuse";
      break;
    case D3DTA_CURRENT:
      value = "current";
      break;
    case D3DTA_TEXTURE:
      value = "tex" + std::to_string(stage);
      break;
    case D3DTA_TFACTOR:
      value = "u_tfactor";
      break;
    case D3DTA_SPECULAR:
      value = "specular";
      break;
    case D3DTA_TEMP:
      value = "temp";
      break;
    case D3DTA_CONSTANT:
      value = "u_stageConstant[" + std::to_string(stage) + "]";
      break;
    default:
      value = "vec4(1.0)";
      break;
  }
  if (argument & D3DTA_ALPHAREPLICATE) value = "vec4(" + value + ".a)";
  if (argument & D3DTA_COMPLEMENT) value = "(vec4(1.0) - " + value + ")";
  return value;
}

// The combiner operation on vec4 arguments a0, a1, a2; `channels` picks rgb or a afterwards.
std::string Operation(uint8_t op, int stage) {
  const std::string tex = "tex" + std::to_string(stage);
  switch (op) {
    case D3DTOP_SELECTARG1:
      return "a1";
    case D3DTOP_SELECTARG2:
      return "a2";
    case D3DTOP_MODULATE:
      return "a1 * a2";
    case D3DTOP_MODULATE2X:
      return "2.0 * a1 * a2";
    case D3DTOP_MODULATE4X:
      return "4.0 * a1 * a2";
    case D3DTOP_ADD:
      return "a1 + a2";
    case D3DTOP_ADDSIGNED:
      return "a1 + a2 - vec4(0.5)";
    case D3DTOP_ADDSIGNED2X:
      return "2.0 * (a1 + a2 - vec4(0.5))";
    case D3DTOP_SUBTRACT:
      return "a1 - a2";
    case D3DTOP_ADDSMOOTH:
      return "a1 + a2 - a1 * a2";
    case D3DTOP_BLENDDIFFUSEALPHA:
      return "mix(a2, a1, diffuse.a)";
    case D3DTOP_BLENDTEXTUREALPHA:
      return "mix(a2, a1, " + tex + ".a)";
    case D3DTOP_BLENDFACTORALPHA:
      return "mix(a2, a1, u_tfactor.a)";
    case D3DTOP_BLENDTEXTUREALPHAPM:
      return "a1 + a2 * (1.0 - " + tex + ".a)";
    case D3DTOP_BLENDCURRENTALPHA:
      return "mix(a2, a1, current.a)";
    case D3DTOP_PREMODULATE:  // the next stage's texture is not applied ahead of it
      return "a1";
    case D3DTOP_MODULATEALPHA_ADDCOLOR:
      return "vec4(a1.rgb + a1.a * a2.rgb, a1.a)";
    case D3DTOP_MODULATECOLOR_ADDALPHA:
      return "vec4(a1.rgb * a2.rgb + vec3(a1.a), a1.a)";
    case D3DTOP_MODULATEINVALPHA_ADDCOLOR:
      return "vec4((1.0 - a1.a) * a2.rgb + a1.rgb, a1.a)";
    case D3DTOP_MODULATEINVCOLOR_ADDALPHA:
      return "vec4((vec3(1.0) - a1.rgb) * a2.rgb + vec3(a1.a), a1.a)";
    case D3DTOP_DOTPRODUCT3:
      return "vec4(clamp(dot(a1.rgb - vec3(0.5), a2.rgb - vec3(0.5)) * 4.0, 0.0, 1.0))";
    case D3DTOP_MULTIPLYADD:
      return "a0 + a1 * a2";
    case D3DTOP_LERP:
      return "mix(a2, a1, a0)";
    case D3DTOP_BUMPENVMAP:
    case D3DTOP_BUMPENVMAPLUMINANCE:
      return "current";
    default:
      return "current";
  }
}

}  // namespace

SFixedFunctionKey CFixedFunctionProgram::BuildKey(const CDeviceState& state, const CVertexDeclaration9& declaration,
                                                  const ETextureKind* textureKinds, bool vertexShader,
                                                  bool pixelShader) {
  SFixedFunctionKey key;
  memset(&key, 0, sizeof key);
  key.vertexShader = vertexShader;
  key.pixelShader = pixelShader;
  const DWORD* rs = state.renderStates;
  key.preTransformed = declaration.IsPreTransformed();
  key.hasNormal = declaration.Has(D3DDECLUSAGE_NORMAL);
  key.hasColor0 = declaration.Has(D3DDECLUSAGE_COLOR, 0);
  key.hasColor1 = declaration.Has(D3DDECLUSAGE_COLOR, 1);
  key.lighting = !key.preTransformed && rs[D3DRS_LIGHTING];
  if (key.lighting) {
    for (const SLightSlot& slot : state.lights)
      if (slot.enabled && key.lightCount < kMaxActiveLights)
        key.lightTypes[key.lightCount++] = static_cast<uint8_t>(slot.light.Type);
    key.localViewer = rs[D3DRS_LOCALVIEWER] != 0;
    key.normalizeNormals = rs[D3DRS_NORMALIZENORMALS] != 0;
    key.diffuseSource = MaterialSource(state, D3DRS_DIFFUSEMATERIALSOURCE, key.hasColor0, key.hasColor1);
    key.ambientSource = MaterialSource(state, D3DRS_AMBIENTMATERIALSOURCE, key.hasColor0, key.hasColor1);
    key.specularSource = MaterialSource(state, D3DRS_SPECULARMATERIALSOURCE, key.hasColor0, key.hasColor1);
    key.emissiveSource = MaterialSource(state, D3DRS_EMISSIVEMATERIALSOURCE, key.hasColor0, key.hasColor1);
  }
  key.specular = rs[D3DRS_SPECULARENABLE] != 0;
  if (rs[D3DRS_FOGENABLE]) {
    const DWORD table = rs[D3DRS_FOGTABLEMODE];
    const DWORD vertex = rs[D3DRS_FOGVERTEXMODE];
    if (table >= D3DFOG_EXP && table <= D3DFOG_LINEAR) {
      key.fogMode = static_cast<uint8_t>(table);
      key.fogTable = 1;
    } else if (!key.preTransformed && vertex >= D3DFOG_EXP && vertex <= D3DFOG_LINEAR) {
      key.fogMode = static_cast<uint8_t>(vertex);
      key.rangeFog = rs[D3DRS_RANGEFOGENABLE] != 0;
    } else {
      key.fogFromSpecular = 1;
    }
  }
  for (UINT s = 0; s < kMaxStages; ++s) {
    const DWORD* ts = state.stageStates[s];
    // A pixel shader reads the coordinates of any stage, whatever its colour operation.
    if (!pixelShader && (ts[D3DTSS_COLOROP] == D3DTOP_DISABLE || ts[D3DTSS_COLOROP] > D3DTOP_LERP)) break;
    SStageKey& stage = key.stages[s];
    stage.colorOp = static_cast<uint8_t>(ts[D3DTSS_COLOROP]);
    stage.colorArg[0] = static_cast<uint8_t>(ts[D3DTSS_COLORARG0]);
    stage.colorArg[1] = static_cast<uint8_t>(ts[D3DTSS_COLORARG1]);
    stage.colorArg[2] = static_cast<uint8_t>(ts[D3DTSS_COLORARG2]);
    const DWORD alphaOp = ts[D3DTSS_ALPHAOP];
    stage.alphaOp = static_cast<uint8_t>(alphaOp > D3DTOP_LERP ? static_cast<DWORD>(D3DTOP_DISABLE) : alphaOp);
    stage.alphaArg[0] = static_cast<uint8_t>(ts[D3DTSS_ALPHAARG0]);
    stage.alphaArg[1] = static_cast<uint8_t>(ts[D3DTSS_ALPHAARG1]);
    stage.alphaArg[2] = static_cast<uint8_t>(ts[D3DTSS_ALPHAARG2]);
    stage.resultArg = static_cast<uint8_t>(ts[D3DTSS_RESULTARG] == D3DTA_TEMP ? D3DTA_TEMP : D3DTA_CURRENT);
    stage.texCoordIndex = static_cast<uint8_t>(ts[D3DTSS_TEXCOORDINDEX] & 7);
    stage.texGen = static_cast<uint8_t>((ts[D3DTSS_TEXCOORDINDEX] >> 16) & 0xFF);
    const DWORD flags = ts[D3DTSS_TEXTURETRANSFORMFLAGS];
    stage.transformCount = static_cast<uint8_t>((flags & 0xFF) <= 4 ? (flags & 0xFF) : 0);
    stage.projected = (flags & D3DTTFF_PROJECTED) != 0;
    stage.texture = textureKinds[s];
    if (stage.texture == TEXTURE_NONE) {
      if (ReadsMissingTexture(stage.colorOp, stage.colorArg)) {
        stage.colorOp = D3DTOP_SELECTARG1;
        stage.colorArg[1] = D3DTA_CURRENT;
      }
      if (ReadsMissingTexture(stage.alphaOp, stage.alphaArg)) {
        stage.alphaOp = D3DTOP_SELECTARG1;
        stage.alphaArg[1] = D3DTA_CURRENT;
      }
    }
    stage.inputComponents = static_cast<uint8_t>(declaration.TexCoordComponents(stage.texCoordIndex));
    key.stageCount = static_cast<uint8_t>(s + 1);
  }
  return key;
}

std::string CFixedFunctionProgram::KeyBytes(const SFixedFunctionKey& key) {
  return std::string(reinterpret_cast<const char*>(&key), sizeof key);
}

const char* CFixedFunctionProgram::ClipPositionFunction() {
  // Direct3D 9 puts pixel centres on integer coordinates, GL half-way: shift by half a pixel.
  return "vec4 DeviceClipPosition(vec4 clip) {\n"
         "  clip.y = -clip.y;\n"
         "  clip.xy += vec2(1.0 / u_viewport.z, 1.0 / u_viewport.w) * clip.w;\n"
         "  return clip;\n"
         "}\n";
}

std::string CFixedFunctionProgram::VertexSource(const SFixedFunctionKey& key) {
  std::string s = "#version 120\ninvariant gl_Position;\n";
  s += "attribute vec4 a_position;\nattribute vec3 a_normal;\nattribute vec4 a_color0;\nattribute vec4 a_color1;\n";
  for (int i = 0; i < 8; ++i) Add(s, "attribute vec4 a_texcoord%d;\n", i);
  s +=
      "uniform mat4 u_world, u_view, u_proj;\nuniform mat3 u_normalMatrix;\nuniform vec4 u_viewport;\n"
      "uniform vec2 u_depthRange;\nuniform mat4 u_texMatrix[8];\n"
      "uniform vec4 u_lightDiffuse[8], u_lightSpecular[8], u_lightAmbient[8], u_lightAtten[8];\n"
      "uniform vec3 u_lightPosition[8], u_lightDirection[8], u_lightSpot[8];\n"
      "uniform vec4 u_matDiffuse, u_matAmbient, u_matSpecular, u_matEmissive, u_globalAmbient;\n"
      "uniform float u_matPower;\nuniform vec4 u_fog;\nuniform float u_fogEyeDepth;\n"
      "uniform vec4 u_worldViewProj[4];\n"
      "varying float v_fog;\nvarying float v_fogDepth;\n"
      "float FogFactor(float d) {\n";
  switch (key.fogMode) {
    case D3DFOG_LINEAR:
      s += "  return (u_fog.y - d) / (u_fog.y - u_fog.x);\n";
      break;
    case D3DFOG_EXP:
      s += "  return exp(-u_fog.z * d);\n";
      break;
    case D3DFOG_EXP2:
      s += "  return exp(-(u_fog.z * d) * (u_fog.z * d));\n";
      break;
    default:
      s += "  return 1.0;\n";
  }
  s += "}\n";
  s += ClipPositionFunction();
  s += "void main() {\n";
  Add(s, "  vec4 color0 = %s;\n  vec4 color1 = %s;\n", key.hasColor0 ? "a_color0" : "vec4(1.0)",
      key.hasColor1 ? "a_color1" : "vec4(0.0)");
  if (key.preTransformed) {
    // Screen positions: Direct3D 9 puts pixel centres on integer coordinates, GL half-way.
    s +=
        "  float w = a_position.w == 0.0 ? 1.0 : 1.0 / a_position.w;\n"
        "  vec2 ndc = 2.0 * (a_position.xy + vec2(0.5) - u_viewport.xy) / u_viewport.zw - vec2(1.0);\n"
        "  float z = u_depthRange.y > u_depthRange.x ? (a_position.z - u_depthRange.x) / (u_depthRange.y - "
        "u_depthRange.x) : a_position.z;\n"
        "  gl_Position = vec4(ndc, z, 1.0) * w;\n"
        "  vec4 viewPos = vec4(a_position.xyz, 1.0);\n  vec3 normal = vec3(0.0, 0.0, -1.0);\n"
        "  v_fogDepth = a_position.z;\n";
  } else {
    s +=
        "  vec4 worldPos = u_world * a_position;\n"
        "  gl_ClipVertex = worldPos;  // user clip planes are given in world space\n"
        "  vec4 viewPos = u_view * worldPos;\n"
        "  vec4 clip = u_proj * viewPos;\n"
        // The position takes the very operations a vertex shader's m4x4 with the combined
        // matrix does, so that depth matches bit for bit between the two.
        "  gl_Position = DeviceClipPosition(vec4(dot(a_position, u_worldViewProj[0]), dot(a_position, "
        "u_worldViewProj[1]), dot(a_position, u_worldViewProj[2]), dot(a_position, u_worldViewProj[3])));\n";
    Add(s, "  vec3 normal = %s;\n", key.hasNormal ? "u_normalMatrix * a_normal" : "vec3(0.0)");
    if (key.normalizeNormals && key.hasNormal) s += "  if (dot(normal, normal) > 0.0) normal = normalize(normal);\n";
    if (key.fogTable)
      // Per-pixel fog follows eye depth under a perspective projection, device depth otherwise.
      s += "  v_fogDepth = u_fogEyeDepth > 0.5 ? abs(viewPos.z) : clip.z / clip.w;\n";
    else
      Add(s, "  v_fogDepth = %s;\n", key.rangeFog ? "length(viewPos.xyz)" : "abs(viewPos.z)");
  }
  if (key.lighting) {
    static const char* kSources[3] = {"", "color0", "color1"};
    Add(s, "  vec4 md = %s;\n", key.diffuseSource ? kSources[key.diffuseSource] : "u_matDiffuse");
    Add(s, "  vec4 ma = %s;\n", key.ambientSource ? kSources[key.ambientSource] : "u_matAmbient");
    Add(s, "  vec4 ms = %s;\n", key.specularSource ? kSources[key.specularSource] : "u_matSpecular");
    Add(s, "  vec4 me = %s;\n", key.emissiveSource ? kSources[key.emissiveSource] : "u_matEmissive");
    s += "  vec3 ambient = vec3(0.0), diffuse = vec3(0.0), specular = vec3(0.0);\n";
    Add(s, "  vec3 toEye = %s;\n", key.localViewer ? "-normalize(viewPos.xyz)" : "vec3(0.0, 0.0, -1.0)");
    for (int i = 0; i < key.lightCount; ++i) {
      s += "  {\n    vec3 L; float f = 1.0;\n";
      if (key.lightTypes[i] == D3DLIGHT_DIRECTIONAL) {
        Add(s, "    L = -u_lightDirection[%d];\n", i);
      } else {
        Add(s,
            "    vec3 d = u_lightPosition[%d] - viewPos.xyz; float dist = length(d);\n"
            "    L = dist > 0.0 ? d / dist : vec3(0.0, 0.0, -1.0);\n"
            "    vec4 at = u_lightAtten[%d];\n"
            "    f = dist > at.w ? 0.0 : 1.0 / max(at.x + at.y * dist + at.z * dist * dist, 1e-6);\n",
            i, i);
        if (key.lightTypes[i] == D3DLIGHT_SPOT)
          Add(s,
              "    float rho = dot(-L, u_lightDirection[%d]); vec3 sp = u_lightSpot[%d];\n"
              "    if (rho <= sp.y) f = 0.0;\n"
              "    else if (rho <= sp.x) f *= pow((rho - sp.y) / max(sp.x - sp.y, 1e-6), sp.z);\n",
              i, i);
      }
      Add(s,
          "    float nl = max(dot(normal, L), 0.0);\n"
          "    ambient += u_lightAmbient[%d].rgb * f;\n"
          "    diffuse += u_lightDiffuse[%d].rgb * nl * f;\n",
          i, i);
      if (key.specular)
        Add(s,
            "    if (nl > 0.0 && u_matPower > 0.0) specular += u_lightSpecular[%d].rgb * f * "
            "pow(max(dot(normal, normalize(L + toEye)), 0.0), u_matPower);\n",
            i);
      s += "  }\n";
    }
    s +=
        "  gl_FrontColor = clamp(vec4(me.rgb + ma.rgb * (u_globalAmbient.rgb + ambient) + md.rgb * diffuse, md.a), "
        "0.0, 1.0);\n"
        "  gl_FrontSecondaryColor = clamp(vec4(ms.rgb * specular, ms.a), 0.0, 1.0);\n";
  } else {
    s += "  gl_FrontColor = color0;\n  gl_FrontSecondaryColor = color1;\n";
  }
  if (key.fogMode && !key.fogTable) s += "  v_fog = clamp(FogFactor(v_fogDepth), 0.0, 1.0);\n";
  else s += "  v_fog = 1.0;\n";

  for (int i = 0; i < key.stageCount; ++i) {
    const SStageKey& st = key.stages[i];
    Add(s, "  {\n    vec4 tc;\n");
    switch (st.texGen) {
      case D3DTSS_TCI_CAMERASPACENORMAL >> 16:
        s += "    tc = vec4(normal, 1.0);\n";
        break;
      case D3DTSS_TCI_CAMERASPACEPOSITION >> 16:
        s += "    tc = vec4(viewPos.xyz, 1.0);\n";
        break;
      case D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR >> 16:
        Add(s, "    tc = vec4(reflect(%s, normal), 1.0);\n",
            key.localViewer ? "normalize(viewPos.xyz)" : "vec3(0.0, 0.0, 1.0)");
        break;
      default: {
        // Direct3D pads a short coordinate with 1 in the first missing component, so a 2D
        // coordinate picks up the third row of a texture matrix as its translation.
        static const char* kPadded[5] = {"vec4(0.0, 0.0, 0.0, 1.0)", "vec4(a_texcoord%d.x, 1.0, 0.0, 0.0)",
                                         "vec4(a_texcoord%d.xy, 1.0, 0.0)", "vec4(a_texcoord%d.xyz, 1.0)",
                                         "a_texcoord%d"};
        std::string padded = kPadded[st.inputComponents > 4 ? 4 : st.inputComponents];
        char line[96];
        snprintf(line, sizeof line, padded.c_str(), st.texCoordIndex);
        Add(s, "    tc = %s;\n", line);
        break;
      }
    }
    if (st.transformCount) {
      Add(s, "    tc = u_texMatrix[%d] * tc;\n", i);
      if (st.projected)
        Add(s, "    tc = vec4(tc.xyz, tc[%d]);\n", st.transformCount - 1);
      else
        s += "    tc.w = 1.0;\n";
    } else {
      s += "    tc.w = 1.0;\n";
    }
    Add(s, "    gl_TexCoord[%d] = tc;\n  }\n", i);
  }
  s += "}\n";
  return s;
}

std::string CFixedFunctionProgram::FragmentSource(const SFixedFunctionKey& key) {
  std::string s = "#version 120\n";
  for (int i = 0; i < key.stageCount; ++i) {
    if (key.stages[i].texture == TEXTURE_2D) Add(s, "uniform sampler2D u_sampler%d;\n", i);
    if (key.stages[i].texture == TEXTURE_CUBE) Add(s, "uniform samplerCube u_sampler%d;\n", i);
  }
  s +=
      "uniform vec4 u_tfactor;\nuniform vec4 u_stageConstant[8];\nuniform vec4 u_bumpEnv[8];\n"
      "uniform vec2 u_bumpLuminance[8];\nuniform vec4 u_fog;\nuniform vec4 u_fogColor;\n";
  // A vertex shader writes its fog factor to oFog and no fixed-function varyings.
  if (key.vertexShader)
    s += "void main() {\n  float v_fog = clamp(gl_FogFragCoord, 0.0, 1.0);\n  float v_fogDepth = gl_FragCoord.z;\n";
  else
    s += "varying float v_fog;\nvarying float v_fogDepth;\nvoid main() {\n";
  s +=
      "  vec4 diffuse = gl_Color;\n  vec4 specular = gl_SecondaryColor;\n"
      "  vec4 current = diffuse;\n  vec4 temp = vec4(0.0);\n  vec2 bump = vec2(0.0);\n  float luminance = 1.0;\n";
  for (int i = 0; i < key.stageCount; ++i) {
    const SStageKey& st = key.stages[i];
    Add(s, "  // stage %d\n  vec4 tex%d = vec4(1.0);\n", i, i);
    const bool needsTexture = UsesArgument(st, D3DTA_TEXTURE) || OpUsesTexture(st.colorOp) ||
                              OpUsesTexture(st.alphaOp) ;
    if (needsTexture && st.texture == TEXTURE_2D) {
      if (st.projected)
        Add(s, "  tex%d = texture2DProj(u_sampler%d, gl_TexCoord[%d] + vec4(bump * gl_TexCoord[%d].w, 0.0, 0.0));\n",
            i, i, i, i);
      else
        Add(s, "  tex%d = texture2D(u_sampler%d, gl_TexCoord[%d].xy + bump);\n", i, i, i);
    } else if (needsTexture && st.texture == TEXTURE_CUBE) {
      Add(s, "  tex%d = textureCube(u_sampler%d, gl_TexCoord[%d].xyz / gl_TexCoord[%d].w);\n", i, i, i, i);
    }
    Add(s, "  tex%d.rgb *= luminance;\n  bump = vec2(0.0);\n  luminance = 1.0;\n", i);
    s += "  {\n";
    Add(s, "    vec4 a0 = %s, a1 = %s, a2 = %s;\n", Argument(st.colorArg[0], i).c_str(),
        Argument(st.colorArg[1], i).c_str(), Argument(st.colorArg[2], i).c_str());
    Add(s, "    vec4 color = %s;\n", Operation(st.colorOp, i).c_str());
    if (st.alphaOp == D3DTOP_DISABLE) {
      s += "    float alpha = current.a;\n";
    } else {
      Add(s, "    a0 = %s; a1 = %s; a2 = %s;\n", Argument(st.alphaArg[0], i).c_str(),
          Argument(st.alphaArg[1], i).c_str(), Argument(st.alphaArg[2], i).c_str());
      Add(s, "    float alpha = (%s).a;\n", Operation(st.alphaOp, i).c_str());
    }
    // The dot product writes all four channels.
    if (st.colorOp == D3DTOP_DOTPRODUCT3) s += "    alpha = color.a;\n";
    if (st.colorOp == D3DTOP_BUMPENVMAP || st.colorOp == D3DTOP_BUMPENVMAPLUMINANCE) {
      Add(s, "    bump = mat2(u_bumpEnv[%d].x, u_bumpEnv[%d].y, u_bumpEnv[%d].z, u_bumpEnv[%d].w) * tex%d.rg;\n", i,
          i, i, i, i);
      if (st.colorOp == D3DTOP_BUMPENVMAPLUMINANCE)
        Add(s, "    luminance = clamp(tex%d.b * u_bumpLuminance[%d].x + u_bumpLuminance[%d].y, 0.0, 1.0);\n", i, i,
            i);
    }
    Add(s, "    %s = clamp(vec4(color.rgb, alpha), 0.0, 1.0);\n  }\n",
        st.resultArg == D3DTA_TEMP ? "temp" : "current");
  }
  if (key.specular) s += "  current.rgb = clamp(current.rgb + specular.rgb, 0.0, 1.0);\n";
  if (key.fogTable) {
    s += "  float fog;\n";
    switch (key.fogMode) {
      case D3DFOG_LINEAR:
        s += "  fog = (u_fog.y - v_fogDepth) / (u_fog.y - u_fog.x);\n";
        break;
      case D3DFOG_EXP:
        s += "  fog = exp(-u_fog.z * v_fogDepth);\n";
        break;
      default:
        s += "  fog = exp(-(u_fog.z * v_fogDepth) * (u_fog.z * v_fogDepth));\n";
        break;
    }
    s += "  current.rgb = mix(u_fogColor.rgb, current.rgb, clamp(fog, 0.0, 1.0));\n";
  } else if (key.fogMode) {
    s += "  current.rgb = mix(u_fogColor.rgb, current.rgb, v_fog);\n";
  } else if (key.fogFromSpecular) {
    s += "  current.rgb = mix(u_fogColor.rgb, current.rgb, clamp(specular.a, 0.0, 1.0));\n";
  }
  s += "  gl_FragData[0] = current;\n}\n";
  return s;
}
