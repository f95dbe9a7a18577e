// The renderer, vertex declarations, index and vertex buffers and shaders as scripts drive them:
// on the renderer's real banks (null back end, device call log) where they exist, on recording
// shader storages for the rows that hand shaders their parameters. Every count a script gives
// is checked against its array before anything reaches the engine.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "D3DBindingsBench.h"
#include "RecordingRenderer.h"
#include "d3d/VertexBuffer.h"
#include "script/bstr.h"

using namespace AngelScript;

namespace {

// A vertex shader whose parameters are the ones it was created with; null past them.
class RecordedVertexShader final : public CVertexShaderInterface {
 public:
  void Set() override { ++sets; }
  const char* GetShaderName() override { return "vertex"; }
  ShaderInputRegister* GetInputRegisters() override { return nullptr; }
  UINT GetNumberOfInputRegisters() override { return 0; }
  ShaderParameter* GetShaderParameter(UINT index) override {
    return index < parameters.size() ? &parameters[index] : nullptr;
  }
  UINT GetNumberOfShaderParameters() override { return static_cast<UINT>(parameters.size()); }
  std::vector<ShaderParameter> parameters;
  int sets = 0;
};

// Records what each CreateShader and SetShader is given, as "file|profile|count".
class RecordingVertexShaders final : public CVertexShaderStorageInterface {
 public:
  CVertexShaderInterface* CreateShader(const char* file, const char* profile,
                                       ShaderParameter* parameters, UINT count) override {
    return Made(std::string(file) + "|" + profile + "|" + std::to_string(count), parameters, count);
  }
  CVertexShaderInterface* CreateShader(const char* file, ShaderParameter* parameters,
                                       UINT count) override {
    return Made(std::string(file) + "||" + std::to_string(count), parameters, count);
  }
  void SetShader(CVertexShaderInterface* shader) override { set.push_back(shader); }

  CVertexShaderInterface* Made(const std::string& call, ShaderParameter* parameters, UINT count) {
    calls.push_back(call);
    shaders.push_back(std::make_unique<RecordedVertexShader>());
    shaders.back()->parameters.assign(parameters, parameters + count);
    return shaders.back().get();
  }
  std::vector<std::string> calls;
  std::vector<std::unique_ptr<RecordedVertexShader>> shaders;
  std::vector<CVertexShaderInterface*> set;
};

class RecordingPixelShaders final : public CPixelShaderStorageInterface {
 public:
  void SetShader(CPixelShaderInterface* shader) override { set.push_back(shader); }
  CPixelShaderInterface* CreateShader(const char* file, const char* profile, ShaderParameter*,
                                      UINT count) override {
    calls.push_back(std::string(file) + "|" + profile + "|" + std::to_string(count));
    return nullptr;
  }
  CPixelShaderInterface* CreateShader(const char* file, ShaderParameter*, UINT count) override {
    calls.push_back(std::string(file) + "||" + std::to_string(count));
    return nullptr;
  }
  std::vector<std::string> calls;
  std::vector<CPixelShaderInterface*> set;
};

class D3DResourceBindingsTest : public D3DBindingsTest {
 protected:
  void SetUp() override {
    D3DBindingsTest::SetUp();
    Global("CVertexDeclarationStorageInterface@ g_declarations", &declarations);
    Global("CIndexBufferStorageInterface@ g_indices", &indexBuffers);
    Global("CVertexBufferStorageInterface@ g_vertices", &vertexBuffers);
    Global("CVertexShaderStorageInterface@ g_vs", &vertexShadersHandle);
    Global("CPixelShaderStorageInterface@ g_ps", &pixelShadersHandle);
    banks.bench.ForgetCalls();
  }
  void Global(const char* declaration, void* address) {
    ASSERT_GE(script.engine->RegisterGlobalProperty(declaration, address), 0) << declaration;
  }
  static std::vector<std::string> Calls(const std::vector<std::string>& methods) {
    return RendererTestBench::Calls(methods);
  }

