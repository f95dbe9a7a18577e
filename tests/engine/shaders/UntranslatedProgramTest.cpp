// Pixel programs the platform cannot translate, named by a shader line: the shader's creation
// ends the process through the pixel-shader bank, and the platform says why.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ProcessExitCatcher.h"
#include "RealBanksBench.h"
#include "RecordingAllocator.h"
#include "TempDir.h"
#include "WorkingFolderScope.h"
#include "ZKDXGlobals.h"
#include "shaders/Shader.h"
#include "shaders/ShaderLibrary.h"
#include "vfs/VirtualFileSystem.h"

namespace {

TEST(UntranslatedProgram, CreatingTheShaderEndsTheProcessWithThePlatformsReason) {
  struct Case {
    const char* file;
    const char* program;
    const char* reason;
    const char* bankName;  // the bank keeps names in lower case
  };
  const Case cases[] = {
      {"BUMP.PSH", "ps_1_4\ntexld r0, t0\ntexld r1, t1\nbem r1.rg, r0, r1\nphase\ntexld r1, r1\nmov r0, r1\n",
       "BEM unimplemented", "psh\\bump.psh"},
      {"DEPTH.PSH", "ps_1_4\ntexcrd r5.rgb, t0\ntexdepth r5\nmov r0, c0\n", "TEXDEPTH unimplemented",
       "psh\\depth.psh"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    RealBanksBench banks;
    TempDir folder;
    WorkingFolderScope workingFolder(folder.Path());
    CRecordingAllocator allocator;
    CVirtualFileSystem vfs(&banks.bench.log, &allocator, nullptr);
    banks.bench.context->pVirtualFileSystem = &vfs;
    CShaderLibrary library(&banks.Renderer(), &banks.bench.log, ZK_SCHEME_RADEON8500, 0, folder.Path().c_str());
    folder.Write(std::string("psh/") + c.file, c.program);
    folder.Write("test.ssh", std::string("BEGINTECHNIQUE TARGET RADEON8500\nBEGINPASS MAIN\nSETPIXELSHADER ") +
                                 c.file + "\nENDPASS\nENDTECHNIQUE\n");
    ProcessExitCatcher catcher;
    testing::internal::CaptureStderr();
    try {
      library.CreateShader("test.ssh", nullptr, SHADER_TARGET_MESH, nullptr, 0);
      ADD_FAILURE() << "the program was made";
    } catch (const ProcessExited& exited) {
      EXPECT_EQ(exited.code, 1u);
    }
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(c.reason), std::string::npos) << said;
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(catcher.Boxes()[0].caption, "Error While Creating Pixel Shader");
    const std::string expected = std::string("Can't Create: ") + c.bankName + "\n(D3DERR_INVALIDCALL";
    EXPECT_EQ(catcher.Boxes()[0].text.rfind(expected, 0), 0u) << catcher.Boxes()[0].text;
  }
}

}  // namespace
