// The six constant commands: the types each accepts when it compiles, and the registers each
// loads from its variable's value when it runs (vectors, matrices, the bone palette and the
// visible lights), on the recording renderer.
#include <cmath>
#include <string>
#include <vector>

#include "ShaderProgramCommandFixture.h"
#include "d3d/D3DLog.h"
#include "scene/Bone.h"

namespace {

class ShaderConstantCommandTest : public ShaderProgramCommandFixture {
 protected:
  // Runs the pass made of `body` and answers the constants it loaded.
  std::vector<std::string> Run(const std::string& body) {
    CShaderPass* pass = CompileLine(body);
    EXPECT_NE(pass, nullptr) << body << Errors();
    renderer.sequence.clear();
    if (pass != nullptr) {
      EXPECT_EQ(pass->Execute(), 1u) << body << Errors();
    }
    return renderer.sequence;
  }
  static std::string VC(UINT index, float x, float y, float z, float w) {
    const float values[4] = {x, y, z, w};
    return RecordingRenderer::Constant("vc", index, values);
  }
};

using Lines = std::vector<std::string>;

TEST_F(ShaderConstantCommandTest, VectorsFloatsAndMatricesLoadByTheCommandsForm) {
  AddCamera();  // mesh values are taken in the active camera's view
  *static_cast<CWorldObject*>(mesh)->GetMatrixPointer() =
      CMatrix(1.5f, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, -16.7f);
  const std::string values =
      "VECTOR V = <-1.7, 0.5, 2, 1>\nFLOAT F = <-1.7>\nFLOAT G = <0.9>\nDWORD D = <7>\n"
      "MATRIX M = MESH.MTXOBJECT2WORLD\n";
  struct Case {
    const char* line;
    Lines loaded;
  };
  const Case cases[] = {
      {"SETVERTEXSHADERCONSTANTF 3 V", {"vc 3 -1.7,0.5,2,1"}},
      // SAT clamps a float command's vector only.
      {"SETVERTEXSHADERCONSTANTF 3 V SAT", {"vc 3 0,0.5,1,1"}},
      {"SETPIXELSHADERCONSTANTF 12 V SAT", {"pc 12 0,0.5,1,1"}},
      {"SETVERTEXSHADERCONSTANTF C5 V", {"vc 0 -1.7,0.5,2,1"}},
      {"SETVERTEXSHADERCONSTANTF 2 M SAT",
       {"vc 2 1.5,2,3,4", "vc 3 5,6,7,8", "vc 4 9,10,11,12", "vc 5 13,14,15,-16.7"}},
      {"SETPIXELSHADERCONSTANTF 0 M", {"pc 0 1.5,2,3,4", "pc 1 5,6,7,8", "pc 2 9,10,11,12",
                                       "pc 3 13,14,15,-16.7"}},
      // Integers and Booleans are truncated toward zero.
      {"SETVERTEXSHADERCONSTANTI 3 V SAT", {"vi 3 -1,0,2,1"}},
      {"SETPIXELSHADERCONSTANTI 2 V", {"pi 2 -1,0,2,1"}},
      {"SETVERTEXSHADERCONSTANTI 1 M",
       {"vi 1 1,2,3,4", "vi 2 5,6,7,8", "vi 3 9,10,11,12", "vi 4 13,14,15,-16"}},
      {"SETVERTEXSHADERCONSTANTB 4 F", {"vb 4 -1"}},
      {"SETPIXELSHADERCONSTANTB 0 G", {"pb 0 0"}},
      {"SETVERTEXSHADERCONSTANTB 1 D SAT", {"vb 1 7"}},
      {"SETPIXELSHADERCONSTANTB 6 D", {"pb 6 7"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Run(values + c.line), c.loaded) << c.line;
}

TEST_F(ShaderConstantCommandTest, LinesWithoutARegisterOrALoadableVariableAreRefused) {
  struct Case {
    const char* line;
    const char* sender;
    const char* trace;  // null: the line is not traced
  };
  const Case cases[] = {
      {"SETVERTEXSHADERCONSTANTF", "CShaderProgramSetVertexShaderConstantF::CShaderProgramSetVertexShaderConstantF",
       "    - Compiling SetVertexShaderConstantF: SETVERTEXSHADERCONSTANTF"},
      {"SETVERTEXSHADERCONSTANTF 0", "CShaderProgramSetVertexShaderConstantF::CShaderProgramSetVertexShaderConstantF",
       "    - Compiling SetVertexShaderConstantF: SETVERTEXSHADERCONSTANTF 0"},
      {"SETVERTEXSHADERCONSTANTF 0 NOPE", "CShaderProgramSetVertexShaderConstantF::CShaderProgramSetVertexShaderConstantF",
       nullptr},
      {"SETVERTEXSHADERCONSTANTI 0 T", "CShaderProgramSetVertexShaderConstantI::CShaderProgramSetVertexShaderConstantI",
       "    - Compiling SetVertexShaderConstantI: SETVERTEXSHADERCONSTANTI 0 T"},
      {"SETVERTEXSHADERCONSTANTB 0 V", "CShaderProgramSetVertexShaderConstantB::CShaderProgramSetVertexShaderConstantB",
       "    - Compiling SetVertexShaderConstantB: SETVERTEXSHADERCONSTANTB 0 V"},
      {"SETPIXELSHADERCONSTANTF", "CShaderProgramSetPixelShaderConstantF::CShaderProgramSetPixelShaderConstantF",
       nullptr},
      {"SETPIXELSHADERCONSTANTI 1 F", "CShaderProgramSetPixelShaderConstantI::CShaderProgramSetPixelShaderConstantI",
       "    - Compiling PixelShaderConstantI: SETPIXELSHADERCONSTANTI 1 F"},
      {"SETPIXELSHADERCONSTANTB 1 V", "CShaderProgramSetPixelShaderConstantB::CShaderProgramSetPixelShaderConstantB",
       "    - Compiling PixelShaderConstantB: SETPIXELSHADERCONSTANTB 1 V"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompileLine(std::string("VECTOR V = <1>\nFLOAT F = <1>\nTABLE T = CAMERA.VISIBLELIGHTS\n") + c.line),
              nullptr)
        << c.line;
    EXPECT_NE(Errors().find(Reported(27, c.sender)), std::string::npos) << c.line << Errors();
    if (c.trace != nullptr) {
      EXPECT_NE(Infos().find(c.trace), std::string::npos) << c.line;
    }
  }
  // The pixel commands trace a line only once its register word is there.
  CompileLine("SETPIXELSHADERCONSTANTF");
  EXPECT_EQ(Infos().find("Compiling PixelShaderConstantF"), std::string::npos);
}

TEST_F(ShaderConstantCommandTest, ATableOnThePixelFloatCommandCompilesAndFailsItsFirstRun) {
  AddCamera();
  CShaderPass* pass = CompileLine("TABLE T = CAMERA.VISIBLELIGHTS\nSETPIXELSHADERCONSTANTF 0 T");
  ASSERT_NE(pass, nullptr) << Errors();
  ASSERT_TRUE(pass->GetLine(0)->Execute());
  EXPECT_EQ(pass->GetLine(1)->Execute(), 0u);
  EXPECT_NE(Errors().find(Reported(256, "CShaderProgramSetPixelShaderConstant::Execute")),
            std::string::npos)
      << Errors();
}

TEST_F(ShaderConstantCommandTest, TheBonePaletteIsAnIdentityThenEachSkinMatrixTransposed) {
  AddCamera();
  const std::string body = "TABLE B = MESH.MTXBONES\nSETVERTEXSHADERCONSTANTF 20 B";
  EXPECT_EQ(Run(body), (Lines{VC(20, 1, 0, 0, 0), VC(21, 0, 1, 0, 0), VC(22, 0, 0, 1, 0)}));

  CBone* bones = mesh->CreateBones(2);
  ASSERT_NE(bones, nullptr);
  bones[0].SetRestPosition(CVector3(1.0f, 2.0f, 3.0f));
  bones[1].SetRestRotation(CVector3(0.5f, 0.0f, 0.0f));
  bones[1].SetRestPosition(CVector3(0.0f, -1.0f, 0.0f));
  // Each bone at unit scale, the first moved to (4, 5, 6): skin matrices with a translation.
  const float keys[2][9] = {{4, 5, 6, 0, 0, 0, 1, 1, 1}, {0, 0, 0, 0.25f, 0, 0, 1, 1, 1}};
  for (UINT b = 0; b < 2; ++b) {
    bones[b].GetMotion()->SetNumberOfChannels(9);
    for (UINT channel = 0; channel < 9; ++channel)
      bones[b].GetMotion()->GetChannel(channel)->AddKeyData(keys[b][channel], 0, 0, 0, 0, 0, 0,
                                                             0, 0, 0);
    bones[b].Evaluate(mesh->GetFrame());
  }
  const Lines loaded = Run(body);
  ASSERT_EQ(loaded.size(), 9u);
  for (UINT b = 0; b < 2; ++b) {
    const CMatrix& skin = *bones[b].GetBoneMatrix(mesh->GetFrame());
    // Row r of bone b's registers is column r of its matrix.
    for (int r = 0; r < 3; ++r)
      EXPECT_EQ(loaded[3 + 3 * b + r], VC(23 + 3 * b + r, skin.m[0][r], skin.m[1][r], skin.m[2][r],
                                          skin.m[3][r]))
          << b << " " << r;
  }
  // The translation (moved by 3, 3, 3 from the rest position) lands in the fourth column.
  EXPECT_EQ(loaded[3], VC(23, 1, 0, 0, 3));
}

TEST_F(ShaderConstantCommandTest, VisibleLightsLoadFiveRegistersEachDistantLightsFirst) {
  CLight* bulb = AddVisibleLight(1);
  CLight* sun = AddVisibleLight(0);
  CLight* lamp = AddVisibleLight(1);
  auto fill = [](CLight* light, float base) {
    D3DLIGHT9& d = *light->GetD3DLightProperties();
    d.Diffuse = {base, base + 0.1f, base + 0.2f, 1};
    d.Specular = {base + 0.3f, 0, 0, 1};
    d.Position = {base, 2, 3};
    d.Direction = {0, -1, 0};
    d.Attenuation0 = 1, d.Attenuation1 = 0.5f, d.Attenuation2 = 0.25f, d.Range = 40;
    d.Theta = 1, d.Phi = 2;
  };
  fill(bulb, 1);
  fill(sun, 2);
  fill(lamp, 3);
  sun->GetD3DLightProperties()->Theta = sun->GetD3DLightProperties()->Phi = 0;
  CCamera* camera = AddCamera();
  ASSERT_EQ(camera->GetNumberOfVisibleLights(), 3u);

  const Lines loaded = Run("TABLE T = CAMERA.VISIBLELIGHTS\nSETVERTEXSHADERCONSTANTF 10 T");
  const float cone = 1.0f / (std::cos(0.5f) - std::cos(1.0f));
  const Lines expected = {
      VC(10, 2, 2.1f, 2.2f, 1), VC(11, 2.3f, 0, 0, 1), VC(12, 2, 2, 3, INFINITY),
      VC(13, 0, -1, 0, 1),      VC(14, 1, 0.5f, 0.25f, 40),
      VC(15, 1, 1.1f, 1.2f, 1), VC(16, 1.3f, 0, 0, 1), VC(17, 1, 2, 3, cone),
      VC(18, 0, -1, 0, std::cos(1.0f)), VC(19, 1, 0.5f, 0.25f, 40),
      VC(20, 3, 3.1f, 3.2f, 1), VC(21, 3.3f, 0, 0, 1), VC(22, 3, 2, 3, cone),
      VC(23, 0, -1, 0, std::cos(1.0f)), VC(24, 1, 0.5f, 0.25f, 40),
  };
  EXPECT_EQ(loaded, expected);
}

TEST_F(ShaderConstantCommandTest, AFailedRendererCallIsLoggedAndTheRestStillLoads) {
  AddVisibleLight(0);
  AddVisibleLight(1);
  AddCamera();
  renderer.constantResult = D3DERR_INVALIDCALL;
  EXPECT_EQ(Run("TABLE T = CAMERA.VISIBLELIGHTS\nSETVERTEXSHADERCONSTANTF 0 T").size(), 10u);
  const std::string line = std::string("ERROR ! - CShaderProgramSetVertexShaderConstantF::Execute - ") +
                           D3DResultName(D3DERR_INVALIDCALL) + "\n" +
                           D3DResultDescription(D3DERR_INVALIDCALL) + "\n";
  const std::string errors = Errors();
  const size_t first = errors.find(line);
  ASSERT_NE(first, std::string::npos) << errors;
  EXPECT_NE(errors.find(line, first + 1), std::string::npos) << "one line per failed call";
}

TEST_F(ShaderConstantCommandTest, VisibleLightsWithoutAnActiveCameraLoadNothing) {
  CShaderPass* pass = CompileLine("TABLE T = CAMERA.VISIBLELIGHTS\nSETVERTEXSHADERCONSTANTF 0 T");
  ASSERT_NE(pass, nullptr) << Errors();
  renderer.sequence.clear();
  // The command alone, on the table as a run with a camera left it: the variable line would
  // stop the engine without a camera.
  pass->FindVariable("T")->GetValue()->scalar.dwValue = 100;
  EXPECT_EQ(pass->GetLine(1)->Execute(), 1u);
  EXPECT_TRUE(renderer.sequence.empty());
  EXPECT_NE(Errors().find(
                "WARNING!!! - Can't Execute SetVertexShaderConstantF, Active Camera Is Null\n"),
            std::string::npos);
}

}  // namespace