  CVertexDeclarationStorageInterface* declarations =
      banks.Renderer().GetVertexDeclarationStorageInterface();
  CIndexBufferStorageInterface* indexBuffers = banks.Renderer().GetIndexBufferStorageInterface();
  CVertexBufferStorageInterface* vertexBuffers =
      banks.Renderer().GetVertexBufferStorageInterface();
  RecordingVertexShaders vertexShaders;
  RecordingPixelShaders pixelShaders;
  CVertexShaderStorageInterface* vertexShadersHandle = &vertexShaders;
  CPixelShaderStorageInterface* pixelShadersHandle = &pixelShaders;
};

TEST_F(D3DResourceBindingsTest, ADeclarationIsFoundByItsElementsAndGivesACopyOfThem) {
  auto* made = Handle<CVertexDeclarationInterface>(
      "CVertexDeclarationInterface@",
      ScriptElements() + "return g_declarations.CreateVertexDeclaration(e);");
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(Handle<CVertexDeclarationInterface>(
                "CVertexDeclarationInterface@",
                ScriptElements() + "return g_declarations.CreateVertexDeclaration(e);"),
            made);
  CVertexDeclarationInterface* handle = made;
  Global("CVertexDeclarationInterface@ g_declaration", &handle);
  // Through the end element; changing the copy changes nothing.
  EXPECT_EQ(script.Eval<asUINT>("uint", "array<D3DVERTEXELEMENT9>@ a = g_declaration.GetVertexElement();"
                                        "a[1].Offset = 99; return a.length() * 1000 + a[3].Type;"),
            4017u);
  EXPECT_EQ(made->GetVertexElement()[1].Offset, 12);
  Throws(ScriptElements(false) + "g_declarations.CreateVertexDeclaration(e);");
}

TEST_F(D3DResourceBindingsTest, IndexBuffersAreStaticTheirListsCopiesAndTheirCountsChecked) {
  const std::string indices = "array<uint16> i = {0, 1, 2, 2, 1, 3};";
  auto* buffer = Handle<CIndexBufferInterface>(
      "CIndexBufferInterface@",
      indices + "return g_indices.CreateIndexBuffer(\"Mesh\", \"Skin\", i, 6, 0);");
  ASSERT_NE(buffer, nullptr);
  const UINT made = indexBuffers->GetNumberOfIndexBuffers();
  // A static buffer may stand for an equal list; a dynamic one never would.
  EXPECT_EQ(Handle<CIndexBufferInterface>(
                "CIndexBufferInterface@",
                indices + "return g_indices.CreateIndexBuffer(\"Mesh\", \"Skin\", i, 6, 0);"),
            buffer);

  CIndexBufferInterface* handle = buffer;
  Global("CIndexBufferInterface@ g_buffer", &handle);
  EXPECT_EQ(script.Eval<bstr>("bstr", "bstr m = g_buffer.GetMeshOwner(); m += \"!\";"
                                      "return m + g_buffer.GetSurfaceOwner();"),
            std::string(buffer->GetMeshOwner()) + "!" + buffer->GetSurfaceOwner());
  EXPECT_EQ(script.Eval<asUINT>("uint", "array<uint16>@ c = g_buffer.GetIndicesPointer(); c[5] = 9;"
                                        "return c.length() * 100 + c[3];"),
            602u);
  EXPECT_EQ(buffer->GetIndicesPointer()[5], 3);
  EXPECT_EQ(script.Eval<asUINT>("uint", indices + "return g_buffer.Compare(i, 6, 0);"),
            buffer->Compare(std::vector<WORD>{0, 1, 2, 2, 1, 3}.data(), 6, 0));

  const std::string refused[] = {
      indices + "g_indices.CreateIndexBuffer(\"Mesh\", \"Other\", i, 7, 1);",
      "array<uint16>@ i = null; g_indices.CreateIndexBuffer(\"Mesh\", \"Other\", i, 1, 1);",
      indices + "g_buffer.SetIndicesSource(i, 7);",
      indices + "g_buffer.Compare(i, 7, 0);",
  };
  for (const std::string& code : refused) Throws(code);
  EXPECT_EQ(indexBuffers->GetNumberOfIndexBuffers(), made);
  EXPECT_EQ(buffer->GetNumberOfIndices(), 6u);
  EXPECT_EQ(Handle("CIndexBufferInterface@", "return g_indices.GetIndexBuffer(1024);"), nullptr);
}

TEST_F(D3DResourceBindingsTest, AVertexBufferKeepsItsMorphTargetAfterTheScriptsArrayIsGone) {
  auto* buffer = Handle<CVertexBufferInterface>(
      "CVertexBufferInterface@",
      "array<Vertex> v(3); array<Vertex> m(3); m[2].vecPosition = CVector3(7, 8, 9);"
      "return g_vertices.CreateVertexBuffer(v, m, 3, \"Morphing\", 0);");
  ASSERT_NE(buffer, nullptr);
  script.engine->GarbageCollect();
  const Vertex* second = static_cast<CVertexBuffer*>(buffer)->GetSecondVertices();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second[2].vecPosition, CVector3(7, 8, 9));
  EXPECT_EQ(second, CScriptKeptData::Instance().Find(vertexBuffers, buffer));

