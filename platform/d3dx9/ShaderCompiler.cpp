#include "ShaderCompiler.h"

#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>
#include <glslang/SPIRV/GlslangToSpv.h>
#include <spirv_cross/spirv_cross_c.h>

#include <cctype>
#include <climits>
#include <cstring>
#include <mutex>

namespace {

bool IsKnownProfile(const std::string& profile, bool* isVertex) {
  static const char* const kVertex[] = {"vs_1_1", "vs_2_0", "vs_2_a", "vs_3_0"};
  static const char* const kPixel[] = {"ps_1_1", "ps_1_2", "ps_1_3", "ps_1_4", "ps_2_0", "ps_2_a", "ps_2_b", "ps_3_0"};
  for (const char* p : kVertex)
    if (profile == p) {
      *isVertex = true;
      return true;
    }
  for (const char* p : kPixel)
    if (profile == p) {
      *isVertex = false;
      return true;
    }
  return false;
}

// "TEXCOORD3" as usage and index; false for a semantic with no Direct3D 9 usage.
bool ParseSemantic(const char* semantic, UINT* usage, UINT* index) {
  static const struct {
    const char* name;
    UINT usage;
  } kUsages[] = {{"POSITIONT", D3DDECLUSAGE_POSITIONT}, {"POSITION", D3DDECLUSAGE_POSITION},
                 {"BLENDWEIGHT", D3DDECLUSAGE_BLENDWEIGHT}, {"BLENDINDICES", D3DDECLUSAGE_BLENDINDICES},
                 {"NORMAL", D3DDECLUSAGE_NORMAL},     {"PSIZE", D3DDECLUSAGE_PSIZE},
                 {"TEXCOORD", D3DDECLUSAGE_TEXCOORD}, {"TANGENT", D3DDECLUSAGE_TANGENT},
                 {"BINORMAL", D3DDECLUSAGE_BINORMAL}, {"COLOR", D3DDECLUSAGE_COLOR},
                 {"FOG", D3DDECLUSAGE_FOG},           {"DEPTH", D3DDECLUSAGE_DEPTH}};
  if (!semantic) return false;
  std::string upper(semantic);
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  size_t digits = upper.size();
  while (digits > 0 && isdigit(static_cast<unsigned char>(upper[digits - 1]))) --digits;
  const std::string name = upper.substr(0, digits);
  const std::string number = upper.substr(digits);
  if (number.size() > 2) return false;
  for (const auto& u : kUsages)
    if (name == u.name) {
      *usage = u.usage;
      *index = number.empty() ? 0 : static_cast<UINT>(std::stoul(number));
      return true;
    }
  return false;
}

// `value` of `components` floats widened to a vec4 as Direct3D pads a register.
std::string Widen(const std::string& value, UINT components) {
  switch (components) {
    case 1:
      return "vec4(" + value + ", 0.0, 0.0, 1.0)";
    case 2:
      return "vec4(" + value + ", 0.0, 1.0)";
    case 3:
      return "vec4(" + value + ", 1.0)";
    default:
      return value;
  }
}

std::string Narrow(const std::string& value, UINT components) {
  static const char* const kSwizzles[] = {"", ".x", ".xy", ".xyz", ""};
  return value + kSwizzles[components > 4 ? 4 : components];
}

// Turns the declaration "varying <type> name;" into a plain global the wrapper main copies.
bool MakeGlobal(std::string* glsl, const std::string& name) {
  const size_t at = glsl->find(" " + name + ";");
  if (at == std::string::npos) return false;
  const size_t lineStart = glsl->rfind('\n', at) + 1;
  static const char kVarying[] = "varying ";
  if (glsl->compare(lineStart, sizeof kVarying - 1, kVarying) != 0) return false;
  glsl->erase(lineStart, sizeof kVarying - 1);
  return true;
}

struct SCrossContext {
  spvc_context context = nullptr;
  ~SCrossContext() {
    if (context) spvc_context_destroy(context);
  }
};

void CollectCrossError(void* userData, const char* error) {
  *static_cast<std::string*>(userData) += std::string(error) + "\n";
}

UINT VectorSize(spvc_compiler compiler, spvc_type_id id) {
  return spvc_type_get_vector_size(spvc_compiler_get_type_handle(compiler, id));
}

// The interface between the stages as the built-ins the other half reads or writes.
bool WrapInterface(spvc_compiler compiler, bool isVertex, CCompiledShaderBlob* blob, std::string* prologue,
                   std::string* epilogue, std::vector<std::string>* globals, std::string* messages) {
  spvc_resources resources;
  if (spvc_compiler_create_shader_resources(compiler, &resources) != SPVC_SUCCESS) return false;
  const spvc_reflected_resource* list;
  size_t count;
  spvc_resources_get_resource_list_for_type(resources, SPVC_RESOURCE_TYPE_STAGE_INPUT, &list, &count);
  for (size_t i = 0; i < count; ++i) {
    UINT usage, index;
    const char* semantic = spvc_compiler_get_decoration_string(compiler, list[i].id, SpvDecorationUserSemantic);
    if (!ParseSemantic(semantic, &usage, &index)) {
      *messages += std::string("input semantic not supported: ") + (semantic ? semantic : "(none)") + "\n";
      return false;
    }
    const std::string name = (isVertex ? "vs_in_" : "ps_in_") + std::to_string(i);
    spvc_compiler_set_name(compiler, list[i].id, name.c_str());
    blob->inputs.push_back({usage, index, name});
    if (isVertex) continue;
    const UINT size = VectorSize(compiler, list[i].type_id);
    std::string source;
    if (usage == D3DDECLUSAGE_COLOR && index < 2) source = index == 0 ? "gl_Color" : "gl_SecondaryColor";
    else if (usage == D3DDECLUSAGE_TEXCOORD && index < 8) source = "gl_TexCoord[" + std::to_string(index) + "]";
    else source = "vec4(0.0)";
    globals->push_back(name);
    *prologue += "  " + name + " = " + Narrow(source, size) + ";\n";
  }
  if (!isVertex) return true;
  spvc_resources_get_resource_list_for_type(resources, SPVC_RESOURCE_TYPE_STAGE_OUTPUT, &list, &count);
  bool hasPosition = false;
  for (size_t i = 0; i < count; ++i) {
    UINT usage, index;
    const char* semantic = spvc_compiler_get_decoration_string(compiler, list[i].id, SpvDecorationUserSemantic);
    if (!ParseSemantic(semantic, &usage, &index)) continue;  // nothing downstream reads it
    const std::string name = "vs_out_" + std::to_string(i);
    spvc_compiler_set_name(compiler, list[i].id, name.c_str());
    const UINT size = VectorSize(compiler, list[i].type_id);
    std::string target;
    if ((usage == D3DDECLUSAGE_POSITION || usage == D3DDECLUSAGE_POSITIONT) && index == 0) {
      target = "gl_Position";
      hasPosition = true;
    } else if (usage == D3DDECLUSAGE_COLOR && index < 2) {
      target = index == 0 ? "gl_FrontColor" : "gl_FrontSecondaryColor";
    } else if (usage == D3DDECLUSAGE_TEXCOORD && index < 8) {
      target = "gl_TexCoord[" + std::to_string(index) + "]";
    } else if (usage == D3DDECLUSAGE_FOG) {
      *epilogue += "  gl_FogFragCoord = " + Narrow(name, size > 1 ? 1 : size) + ";\n";
    } else if (usage == D3DDECLUSAGE_PSIZE) {
      *epilogue += "  gl_PointSize = " + Narrow(name, size > 1 ? 1 : size) + ";\n";
    }
    globals->push_back(name);
    if (!target.empty()) *epilogue += "  " + target + " = " + Widen(name, size) + ";\n";
  }
  if (!hasPosition) *messages += "vertex shader writes no POSITION\n";
  return hasPosition;
}

// Globals (glslang's $Global block, laid out by register) and samplers (by register sN).
void MapConstants(spvc_compiler compiler, bool isVertex, CCompiledShaderBlob* blob, std::string* messages) {
  spvc_resources resources;
  if (spvc_compiler_create_shader_resources(compiler, &resources) != SPVC_SUCCESS) return;
  const spvc_reflected_resource* list;
  size_t count;
  spvc_resources_get_resource_list_for_type(resources, SPVC_RESOURCE_TYPE_UNIFORM_BUFFER, &list, &count);
  for (size_t b = 0; b < count; ++b) {
    // Both halves have a $Global block; the names keep them apart when the two are linked.
    const std::string block = std::string(isVertex ? "vs" : "ps") + "_globals" + std::to_string(b);
    spvc_compiler_set_name(compiler, list[b].id, block.c_str());
    spvc_compiler_set_name(compiler, list[b].base_type_id, (block + "_type").c_str());
    spvc_type structType = spvc_compiler_get_type_handle(compiler, list[b].base_type_id);
    const unsigned members = spvc_type_get_num_member_types(structType);
    for (unsigned m = 0; m < members; ++m) {
      const spvc_type_id memberId = spvc_type_get_member_type(structType, m);
      spvc_type member = spvc_compiler_get_type_handle(compiler, memberId);
      const char* memberName = spvc_compiler_get_member_name(compiler, list[b].base_type_id, m);
      unsigned offset = 0;
      if (spvc_compiler_type_struct_member_offset(compiler, structType, m, &offset) != SPVC_SUCCESS) continue;
      if (spvc_type_get_basetype(member) != SPVC_BASETYPE_FP32 || spvc_type_get_num_array_dimensions(member) > 1) {
        *messages += std::string("warning: global ") + memberName + " is not fed from float registers\n";
        continue;
      }
      SBlobConstant c;
      c.firstRegister = offset / 16;
      c.columns = spvc_type_get_columns(member);
      c.rows = spvc_type_get_vector_size(member);
      c.elements = spvc_type_get_num_array_dimensions(member) == 1 ? spvc_type_get_array_dimension(member, 0) : 1;
      c.registerCount = c.columns * c.elements;
      c.name = block + "." + memberName;
      blob->constants.push_back(c);
    }
  }
  spvc_resources_get_resource_list_for_type(resources, SPVC_RESOURCE_TYPE_SAMPLED_IMAGE, &list, &count);
  for (size_t i = 0; i < count; ++i) {
    const UINT stage = spvc_compiler_get_decoration(compiler, list[i].id, SpvDecorationBinding);
    const std::string name = std::string(isVertex ? "vs" : "ps") + "_sampler" + std::to_string(stage);
    spvc_compiler_set_name(compiler, list[i].id, name.c_str());
    blob->samplers.push_back({stage, name});
  }
}

bool SpirvToGlsl(const std::vector<unsigned>& spirv, bool isVertex, CCompiledShaderBlob* blob, std::string* messages) {
  SCrossContext cross;
  if (spvc_context_create(&cross.context) != SPVC_SUCCESS) return false;
  spvc_context_set_error_callback(cross.context, CollectCrossError, messages);
  spvc_parsed_ir ir;
  spvc_compiler compiler;
  spvc_compiler_options options;
  if (spvc_context_parse_spirv(cross.context, spirv.data(), spirv.size(), &ir) != SPVC_SUCCESS ||
      spvc_context_create_compiler(cross.context, SPVC_BACKEND_GLSL, ir, SPVC_CAPTURE_MODE_TAKE_OWNERSHIP,
                                   &compiler) != SPVC_SUCCESS ||
      spvc_compiler_create_compiler_options(compiler, &options) != SPVC_SUCCESS)
    return false;
  spvc_compiler_options_set_uint(options, SPVC_COMPILER_OPTION_GLSL_VERSION, 120);
  spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_GLSL_ES, SPVC_FALSE);
  spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_GLSL_EMIT_UNIFORM_BUFFER_AS_PLAIN_UNIFORMS, SPVC_TRUE);
  spvc_compiler_install_compiler_options(compiler, options);
  std::string prologue, epilogue;
  std::vector<std::string> globals;
  if (!WrapInterface(compiler, isVertex, blob, &prologue, &epilogue, &globals, messages)) return false;
  MapConstants(compiler, isVertex, blob, messages);
  const char* glsl = nullptr;
  if (spvc_compiler_compile(compiler, &glsl) != SPVC_SUCCESS || !glsl) return false;
  std::string source(glsl);
  for (const std::string& name : globals)
    if (!MakeGlobal(&source, name)) {
      *messages += "cannot rewire " + name + " in the generated GLSL\n";
      return false;
    }
  static const char kMain[] = "void main()";
  const size_t main = source.find(kMain);
  if (main == std::string::npos) return false;
  source.replace(main, sizeof kMain - 1, "void hlsl_main()");
  source += "void main() {\n" + prologue + "  hlsl_main();\n" + epilogue + "}\n";
  blob->source = std::move(source);
  blob->isVertex = isVertex;
  return true;
}

}  // namespace

