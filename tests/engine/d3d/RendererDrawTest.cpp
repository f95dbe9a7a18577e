// The renderer's draws: from the banks' buffers, from caller memory through the dynamic
// buffers (what fits and what does not), the device refusals they log, and pixels on GL.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "RendererTestBench.h"

namespace {

const std::vector<std::string> kDraws = {"DrawPrimitive", "DrawIndexedPrimitive"};
// A 32-byte vertex: position, normal and one texture-coordinate pair.
constexpr DWORD kFvf32 = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
constexpr UINT kStride32 = 32;
constexpr UINT kVerticesThatFit = RendererTestBench::kDynamicVertexBytes / kStride32;
constexpr UINT kTrianglesThatFit = RendererTestBench::kDynamicIndexBytes / sizeof(WORD) / 3;

TEST(RendererDraw, TheShortIndexedDrawTakesTheBanksVertexCountAndStartIndex) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  bench.vertexBuffers.currentVertices = 12;
  bench.indexBuffers.currentStartIndex = 30;
  bench.renderer->DrawIndexedPrimitive(4);
  bench.renderer->DrawIndexedPrimitive(2, 1, 6, 3, 1);
  EXPECT_EQ(RendererTestBench::Calls(kDraws), (std::vector<std::string>{"DrawIndexedPrimitive(4, 0, 0, 12, 30, 4)",
                                                                        "DrawIndexedPrimitive(4, 2, 1, 6, 33, 1)"}));
}

struct MemoryDrawCase {
  const char* name;
  bool indexed;
  UINT type;
  UINT primitives;
  UINT vertexCount;
  UINT stride;
  UINT indexCount;  // the caller's array holds exactly this many
  UINT indexFormat;
  const char* drawn;   // the device's draw, empty when refused
  const char* error;   // the start of the error line, empty for none
};

const MemoryDrawCase kMemoryDraws[] = {
    {"VerticesJustFit", false, D3DPT_TRIANGLELIST, kVerticesThatFit / 3, kVerticesThatFit, kStride32, 0, 0,
     "DrawPrimitive(4, 0, 5461)", ""},
    {"VerticesOneByteOver", false, D3DPT_POINTLIST, 1, RendererTestBench::kDynamicVertexBytes + 1, 1, 0, 0, "",
     "ERROR!!! - Vertices Don't Fit The Dynamic Vertex Buffer"},
    {"VerticesOverflowing32Bits", false, D3DPT_POINTLIST, 1, 0x10000, 0x10000, 0, 0, "",
     "ERROR!!! - Vertices Don't Fit The Dynamic Vertex Buffer"},
    {"IndexedJustFits", true, D3DPT_TRIANGLELIST, kTrianglesThatFit, kVerticesThatFit, kStride32,
     kTrianglesThatFit * 3, D3DFMT_INDEX16, "DrawIndexedPrimitive(4, 0, 0, 16384, 0, 21845)", ""},
    {"IndexedOneIndexOver", true, D3DPT_TRIANGLELIST, kTrianglesThatFit + 1, 3, kStride32,
     (kTrianglesThatFit + 1) * 3, D3DFMT_INDEX16, "", "ERROR!!! - Geometry Doesn't Fit The Dynamic Buffers"},
    {"IndexedVerticesOneByteOver", true, D3DPT_POINTLIST, 1, RendererTestBench::kDynamicVertexBytes + 1, 1, 1,
     D3DFMT_INDEX16, "", "ERROR!!! - Geometry Doesn't Fit The Dynamic Buffers"},
    {"ThirtyTwoBitIndices", true, D3DPT_TRIANGLELIST, 1, 3, kStride32, 6, D3DFMT_INDEX32, "",
     "ERROR!!! - Only 16-bit Indices Can Be Drawn From Memory"},
    {"TypeZero", true, 0, 1, 3, kStride32, 3, D3DFMT_INDEX16, "",
     "WARNING!!! - Unknown Primitive Type ::DrawIndexPrimitiveUP\n"},
    {"TypeSeven", true, 7, 1, 3, kStride32, 3, D3DFMT_INDEX16, "",
     "WARNING!!! - Unknown Primitive Type ::DrawIndexPrimitiveUP\n"},
    // A strip reads its primitive count plus two indices, and no more is copied.
    {"StripReadsItsOwnIndices", true, D3DPT_TRIANGLESTRIP, 2, 4, kStride32, 4, D3DFMT_INDEX16,
     "DrawIndexedPrimitive(5, 0, 0, 4, 0, 2)", ""},
};

