// The vertex- and pixel-shader banks on the null back end over program files the tests write:
// reuse, where the source comes from, the macro lists, input checks, setting, reset and release.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ProcessExitCatcher.h"
#include "RecordingAllocator.h"
#include "RecordingVertexInputs.h"
#include "RendererTestBench.h"
#include "TempDir.h"
#include "ZkzWriter.h"
#include "core/Profiler.h"
#include "core/SettingEntry.h"
#include "core/Settings.h"
#include "d3d/PixelShaderBank.h"
#include "d3d/VertexShaderBank.h"
#include "vfs/VirtualFileSystem.h"

namespace {

const char kPositionOnly[] = "vs_1_1\ndcl_position v0\nmov oPos, v0\n";
const char kNoInputs[] = "vs_1_1\nmov oPos, c0\n";
const char kPositionAndTexture[] = "vs_1_1\ndcl_position v0\ndcl_texcoord1 v1\ndcl_normal v2\nmov oPos, v0\nmov oT0, v1\nadd oT1, v2, c0\n";
const char kPixelAssembly[] = "ps_2_0\nmov oC0, c0\n";
const char kVertexHlsl[] = "float4 main(float4 p : POSITION) : POSITION { return p; }\n";
const char kPixelHlsl[] = "float4 main() : COLOR { return float4(1, 0, 0, 1); }\n";

ShaderParameter Parameter(const char* name, DWORD value, DWORD dynamic = 0) {
  ShaderParameter parameter = {};
  parameter.dwValue = value;
  parameter.dwDynamicID = dynamic;
  memcpy(parameter.szParameterName, name, std::min(strlen(name), sizeof parameter.szParameterName));
  return parameter;
}

// A renderer with its null-back-end device and both real banks over `shaders` as the shaders
// directory.
class ShaderBench {
 public:
  explicit ShaderBench(CSettings* settings = nullptr, ZkTestD3DBackend backend = ZK_D3D_BACKEND_NULL)
      : bench(backend) {
    bench.context->pProfiler = &profiler;
    vertex = std::make_unique<CVertexShaderBank>(&inputs, bench.renderer.get(), &bench.log, shaders.Path().c_str());
    pixel = std::make_unique<CPixelShaderBank>(bench.renderer.get(), &bench.log, shaders.Path().c_str(), settings);
    CD3D9Renderer::Banks banks;
    banks.pRenderTargets = &bench.renderTargets;
    banks.pIndexBuffers = &bench.indexBuffers;
    banks.pVertexBuffers = &bench.vertexBuffers;
    banks.pTextures = &bench.textures;
    banks.pVertexShaders = vertex.get();
    banks.pPixelShaders = pixel.get();
    bench.renderer->SetBanks(banks);
    inputs.supplied = {{D3DDECLUSAGE_POSITION, 0}};
    bench.ForgetCalls();
  }

  static size_t Count(const char* method) { return ZkTestD3DCountCalls(method); }

