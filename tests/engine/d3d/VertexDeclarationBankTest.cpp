// The renderer's vertex-declaration bank on the null back end: sharing, the element log, the
// fatal texts, and what the set-caches let reach the device.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ProcessExitCatcher.h"
#include "RendererTestBench.h"
#include "d3d/VertexDeclaration.h"
#include "d3d/VertexDeclarationBank.h"
#include "d3d/VertexElements.h"

namespace {

constexpr D3DVERTEXELEMENT9 kEnd = D3DDECL_END();
constexpr D3DVERTEXELEMENT9 kPosition = {0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0};
constexpr D3DVERTEXELEMENT9 kNormal = {0, 12, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_NORMAL, 0};
constexpr DWORD kDebugFVF = 0x1C2;

CVertexDeclarationBank& Bank(RendererTestBench& bench) {
  return static_cast<CVertexDeclarationBank&>(
      *bench.renderer->GetVertexDeclarationStorageInterface());
}

CVertexDeclaration* Make(RendererTestBench& bench, std::vector<D3DVERTEXELEMENT9> elements) {
  return static_cast<CVertexDeclaration*>(Bank(bench).CreateVertexDeclaration(elements.data()));
}

// Runs `make` to its fatal end; the box it showed.
ZkTestMessageBox FatalBox(const std::function<void()>& make) {
  ProcessExitCatcher catcher;
  try {
    make();
    ADD_FAILURE() << "no fatal error";
  } catch (const ProcessExited& exited) {
    EXPECT_EQ(exited.code, 1u);
  }
  const auto boxes = catcher.Boxes();
  return boxes.empty() ? ZkTestMessageBox{} : boxes.back();
}

TEST(VertexDeclarationBank, EqualElementsShareOneDeclarationAndTheirOrderCounts) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  CVertexDeclaration* a = Make(bench, {kPosition, kNormal, kEnd});
  CVertexDeclaration* again = Make(bench, {kPosition, kNormal, kEnd});
  CVertexDeclaration* swapped = Make(bench, {kNormal, kPosition, kEnd});
  EXPECT_EQ(again, a);
  EXPECT_NE(swapped, a);
  EXPECT_EQ(Bank(bench).GetNumberOfDeclarations(), 2u);
  EXPECT_EQ(ZkTestD3DCountCalls("CreateVertexDeclaration"), 2u);
  const std::string info = bench.log.TextAt(CEngineLog::kLevelInfo);
  EXPECT_NE(info.find("  - Creating Vertex Declaration...\n  - Already Exists\n"),
            std::string::npos)
      << info;
  EXPECT_NE(info.find("  - Done\n  - Number Of Vertex Declarations: 2\n"), std::string::npos)
      << info;
  // The declaration keeps its own copy, end marker included.
  EXPECT_EQ(a->GetElementCount(), 2u);
  EXPECT_EQ(a->GetVertexElement()[2].Stream, 0xFF);
  EXPECT_NE(a->GetD3DDeclaration(), nullptr);
}

TEST(VertexDeclarationBank, ElementsAreLoggedByNameAndUnsizedTypesAddNothing) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  const D3DVERTEXELEMENT9 packed = {
      1, 12, D3DDECLTYPE_USHORT2N, D3DDECLMETHOD_LOOKUP, D3DDECLUSAGE_TEXCOORD, 3};
  CVertexDeclaration* declaration = Make(bench, {kPosition, packed, kEnd});
  EXPECT_EQ(bench.log.TextAt(CEngineLog::kLevelInfo),
            "  - Creating Vertex Declaration...\n"
            "    - 0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0\n"
            "    - 1, 12, !!!UNKNOWN!!!, D3DDECLMETHOD_LOOKUP, D3DDECLUSAGE_TEXCOORD, 3\n"
            "  - Done\n  - Number Of Vertex Declarations: 1\n");
  bench.ForgetCalls();
  EXPECT_EQ(declaration->GetVertexSize(), 12u);
  EXPECT_EQ(bench.log.TextAt(CEngineLog::kLevelInfo), "!!!UNKNOWN!!!, ");
}