  CVertexBufferInterface* handle = buffer;
  Global("CVertexBufferInterface@ g_buffer", &handle);
  EXPECT_EQ(script.Eval<asUINT>("uint", "return g_buffer.GetNumberOfVertices();"), 3u);
  EXPECT_EQ(script.Eval<bstr>("bstr", "return g_buffer.GetOwnerName();"), "morphing");

  // Without a morph target the second array may be null; either array short of the count is
  // refused.
  EXPECT_NE(Handle("CVertexBufferInterface@",
                   "array<Vertex> v(2); return g_vertices.CreateVertexBuffer(v, null, 2, \"b\", 0);"),
            nullptr);
  Throws("array<Vertex> v(2); g_vertices.CreateVertexBuffer(v, null, 3, \"c\", 0);");
  Throws("array<Vertex> v(3); array<Vertex> m(2); g_vertices.CreateVertexBuffer(v, m, 3, \"d\", 0);");
  Throws("g_buffer.CreateCompatibleWith(null);");
}

TEST_F(D3DResourceBindingsTest, ShadersAreMadeFromTheirFileOrABankWithTheScriptsParameters) {
  Run("array<ShaderParameter> p(2); p[0].szParameterName = \"Gloss\"; p[0].dwValue = 3;"
      "p[1].dwDynamicID = 1;"
      "g_vs.CreateShader(\"vsh\\\\plain.vsh\", p, 2);"
      "g_vs.CreateShader(\"bank.vhl\", \"vs_2_0\", p, 1);"
      "g_ps.CreateShader(\"psh\\\\red.psh\", p, 0);"
      "g_ps.CreateShader(\"bank.phl\", \"ps_2_0\", p, 2);"
      "g_vs.SetShader(null); g_ps.SetShader(null);");
  EXPECT_EQ(vertexShaders.calls,
            (std::vector<std::string>{"vsh\\plain.vsh||2", "bank.vhl|vs_2_0|1"}));
  EXPECT_EQ(pixelShaders.calls,
            (std::vector<std::string>{"psh\\red.psh||0", "bank.phl|ps_2_0|2"}));
  ASSERT_EQ(vertexShaders.shaders[0]->parameters.size(), 2u);
  EXPECT_STREQ(vertexShaders.shaders[0]->parameters[0].szParameterName, "Gloss");
  EXPECT_EQ(vertexShaders.shaders[0]->parameters[0].dwValue, 3u);
  EXPECT_EQ(vertexShaders.shaders[0]->parameters[1].dwDynamicID, 1u);
  EXPECT_EQ(vertexShaders.set, std::vector<CVertexShaderInterface*>{nullptr});
  EXPECT_EQ(pixelShaders.set, std::vector<CPixelShaderInterface*>{nullptr});

  Throws("array<ShaderParameter> p(1); g_vs.CreateShader(\"x.vsh\", p, 2);");
  Throws("g_ps.CreateShader(\"x.phl\", \"ps_2_0\", null, 1);");
  EXPECT_EQ(vertexShaders.calls.size(), 2u);
  EXPECT_EQ(pixelShaders.calls.size(), 2u);

  CVertexShaderInterface* shader = vertexShaders.shaders[0].get();
  Global("CVertexShaderInterface@ g_shader", &shader);
  EXPECT_EQ(script.Eval<bstr>("bstr", "return g_shader.GetShaderParameter(0).szParameterName;"),
            "Gloss");
  Run("g_shader.GetShaderParameter(1).dwValue = 12; g_shader.Set();");
  EXPECT_EQ(vertexShaders.shaders[0]->parameters[1].dwValue, 12u);
  EXPECT_EQ(vertexShaders.shaders[0]->sets, 1);
  Throws("g_shader.GetShaderParameter(2);");
}