  RendererTestBench bench;
  CProfiler profiler;
  TempDir shaders;
  RecordingVertexInputs inputs;
  std::unique_ptr<CVertexShaderBank> vertex;
  std::unique_ptr<CPixelShaderBank> pixel;
};

// --- reuse ---

struct ReuseCase {
  const char* name;
  std::function<void*(ShaderBench&)> first;
  std::function<void*(ShaderBench&)> second;
  bool reused;
};

TEST(ShaderBank, ReusesAShaderOnlyForTheSameNameAndParameters) {
  ShaderParameter ab[] = {Parameter("A", 1), Parameter("B", 2)};
  ShaderParameter ba[] = {Parameter("B", 2), Parameter("A", 1)};
  ShaderParameter a2[] = {Parameter("A", 2), Parameter("B", 2)};
  ShaderParameter longer[] = {Parameter("AA", 1), Parameter("B", 2)};
  auto vsAsm = [](const char* file, ShaderParameter* p) {
    return [=](ShaderBench& s) -> void* { return s.vertex->CreateShader(file, p, p ? 2 : 0); };
  };
  auto vsHlsl = [](const char* file, ShaderParameter* p) {
    return [=](ShaderBench& s) -> void* { return s.vertex->CreateShader(file, "vs_2_0", p, p ? 2 : 0); };
  };
  auto psAsm = [](const char* file, ShaderParameter* p) {
    return [=](ShaderBench& s) -> void* { return s.pixel->CreateShader(file, p, p ? 2 : 0); };
  };
  const ReuseCase cases[] = {
      {"equal", vsAsm("vsh\\Plain.vsh", ab), vsAsm("VSH\\plain.VSH", ab), true},
      {"HLSL reordered", vsHlsl("vsh\\plain.vhl", ab), vsHlsl("vsh\\plain.vhl", ba), true},
      {"assembly reordered", vsAsm("vsh\\plain.vsh", ab), vsAsm("vsh\\plain.vsh", ba), false},
      {"pixel assembly, another value", psAsm("psh\\plain.psh", ab), psAsm("psh\\plain.psh", a2), true},
      {"vertex assembly, another value", vsAsm("vsh\\plain.vsh", ab), vsAsm("vsh\\plain.vsh", a2), false},
      {"HLSL, another value", vsHlsl("vsh\\plain.vhl", ab), vsHlsl("vsh\\plain.vhl", a2), false},
      {"a name that begins with another", vsAsm("vsh\\plain.vsh", ab), vsAsm("vsh\\plain.vsh", longer), false},
      {"a stored name extending the request", vsAsm("vsh\\plain.vsh2", nullptr), vsAsm("vsh\\plain.vsh", nullptr),
       false},
  };
  for (const ReuseCase& c : cases) {
    SCOPED_TRACE(c.name);
    ShaderBench s;
    s.shaders.Write("vsh/plain.vsh", kPositionOnly);
    s.shaders.Write("vsh/plain.vsh2", kPositionOnly);
    s.shaders.Write("vsh/plain.vhl", kVertexHlsl);
    s.shaders.Write("psh/plain.psh", kPixelAssembly);
    void* first = c.first(s);
    s.bench.log.entries.clear();
    void* second = c.second(s);
    EXPECT_EQ(first == second, c.reused);
    EXPECT_EQ(s.Count("CreateVertexShader") + s.Count("CreatePixelShader"), c.reused ? 1u : 2u);
    const std::string info = s.bench.log.TextAt(CEngineLog::kLevelInfo);
    EXPECT_EQ(info.find("Already Exists!") != std::string::npos || info.find("Loading Shader From Bank") != std::string::npos,
              c.reused)
        << info;
  }
  // A reused pixel shader keeps the values it was made with.
  ShaderBench s;
  s.shaders.Write("psh/plain.psh", kPixelAssembly);
  CPixelShaderInterface* made = s.pixel->CreateShader("psh\\plain.psh", ab, 2);
  EXPECT_EQ(s.pixel->CreateShader("psh\\plain.psh", a2, 2), made);
  EXPECT_EQ(made->GetShaderParameter(0)->dwValue, 1u);
}

TEST(ShaderBank, LogsTheRequestAndTheShaderItMade) {
  ShaderBench s;
  s.shaders.Write("vsh/plain.vsh", kPositionOnly);
  ShaderParameter parameters[] = {Parameter("LIGHTS", 3, 1), Parameter("FULL", 7)};
  memset(parameters[1].szParameterName, 'N', sizeof parameters[1].szParameterName);  // no terminator
  CVertexShaderInterface* shader = s.vertex->CreateShader("VSH\\Plain.VSH", parameters, 2);
  EXPECT_STREQ(shader->GetShaderName(), "vsh\\plain.vsh");
  const std::string info = s.bench.log.TextAt(CEngineLog::kLevelInfo);
  const std::string expected = "- Creating vsh\\plain.vsh Vertex Shader With Parameters:\n"
                               "  - LIGHTS, Value: 3, Dynamic: TRUE\n"
                               "  - " + std::string(56, 'N') + ", Value: 7, Dynamic: FALSE\n";
  EXPECT_EQ(info.rfind(expected, 0), 0u) << info;
  EXPECT_NE(info.find("  - Vertex Shader vsh\\plain.vsh Successfully Created\n"
                      "    - Number Of Input Registers: 1 (1)\n"
                      "    - Vertex Shader Input Registers:\n"
                      "      - D3DDECLUSAGE_POSITION, 0\n"
                      "  - Number Of Vertex Shaders: 1\n"),
            std::string::npos)
      << info;
  EXPECT_EQ(shader->GetNumberOfShaderParameters(), 2u);
  EXPECT_EQ(shader->GetShaderParameter(1)->dwValue, 7u);
  EXPECT_EQ(shader->GetShaderParameter(2), nullptr);
  EXPECT_EQ(s.bench.Errors(),
            "ERROR!!! - Trying To Get Vertex Shader Parameter Using Index Exceeding The Number Of All Parameters\n");
}

// --- where the source comes from ---

TEST(ShaderBank, FindsFilesInTheShaderArchiveThenUnderTheShadersDirectory) {
  for (bool directory : {true, false}) {
    SCOPED_TRACE(directory ? "shaders directory" : "none");
    TempDir working;
    ShaderBench s;
    s.vertex = std::make_unique<CVertexShaderBank>(&s.inputs, s.bench.renderer.get(), &s.bench.log,
                                                   directory ? s.shaders.Path().c_str() : nullptr);
    s.shaders.Write("vsh/loose.vsh", kNoInputs);
    // Without a directory a name is taken as it stands: from where the engine runs, here.
    const std::string loose = directory ? "vsh\\loose.vsh" : s.shaders.Path() + "/vsh/loose.vsh";
    EXPECT_NE(s.vertex->CreateShader(loose.c_str(), nullptr, 0), nullptr);

    CRecordingAllocator allocator;
    CVirtualFileSystem files(&s.bench.log, &allocator, nullptr);
    ZkzWriter().Add("vsh\\packed.vsh", kPositionOnly).Write(working / "shaders.zkz");
    ASSERT_EQ(files.AddVirtualDisk((working / "shaders.zkz").c_str(), VFS_DISK_SHADER, 0, 0, nullptr), 0u);
    s.bench.context->pVirtualFileSystem = &files;
    CVertexShaderInterface* packed = s.vertex->CreateShader("VSH\\Packed.vsh", nullptr, 0);
    EXPECT_EQ(packed->GetNumberOfInputRegisters(), 1u) << "the archive's member was compiled";
    s.bench.context->pVirtualFileSystem = nullptr;
    files.Deinitialize();
  }
}

// --- the macro lists ---

// High-level pixel source that compiles only when exactly `defined` are defined, each with its
// value.
std::string PixelSourceExpecting(const std::vector<std::pair<std::string, int>>& defined) {
  const char* all[] = {"A", "B", "FX_PS20_HALFWAY_BUG", "FX_PS20_FAVOUR_SPEED", "R8500_PS14_FAVOUR_SPEED"};
  std::string text;
  for (const char* name : all) {
    auto it = std::find_if(defined.begin(), defined.end(), [&](const auto& d) { return d.first == name; });
    if (it == defined.end())
      text += std::string("#ifdef ") + name + "\n#error " + name + " defined\n#endif\n";
    else
      text += std::string("#if !defined(") + name + ") || " + name + " != " + std::to_string(it->second) +
              "\n#error " + name + " missing\n#endif\n";
  }
  return text + kPixelHlsl;
}

TEST(ShaderBank, HighLevelPixelCompilesGetTheParametersAndThePerCardMacros) {
  struct Case {
    const char* name;
    std::vector<std::pair<const char*, const char*>> settings;  // value null: a text setting
    std::vector<std::pair<std::string, int>> defined;
  };
  const Case cases[] = {
      {"no setting", {}, {{"A", 1}, {"B", -2}}},
      {"one", {{"r8500_ps14_favour_speed", "5"}}, {{"A", 1}, {"B", -2}, {"R8500_PS14_FAVOUR_SPEED", 5}}},
      {"two, one of them not a number",
       {{"fx_ps20_favour_speed", nullptr}, {"fx_ps20_halfway_bug", "1"}},
       {{"A", 1}, {"B", -2}, {"FX_PS20_HALFWAY_BUG", 1}, {"FX_PS20_FAVOUR_SPEED", 0}}},
      {"three",
       {{"fx_ps20_halfway_bug", "1"}, {"fx_ps20_favour_speed", "2"}, {"r8500_ps14_favour_speed", "3"}},
       {{"A", 1}, {"B", -2}, {"FX_PS20_HALFWAY_BUG", 1}, {"FX_PS20_FAVOUR_SPEED", 2}, {"R8500_PS14_FAVOUR_SPEED", 3}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CSettings settings;
    for (const auto& [name, value] : c.settings) {
      CSettingEntry* entry = settings.AddSetting(name);
      if (value)
        entry->SetInt(atoi(value));
      else
        entry->SetString("fast");
    }
    ShaderBench s(&settings);
    s.shaders.Write("psh/macros.phl", PixelSourceExpecting(c.defined));
    ShaderParameter parameters[] = {Parameter("A", 1), Parameter("B", static_cast<DWORD>(-2))};
    ProcessExitCatcher catcher;
    try {
      EXPECT_NE(s.pixel->CreateShader("psh\\macros.phl", "ps_2_0", parameters, 2), nullptr);
    } catch (const ProcessExited&) {
      ADD_FAILURE() << s.bench.log.TextAt(CEngineLog::kLevelInfo);
    }
    std::string names = "  - Number of parameters: 2\n";
    for (const auto& [name, value] : c.defined) names += "    " + name + "\n";
    EXPECT_NE(s.bench.log.TextAt(CEngineLog::kLevelInfo).find(names), std::string::npos);
    // Assembly sees none of them.
    s.shaders.Write("psh/asm.psh", "#ifdef A\n#error A\n#endif\n" + std::string(kPixelAssembly));
    EXPECT_NE(s.pixel->CreateShader("psh\\asm.psh", parameters, 2), nullptr);
  }
}

// --- setting ---

TEST(ShaderBank, SettingAVertexShaderChecksItsInputsEveryTime) {
  ShaderBench s;
  s.shaders.Write("vsh/inputs.vsh", kPositionAndTexture);
  s.shaders.Write("vsh/none.vsh", kNoInputs);
  CVertexShaderInterface* reader = s.vertex->CreateShader("vsh\\inputs.vsh", nullptr, 0);
  EXPECT_NE(s.bench.log.TextAt(CEngineLog::kLevelInfo)
                .find("    - Number Of Input Registers: 3 (3)\n    - Vertex Shader Input Registers:\n"
                      "      - D3DDECLUSAGE_POSITION, 0\n      - D3DDECLUSAGE_TEXCOORD, 1\n"
                      "      - D3DDECLUSAGE_NORMAL, 0\n"),
            std::string::npos)
      << s.bench.log.TextAt(CEngineLog::kLevelInfo);
  CVertexShaderInterface* none = s.vertex->CreateShader("vsh\\none.vsh", nullptr, 0);
  EXPECT_NE(s.bench.log.TextAt(CEngineLog::kLevelInfo)
                .find("    - Number Of Input Registers: 0 (0)\n    - Vertex Shader Input Registers:\n"
                      "  - Number Of Vertex Shaders: 2\n"),
            std::string::npos);
  s.bench.ForgetCalls();

  // The declaration lacks the texture coordinates: no shader is set.
  s.inputs.supplied = {{D3DDECLUSAGE_POSITION, 0}, {D3DDECLUSAGE_NORMAL, 0}};
  none->Set();
  reader->Set();
  EXPECT_EQ(s.bench.Errors(), "ERROR! - Shader Setting Error!!\nIncompatible Input Registers: vsh\\inputs.vsh\n");
  s.inputs.supplied.push_back({D3DDECLUSAGE_TEXCOORD, 1});
  reader->Set();
  reader->Set();
  s.vertex->SetShader(reader);
  EXPECT_EQ(s.inputs.questions, 4) << "checked every time";
  s.inputs.declared = false;
  none->Set();  // reads nothing: fine without a declaration
  reader->Set();
  EXPECT_EQ(RendererTestBench::Calls({"SetVertexShader"}).size(), 5u) << "none, null, reader once, none, null";
  s.profiler.EndFrame();
  EXPECT_EQ(s.profiler.GetAverage(CProfiler::kSetVertexShader), 5u);
  IDirect3DVertexShader9* bound = nullptr;
  s.bench.renderer->GetDevice()->GetVertexShader(&bound);
  EXPECT_EQ(bound, nullptr);
}

TEST(ShaderBank, APixelShaderSetAgainReachesTheDeviceOnceAndAResetSetsNone) {
  ShaderBench s;
  s.shaders.Write("psh/red.psh", kPixelAssembly);
  s.shaders.Write("vsh/plain.vsh", kPositionOnly);
  CPixelShaderInterface* red = s.pixel->CreateShader("psh\\red.psh", nullptr, 0);
  CVertexShaderInterface* plain = s.vertex->CreateShader("vsh\\plain.vsh", nullptr, 0);
  s.bench.ForgetCalls();
  red->SetShader();
  red->SetShader();
  s.pixel->SetShader(red);
  plain->Set();
  s.profiler.EndFrame();
  EXPECT_EQ(s.profiler.GetAverage(CProfiler::kSetPixelShader), 1u);
  EXPECT_EQ(RendererTestBench::Calls({"SetPixelShader", "SetVertexShader"}).size(), 2u);

  // A reset leaves no shader set, so the first setting after it reaches the device.
  ZkTestD3DLoseDevice();
  s.bench.ForgetCalls();
  ASSERT_EQ(s.bench.renderer->Reset(), 1u);
  red->SetShader();
  plain->Set();
  const std::vector<std::string> calls = RendererTestBench::Calls({"SetPixelShader", "SetVertexShader"});
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[calls.size() - 2].rfind("SetPixelShader(0x", 0), 0u) << calls[calls.size() - 2];
  EXPECT_EQ(calls.back().rfind("SetVertexShader(0x", 0), 0u) << calls.back();
}

TEST(ShaderBank, ReleasingTheDeviceFreesEveryShaderFirst) {
  const size_t before = ZkTestD3DLiveObjects();
  ShaderBench s;
  s.shaders.Write("psh/red.psh", kPixelAssembly);
  s.shaders.Write("vsh/plain.vsh", kPositionOnly);
  CPixelShaderInterface* red = s.pixel->CreateShader("psh\\red.psh", nullptr, 0);
  s.vertex->CreateShader("vsh\\plain.vsh", nullptr, 0)->Set();
  red->SetShader();
  s.bench.indexBuffers.dynamicBuffer->Release();
  s.bench.indexBuffers.dynamicBuffer = nullptr;
  s.bench.device.Release();
  s.bench.renderer->ReleaseDevice();
  EXPECT_EQ(ZkTestD3DLiveObjects(), before);
  s.bench.ForgetCalls();
  red->SetShader();
  EXPECT_EQ(ZkTestD3DCallCount(), 0u);
}

TEST(ShaderBank, TheRendererBuildsBothBanksOverTheApplicationsShadersDirectory) {
  const size_t before = ZkTestD3DLiveObjects();
  TempDir shaders;
  shaders.Write("vsh/plain.vsh", kNoInputs);
  shaders.Write("psh/red.psh", kPixelAssembly);
  RendererTestBench bench(ZK_D3D_BACKEND_NULL, ShaderModel3Card(), 2, false);
  ApplicationDescriptor descriptor = {};
  descriptor.szShadersDirectory = shaders.Path().c_str();
  bench.context->pDescriptor = &descriptor;
  CD3D9Renderer::Banks banks;
  banks.pIndexBuffers = &bench.indexBuffers;
  banks.pVertexBuffers = &bench.vertexBuffers;
  bench.renderer->SetBanks(banks);
  bench.CreateDevice(RendererTestBench::WindowedSettings());

  CVertexShaderInterface* plain =
      bench.renderer->GetVertexShaderStorageInterface()->CreateShader("vsh\\plain.vsh", nullptr, 0);
  CPixelShaderInterface* red = bench.renderer->GetPixelShaderStorageInterface()->CreateShader("psh\\red.psh", nullptr, 0);
  plain->Set();
  red->SetShader();
  ASSERT_EQ(bench.renderer->Reset(), 1u);
  bench.ForgetCalls();
  plain->Set();
  red->SetShader();
  EXPECT_EQ(RendererTestBench::Calls({"SetVertexShader", "SetPixelShader"}).size(), 2u) << "none was current";

  bench.indexBuffers.dynamicBuffer->Release();
  bench.indexBuffers.dynamicBuffer = nullptr;
  bench.device.Release();
  bench.renderer->ReleaseDevice();
  EXPECT_EQ(ZkTestD3DLiveObjects(), before);
}

TEST(ShaderBank, APairMadeThroughTheBanksDrawsOnGL) {
  ShaderBench s(nullptr, ZK_D3D_BACKEND_GL);
  // Positions go through as they are; the pixel shader paints green.
  s.shaders.Write("vsh/pass.vsh", kPositionOnly);
  s.shaders.Write("psh/green.psh", "ps_2_0\ndef c0, 0, 1, 0, 1\nmov oC0, c0\n");
  CVertexShaderInterface* pass = s.vertex->CreateShader("vsh\\pass.vsh", nullptr, 0);
  CPixelShaderInterface* green = s.pixel->CreateShader("psh\\green.psh", nullptr, 0);
  CD3D9Renderer& renderer = *s.bench.renderer;
  IDirect3DDevice9* device = renderer.GetDevice();
  ASSERT_TRUE(SUCCEEDED(device->SetFVF(D3DFVF_XYZ)));
  renderer.ClearBuffers(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0);
  renderer.BeginRendering();
  renderer.SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  pass->Set();
  green->SetShader();
  const float triangle[] = {-1, -1, 0.5f, 0, 1, 0.5f, 1, -1, 0.5f};
  ASSERT_TRUE(SUCCEEDED(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, 3 * sizeof(float))));
  renderer.EndRendering();
  const std::vector<D3DCOLOR> pixels = s.bench.device.ReadBackBuffer();
  ASSERT_EQ(pixels.size(), size_t{CD3DTestDevice::kWidth} * CD3DTestDevice::kHeight);
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 32, 40), 0x0000FF00)) << std::hex << CD3DTestDevice::At(pixels, 32, 40);
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 1, 1), 0x00000000)) << std::hex << CD3DTestDevice::At(pixels, 1, 1);
  EXPECT_EQ(s.bench.Errors(), "");
}

