#include "ShaderCompiler.h"

#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>
#include <glslang/SPIRV/GlslangToSpv.h>
#include <spirv_cross/spirv_cross_c.h>

#include <cctype>
#include <climits>
#include <cstring>
#include <memory>
#include <mutex>

#include "ShaderRegisterAllocator.h"
#include "ShaderSemantic.h"
#include "ShaderSourceFile.h"

namespace {

constexpr UINT kMaxRenderTargetOutputs = 4;

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
  std::string rest;
  return semantic && CShaderSemantic::Parse(semantic, usage, index, &rest) && rest.empty();
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

// The first component of a value of `components` floats; a scalar takes no swizzle in GLSL 1.30.
std::string FirstComponent(const std::string& value, UINT components) {
  return components > 1 ? value + ".x" : value;
}

// Turns the interface declaration "in|out <type> name;" into a plain global that the wrapper
// main fills or reads.
bool MakeGlobal(std::string* glsl, const std::string& name) {
  const size_t at = glsl->find(" " + name + ";");
  if (at == std::string::npos) return false;
  const size_t lineStart = glsl->rfind('\n', at) + 1;
  for (const char* qualifier : {"in ", "out "}) {
    const size_t length = strlen(qualifier);
    if (glsl->compare(lineStart, length, qualifier) == 0) {
      glsl->erase(lineStart, length);
      return true;
    }
  }
  return false;
}

// The varying that carries a stage output without a built-in between the halves; translated
// bytecode names it the same way, so compiled and assembled halves pair up.
std::string VaryingName(UINT usage, UINT index) {
  return "io_" + std::to_string(usage) + "_" + std::to_string(index);
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

// What the wrapper main adds around the program's own: copies of the inputs before it, of the
// outputs after it, and the declarations both need.
struct SWrapper {
  std::string declarations;
  std::string prologue;
  std::string epilogue;
  std::vector<std::string> globals;
};

bool WrapInputs(spvc_compiler compiler, spvc_resources resources, bool isVertex, CCompiledShaderBlob* blob,
                SWrapper* wrapper, std::string* messages) {
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
    if (isVertex) continue;  // attributes, bound by name
    const UINT size = VectorSize(compiler, list[i].type_id);
    std::string source;
    if (usage == D3DDECLUSAGE_COLOR && index < 2) {
      source = index == 0 ? "gl_Color" : "gl_SecondaryColor";
    } else if (usage == D3DDECLUSAGE_TEXCOORD && index < 8) {
      source = "gl_TexCoord[" + std::to_string(index) + "]";
    } else {
      source = VaryingName(usage, index);
      wrapper->declarations += "in vec4 " + source + ";\n";
    }
    wrapper->globals.push_back(name);
    wrapper->prologue += "  " + name + " = " + Narrow(source, size) + ";\n";
  }
  return true;
}

bool WrapVertexOutputs(spvc_compiler compiler, spvc_resources resources, SWrapper* wrapper, std::string* messages) {
  const spvc_reflected_resource* list;
  size_t count;
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
      wrapper->epilogue += "  gl_FogFragCoord = " + FirstComponent(name, size) + ";\n";
    } else if (usage == D3DDECLUSAGE_PSIZE) {
      wrapper->epilogue += "  gl_PointSize = " + FirstComponent(name, size) + ";\n";
    } else {
      target = VaryingName(usage, index);
      wrapper->declarations += "out vec4 " + target + ";\n";
    }
    wrapper->globals.push_back(name);
    if (!target.empty()) wrapper->epilogue += "  " + target + " = " + Widen(name, size) + ";\n";
  }
  if (!hasPosition) *messages += "vertex shader writes no POSITION\n";
  return hasPosition;
}

