// Shader files: the type lines, the choice of technique by the device's scheme with its
// fallback order, the passes of the chosen technique, and the log of a compile.
#include "ShaderFixture.h"

namespace {

class ShaderTechniqueTest : public ShaderFixture {};

TEST_F(ShaderTechniqueTest, TheTechniqueFollowsTheSchemeAndItsFallbackOrder) {
  const std::string geforce3AndRadeon9700 =
      Technique(Pass("GF3", "RENDER\n"), "GEFORCE3") + Technique(Pass("R97", "RENDER\n"), "RADEON9700");
  struct Case {
    const char* name;
    std::string file;
    DWORD selected, compatible;
    DWORD target;  // 0: no technique
    const char* pass;
  };
  const Case cases[] = {
      {"FX falls back past Radeon9700", geforce3AndRadeon9700, ZK_SCHEME_GEFORCEFX,
       ZK_SCHEME_GEFORCE3 | ZK_SCHEME_RADEON9700, ZK_SCHEME_GEFORCE3, "GF3"},
      {"X800 falls back to Radeon9700", geforce3AndRadeon9700, ZK_SCHEME_RADEONX800,
       ZK_SCHEME_GEFORCE3 | ZK_SCHEME_RADEON9700, ZK_SCHEME_RADEON9700, "R97"},
      {"a fallback the preset does not allow", geforce3AndRadeon9700, ZK_SCHEME_RADEONX800,
       ZK_SCHEME_GEFORCE3, ZK_SCHEME_GEFORCE3, "GF3"},
      {"the scheme's own technique", geforce3AndRadeon9700, ZK_SCHEME_GEFORCE3, 0,
       ZK_SCHEME_GEFORCE3, "GF3"},
      {"the first of a repeated target",
       Technique(Pass("FIRST", "RENDER\n"), "GEFORCE4") +
           Technique(Pass("SECOND", "RENDER\n"), "GEFORCE4"),
       ZK_SCHEME_GEFORCE4, 0, ZK_SCHEME_GEFORCE4, "FIRST"},
      {"lower-case lines", "begintechnique target geforce4\nbeginpass low\nrender\nendpass\n"
                           "endtechnique\n",
       ZK_SCHEME_GEFORCE4, 0, ZK_SCHEME_GEFORCE4, "LOW"},
      {"a target word that begins with a target name",
       Technique(Pass("X", "RENDER\n"), "GEFORCE2X"), ZK_SCHEME_GEFORCE2, 0, ZK_SCHEME_GEFORCE2,
       "X"},
      {"GeForce2 has nothing to fall back to", Technique(Pass("X", "RENDER\n"), "GEFORCE3"),
       ZK_SCHEME_GEFORCE2, ZK_SCHEME_GEFORCE3, 0, nullptr},
      {"an unknown target", Technique(Pass("X", "RENDER\n"), "VOODOO"), ZK_SCHEME_GEFORCEFX,
       0x1FE, 0, nullptr},
  };
  for (const Case& c : cases) {
    Library(c.selected, c.compatible);
    folder.Write("choice.ssh", c.file);
    CShader* shader = Compile("choice.ssh");
    if (c.target == 0) {
      EXPECT_EQ(shader, nullptr) << c.name;
      EXPECT_EQ(Errors(), Reported(3, "CShader") + Reported(6, "CreateShader")) << c.name;
      log.entries.clear();
      continue;
    }
    ASSERT_NE(shader, nullptr) << c.name << Errors();
    EXPECT_EQ(shader->GetTechniqueTarget(), c.target) << c.name;
    ASSERT_EQ(shader->GetNumberOfPasses(), 1u) << c.name;
    EXPECT_STREQ(shader->GetPass(0)->GetName(), c.pass) << c.name;
  }
}

TEST_F(ShaderTechniqueTest, TypeLinesMustNameTheKindOfTheTarget) {
  struct Case {
    const char* lines;
    UINT targetKind;
    UINT error;  // 0: compiles
  };
  const Case cases[] = {
      {"# TYPE MESH\n", SHADER_TARGET_SURFACE, 33},
      {"# TYPE SURFACE\n# TYPE MESH\n", SHADER_TARGET_SURFACE, 33},
      {"# TYPE SURFACE\n#type surface\n", SHADER_TARGET_SURFACE, 0},
      {"# TYPE SCENE\n", SHADER_TARGET_SCENE, 0},
      {"# TYPE MESH\n", 7, 256},
      {"; a remark first\n# TYPE SCENE\n", SHADER_TARGET_MESH, 0},
  };
  for (const Case& c : cases) {
    Library();
    log.entries.clear();
    folder.Write("typed.ssh", c.lines + Technique(Pass("MAIN", "RENDER\n")));
    CShader* shader = Compile("typed.ssh", c.targetKind);
    EXPECT_EQ(shader != nullptr, c.error == 0) << c.lines;
    if (c.error != 0) {
      EXPECT_EQ(Errors(), Reported(c.error, "CShader") + Reported(6, "CreateShader")) << c.lines;
    }
  }
}

TEST_F(ShaderTechniqueTest, EmptyFilesFailAndTechniquesWithoutPassesCompile) {
  Library();
  folder.Write("empty.ssh", "");
  EXPECT_EQ(Compile("empty.ssh"), nullptr);
  EXPECT_EQ(Errors(), Reported(2, "CShader") + Reported(6, "CreateShader"));

  folder.Write("nopasses.ssh", "; nothing to draw\n" + Technique("; yet\n"));
  CShader* shader = Compile("nopasses.ssh");
  ASSERT_NE(shader, nullptr) << Errors();
  EXPECT_EQ(shader->GetNumberOfPasses(), 0u);
  EXPECT_EQ(shader->GetPass(0), nullptr);
}

TEST_F(ShaderTechniqueTest, ACompileLogsEachStep) {
  Library(ZK_SCHEME_GEFORCEFX, ZK_SCHEME_GEFORCE3);
  folder.Write("logged.ssh", Technique(Pass("A", "RENDER\n"), "GEFORCE3") +
                                 Technique(Pass("B", "RENDER\n"), "RADEON9700") +
                                 Technique("", "GEFORCE3"));
  log.entries.clear();
  ASSERT_NE(Compile("logged.ssh"), nullptr) << Errors();
  EXPECT_EQ(Infos(), "  - Compiling Shader (logged.ssh)...\n"
                     "    - File Path Is: " + folder.Path() + "\\logged.ssh\n"
                     "    - Looking For Adequate Technique (64)...\n"
                     "      - Implemented Path GeForce3...\n"
                     "      - Implemented Path Radeon9700...\n"
                     "      - Implemented Path GeForce3...\n"
                     "      - Target: 4...\n"
                     "    - 1 Passes\n"
                     "    - Compiling Pass: A\n"
                     "    - 1 Lines\n");
}

// The shader pool of the file system is small: a file left open on any way out of a compile
// would soon make every later compile fail.
TEST_F(ShaderTechniqueTest, TheFileIsClosedOnEveryWayOut) {
  Library();
  folder.Write("empty.ssh", "");
  folder.Write("typed.ssh", "# TYPE SCENE\n" + Technique(Pass("MAIN", "RENDER\n")));
  folder.Write("nothing.ssh", Technique(Pass("MAIN", "RENDER\n"), "GEFORCE6800"));
  folder.Write("badpass.ssh", Technique(Pass("MAIN", "SETVIEWPORT\n")));
  folder.Write("good.ssh", Technique(Pass("MAIN", "RENDER\n")));
  for (int round = 0; round < 20; ++round)
    for (const char* file : {"empty.ssh", "typed.ssh", "nothing.ssh", "badpass.ssh"})
      ASSERT_EQ(Compile(file), nullptr) << file;
  EXPECT_NE(Compile("good.ssh"), nullptr);
  EXPECT_EQ(Errors().find("All Shader VFS Are Opened"), std::string::npos);
}

}  // namespace
