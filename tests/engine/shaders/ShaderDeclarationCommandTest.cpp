// SETVERTEXDECLARATION: the declaration it finds in the bank when it compiles, what the shader
// lists of it for the mesh's stream bindings, and the geometry it selects on the mesh.
#include <string>
#include <vector>

#include "FakeMeshSpatial.h"
#include "FakeMeshVertexBuffer.h"
#include "ShaderProgramCommandFixture.h"
#include "shaders/ShaderProgramSetVertexDeclaration.h"

namespace {

class RecordingDeclaration final : public CVertexDeclarationInterface {
 public:
  explicit RecordingDeclaration(std::vector<std::string>& calls) : calls(calls) {}
  IDirect3DVertexDeclaration9* GetD3DDeclaration() override { return nullptr; }
  D3DVERTEXELEMENT9* GetVertexElement() override { return nullptr; }
  void Set() override { calls.push_back("declaration"); }
  std::vector<std::string>& calls;
};

class RecordingDeclarations final : public CVertexDeclarationStorageInterface {
 public:
  explicit RecordingDeclarations(std::vector<std::string>& calls) : declaration(calls) {}
  CVertexDeclarationInterface* CreateVertexDeclaration(D3DVERTEXELEMENT9* elements) override {
    asked.push_back(elements);
    return fail ? nullptr : &declaration;
  }
  void SetFVF(DWORD) override {}
  RecordingDeclaration declaration;
  std::vector<D3DVERTEXELEMENT9*> asked;
  bool fail = false;
};

class ShaderDeclarationCommandTest : public ShaderProgramCommandFixture {
 protected:
  ShaderDeclarationCommandTest() { renderer.vertexDeclarationStorage = &declarations; }
  RecordingDeclarations declarations{calls};
};

const char kDeclare[] = "DECLARATION D = <0, 0, FLOAT3, DEFAULT, POSITION, 0>\n";
const char kSender[] = "CShaderProgramSetVertexDeclaration::CShaderProgramSetVertexDeclaration";

TEST_F(ShaderDeclarationCommandTest, TheShaderListsEachDeclarationWithItsGeometry) {
  CShaderPass* pass = CompileLine(std::string(kDeclare) + "SETVERTEXDECLARATION D 1\n" +
                                  "SETVERTEXDECLARATION D");
  ASSERT_NE(pass, nullptr) << Errors();
  ASSERT_EQ(declarations.asked.size(), 2u);
  EXPECT_EQ(declarations.asked[0]->Usage, D3DDECLUSAGE_POSITION);
  UINT count = 0;
  ShaderStreamBinding* bindings = library->GetStreamBindings(pass->GetShader(), 0, &count);
  ASSERT_EQ(count, 2u);
  EXPECT_EQ(bindings[0].dwStream, SHADER_STREAM_DYNAMIC_SHADOW_VOLUME);
  EXPECT_EQ(bindings[1].dwStream, SHADER_STREAM_MESH);
  EXPECT_EQ(bindings[0].pElements, declarations.asked[0]);
  EXPECT_EQ(bindings[0].pVertexBuffer, nullptr);
}

TEST_F(ShaderDeclarationCommandTest, ShadowGeometryWithoutAShadowVolumeBufferIsWarnedAbout) {
  mesh->SetName("crate");
  CShaderPass* pass = CompileLine(std::string(kDeclare) + "SETVERTEXDECLARATION D 1");
  ASSERT_NE(pass, nullptr) << Errors();
  EXPECT_EQ(pass->Execute(), 1u);
  EXPECT_EQ(calls, std::vector<std::string>{"declaration"});
  EXPECT_EQ(mesh->GetVertexDeclarationType(), 1u);
  EXPECT_NE(Errors().find("WARNING!!! - Shadow Volume Vertex Buffer Is Null (crate)\n"),
            std::string::npos)
      << Errors();

  pass = CompileLine(std::string(kDeclare) + "SETVERTEXDECLARATION D 2");
  ASSERT_NE(pass, nullptr) << Errors();
  EXPECT_EQ(pass->Execute(), 1u);
  EXPECT_EQ(mesh->GetVertexDeclarationType(), 0u);
}

// A mesh that casts shadow volumes, given a shader whose pass draws the shadow-volume geometry:
// loading it binds that pass's streams to its buffers, and the pass sets them when it runs.
TEST_F(ShaderDeclarationCommandTest, ALoadedMeshBindsItsShadowVolumeBufferToTheShadowGeometry) {
  FakeVertexBufferStorage buffers;
  renderer.vertexBufferStorage = &buffers;
  FakeMeshSpatial spatial;
  context->ports.meshSpatial.Set(&spatial);
  spatial.shadowBlocks[0].resize(6);
  spatial.shadowBlocks[1].resize(3);
  ASSERT_NE(CompileLine(std::string(kDeclare) + "SETVERTEXDECLARATION D 1\nSETVERTEXDECLARATION D"),
            nullptr)
      << Errors();
  context->ports.meshShaders.Set(library.get());
  auto* crate = new CMesh(&renderer, &log, scene, 0);
  crate->SetName("crate");
  scene->AppendWorldObject(crate);
  std::vector<Vertex> vertices(3);
  crate->SetVertices(3, vertices.data(), 1);
  crate->SetCastsShadowVolume(1);
  ASSERT_EQ(crate->CreateShader("PerVertex\\test.ssh", nullptr, 0, 1), 1u) << Errors();

  auto made = [&](const std::string& name) -> FakeMeshVertexBuffer* {
    for (auto& buffer : buffers.buffers)
      if (buffer->name == name) return buffer.get();
    return nullptr;
  };
  FakeMeshVertexBuffer* own = made("crate");
  FakeMeshVertexBuffer* shadow = made("crate_shadow_volume_1");
  ASSERT_NE(own, nullptr);
  ASSERT_NE(shadow, nullptr);
  const ShaderStreamBinding* bindings = crate->GetShader()->GetPass(0)->GetStreamBindings();
  EXPECT_EQ(bindings[0].pVertexBuffer, shadow);
  EXPECT_EQ(bindings[1].pVertexBuffer, own);
  EXPECT_EQ(shadow->layouts, std::vector<D3DVERTEXELEMENT9*>{declarations.asked[0]});
  EXPECT_EQ(own->layouts, std::vector<D3DVERTEXELEMENT9*>{declarations.asked[1]});

  calls.clear();
  crate->Render("MAIN", 0);
  EXPECT_EQ(calls, (std::vector<std::string>{"declaration", "declaration"}));
  EXPECT_EQ(shadow->streamSets, 1);
  EXPECT_EQ(own->streamSets, 1);
  EXPECT_EQ(Errors(), "");

  // The same shader on a mesh that casts no volume, as a tool hands it over: the shadow
  // geometry's declaration is set, with nothing to draw it from.
  auto* bare = new CMesh(&renderer, &log, scene, 0);
  bare->SetName("bare");
  scene->AppendWorldObject(bare);
  bare->SetShader(crate->GetShader());
  calls.clear();
  bare->Render("MAIN", 0);
  EXPECT_EQ(calls, (std::vector<std::string>{"declaration", "declaration"}));
  EXPECT_EQ(Errors(), "WARNING!!! - Shadow Volume Vertex Buffer Is Null (bare)\n");
  EXPECT_EQ(shadow->streamSets, 1);
  // The meshes give their buffers and volumes back to this test's fakes.
  scene->Release();
  scene = new TestScene(&renderer, &log);
  mesh = nullptr;
  context->ports.meshShaders.Reset();
  context->ports.meshSpatial.Reset();
}

TEST_F(ShaderDeclarationCommandTest, LinesWithoutADeclarationAreRefused) {
  for (const char* line : {"SETVERTEXDECLARATION", "SETVERTEXDECLARATION NOPE",
                           "SETVERTEXDECLARATION V"}) {
    EXPECT_EQ(CompileLine(std::string(kDeclare) + "VECTOR V = <1>\n" + line), nullptr) << line;
    EXPECT_NE(Errors().find(Reported(27, kSender)), std::string::npos) << line;
  }
  declarations.fail = true;
  EXPECT_EQ(CompileLine(std::string(kDeclare) + "SETVERTEXDECLARATION D"), nullptr);
  EXPECT_NE(Errors().find(Reported(27, kSender)), std::string::npos);
}

}  // namespace