// --- failures ---

TEST(ShaderBank, EachBanksTableEndsAt2048Shaders) {
  for (bool pixelBank : {false, true}) {
    SCOPED_TRACE(pixelBank ? "pixel" : "vertex");
    ShaderBench s;
    s.shaders.Write("vsh/plain.vsh", kNoInputs);
    s.shaders.Write("psh/plain.psh", kPixelAssembly);
    // A vertex assembly request with another value is another shader; a pixel one needs another
    // parameter name.
    auto request = [&](DWORD i) -> void* {
      ShaderParameter value = Parameter("N", i);
      if (pixelBank) snprintf(value.szParameterName, sizeof value.szParameterName, "N%u", static_cast<unsigned>(i));
      return pixelBank ? static_cast<void*>(s.pixel->CreateShader("psh\\plain.psh", &value, 1))
                       : static_cast<void*>(s.vertex->CreateShader("vsh\\plain.vsh", &value, 1));
    };
    void* first = request(0);
    for (DWORD i = 1; i < 2048; ++i) request(i);
    EXPECT_EQ(request(0), first) << "a full table still finds what it holds";
    ProcessExitCatcher catcher;
    try {
      request(5000);
      ADD_FAILURE() << "a 2049th shader was made";
    } catch (const ProcessExited& exited) {
      EXPECT_EQ(exited.code, 1u);
    }
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(catcher.Boxes()[0].caption,
              pixelBank ? "Error While Creating Pixel Shader" : "Error While Creating Vertex Shader");
    EXPECT_EQ(catcher.Boxes()[0].text, pixelBank ? "Not Enuff PS Table Entries" : "Not Enuff VS Table Entries");
  }
}