class MemoryDrawTest : public ::testing::TestWithParam<MemoryDrawCase> {};

TEST_P(MemoryDrawTest, CopiesWhatFitsAndRefusesTheRest) {
  const MemoryDrawCase& c = GetParam();
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  bench.device->SetFVF(kFvf32);
  // Exactly as large as the draw says, so that reading past them is an error of its own.
  std::vector<unsigned char> vertices(uint64_t{c.vertexCount} * c.stride <= (1u << 24) ? c.vertexCount * c.stride : 1);
  std::vector<WORD> indices(c.indexCount);
  for (UINT i = 0; i < c.indexCount; ++i) indices[i] = static_cast<WORD>(i % (c.vertexCount ? c.vertexCount : 1));
  bench.indexBuffers.currentStartIndex = 7;  // forgotten once the dynamic indices are set
  bench.renderer->BeginRendering();

  if (c.indexed)
    bench.renderer->DrawIndexedPrimitiveUP(c.type, 0, c.vertexCount, c.primitives, indices.data(), c.indexFormat,
                                           vertices.data(), c.stride);
  else
    bench.renderer->DrawPrimitive(c.type, c.primitives, c.vertexCount, vertices.data(), c.stride);

  const std::vector<std::string> draws = RendererTestBench::Calls(kDraws);
  if (*c.drawn) {
    EXPECT_EQ(draws, std::vector<std::string>{c.drawn});
    ASSERT_EQ(bench.vertexBuffers.streams.size(), 1u);
    EXPECT_EQ(bench.vertexBuffers.streams[0].buffer, bench.vertexBuffers.dynamicBuffer);
    EXPECT_EQ(bench.vertexBuffers.streams[0].stride, c.stride);
    EXPECT_EQ(bench.vertexBuffers.streams[0].count, c.vertexCount);
    EXPECT_EQ(bench.indexBuffers.rawIndices,
              c.indexed ? std::vector<IDirect3DIndexBuffer9*>{bench.indexBuffers.dynamicBuffer}
                        : std::vector<IDirect3DIndexBuffer9*>{});
  } else {
    EXPECT_TRUE(draws.empty());
    EXPECT_TRUE(bench.vertexBuffers.streams.empty());
    EXPECT_TRUE(bench.indexBuffers.rawIndices.empty());
  }
  if (*c.error)
    EXPECT_EQ(bench.Errors().rfind(c.error, 0), 0u) << bench.Errors();
  else
    EXPECT_EQ(bench.Errors(), "");
}

INSTANTIATE_TEST_SUITE_P(Cases, MemoryDrawTest, ::testing::ValuesIn(kMemoryDraws),
                         [](const auto& info) { return std::string(info.param.name); });

// An index buffer as large as the dynamic one that cannot be locked.
class UnlockableIndexBuffer final : public IDirect3DIndexBuffer9 {
 public:
  HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }
  HRESULT GetDevice(IDirect3DDevice9**) override { return D3DERR_INVALIDCALL; }
  DWORD SetPriority(DWORD) override { return 0; }
  DWORD GetPriority() override { return 0; }
  void PreLoad() override {}
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
  HRESULT Lock(UINT, UINT, void**, DWORD) override { return D3DERR_INVALIDCALL; }
  HRESULT Unlock() override { return D3DERR_INVALIDCALL; }
  HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override {
    *desc = {D3DFMT_INDEX16, D3DRTYPE_INDEXBUFFER, D3DUSAGE_DYNAMIC, D3DPOOL_DEFAULT,
             RendererTestBench::kDynamicIndexBytes};
    return D3D_OK;
  }
};