bool WrapPixelOutputs(spvc_compiler compiler, spvc_resources resources, SWrapper* wrapper, std::string* messages) {
  const spvc_reflected_resource* list;
  size_t count;
  spvc_resources_get_resource_list_for_type(resources, SPVC_RESOURCE_TYPE_STAGE_OUTPUT, &list, &count);
  for (size_t i = 0; i < count; ++i) {
    UINT usage, index;
    const char* semantic = spvc_compiler_get_decoration_string(compiler, list[i].id, SpvDecorationUserSemantic);
    if (!ParseSemantic(semantic, &usage, &index) ||
        !((usage == D3DDECLUSAGE_COLOR && index < kMaxRenderTargetOutputs) || usage == D3DDECLUSAGE_DEPTH)) {
      *messages += std::string("output semantic not supported: ") + (semantic ? semantic : "(none)") + "\n";
      return false;
    }
    const std::string name = "ps_out_" + std::to_string(i);
    spvc_compiler_set_name(compiler, list[i].id, name.c_str());
    const UINT size = VectorSize(compiler, list[i].type_id);
    wrapper->globals.push_back(name);
    if (usage == D3DDECLUSAGE_DEPTH)
      wrapper->epilogue += "  gl_FragDepth = " + FirstComponent(name, size) + ";\n";
    else
      wrapper->epilogue += "  gl_FragData[" + std::to_string(index) + "] = " + Widen(name, size) + ";\n";
  }
  return true;
}

// The interface between the stages as the built-ins the other half reads or writes.
bool WrapInterface(spvc_compiler compiler, bool isVertex, CCompiledShaderBlob* blob, SWrapper* wrapper,
                   std::string* messages) {
  spvc_resources resources;
  if (spvc_compiler_create_shader_resources(compiler, &resources) != SPVC_SUCCESS) return false;
  if (!WrapInputs(compiler, resources, isVertex, blob, wrapper, messages)) return false;
  return isVertex ? WrapVertexOutputs(compiler, resources, wrapper, messages)
                  : WrapPixelOutputs(compiler, resources, wrapper, messages);
}

// A global's value type and size as the uniform block holds it; false for what no register
// set can feed (structures, doubles, arrays of arrays).
bool DescribeGlobal(spvc_type member, SBlobConstant* c) {
  switch (spvc_type_get_basetype(member)) {
    case SPVC_BASETYPE_FP32:
      c->valueType = BLOB_VALUE_FLOAT;
      break;
    case SPVC_BASETYPE_INT32:
      c->valueType = BLOB_VALUE_INT;
      break;
    case SPVC_BASETYPE_UINT32:  // HLSL's bool, which a uniform block cannot hold as it is
    case SPVC_BASETYPE_BOOLEAN:
      c->valueType = BLOB_VALUE_UINT;
      break;
    default:
      return false;
  }
  if (spvc_type_get_num_array_dimensions(member) > 1) return false;
  c->columns = spvc_type_get_columns(member);
  c->rows = spvc_type_get_vector_size(member);
  c->elements = spvc_type_get_num_array_dimensions(member) == 1 ? spvc_type_get_array_dimension(member, 0) : 1;
  return c->columns >= 1 && c->columns <= 4 && c->rows >= 1 && c->rows <= 4 && c->elements >= 1;
}

// Registers a global of this size takes in `set`; 0 when the set cannot feed it.
UINT RegistersFor(const SBlobConstant& c, EBlobRegisterSet set) {
  switch (set) {
    case BLOB_REGISTERS_FLOAT:
      return c.columns * c.elements;
    case BLOB_REGISTERS_INTEGER:
      return c.columns == 1 ? c.elements : 0;
    default:
      return c.columns == 1 ? c.rows * c.elements : 0;
  }
}