bool CShaderCompiler::Compile(const char* source, size_t length, const char* fileName, const D3DXMACRO* defines,
                              const char* entryPoint, const char* profile, CCompiledShaderBlob* blob,
                              std::string* messages) {
  bool isVertex = true;
  if (!profile || !IsKnownProfile(profile, &isVertex)) {
    *messages = std::string("unknown profile ") + (profile ? profile : "(null)") + "\n";
    return false;
  }
  if (length > INT_MAX) {
    *messages = "source too large\n";
    return false;
  }
  static std::once_flag started;
  std::call_once(started, [] { glslang::InitializeProcess(); });

  std::string preamble;
  for (const D3DXMACRO* d = defines; d && d->Name; ++d)
    preamble += std::string("#define ") + d->Name + " " + (d->Definition ? d->Definition : "") + "\n";
  const EShLanguage stage = isVertex ? EShLangVertex : EShLangFragment;
  glslang::TShader shader(stage);
  const char* strings[] = {source};
  const int lengths[] = {static_cast<int>(length)};
  const char* names[] = {fileName ? fileName : "memory"};
  shader.setStringsWithLengthsAndNames(strings, lengths, names, 1);
  shader.setPreamble(preamble.c_str());
  shader.setEntryPoint(entryPoint && *entryPoint ? entryPoint : "main");
  shader.setEnvInput(glslang::EShSourceHlsl, stage, glslang::EShClientVulkan, 100);
  shader.setEnvClient(glslang::EShClientVulkan, glslang::EShTargetVulkan_1_0);
  shader.setEnvTarget(glslang::EShTargetSpv, glslang::EShTargetSpv_1_0);
  shader.setEnvTargetHlslFunctionality1();  // keeps the semantics on the interface variables
  shader.setAutoMapLocations(true);
  shader.setAutoMapBindings(true);
  const EShMessages rules =
      static_cast<EShMessages>(EShMsgSpvRules | EShMsgVulkanRules | EShMsgReadHlsl | EShMsgHlslDX9Compatible);
  if (!shader.parse(GetDefaultResources(), 100, false, rules)) {
    *messages = shader.getInfoLog();
    return false;
  }
  glslang::TProgram program;
  program.addShader(&shader);
  if (!program.link(rules)) {
    *messages = program.getInfoLog();
    return false;
  }
  std::vector<unsigned> spirv;
  glslang::GlslangToSpv(*program.getIntermediate(stage), spirv);
  if (!SpirvToGlsl(spirv, isVertex, blob, messages)) {
    if (messages->empty()) *messages = "cannot turn the compiled program into GLSL\n";
    return false;
  }
  return true;
}