TEST(RendererDraw, AnIndexBufferThatCannotBeLockedDrawsNothingAndLeavesTheStreamsAlone) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  UnlockableIndexBuffer unlockable;
  IDirect3DIndexBuffer9* const dynamic = std::exchange(bench.indexBuffers.dynamicBuffer, &unlockable);
  const unsigned char vertices[3 * kStride32] = {};
  const WORD indices[] = {0, 1, 2};
  bench.renderer->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 3, 1, indices, D3DFMT_INDEX16, vertices, kStride32);
  bench.indexBuffers.dynamicBuffer = dynamic;

  EXPECT_TRUE(RendererTestBench::Calls(kDraws).empty());
  EXPECT_EQ(bench.Errors(), "ERROR!!! - Can't Lock Dynamic Index Buffer (CD3D9Renderer::DrawIndexedPrimitiveUP)\n");
  EXPECT_TRUE(bench.vertexBuffers.streams.empty());
  EXPECT_TRUE(bench.indexBuffers.rawIndices.empty());
  // The vertex buffer was given back: it holds no lock to undo.
  EXPECT_EQ(bench.vertexBuffers.dynamicBuffer->Unlock(), D3DERR_INVALIDCALL);
}

struct RefusalCase {
  const char* name;
  void (*call)(CD3D9Renderer&);
  const char* message;
};

const RefusalCase kRefusals[] = {
    {"Transform",
     [](CD3D9Renderer& r) {
       const CMatrix identity = CMatrix::Identity();
       r.SetTransform(1000, &identity);
     },
     "ERROR!!! - SetTransform Error: D3DERR_INVALIDCALL - Invalid call\n"},
    {"Light", [](CD3D9Renderer& r) { r.SetLight(0, nullptr); },
     "ERROR!!! - SetLight Error: D3DERR_INVALIDCALL - Invalid call\n"},
    {"StreamDraw", [](CD3D9Renderer& r) { r.DrawStreamPrimitive(0, 0, 1); },
     "ERROR!!! - Error When Calling DrawPrimitive: D3DERR_INVALIDCALL - Invalid call\n"},
    {"IndexedDraw", [](CD3D9Renderer& r) { r.DrawIndexedPrimitive(0, 0, 0, 3, 0, 1); },
     "ERROR! - DrawIndexedPrimitive - D3DERR_INVALIDCALL\nInvalid call\n"},
};

TEST(RendererDraw, DeviceRefusalsAreLoggedWithTheResultsNameAndDescription) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  for (const RefusalCase& refusal : kRefusals) {
    SCOPED_TRACE(refusal.name);
    bench.ForgetCalls();
    refusal.call(*bench.renderer);
    EXPECT_EQ(bench.Errors(), refusal.message);
  }
}

struct ScreenVertex {
  float x, y, z, rhw;
  D3DCOLOR colour;
};

TEST(RendererDraw, OnGLVerticesFromMemoryReachThePixels) {
  RendererTestBench bench(ZK_D3D_BACKEND_GL);
  bench.device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
  const float w = CD3DTestDevice::kWidth, h = CD3DTestDevice::kHeight;
  // The left half from a list, the right half from indices; clockwise on the screen.
  const ScreenVertex left[] = {{0, 0, 0.5f, 1, 0xFFFF0000}, {w / 2, 0, 0.5f, 1, 0xFFFF0000},
                               {0, h, 0.5f, 1, 0xFFFF0000}, {w / 2, 0, 0.5f, 1, 0xFFFF0000},
                               {w / 2, h, 0.5f, 1, 0xFFFF0000}, {0, h, 0.5f, 1, 0xFFFF0000}};
  const ScreenVertex right[] = {{w / 2, 0, 0.5f, 1, 0xFF0000FF}, {w, 0, 0.5f, 1, 0xFF0000FF},
                                {w, h, 0.5f, 1, 0xFF0000FF}, {w / 2, h, 0.5f, 1, 0xFF0000FF}};
  const WORD quad[] = {0, 1, 3, 1, 2, 3};
  bench.renderer->Clear(7 | ZK_CLEAR_NO_FRAME_LIMIT, 0);
  bench.renderer->BeginRendering();
  bench.renderer->DrawPrimitive(D3DPT_TRIANGLELIST, 2, 6, left, sizeof(ScreenVertex));
  bench.renderer->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 4, 2, quad, D3DFMT_INDEX16, right,
                                         sizeof(ScreenVertex));
  bench.renderer->EndRendering();
  EXPECT_EQ(bench.Errors(), "");
  const std::vector<D3DCOLOR> pixels = bench.device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 10, 30), 0xFF0000));
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 50, 30), 0x0000FF));
}

}  // namespace