// Globals (the members of glslang's uniform blocks) and the registers that feed them: float
// globals from c, and from shader model 2 on int globals from i and bool globals from b, as
// the source places them or else in the lowest free registers in declaration order.
bool MapConstants(spvc_compiler compiler, bool isVertex, bool hasFlowControlRegisters,
                  CShaderRegisterAllocator* registers, CCompiledShaderBlob* blob, std::string* messages) {
  spvc_resources resources;
  if (spvc_compiler_create_shader_resources(compiler, &resources) != SPVC_SUCCESS) return false;
  const spvc_reflected_resource* list;
  size_t count;
  spvc_resources_get_resource_list_for_type(resources, SPVC_RESOURCE_TYPE_UNIFORM_BUFFER, &list, &count);
  std::vector<SBlobConstant> unplaced;
  for (size_t b = 0; b < count; ++b) {
    // Both halves have a $Global block; the names keep them apart when the two are linked.
    const std::string block = std::string(isVertex ? "vs" : "ps") + "_globals" + std::to_string(b);
    spvc_compiler_set_name(compiler, list[b].id, block.c_str());
    spvc_compiler_set_name(compiler, list[b].base_type_id, (block + "_type").c_str());
    spvc_type structType = spvc_compiler_get_type_handle(compiler, list[b].base_type_id);
    const unsigned members = spvc_type_get_num_member_types(structType);
    for (unsigned m = 0; m < members; ++m) {
      const char* memberName = spvc_compiler_get_member_name(compiler, list[b].base_type_id, m);
      SBlobConstant c{};
      if (!DescribeGlobal(spvc_compiler_get_type_handle(compiler, spvc_type_get_member_type(structType, m)), &c)) {
        *messages += std::string("warning: global ") + memberName + " is not fed from constant registers\n";
        continue;
      }
      c.name = block + "." + memberName;
      EBlobRegisterSet set;
      UINT first;
      const bool placed = registers->Explicit(memberName, &set, &first);
      if (!placed)
        set = c.valueType == BLOB_VALUE_FLOAT || !hasFlowControlRegisters ? BLOB_REGISTERS_FLOAT
              : c.valueType == BLOB_VALUE_INT                          ? BLOB_REGISTERS_INTEGER
                                                                       : BLOB_REGISTERS_BOOLEAN;
      c.registerSet = set;
      c.registerCount = RegistersFor(c, set);
      if (c.registerCount == 0) {
        *messages += std::string("global ") + memberName + " does not fit its register set\n";
        return false;
      }
      if (!placed) {
        unplaced.push_back(c);
        continue;
      }
      c.firstRegister = first;
      if (!registers->Reserve(set, first, c.registerCount)) {
        *messages += std::string("global ") + memberName + " runs past the last register\n";
        return false;
      }
      blob->constants.push_back(c);
    }
  }
  for (SBlobConstant& c : unplaced) {
    if (!registers->Allocate(static_cast<EBlobRegisterSet>(c.registerSet), c.registerCount, &c.firstRegister)) {
      *messages += "no registers left for global " + c.name + "\n";
      return false;
    }
    blob->constants.push_back(c);
  }
  return true;
}

// The samplers, by their register sN: as the source places them, else in the lowest free.
bool MapSamplers(spvc_compiler compiler, bool isVertex, CShaderRegisterAllocator* registers, CCompiledShaderBlob* blob,
                 std::string* messages) {
  spvc_resources resources;
  if (spvc_compiler_create_shader_resources(compiler, &resources) != SPVC_SUCCESS) return false;
  const spvc_reflected_resource* list;
  size_t count;
  spvc_resources_get_resource_list_for_type(resources, SPVC_RESOURCE_TYPE_SAMPLED_IMAGE, &list, &count);
  std::vector<size_t> unplaced;
  std::vector<UINT> stages(count);
  for (size_t i = 0; i < count; ++i) {
    EBlobRegisterSet set;
    if (!registers->Explicit(list[i].name, &set, &stages[i]) || set != BLOB_REGISTERS_SAMPLER) {
      unplaced.push_back(i);
    } else if (!registers->Reserve(BLOB_REGISTERS_SAMPLER, stages[i], 1)) {
      *messages += std::string("sampler ") + list[i].name + " runs past the last sampler\n";
      return false;
    }
  }
  for (size_t i : unplaced)
    if (!registers->Allocate(BLOB_REGISTERS_SAMPLER, 1, &stages[i])) {
      *messages += std::string("no sampler left for ") + list[i].name + "\n";
      return false;
    }
  for (size_t i = 0; i < count; ++i) {
    const std::string name = std::string(isVertex ? "vs" : "ps") + "_sampler" + std::to_string(stages[i]);
    spvc_compiler_set_name(compiler, list[i].id, name.c_str());
    blob->samplers.push_back({stages[i], name});
  }
  return true;
}

