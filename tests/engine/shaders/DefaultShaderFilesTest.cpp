// The shipped default shader files compiled on the renderer's own banks over the GL back end
// offscreen, with every parameter list the default assignment can hand each of them.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "RecordingAllocator.h"
#include "RenderTargetTestBench.h"
#include "WorkingFolderScope.h"
#include "core/EngineContext.h"
#include "d3dx9.h"
#include "shaders/DefaultShaderChoice.h"
#include "shaders/Shader.h"
#include "shaders/ShaderLibrary.h"
#include "vfs/VirtualFileSystem.h"

namespace {

using ParameterLists = std::map<std::string, std::set<std::vector<std::string>>>;

const char kSkinnedMesh[] = "PerVertex\\mesh_bones_nomorph.ssh";

void NoTargets(RenderTargetTestBench&, DeviceSettings&) {}

// Calls `visit` with every combination of `count` flags.
template <class Visit>
void EachCombination(int count, Visit visit) {
  for (unsigned bits = 0; bits < (1u << count); ++bits) {
    std::vector<bool> flags;
    for (int i = 0; i < count; ++i) flags.push_back(((bits >> i) & 1) != 0);
    visit(flags);
  }
}

// The mesh facts both lighting models read, from the first seven flags.
MeshShaderFacts CommonMeshFacts(const std::vector<bool>& f) {
  MeshShaderFacts mesh;
  mesh.bones = f[0];
  mesh.specular = f[1];
  mesh.transparent = f[2];
  mesh.opaque = f[3];
  mesh.anyUV = f[4];
  mesh.twoUV = f[4] && f[5];
  mesh.canCastShadowVolume = f[6];
  return mesh;
}

// The surface facts both lighting models read, from the first seven flags.
SurfaceShaderFacts CommonSurfaceFacts(const std::vector<bool>& f) {
  SurfaceShaderFacts surface;
  surface.specular = f[0];
  surface.transparent = f[1];
  surface.uv1 = f[2];
  surface.uv2 = f[2] && f[3];
  surface.alphaChannel = f[4];
  surface.color1Opacity = f[5] ? (f[6] ? 4 : 7) : (f[6] ? 10 : 0);
  return surface;
}

// What the default assignment can give the per-vertex files, mesh and surface, by file name.
ParameterLists PerVertexChoices(UINT* meshes, UINT* surfaces) {
  ParameterLists lists;
  EachCombination(10, [&](const std::vector<bool>& f) {
    MeshShaderFacts mesh = CommonMeshFacts(f);
    mesh.plainReflection = f[7];
    DefaultShaderSettings settings;
    settings.geForce2 = f[8];
    settings.reflectionsOff = f[9];
    const DefaultShader chosen = CDefaultShaderChoice::ForMesh(1, mesh, settings);
    if (!chosen.file.empty()) *meshes += lists[chosen.file].insert(chosen.parameters).second;
  });
  EachCombination(10, [&](const std::vector<bool>& f) {
    SurfaceShaderFacts surface = CommonSurfaceFacts(f);
    surface.clipValueNotOne = f[7];
    surface.plainReflection = f[8];
    DefaultShaderSettings settings;
    settings.reflectionsOff = f[9];
    const DefaultShader chosen = CDefaultShaderChoice::ForSurface(1, surface, settings);
    if (!chosen.file.empty()) *surfaces += lists[chosen.file].insert(chosen.parameters).second;
  });
  return lists;
}

// What the default assignment can give the per-pixel files of lighting model 2 (shadow volumes)
// or 3 (shadow maps). The effects no file tests (material textures, luminosity, refraction,
// Fresnel, translucency, reflections) go on and off together: they only lengthen the list.
ParameterLists PerPixelChoices(UINT lightingModel) {
  ParameterLists lists;
  EachCombination(9, [&](const std::vector<bool>& f) {
    MeshShaderFacts mesh = CommonMeshFacts(f);
    mesh.allNormal = f[7];
    mesh.fresnel = mesh.refraction = mesh.cubeReflection = mesh.planeReflection =
        mesh.plainReflection = f[8];
    const DefaultShader chosen = CDefaultShaderChoice::ForMesh(lightingModel, mesh, {});
    if (!chosen.file.empty()) lists[chosen.file].insert(chosen.parameters);
  });
  EachCombination(9, [&](const std::vector<bool>& f) {
    SurfaceShaderFacts surface = CommonSurfaceFacts(f);
    surface.normalMap = f[7];
    surface.materialTexture1 = surface.materialTexture2 = surface.luminosity =
        surface.refraction = surface.fresnel = surface.translucency = surface.cubeReflection = f[8];
    const DefaultShader chosen = CDefaultShaderChoice::ForSurface(lightingModel, surface, {});
    if (!chosen.file.empty()) lists[chosen.file].insert(chosen.parameters);
  });
  return lists;
}

class DefaultShaderFilesTest : public testing::Test {
 protected:
  DefaultShaderFilesTest() { GetEngineContext()->pVirtualFileSystem = &vfs; }
  ~DefaultShaderFilesTest() override { library.reset(); }

