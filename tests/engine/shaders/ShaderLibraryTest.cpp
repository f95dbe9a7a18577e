// The shader library: the error table and its reporter, the bank that shares compiled shaders,
// recompiling, the nested-mesh stack, where shader files are read from, and the free functions
// that make and hand out the one library.
#include <filesystem>

#include "ProcessExitCatcher.h"
#include "Rar4Writer.h"
#include "ShaderFixture.h"

namespace {

class ShaderLibraryTest : public ShaderFixture {
 protected:
  ShaderLibraryTest() {
    folder.Write("plain.ssh", Technique(Pass("MAIN", "RENDER\n")));
    folder.Write("Plain.ssh", Technique(Pass("OTHER", "RENDER\n")));
  }
};

TEST_F(ShaderLibraryTest, ErrorTextsAndTheReporter) {
  struct Case {
    UINT code;
    const char* text;
  };
  const Case cases[] = {
      {1, "(1) Can't Open Shader File, Check If The File Exists Or Its Directory Is Correct ie. "
          "s:\\!!Shaders"},
      {17, "(17) Not Implemented Yet"},
      {33, "(33) Wrong Shader Parent, Check #TYPE Value"},
      {36, "(36) Not Enuff Capabilities To Execute The Command (ie trying to run pixel shader on "
           "GF2 class card)"},
      {100, "(100) Can't Use \"Render\" In Surface Shader"},
      {256, "(256) Implementation Error"},
      {0, "Unknown Error"},
      {37, "Unknown Error"},
      {99, "Unknown Error"},
  };
  for (const Case& c : cases) EXPECT_STREQ(GetShaderErrorText(c.code), c.text) << c.code;

  EXPECT_EQ(Library().ReportError(24, "CShaderVariable"), 1u);
  ASSERT_EQ(log.entries.size(), 2u);
  EXPECT_EQ(log.entries[0].text, "- Initializing ZeKorb Shader Library [128 Free Entries]\n");
  EXPECT_EQ(log.entries[1].level, CEngineLog::kLevelError);
  EXPECT_EQ(log.entries[1].text,
            "ERROR! - (24) Multiple Definition\n        Sent By: CShaderVariable\n");
}

TEST_F(ShaderLibraryTest, TheBankSharesShadersByFileNameAndParameterNames) {
  using Names = std::vector<std::string>;
  struct Case {
    const char* second;
    Names first, then;
    bool shared;
  };
  const Case cases[] = {
      {"plain.ssh", {}, {}, true},
      {"plain.ssh", {"A", "B"}, {"B", "A"}, true},
      {"plain.ssh", {"A"}, {"A", "B"}, false},
      {"plain.ssh", {"A", "B"}, {"A", "C"}, false},
      {"plain.ssh", {"AB"}, {"A"}, false},
      {"Plain.ssh", {}, {}, false},
  };
  for (const Case& c : cases) {
    Library();
    CShader* first = Compile("plain.ssh", SHADER_TARGET_MESH, c.first);
    ASSERT_NE(first, nullptr) << Errors();
    log.entries.clear();
    CShader* second = Compile(c.second, SHADER_TARGET_MESH, c.then);
    ASSERT_NE(second, nullptr) << Errors();
    EXPECT_EQ(first == second, c.shared) << c.second;
    EXPECT_EQ(library->GetNumberOfShaders(), c.shared ? 1u : 2u);
    const bool fromBank =
        Infos().find(std::string("  - Loading Shader From Bank ( ") + c.second + " )\n") !=
        std::string::npos;
    EXPECT_EQ(fromBank, c.shared) << Infos();
  }

  // Values play no part; the parameters are logged in the order given.
  Library();
  ShaderParameter one[1] = {{1, 0, "A"}}, two[1] = {{2, 0, "A"}};
  CShader* shader = library->CreateShader("plain.ssh", nullptr, SHADER_TARGET_MESH, one, 1);
  log.entries.clear();
  EXPECT_EQ(library->CreateShader("plain.ssh", nullptr, SHADER_TARGET_MESH, two, 1), shader);
  EXPECT_EQ(Infos(), "  - Parameter 0: A\n  - Loading Shader From Bank ( plain.ssh )\n");
  EXPECT_EQ(shader->GetParameters()[0].dwValue, 1u);
}

TEST_F(ShaderLibraryTest, AFailedCompileLeavesTheBankAsItWasAndAFullBankRefusesMore) {
  Library();
  EXPECT_EQ(Compile("missing.ssh"), nullptr);
  EXPECT_EQ(Errors(), Reported(1, "CShader") + Reported(6, "CreateShader"));
  EXPECT_EQ(library->GetNumberOfShaders(), 0u);
  EXPECT_EQ(Compile(std::string(256, 'x').c_str()), nullptr);  // longer than the name field

  for (UINT i = 0; i < CShaderLibrary::kBankSize; ++i)
    ASSERT_NE(Compile("plain.ssh", SHADER_TARGET_MESH, {"P" + std::to_string(i)}), nullptr);
  log.entries.clear();
  EXPECT_EQ(Compile("plain.ssh", SHADER_TARGET_MESH, {"ONE_TOO_MANY"}), nullptr);
  EXPECT_EQ(Errors(), Reported(6, "CreateShader"));
  EXPECT_NE(Compile("plain.ssh", SHADER_TARGET_MESH, {"P7"}), nullptr);  // still shared
}

TEST_F(ShaderLibraryTest, UpdateRecompilesTheFirstShaderOfThatNameFromItsFile) {
  Library();
  CShader* shader = Compile("plain.ssh");
  ASSERT_NE(shader, nullptr);
  folder.Write("plain.ssh", Technique(Pass("A", "RENDER\n") + Pass("B", "RENDER\nRENDER\n")));
  log.entries.clear();
  EXPECT_EQ(library->UpdateShader("plain.ssh"), 1u);
  ASSERT_EQ(shader->GetNumberOfPasses(), 2u);
  EXPECT_STREQ(shader->GetPass(1)->GetName(), "B");
  EXPECT_EQ(shader->GetPass(1)->GetNumberOfLines(), 2u);
  EXPECT_EQ(Infos().rfind("- Updating Shader: plain.ssh\n  - Updating Shader...\n", 0), 0u)
      << Infos();

  log.entries.clear();
  EXPECT_EQ(library->UpdateShader("PLAIN.SSH"), 0u);
  EXPECT_EQ(Infos(), "- Updating Shader: PLAIN.SSH\n");
  EXPECT_EQ(shader->GetNumberOfPasses(), 2u);

  // A file that no longer compiles leaves the shader without passes.
  folder.Write("plain.ssh", Technique(Pass("A", "SETVIEWPORT\n")));
  EXPECT_EQ(library->UpdateShader("plain.ssh"), 0u);
  EXPECT_EQ(shader->GetNumberOfPasses(), 0u);
  EXPECT_EQ(shader->GetPass(0), nullptr);
}

TEST_F(ShaderLibraryTest, TheNestedMeshStackHolds256Meshes) {
  Library();
  static char meshes[CShaderLibrary::kNestedMeshes + 1];
  auto mesh = [](int i) { return reinterpret_cast<CMesh*>(&meshes[i]); };
  for (int i = 0; i < 256; ++i) ASSERT_EQ(library->PushNestedMesh(mesh(i)), i);
  log.entries.clear();
  EXPECT_EQ(library->PushNestedMesh(mesh(256)), -1);
  EXPECT_EQ(library->IsNestedMesh(mesh(256)), 0u);
  library->PopNestedMesh(mesh(254));
  EXPECT_EQ(Errors(),
            "WARNING!!! - ShaderLib: Nested Meshes Stack Exceeded\n"
            "WARNING!!! - ShaderLib: Can't Remove Nested Mesh, Incorrect Pointers\n");
  EXPECT_EQ(library->IsNestedMesh(mesh(255)), 1u);
  library->PopNestedMesh(mesh(255));
  EXPECT_EQ(library->IsNestedMesh(mesh(255)), 0u);
  EXPECT_EQ(library->IsNestedMesh(mesh(0)), 1u);
  EXPECT_EQ(library->PushNestedMesh(mesh(256)), 255);
}

TEST_F(ShaderLibraryTest, AShaderDiskComesBeforeTheShaderDirectory) {
  folder.Write("PerVertex/surface.ssh", Technique(Pass("LOOSE", "RENDER\n")));
  folder.Write("shaders.zkr",
               Rar4Writer()
                   .Add("pervertex\\mesh.ssh", Technique(Pass("PACKED", "RENDER\n")))
                   .Bytes());
  ASSERT_EQ(vfs.AddVirtualDisk((folder / "shaders.zkr").c_str(), VFS_DISK_SHADER, 0, 0, nullptr),
            0u);
  Library();
  CShader* packed = Compile("PerVertex\\mesh.ssh");
  ASSERT_NE(packed, nullptr) << Errors();
  EXPECT_STREQ(packed->GetPass(0)->GetName(), "PACKED");
  EXPECT_EQ(Infos().find("File Path Is"), std::string::npos);
  CShader* loose = Compile("PerVertex\\surface.ssh");
  ASSERT_NE(loose, nullptr) << Errors();
  EXPECT_STREQ(loose->GetPass(0)->GetName(), "LOOSE");
  EXPECT_NE(Infos().find("    - File Path Is: " + folder.Path() + "\\PerVertex\\surface.ssh\n"),
            std::string::npos);
}

TEST_F(ShaderLibraryTest, TheOneLibraryIsMadeOnceAndHandedOutAfterwards) {
  ProcessExitCatcher exits;
  EXPECT_THROW(GetShaderBankInterface(), ProcessExited);
  CShaderLibrary* made = GetShaderLibInterface(&renderer, &log, ZK_SCHEME_GEFORCE4, 14, "dir");
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(GetShaderLibInterface(nullptr, nullptr, 0, 0, nullptr), made);
  EXPECT_EQ(GetShaderBankInterface(), made);
  EXPECT_STREQ(made->GetShaderDirectory(), "dir");
  EXPECT_THROW(CreateShaderLibrary(&renderer, &log, 0, 0, "dir"), ProcessExited);
  delete made;
  EXPECT_THROW(GetShaderBankInterface(), ProcessExited);
  const std::vector<ZkTestMessageBox> boxes = exits.Boxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].caption, "Error In Shader Bank Interface");
  EXPECT_EQ(boxes[0].text, "Hasn't Been Initialized");
  EXPECT_EQ(boxes[1].caption, "Error While Initializing ShaderLibrary");
  EXPECT_EQ(boxes[1].text, "Already Initialized");
}

}  // namespace