TEST_F(D3DResourceBindingsTest, AParameterNameIsReadWrittenAndCutInsideTheRecord) {
  EXPECT_EQ(script.engine->GetTypeInfoByName("ShaderParameter")->GetSize(), 64u);
  struct Case {
    const char* name;
    std::string expected;
  };
  const std::string fits(55, 'a');
  const Case cases[] = {{"", ""}, {"Specular", "Specular"}, {nullptr, fits}};
  for (const Case& c : cases) {
    const std::string name = c.name ? std::string("\"") + c.name + "\"" : "n";
    EXPECT_EQ(script.Eval<bstr>(
                  "bstr", "bstr n; for (int i = 0; i < 60; ++i) n += \"a\"; ShaderParameter p;"
                          "p.szParameterName = " + name + "; return p.szParameterName;"),
              c.expected);
  }
  // A second name shorter than the first leaves nothing of it behind.
  EXPECT_EQ(script.Eval<bstr>("bstr", "ShaderParameter p; p.szParameterName = \"Longer\";"
                                      "p.szParameterName = \"L\"; p.dwValue = 1;"
                                      "return p.szParameterName;"),
            "L");
}

TEST_F(D3DResourceBindingsTest, RendererAdaptersAddTheirFixedArguments) {
  RecordingRenderer recording;
  CD3D9RendererInterface* handle = &recording;
  Global("CD3D9RendererInterface@ g_recording", &handle);
  Run("g_recording.Clear(3); HWND h; g_recording.Flip(h);"
      "CMatrix m; m._42 = 5; g_recording.SetTransform(256, m);");
  EXPECT_EQ(recording.frameCalls,
            (std::vector<std::string>{"Clear(3,0)", "Flip(1)", "SetTransform(256)"}));
  EXPECT_EQ(recording.flipWindows, std::vector<HWND>{nullptr});
  ASSERT_EQ(recording.transforms.size(), 1u);
  EXPECT_EQ(recording.transforms[0].m[3][1], 5.0f);

  // Float and integer constants take four values a register, Boolean ones one.
  struct Case {
    const char* code;
    std::vector<std::string> expected;  // empty: refused
  };
  const Case cases[] = {
      {"array<float> c = {1, 2, 3, 4, 5, 6, 7, 8}; g_recording.SetPixelShaderConstantF(0, c, 2);",
       {"pc 0 1,2,3,4", "pc 1 5,6,7,8"}},
      {"array<uint> b = {1, 0}; g_recording.SetPixelShaderConstantF(0, b, 2);",
       {"pcb 0 1", "pcb 1 0"}},
      {"array<int> c = {1, 2, 3, 4}; g_recording.SetPixelShaderConstantI(5, c, 1);",
       {"pci 5 1,2,3,4"}},
      {"array<float> c = {1, 2, 3, 4}; g_recording.SetVertexShaderConstantF(9, c, 1);",
       {"vc 9 1,2,3,4"}},
      {"array<uint> b = {1}; g_recording.SetVertexShaderConstantF(3, b, 1);", {"vcb 3 1"}},
      {"array<int> c = {-1, 2, 3, 4}; g_recording.SetVertexShaderConstantI(0, c, 1);",
       {"vci 0 -1,2,3,4"}},
      {"array<float> c(7); g_recording.SetPixelShaderConstantF(0, c, 2);", {}},
      {"array<uint> b(1); g_recording.SetPixelShaderConstantF(0, b, 2);", {}},
      {"array<int> c(3); g_recording.SetPixelShaderConstantI(0, c, 1);", {}},
      {"array<float> c(8); g_recording.SetVertexShaderConstantF(0, c, 3);", {}},
      {"array<uint> b(4); g_recording.SetVertexShaderConstantF(0, b, 5);", {}},
      {"array<int>@ c = null; g_recording.SetVertexShaderConstantI(0, c, 1);", {}},
  };
  for (const Case& c : cases) {
    recording.sequence.clear();
    if (c.expected.empty())
      Throws(c.code);
    else
      Run(c.code);
    EXPECT_EQ(recording.sequence, c.expected) << c.code;
  }
}

