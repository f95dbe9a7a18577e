// SETVERTEXDECLARATION: the declaration it finds in the bank when it compiles, what the shader
// lists of it for the mesh's stream bindings, and the geometry it selects on the mesh.
#include <string>
#include <vector>

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