  // Compiled in a library of its own each time: the lists outnumber one bank's room.
  CShader* Compile(const std::string& file, const std::vector<std::string>& names) {
    std::vector<ShaderParameter> parameters(names.size());
    for (size_t i = 0; i < names.size(); ++i)
      std::strncpy(parameters[i].szParameterName, names[i].c_str(),
                   sizeof parameters[i].szParameterName - 1);
    library = std::make_unique<CShaderLibrary>(b.Renderer(), &b.bench.log, ZK_SCHEME_RADEON9700,
                                               0, ZK_DEFAULT_SHADERS_DIR);
    const bool mesh = file.find("mesh_") != std::string::npos;
    return library->CreateShader(file.c_str(), nullptr,
                                 mesh ? SHADER_TARGET_MESH : SHADER_TARGET_SURFACE,
                                 parameters.data(), static_cast<UINT>(parameters.size()));
  }

  void CompileAll(const std::string& file,
                  const std::set<std::vector<std::string>>& parameterLists) {
    for (const std::vector<std::string>& names : parameterLists) {
      std::string shown = file;
      for (const std::string& name : names) shown += " " + name;
      CShader* shader = Compile(file, names);
      ASSERT_NE(shader, nullptr) << shown << "\n" << b.Errors();
      EXPECT_GT(shader->GetNumberOfPasses(), 0u) << shown;
      EXPECT_EQ(b.Errors(), "") << shown;
    }
  }