TEST_F(D3DResourceBindingsTest, DrawsFromScriptMemoryAreCheckedAgainstTheirArrays) {
  struct Case {
    const char* code;
    const char* expected;  // the device's draw, or null when refused
  };
  // One triangle: three 16-bit indices (6 bytes), three vertices of 12 bytes.
  const Case cases[] = {
      {"array<uint8> i(6); array<uint8> v(36);"
       "g_renderer.DrawIndexedPrimitiveUP(4, 0, 3, 1, i, 101, v, 12);",
       "DrawIndexedPrimitive(4, 0, 0, 3, 0, 1)"},
      {"array<uint8> i(5); array<uint8> v(36);"
       "g_renderer.DrawIndexedPrimitiveUP(4, 0, 3, 1, i, 101, v, 12);",
       nullptr},
      {"array<uint8> i(6); array<uint8> v(35);"
       "g_renderer.DrawIndexedPrimitiveUP(4, 0, 3, 1, i, 101, v, 12);",
       nullptr},
      // 32-bit indices take four bytes each.
      {"array<uint8> i(6); array<uint8> v(36);"
       "g_renderer.DrawIndexedPrimitiveUP(4, 0, 3, 1, i, 102, v, 12);",
       nullptr},
      // A strip of two triangles reads four indices.
      {"array<uint8> i(8); array<uint8> v(48);"
       "g_renderer.DrawIndexedPrimitiveUP(5, 0, 4, 2, i, 101, v, 12);",
       "DrawIndexedPrimitive(5, 0, 0, 4, 0, 2)"},
      {"array<uint8> v(36); g_renderer.DrawPrimitive(4, 1, 3, v, 12);", "DrawPrimitive(4, 0, 1)"},
      {"array<uint8> v(36); g_renderer.DrawPrimitive(4, 1, 4, v, 12);", nullptr},
      {"g_renderer.DrawPrimitive(4, 1, 3, null, 12);", nullptr},
  };
  const std::vector<std::string> draws = {"DrawIndexedPrimitive", "DrawPrimitive"};
  for (const Case& c : cases) {
    banks.bench.ForgetCalls();
    if (c.expected == nullptr) {
      Throws(c.code);
      EXPECT_TRUE(Calls(draws).empty()) << c.code;
    } else {
      Run(c.code);
      EXPECT_EQ(Calls(draws), std::vector<std::string>{c.expected}) << c.code;
    }
  }
}

TEST_F(D3DResourceBindingsTest, TheViewportScissorAndLightReachTheDevice) {
  banks.bench.ForgetCalls();
  Run("g_renderer.GetViewport().X = 1; g_renderer.GetViewport().Y = 2;"
      "g_renderer.GetViewport().Width = 30; g_renderer.GetViewport().Height = 40;"
      "g_renderer.SetViewport();");
  EXPECT_EQ(Calls({"SetViewport"}).back().rfind("SetViewport(1, 2, 30, 40)", 0), 0u)
      << Calls({"SetViewport"}).back();

  EXPECT_EQ(script.Eval<asUINT>("uint",
                                "RECT r; r.left = 8; r.top = 4; r.right = 20; r.bottom = 18;"
                                "g_renderer.SetScissorTest(r); RECT back;"
                                "g_renderer.GetScissorTest(back);"
                                "return back.left * 1000000 + back.top * 10000 + back.right * 100 + back.bottom;"),
            8042018u);
  EXPECT_EQ(Calls({"SetScissorRect"}), std::vector<std::string>{"SetScissorRect(8, 4, 20, 18)"});

  Run("D3DLIGHT9 l; l.Type = 3; l.Direction = CVector3(0, -1, 0); g_renderer.SetLight(2, l);");
  EXPECT_EQ(Calls({"SetLight"}), std::vector<std::string>{"SetLight(2, 3)"});
  EXPECT_EQ(Handle("CSpriteStorageInterface@", "return g_renderer.GetSpriteStorageInterface();"),
            &banks.Sprites());
}

}  // namespace