TEST(VertexDeclarationBank, ShaderInputsAreCheckedByUsageAndIndex) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  const D3DVERTEXELEMENT9 uv1 = {0, 24, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 1};
  CVertexDeclaration* declaration = Make(bench, {kPosition, kNormal, uv1, kEnd});
  struct Case {
    std::vector<D3DXSEMANTIC> inputs;
    UINT expected;
  } cases[] = {
      {{}, 1},
      {{{D3DDECLUSAGE_POSITION, 0}, {D3DDECLUSAGE_TEXCOORD, 1}}, 1},
      {{{D3DDECLUSAGE_TEXCOORD, 0}}, 0},
      {{{D3DDECLUSAGE_NORMAL, 0}, {D3DDECLUSAGE_NORMAL, 1}}, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(declaration->HasUsages(c.inputs.data(), static_cast<UINT>(c.inputs.size())),
              c.expected)
        << c.inputs.size() << " inputs";
}

TEST(VertexDeclarationBank, ListsTheBankCannotTakeEndTheProcess) {
  struct Case {
    const char* name;
    std::function<void(RendererTestBench&)> make;
    const char* text;
  } cases[] = {
      {"only the marker", [](RendererTestBench& b) { Make(b, {kEnd}); },
       "Vertex Elements Have 0 Definitions"},
      {"no marker",
       [](RendererTestBench& b) {
         std::vector<D3DVERTEXELEMENT9> elements(kMaxVertexElements + 1, kPosition);
         elements.push_back(kEnd);  // too far out to count
         Make(b, elements);
       },
       "Vertex Elements Have No End Marker"},
      {"a full table",
       [](RendererTestBench& b) {
         for (UINT i = 0; i <= CVertexDeclarationBank::kMaxDeclarations; ++i) {
           D3DVERTEXELEMENT9 moved = kPosition;
           moved.Offset = static_cast<WORD>(4 * i);
           Make(b, {moved, kEnd});
         }
       },
       "Not Enuff Vertex Declaration Entries"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RendererTestBench bench(ZK_D3D_BACKEND_NULL);
    const ZkTestMessageBox box = FatalBox([&] { c.make(bench); });
    EXPECT_EQ(box.caption, "Error While Creating Vertex Declaration");
    EXPECT_EQ(box.text, c.text);
  }
}

TEST(VertexDeclarationBank, RepeatedSettingsReachTheDeviceOnce) {
  // 'A' and 'B' set declarations, 'x' and 'y' FVFs, 'r' resets the device.
  struct Case {
    const char* steps;
    size_t declarationCalls;
    size_t fvfCalls;
  } cases[] = {
      {"AA", 1, 0}, {"AxA", 2, 1}, {"ArA", 2, 0}, {"ABA", 3, 0},
      {"xx", 0, 1}, {"xyx", 0, 3}, {"xAx", 1, 2}, {"xrx", 0, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.steps);
    RendererTestBench bench(ZK_D3D_BACKEND_NULL);
    CVertexDeclaration* a = Make(bench, {kPosition, kEnd});
    CVertexDeclaration* b = Make(bench, {kPosition, kNormal, kEnd});
    size_t declarationCalls = 0, fvfCalls = 0;
    for (const char* step = c.steps; *step; ++step) {
      ZkTestD3DClearCalls();
      switch (*step) {
        case 'A': a->Set(); break;
        case 'B': b->Set(); break;
        case 'x': Bank(bench).SetFVF(kDebugFVF); break;
        case 'y': Bank(bench).SetFVF(D3DFVF_XYZ); break;
        case 'r': bench.renderer->Reset(); break;
      }
      declarationCalls += ZkTestD3DCountCalls("SetVertexDeclaration");
      fvfCalls += ZkTestD3DCountCalls("SetFVF");
    }
    EXPECT_EQ(declarationCalls, c.declarationCalls);
    EXPECT_EQ(fvfCalls, c.fvfCalls);
    EXPECT_EQ(bench.Errors(), "");
  }
}

TEST(VertexDeclarationBank, ReleasingTheDeviceLetsEveryDeclarationGo) {
  const size_t before = ZkTestD3DLiveObjects();
  {
    RendererTestBench bench(ZK_D3D_BACKEND_NULL);
    Make(bench, {kPosition, kEnd});
    Make(bench, {kNormal, kEnd});
    bench.device.Release();
    bench.renderer->ReleaseDevice();
    EXPECT_EQ(ZkTestD3DLiveObjects(), before);
  }
}

}  // namespace
