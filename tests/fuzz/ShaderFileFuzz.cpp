// Shader files, compiled as the shader library compiles them for a mesh, a surface and a scene on
// two schemes: read through the virtual file system from the working folder, the technique
// chosen by the scheme's fallback order, its passes built by the engine's own line classes (the
// vertex and pixel programs they name are only recorded: their assembly has a target of its
// own). A compiled shader is walked by the collectors and compiled again in place.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzFileBench.h"
#include "FuzzHarness.h"
#include "RecordingProgramBanks.h"
#include "RecordingRenderer.h"
#include "ZKDXGlobals.h"
#include "shaders/Shader.h"
#include "shaders/ShaderLibrary.h"

namespace {

constexpr DWORD kEveryScheme = ZK_SCHEME_GEFORCE2 | ZK_SCHEME_GEFORCE3 | ZK_SCHEME_GEFORCE4 |
                               ZK_SCHEME_RADEON8500 | ZK_SCHEME_RADEON9700 | ZK_SCHEME_GEFORCEFX |
                               ZK_SCHEME_RADEONX800 | ZK_SCHEME_GEFORCE6800;

// Every collector of every pass, into arrays with room for a few entries: none may store more
// than the room it was given.
void Walk(CShader* shader) {
  constexpr UINT kRoom = 4;
  for (UINT pass = 0; pass < shader->GetNumberOfPasses(); ++pass) {
    ShaderDeclarationEntry declarations[kRoom];
    const char* programs[kRoom];
    UINT counts[3] = {kRoom, kRoom, kRoom};
    shader->GetVertexDeclarations(pass, &counts[0], declarations);
    shader->GetVertexShaders(pass, &counts[1], programs);
    shader->GetPixelShaders(pass, &counts[2], programs);
    for (UINT count : counts)
      if (count > kRoom) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzHarness& harness = FuzzHarness::Instance();
  harness.WriteFile("fuzz.ssh", data, size);
  harness.Run([&] {
    FuzzFileBench bench;
    std::vector<std::string> programCalls;
    RecordingVertexProgramBank vertexPrograms{programCalls, "vertex"};
    RecordingPixelProgramBank pixelPrograms{programCalls, "pixel"};
    RecordingRenderer renderer;
    renderer.vertexShaderStorage = &vertexPrograms;
    renderer.pixelShaderStorage = &pixelPrograms;
    // The parameter the default files test with #IFDEF.
    ShaderParameter parameter = {};
    std::snprintf(parameter.szParameterName, sizeof parameter.szParameterName, "ALPHATEST");
    for (DWORD scheme : {ZK_SCHEME_RADEONX800, ZK_SCHEME_GEFORCEFX}) {
      for (UINT kind : {SHADER_TARGET_MESH, SHADER_TARGET_SURFACE, SHADER_TARGET_SCENE}) {
        // A library of its own each time: its bank would hand back the first compile.
        CShaderLibrary library(&renderer, &bench.log, scheme, kEveryScheme,
                               harness.Folder().c_str());
        CShader* shader = library.CreateShader("fuzz.ssh", nullptr, kind, &parameter, 1);
        if (shader == nullptr) continue;
        Walk(shader);
        if (shader->Update() != 0) Walk(shader);
      }
    }
  });
  return 0;
}