bool SpirvToGlsl(const std::vector<unsigned>& spirv, bool isVertex, bool hasFlowControlRegisters,
                 CShaderRegisterAllocator* registers, CCompiledShaderBlob* blob, std::string* messages) {
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
  // 1.30 is the first GLSL with unsigned integers, which HLSL's bool globals become.
  spvc_compiler_options_set_uint(options, SPVC_COMPILER_OPTION_GLSL_VERSION, 130);
  spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_GLSL_ES, SPVC_FALSE);
  spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_GLSL_ENABLE_420PACK_EXTENSION, SPVC_FALSE);
  spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_GLSL_EMIT_UNIFORM_BUFFER_AS_PLAIN_UNIFORMS, SPVC_TRUE);
  spvc_compiler_install_compiler_options(compiler, options);
  SWrapper wrapper;
  if (!WrapInterface(compiler, isVertex, blob, &wrapper, messages) ||
      !MapConstants(compiler, isVertex, hasFlowControlRegisters, registers, blob, messages) ||
      !MapSamplers(compiler, isVertex, registers, blob, messages))
    return false;
  const char* glsl = nullptr;
  if (spvc_compiler_compile(compiler, &glsl) != SPVC_SUCCESS || !glsl) return false;
  std::string source(glsl);
  for (const std::string& name : wrapper.globals)
    if (!MakeGlobal(&source, name)) {
      *messages += "cannot rewire " + name + " in the generated GLSL\n";
      return false;
    }
  static const char kMain[] = "void main()";
  const size_t main = source.find(kMain);
  if (main == std::string::npos) return false;
  source.replace(main, sizeof kMain - 1, "void hlsl_main()");
  source += wrapper.declarations;
  source += "void main() {\n" + wrapper.prologue + "  hlsl_main();\n" + wrapper.epilogue + "}\n";
  blob->source = std::move(source);
  blob->isVertex = isVertex;
  return true;
}

// #include of a file source finds files beside the including file; a source in memory has
// nowhere to look.
class CSourceIncluder : public glslang::TShader::Includer {
 public:
  explicit CSourceIncluder(const char* fileName) : m_fileName(fileName) {}
  IncludeResult* includeLocal(const char* header, const char* includer, size_t depth) override {
    if (!m_fileName || depth > CShaderSourceFile::kMaxIncludeDepth) return nullptr;
    auto text = std::make_unique<std::string>();
    std::string path;
    if (!CShaderSourceFile::ReadInclude(includer && *includer ? includer : m_fileName, header, &path, text.get()))
      return nullptr;
    m_included += *text + "\n";
    const char* data = text->data();
    const size_t length = text->size();
    return new IncludeResult(path, data, length, text.release());
  }
  // Everything included, for the register placements it holds.
  const std::string& Included() const { return m_included; }
  IncludeResult* includeSystem(const char* header, const char* includer, size_t depth) override {
    return includeLocal(header, includer, depth);
  }
  void releaseInclude(IncludeResult* result) override {
    if (!result) return;
    delete static_cast<std::string*>(result->userData);
    delete result;
  }

 private:
  const char* m_fileName;
  std::string m_included;
};

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
  CSourceIncluder includer(fileName);
  if (!shader.parse(GetDefaultResources(), 100, false, rules, includer)) {
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
  // Shader model 2 and 3 have integer and Boolean registers for flow control; 1.x has only c.
  const bool hasFlowControlRegisters = profile[3] >= '2';
  const UINT limits[CShaderRegisterAllocator::kSetCount] = {isVertex ? 256u : 224u, 16, 16, isVertex ? 4u : 16u};
  const std::string placements = std::string(source, length) + "\n" + includer.Included();
  CShaderRegisterAllocator registers(placements.data(), placements.size(), limits);
  if (!SpirvToGlsl(spirv, isVertex, hasFlowControlRegisters, &registers, blob, messages)) {
    if (messages->empty()) *messages = "cannot turn the compiled program into GLSL\n";
    return false;
  }
  return true;
}