TEST(ShaderBank, CompileFailuresEndTheProcessWithTheBanksTexts) {
  struct Case {
    const char* name;
    std::function<void(ShaderBench&)> create;
    const char* title;
    const char* text;
  };
  const std::string longName(260, 'x');
  const Case cases[] = {
      {"vertex assembly", [](ShaderBench& s) { s.vertex->CreateShader("vsh\\bad.vsh", nullptr, 0); },
       "Error While Creating Shader", "Can't Compile (ASM) VS: vsh\\bad.vsh ("},
      {"vertex HLSL, missing file",
       [](ShaderBench& s) { s.vertex->CreateShader("vsh\\missing.vhl", "vs_2_0", nullptr, 0); },
       "Error While Creating Shader", "Can't Compile (HLSL) VS: vsh\\missing.vhl ("},
      {"pixel assembly", [](ShaderBench& s) { s.pixel->CreateShader("psh\\bad.psh", nullptr, 0); },
       "Error While Creating Pixel Shader", "Can't Compile: psh\\bad.psh\n("},
      {"pixel HLSL", [](ShaderBench& s) { s.pixel->CreateShader("psh\\bad.phl", "ps_2_0", nullptr, 0); },
       "Error While Creating Pixel Shader", "Can't Compile: psh\\bad.phl\n("},
      {"a name too long for its field",
       [&](ShaderBench& s) { s.vertex->CreateShader(longName.c_str(), nullptr, 0); }, "Error While Creating Shader",
       "Can't Compile (ASM) VS: xxxx"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShaderBench s;
    s.shaders.Write("vsh/bad.vsh", "vs_1_1\nnot_an_instruction r0\n");
    s.shaders.Write("psh/bad.psh", "ps_2_0\nmov oC0, nowhere\n");
    s.shaders.Write("psh/bad.phl", "float4 main() : COLOR { return undefined_value; }\n");
    ProcessExitCatcher catcher;
    try {
      c.create(s);
      ADD_FAILURE() << "the shader was made";
    } catch (const ProcessExited& exited) {
      EXPECT_EQ(exited.code, 1u);
    }
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(catcher.Boxes()[0].caption, c.title);
    EXPECT_EQ(catcher.Boxes()[0].text.rfind(c.text, 0), 0u) << catcher.Boxes()[0].text;
  }
}

}  // namespace