  RenderTargetTestBench b{NoTargets, ZK_D3D_BACKEND_GL, ShaderModel3Card(),
                          RenderTargetTestBench::kRealBanks};
  // The programs are looked up from the folder the shader disk stands for.
  WorkingFolderScope workingFolder{ZK_DEFAULT_SHADERS_DIR};
  CRecordingAllocator allocator;
  CVirtualFileSystem vfs{&b.bench.log, &allocator, nullptr};
  std::unique_ptr<CShaderLibrary> library;
};

TEST_F(DefaultShaderFilesTest, EveryPerVertexFileCompilesForEveryParameterListItCanBeGiven) {
  UINT meshes = 0, surfaces = 0;
  const ParameterLists lists = PerVertexChoices(&meshes, &surfaces);
  // All six per-vertex files are reachable, each with more than one list.
  ASSERT_EQ(lists.size(), 6u);
  EXPECT_GT(meshes, 6u);
  EXPECT_GT(surfaces, 6u);
  ASSERT_EQ(lists.count(kSkinnedMesh), 1u);
  for (const auto& [file, parameterLists] : lists) CompileAll(file, parameterLists);
}

TEST_F(DefaultShaderFilesTest, EveryPerPixelFileCompilesForEveryParameterListItCanBeGiven) {
  for (UINT lightingModel : {2u, 3u}) {
    const ParameterLists lists = PerPixelChoices(lightingModel);
    // Five mesh files and six surface files in each set.
    ASSERT_EQ(lists.size(), 11u) << "lighting model " << lightingModel;
    for (const auto& [file, parameterLists] : lists) CompileAll(file, parameterLists);
  }
}

using Elements = std::set<std::pair<UINT, UINT>>;

// Usage and index of each vertex element a declaration line lists. The mesh's buffers lay the
// elements one after the other, so each must start where the one before it ends.
Elements ReadElements(const std::string& text) {
  static const std::map<std::string, UINT> kUsages = {
      {"POSITION", D3DDECLUSAGE_POSITION}, {"BLENDWEIGHT", D3DDECLUSAGE_BLENDWEIGHT},
      {"BLENDINDICES", D3DDECLUSAGE_BLENDINDICES}, {"NORMAL", D3DDECLUSAGE_NORMAL},
      {"TEXCOORD", D3DDECLUSAGE_TEXCOORD}, {"TANGENT", D3DDECLUSAGE_TANGENT},
      {"BINORMAL", D3DDECLUSAGE_BINORMAL}, {"COLOR", D3DDECLUSAGE_COLOR}};
  static const std::map<std::string, UINT> kSizes = {
      {"FLOAT2", 8}, {"FLOAT3", 12}, {"FLOAT4", 16}, {"UBYTE4", 4}, {"D3DCOLOR", 4}};
  static const std::regex kElement(
      R"(<\s*\d+\s*,\s*(\d+)\s*,\s*(\w+)\s*,\s*\w+\s*,\s*(\w+)\s*,\s*(\d+)\s*>)");
  Elements elements;
  UINT offset = 0;
  for (std::sregex_iterator m(text.begin(), text.end(), kElement), end; m != end; ++m) {
    EXPECT_EQ(std::stoul((*m)[1].str()), offset) << (*m)[0].str() << " in " << text;
    const auto size = kSizes.find((*m)[2].str());
    EXPECT_NE(size, kSizes.end()) << (*m)[0].str();
    if (size != kSizes.end()) offset += size->second;
    const auto usage = kUsages.find((*m)[3].str());
    EXPECT_NE(usage, kUsages.end()) << (*m)[0].str();
    if (usage != kUsages.end()) elements.insert({usage->second, std::stoul((*m)[4].str())});
  }
  return elements;
}

// Every vertex program a pass of a default file sets reads only what the declaration that pass
// sets gives it (a program input the vertex buffer lacks would read zeros, not fail), and the
// declaration's offsets are those of the buffer the mesh lays out for it.
TEST(DefaultShaderFileInputsTest, EveryVertexProgramFindsItsInputsInItsPassDeclaration) {
  namespace fs = std::filesystem;
  UINT programsChecked = 0;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(ZK_DEFAULT_SHADERS_DIR)) {
    if (entry.path().extension() != ".ssh") continue;
    std::ifstream in(entry.path());
    std::map<std::string, Elements> declarations;
    std::string line, pass, pending;
    while (std::getline(in, line)) {
      if (!pending.empty() || line.rfind("DECLARATION ", 0) == 0) {
        pending += line;
        if (!line.empty() && line.back() == '\\') continue;
        std::istringstream words(pending);
        std::string keyword, name;
        words >> keyword >> name;
        declarations[name] = ReadElements(pending);
        pending.clear();
        continue;
      }
      std::istringstream words(line);
      std::string keyword, argument;
      words >> keyword >> argument;
      if (keyword == "BEGINPASS") {
        pass = argument;
        declarations.clear();
      }
      if (keyword != "SETVERTEXSHADER") continue;
      const std::string shown = entry.path().string() + " " + pass + " " + argument;
      const fs::path program = entry.path().parent_path() / "vsh" / argument;
      LPD3DXBUFFER code = nullptr;
      ASSERT_EQ(D3DXAssembleShaderFromFileA(program.string().c_str(), nullptr, nullptr, 0, &code,
                                            nullptr),
                D3D_OK)
          << shown;
      D3DXSEMANTIC semantics[MAXD3DDECLLENGTH];
      UINT count = MAXD3DDECLLENGTH;
      ASSERT_EQ(D3DXGetShaderInputSemantics(static_cast<const DWORD*>(code->GetBufferPointer()),
                                            semantics, &count),
                D3D_OK)
          << shown;
      code->Release();
      // Each pass declares the one layout its program reads.
      ASSERT_EQ(declarations.size(), 1u) << shown;
      const Elements& declared = declarations.begin()->second;
      for (UINT i = 0; i < count; ++i)
        EXPECT_EQ(declared.count({semantics[i].Usage, semantics[i].UsageIndex}), 1u)
            << shown << " reads usage " << semantics[i].Usage << " index "
            << semantics[i].UsageIndex;
      ++programsChecked;
    }
  }
  EXPECT_GT(programsChecked, 0u);
}

}  // namespace
