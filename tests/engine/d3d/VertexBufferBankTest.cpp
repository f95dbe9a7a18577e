// The renderer's vertex-buffer bank: the element conversions, sharing, the main and dynamic
// buffers with what they hold at the offsets bound, device loss, and meshes through it. Null
// back end, and one draw on GL.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "FakeMeshShaderLibrary.h"
#include "FakeMeshSpatial.h"
#include "ProcessExitCatcher.h"
#include "RecordingRenderer.h"
#include "RendererTestBench.h"
#include "TestScene.h"
#include "d3d/VertexBuffer.h"
#include "d3d/VertexBufferBank.h"
#include "d3d/VertexDeclaration.h"
#include "d3d/VertexDeclarationBank.h"
#include "d3d/VertexElements.h"
#include "d3d/VertexStreamSet.h"
#include "scene/Mesh.h"

namespace {

constexpr D3DVERTEXELEMENT9 kEnd = D3DDECL_END();
constexpr D3DVERTEXELEMENT9 Element(WORD stream, BYTE type, BYTE usage, BYTE index = 0,
                                    WORD offset = 0) {
  return {stream, offset, type, D3DDECLMETHOD_DEFAULT, usage, index};
}
constexpr D3DVERTEXELEMENT9 kPosition4 = Element(0, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_POSITION);

// A renderer with its real vertex-declaration and vertex-buffer banks, the main buffer of the
// size given (0 for none).
struct BufferBench {
  explicit BufferBench(UINT mainSize = 0, ZkTestD3DBackend backend = ZK_D3D_BACKEND_NULL)
      : bench(backend, ShaderModel3Card(), 2, false) {
    CD3D9Renderer::Banks banks;
    banks.pRenderTargets = &bench.renderTargets;
    banks.pIndexBuffers = &bench.indexBuffers;
    banks.pTextures = &bench.textures;
    banks.pVertexShaders = &bench.vertexShaders;
    banks.pPixelShaders = &bench.pixelShaders;
    bench.renderer->SetBanks(banks);
    DeviceSettings settings = RendererTestBench::WindowedSettings();
    settings.dwVertexBufferResourceManagement = mainSize;
    bench.CreateDevice(settings);
    // The bench's fake bank is not the renderer's here: its default-pool buffer would stop a reset.
    bench.vertexBuffers.dynamicBuffer->Release();
    bench.vertexBuffers.dynamicBuffer = nullptr;
  }
  CVertexBufferBank& Bank() {
    return static_cast<CVertexBufferBank&>(*bench.renderer->GetVertexBufferStorageInterface());
  }
  CVertexDeclarationBank& Declarations() {
    return static_cast<CVertexDeclarationBank&>(
        *bench.renderer->GetVertexDeclarationStorageInterface());
  }
  // Each buffer made is given back once when the bench goes, unless the test gave it back.
  ~BufferBench() {
    for (CVertexBuffer* buffer : made) buffer->Release();
  }
  CVertexBuffer* Make(const char* name, std::vector<Vertex>& vertices, UINT dynamic = 0,
                      UINT kind = 0, Vertex* second = nullptr) {
    made.push_back(static_cast<CVertexBuffer*>(Bank().CreateVertexBuffer(
        vertices.data(), second, static_cast<UINT>(vertices.size()), name, kind, dynamic)));
    return made.back();
  }
  void Release(CVertexBuffer* buffer) {
    made.erase(std::find(made.begin(), made.end(), buffer));
    buffer->Release();
  }
  // Lays the buffer out for the elements and sets its streams through their declaration.
  void Set(CVertexBuffer* buffer, std::vector<D3DVERTEXELEMENT9> elements) {
    buffer->CreateCompatibleWith(elements.data());
    Declarations().CreateVertexDeclaration(elements.data())->Set();
    buffer->SetStreams();
  }
  RendererTestBench bench;
  std::vector<CVertexBuffer*> made;
};

// Numbered vertices: every field of vertex i holds a value made of i.
std::vector<Vertex> Numbered(UINT count, float base = 0.0f) {
  std::vector<Vertex> vertices(count);
  for (UINT i = 0; i < count; ++i) {
    const float f = base + static_cast<float>(i);
    vertices[i].vecPosition = {f, f + 0.25f, f + 0.5f};
    vertices[i].vecNormal = {f + 0.75f, 0.5f, 0.25f};
  }
  return vertices;
}

// The stream bindings logged since the last ForgetCalls, as (stream, offset, stride).
struct Binding {
  UINT stream, offset, stride;
  bool operator==(const Binding&) const = default;
};
std::vector<Binding> Bindings() {
  std::vector<Binding> bindings;
  const std::regex call(R"(SetStreamSource\((\d+), (\S+), (\d+), (\d+)\))");
  for (const std::string& line : RendererTestBench::Calls({"SetStreamSource"})) {
    std::smatch m;
    if (std::regex_match(line, m, call) && m[2] != "(nil)" && m[2] != "0x0")
      bindings.push_back({static_cast<UINT>(std::stoul(m[1])), static_cast<UINT>(std::stoul(m[3])),
                          static_cast<UINT>(std::stoul(m[4]))});
  }
  return bindings;
}

// `size` bytes of the Direct3D buffer at `offset`.
std::vector<BYTE> Read(IDirect3DVertexBuffer9* buffer, UINT offset, UINT size) {
  std::vector<BYTE> bytes(size);
  void* data = nullptr;
  if (buffer && SUCCEEDED(buffer->Lock(offset, size, &data, D3DLOCK_READONLY))) {
    memcpy(bytes.data(), data, size);
    buffer->Unlock();
  }
  return bytes;
}
template <class T>
std::vector<BYTE> Bytes(std::initializer_list<T> values) {
  std::vector<BYTE> bytes(values.size() * sizeof(T));
  memcpy(bytes.data(), values.begin(), bytes.size());
  return bytes;
}

// --- the element conversions ---

struct ConversionCase {
  const char* name;
  D3DVERTEXELEMENT9 element;
  bool second;                 // a second vertex array is given
  std::vector<BYTE> expected;  // the bytes written for the vertex, when accepted
  const char* refusal;         // the fatal text, when refused
};

TEST(VertexBufferBank, EachElementIsConvertedFromTheVertexOrRefused) {
  using F = float;
  using S = int16_t;
  using H = uint16_t;
  Vertex v{};
  v.vecPosition = {1, 2, 3};
  v.vecNormal = {0.5f, -0.7f, 0.25f};
  v.vecTangent = {-2, 1, 0.5f};
  v.vecBiNormal = {0.25f, -1, 1};
  v.fWeights[0] = 0.125f, v.fWeights[1] = 0.25f, v.fWeights[2] = 0.5f, v.fWeights[3] = 0.9f;
  v.wBonesIndices[0] = 0, v.wBonesIndices[1] = 3, v.wBonesIndices[2] = 24, v.wBonesIndices[3] = 25;
  v.fTU[0] = 0, v.fTV[0] = 3.7f, v.fTU[1] = 24.9f, v.fTV[1] = 25;
  Vertex second{};
  second.vecPosition = {7, 8, 9};
  second.vecNormal = {0, 0, -1};

  const std::vector<ConversionCase> cases = {
      {"position float3", Element(0, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION), false,
       Bytes<F>({1, 2, 3}), nullptr},
      {"position float4 takes normal x", kPosition4, false, Bytes<F>({1, 2, 3, 0.5f}), nullptr},
      {"position 1 from the second array", Element(0, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION, 1),
       true, Bytes<F>({7, 8, 9}), nullptr},
      {"position 1 without a second array",
       Element(0, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION, 1),
       false,
       {},
       "Unknown Usage Index: crate"},
      {"position 1 float4",
       Element(0, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_POSITION, 1),
       true,
       {},
       "POSITION Usage Should Have FLOAT3 Type: crate"},
      {"position float2",
       Element(0, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_POSITION),
       false,
       {},
       "POSITION Usage Should Have FLOAT3 or FLOAT4 (.w in Normal.x) Type: crate"},
      {"position 2",
       Element(0, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION, 2),
       true,
       {},
       "Unknown Usage Index: crate"},
      {"normal float3", Element(0, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL), false,
       Bytes<F>({0.5f, -0.7f, 0.25f}), nullptr},
      {"normal float2", Element(0, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_NORMAL), false,
       Bytes<F>({0.5f, -0.7f}), nullptr},
      {"normal half2", Element(0, D3DDECLTYPE_FLOAT16_2, D3DDECLUSAGE_NORMAL), false,
       Bytes<H>({0x3800, 0xB99A}), nullptr},
      {"normal half4", Element(0, D3DDECLTYPE_FLOAT16_4, D3DDECLUSAGE_NORMAL), false,
       Bytes<H>({0x3800, 0xB99A, 0x3400, 0}), nullptr},
      // 0.7 x 32767 is 22936.9: truncated toward zero.
      {"normal short2n", Element(0, D3DDECLTYPE_SHORT2N, D3DDECLUSAGE_NORMAL), false,
       Bytes<S>({16383, -22936}), nullptr},
      {"normal short4n", Element(0, D3DDECLTYPE_SHORT4N, D3DDECLUSAGE_NORMAL), false,
       Bytes<S>({16383, -22936, 8191, 0}), nullptr},
      {"normal colour",
       Element(0, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_NORMAL),
       false,
       {},
       "NORMAL Usage Should Have FLOAT3, FLOAT2, FLOAT16_2, FLOAT16_4, SHORT2N or SHORT4N Type: "
       "crate"},
      {"normal 1 from the second array", Element(0, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 1),
       true, Bytes<F>({0, 0, -1}), nullptr},
      {"normal 1 float2",
       Element(0, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_NORMAL, 1),
       true,
       {},
       "NORMAL Usage Should Have FLOAT3 Or FLOAT2 Type: crate"},
      {"tangent float3", Element(0, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_TANGENT), false,
       Bytes<F>({-2, 1, 0.5f}), nullptr},
      {"tangent ubyte4",
       Element(0, D3DDECLTYPE_UBYTE4, D3DDECLUSAGE_TANGENT),
       false,
       {},
       "TANGENT Usage Should Have FLOAT3, FLOAT2, FLOAT16_2, FLOAT16_4, SHORT2N or SHORT4N Type: "
       "crate"},
      {"tangent 1",
       Element(0, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_TANGENT, 1),
       false,
       {},
       "Unknown Usage Index: crate"},
      {"binormal short4n", Element(0, D3DDECLTYPE_SHORT4N, D3DDECLUSAGE_BINORMAL), false,
       Bytes<S>({8191, -32767, 32767, 0}), nullptr},
      {"binormal float1",
       Element(0, D3DDECLTYPE_FLOAT1, D3DDECLUSAGE_BINORMAL),
       false,
       {},
       "BINORMAL Usage Should Have FLOAT3, FLOAT2, FLOAT16_2, FLOAT16_4, SHORT2N, SHORT4N Type: "
       "crate"},
      {"texcoord 0 float2", Element(0, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD, 0), false,
       Bytes<F>({0, 3.7f}), nullptr},
      {"texcoord 1 float2", Element(0, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD, 1), false,
       Bytes<F>({24.9f, 25}), nullptr},
      {"texcoord 2 float2", Element(0, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD, 2), false,
       Bytes<F>({0, 0}), nullptr},
      {"texcoord 0 half2", Element(0, D3DDECLTYPE_FLOAT16_2, D3DDECLUSAGE_TEXCOORD, 0), false,
       Bytes<H>({0, 0x4366}), nullptr},
      {"texcoord float1", Element(0, D3DDECLTYPE_FLOAT1, D3DDECLUSAGE_TEXCOORD, 3), false,
       Bytes<F>({0}), nullptr},
      {"texcoord float3", Element(0, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_TEXCOORD, 0), false,
       Bytes<F>({0, 0, 0}), nullptr},
      {"texcoord 0 ubyte4", Element(0, D3DDECLTYPE_UBYTE4, D3DDECLUSAGE_TEXCOORD, 0), false,
       Bytes<BYTE>({1, 4, 25, 0}), nullptr},
      {"texcoord 1 ubyte4", Element(0, D3DDECLTYPE_UBYTE4, D3DDECLUSAGE_TEXCOORD, 1), false,
       Bytes<BYTE>({0, 0, 0, 0}), nullptr},
      {"texcoord 0 float4", Element(0, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_TEXCOORD, 0), false,
       Bytes<F>({1, 3.7f + 1.0f, 24.9f + 1.0f, 0}), nullptr},
      {"texcoord colour",
       Element(0, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_TEXCOORD, 0),
       false,
       {},
       "TEXCOORD Usage Should Have FLOAT2 Type: crate"},
      {"texcoord 8",
       Element(0, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD, 8),
       false,
       {},
       "Unknown Usage Index: crate"},
      // The fourth weight is what the first three leave, whatever the vertex holds.
      {"blendweight float4", Element(0, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_BLENDWEIGHT), false,
       Bytes<F>({0.125f, 0.25f, 0.5f, 0.125f}), nullptr},
      {"blendweight float3", Element(0, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_BLENDWEIGHT), false,
       Bytes<F>({0.125f, 0.25f, 0.5f}), nullptr},
      {"blendweight ubyte4",
       Element(0, D3DDECLTYPE_UBYTE4, D3DDECLUSAGE_BLENDWEIGHT),
       false,
       {},
       "BLENDWEIGHT Usage Should Have FLOAT4 Type: crate"},
      {"blendindices ubyte4", Element(0, D3DDECLTYPE_UBYTE4, D3DDECLUSAGE_BLENDINDICES), false,
       Bytes<BYTE>({1, 4, 25, 0}), nullptr},
      {"blendindices float4", Element(0, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_BLENDINDICES), false,
       Bytes<F>({1, 4, 25, 0}), nullptr},
      {"blendindices short2",
       Element(0, D3DDECLTYPE_SHORT2, D3DDECLUSAGE_BLENDINDICES),
       false,
       {},
       "BLENDINDICES Usage Should Have UBYTE4 Type: crate"},
      {"blendindices 1",
       Element(0, D3DDECLTYPE_UBYTE4, D3DDECLUSAGE_BLENDINDICES, 1),
       false,
       {},
       "Unknown Usage Index: crate"},
      {"colour",
       Element(0, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR),
       false,
       {},
       "Unknown Usage: crate"},
  };
  for (const ConversionCase& c : cases) {
    SCOPED_TRACE(c.name);
    BufferBench b;
    std::vector<Vertex> vertices = {v};
    CVertexBuffer* buffer = b.Make("Crate", vertices, 0, 0, c.second ? &second : nullptr);
    std::vector<D3DVERTEXELEMENT9> elements = {c.element, kEnd};
    if (c.refusal) {
      ProcessExitCatcher catcher;
      EXPECT_THROW(buffer->CreateCompatibleWith(elements.data()), ProcessExited);
      ASSERT_EQ(catcher.Boxes().size(), 1u);
      EXPECT_EQ(catcher.Boxes()[0].caption, "Error While Creating Vertex Buffer");
      EXPECT_EQ(catcher.Boxes()[0].text, c.refusal);
      continue;
    }
    ASSERT_EQ(buffer->CreateCompatibleWith(elements.data()), 1u);
    const std::vector<BYTE> written =
        Read(buffer->GetDirect3DVertexBuffer(), 0, static_cast<UINT>(c.expected.size()));
    EXPECT_EQ(written, c.expected);
  }
}

// --- sharing ---

TEST(VertexBufferBank, EqualBuffersAreSharedAcrossLetterCaseButNeverDynamicOnes) {
  BufferBench b;
  std::vector<Vertex> vertices = Numbered(3);
  CVertexBuffer* crate = b.Make("Crate", vertices);
  EXPECT_STREQ(crate->GetName(), "crate");
  EXPECT_EQ(b.Make("CRATE", vertices), crate);
  EXPECT_EQ(crate->GetReferenceCount(), 2u);
  EXPECT_NE(b.bench.log.TextAt(CEngineLog::kLevelInfo).find("- crate - 1\n    - Already Exists\n"),
            std::string::npos);

  std::vector<Vertex> moved = Numbered(3);
  moved[2].fTV[1] = 0.5f;
  EXPECT_NE(b.Make("crate", moved), crate);
  EXPECT_NE(b.Make("crate", vertices, 0, 1), crate);  // another kind
  CVertexBuffer* dynamic = b.Make("crate", vertices, 1);
  EXPECT_NE(dynamic, crate);
  EXPECT_NE(b.Make("crate", vertices, 1), dynamic);
  EXPECT_EQ(b.Bank().GetNumberOfBuffers(), 5u);
}

TEST(VertexBufferBank, StreamsEqualButForTheirNumberAreStoredOnce) {
  BufferBench b;
  std::vector<Vertex> vertices = Numbered(4);
  CVertexBuffer* buffer = b.Make("crate", vertices);
  const D3DVERTEXELEMENT9 normal1 = Element(1, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL);
  const D3DVERTEXELEMENT9 normal0 = Element(0, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL);
  std::vector<D3DVERTEXELEMENT9> twoStreams = {kPosition4, normal1, kEnd};
  std::vector<D3DVERTEXELEMENT9> normalsOnly = {normal0, kEnd};
  b.bench.ForgetCalls();
  EXPECT_EQ(buffer->CreateCompatibleWith(twoStreams.data()), 1u);
  EXPECT_EQ(buffer->CreateCompatibleWith(normalsOnly.data()), 1u);
  EXPECT_EQ(buffer->CreateCompatibleWith(twoStreams.data()), 1u);
  EXPECT_EQ(ZkTestD3DCountCalls("CreateVertexBuffer"), 2u);
  EXPECT_EQ(buffer->GetStreamSet(0)->pStreams[1], buffer->GetStreamSet(1)->pStreams[0]);
  EXPECT_EQ(buffer->GetStreamSet(2), nullptr);

  // Two more layouts fill the four sets; a fifth is the end.
  for (BYTE index : {2, 3}) {
    std::vector<D3DVERTEXELEMENT9> layout = {
        Element(0, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD, index), kEnd};
    EXPECT_EQ(buffer->CreateCompatibleWith(layout.data()), 1u);
  }
  std::vector<D3DVERTEXELEMENT9> fifth = {Element(0, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD, 4),
                                          kEnd};
  ProcessExitCatcher catcher;
  EXPECT_THROW(buffer->CreateCompatibleWith(fifth.data()), ProcessExited);
  ASSERT_EQ(catcher.Boxes().size(), 1u);
  EXPECT_EQ(catcher.Boxes()[0].text, "No Enuff Stream Entries: crate");
}

TEST(VertexBufferBank, LayoutsTheSetsCannotHoldAreRefused) {
  BufferBench b;
  std::vector<Vertex> vertices = Numbered(2);
  CVertexBuffer* buffer = b.Make("crate", vertices);
  std::vector<D3DVERTEXELEMENT9> high = {Element(8, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL), kEnd};
  std::vector<D3DVERTEXELEMENT9> apart = {
      kPosition4, Element(1, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL),
      Element(0, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD), kEnd};
  std::vector<D3DVERTEXELEMENT9> endless(kMaxVertexElements + 2, kPosition4);
  EXPECT_EQ(buffer->CreateCompatibleWith(high.data()), 0u);
  EXPECT_EQ(buffer->CreateCompatibleWith(apart.data()), 0u);
  EXPECT_EQ(buffer->CreateCompatibleWith(endless.data()), 0u);
  EXPECT_EQ(buffer->GetStreamSet(0), nullptr);
  EXPECT_EQ(b.bench.Errors(),
            "ERROR!!! - Vertex Layout Uses Stream 8 Above 7: crate\n"
            "ERROR!!! - Vertex Layout Has The Elements Of Stream 0 Apart: crate\n"
            "ERROR!!! - Vertex Layout Without An End Marker: crate\n");
}

// --- the main buffer ---

TEST(VertexBufferBank, TheMainBufferIsFilledFirstFitAndEmptiedWhenFull) {
  BufferBench b(1000);
  // 25 vertices of one FLOAT4 are 400 bytes; 10 are 160.
  std::vector<Vertex> first = Numbered(25), second = Numbered(25, 100), third = Numbered(25, 200);
  std::vector<Vertex> small = Numbered(10, 300), gap = Numbered(25, 400);
  std::vector<D3DVERTEXELEMENT9> layout = {kPosition4, kEnd};
  CVertexBuffer* a = b.Make("a", first);
  CVertexBuffer* bb = b.Make("b", second);
  CVertexBuffer* c = b.Make("c", third);
  b.bench.ForgetCalls();
  b.Set(a, layout);
  b.Set(bb, layout);
  b.Set(c, layout);
  EXPECT_EQ(Bindings(), (std::vector<Binding>{{0, 0, 16}, {0, 400, 16}, {0, 0, 16}}));
  // The evicted ones are uploaded again when next set, after the one that stayed.
  b.bench.ForgetCalls();
  b.Set(a, layout);
  EXPECT_EQ(Bindings(), (std::vector<Binding>{{0, 400, 16}}));
  EXPECT_EQ(Read(a->GetDirect3DVertexBuffer(), 400, 4), Bytes<float>({0.0f}));
  EXPECT_EQ(Read(a->GetDirect3DVertexBuffer(), 416, 4), Bytes<float>({1.0f}));

  // c at 0, a at 400, the small one at 800; the gap a leaves takes the next 400 bytes.
  CVertexBuffer* s = b.Make("s", small);
  b.Set(s, layout);
  b.Release(a);
  CVertexBuffer* g = b.Make("g", gap);
  b.bench.ForgetCalls();
  b.Set(g, layout);
  EXPECT_EQ(Bindings(), (std::vector<Binding>{{0, 400, 16}}));
  EXPECT_EQ(Read(g->GetDirect3DVertexBuffer(), 400, 4), Bytes<float>({400.0f}));
  EXPECT_EQ(b.bench.Errors(), "");
}

TEST(VertexBufferBank, AllStreamsOfASetAreBoundWithTheirData) {
  struct Case {
    const char* name;
    UINT mainSize;
    UINT dynamic;
    std::vector<Binding> bindings;
  } cases[] = {
      // The filler takes 800 of 1000 bytes: the positions fit after it, the normals do not, and
      // the room they make drops the positions, which are placed again after them.
      {"nearly full main buffer", 1000, 0, {{0, 120, 16}, {1, 0, 12}}},
      {"dynamic buffer", 0, 1, {{0, 0, 16}, {1, 160, 12}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BufferBench b(c.mainSize);
    std::vector<Vertex> filler = Numbered(50, 1000), vertices = Numbered(10);
    std::vector<D3DVERTEXELEMENT9> single = {kPosition4, kEnd};
    if (c.mainSize) b.Set(b.Make("filler", filler), single);
    CVertexBuffer* buffer = b.Make("crate", vertices, c.dynamic);
    b.bench.ForgetCalls();
    b.Set(buffer, {kPosition4, Element(1, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL), kEnd});
    const std::vector<Binding> bound = Bindings();
    ASSERT_GE(bound.size(), 2u);
    // The last binding of each stream is what a draw reads.
    const std::vector<Binding> last = {bound[bound.size() - 2], bound.back()};
    EXPECT_EQ(last, c.bindings);
    IDirect3DDevice9* device = b.bench.renderer->GetDevice();
    IDirect3DVertexBuffer9* source = nullptr;
    UINT offset = 0, stride = 0;
    ASSERT_EQ(device->GetStreamSource(0, &source, &offset, &stride), D3D_OK);
    EXPECT_EQ(Read(source, offset + 16 * 9, 16), Bytes<float>({9, 9.25f, 9.5f, 9.75f}));
    source->Release();
    ASSERT_EQ(device->GetStreamSource(1, &source, &offset, &stride), D3D_OK);
    EXPECT_EQ(Read(source, offset + 12 * 9, 12), Bytes<float>({9.75f, 0.5f, 0.25f}));
    source->Release();
    EXPECT_EQ(b.bench.Errors(), "");
  }
}

// --- the dynamic buffer ---

TEST(VertexBufferBank, TheDynamicBufferHoldsHalfAMegabyteAndNoMore) {
  BufferBench b;
  std::vector<Vertex> fits = Numbered(CVertexBufferBank::kDynamicBufferSize / 16);
  std::vector<Vertex> over = Numbered(CVertexBufferBank::kDynamicBufferSize / 16 + 1);
  b.bench.ForgetCalls();
  b.Set(b.Make("fits", fits, 1), {kPosition4, kEnd});
  EXPECT_EQ(Bindings(), (std::vector<Binding>{{0, 0, 16}}));
  EXPECT_EQ(b.bench.Errors(), "");
  b.bench.ForgetCalls();
  b.Set(b.Make("over", over, 1), {kPosition4, kEnd});
  EXPECT_EQ(Bindings(), std::vector<Binding>{});
  EXPECT_EQ(b.bench.Errors(),
            "WARNING!!! - The Size Dynamic Vertex Buffer Is Not Enough To Hold The Requested "
            "Geometry - 524304 - "
            "524288 at over\n"
            "ERROR!!! - Can't Set A Vertex Buffers - FillTheBuffer Has Returned An Error\n");
}

TEST(VertexBufferBank, NewVerticesOfTheCurrentBufferReachTheDevice) {
  BufferBench b;
  std::vector<Vertex> vertices = Numbered(3), moved = Numbered(3, 50);
  CVertexBuffer* buffer = b.Make("crate", vertices, 1);
  std::vector<D3DVERTEXELEMENT9> layout = {kPosition4, kEnd};
  b.Set(buffer, layout);
  buffer->SetVertices(moved.data(), 3);
  b.bench.ForgetCalls();
  buffer->SetStreams();
  EXPECT_EQ(Bindings(), (std::vector<Binding>{{0, 0, 16}}));
  EXPECT_EQ(Read(b.Bank().GetDynamicVertexBuffer(), 0, 4), Bytes<float>({50.0f}));
  // Set again unchanged, nothing reaches the device.
  b.bench.ForgetCalls();
  buffer->SetStreams();
  EXPECT_EQ(ZkTestD3DCountCalls("SetStreamSource"), 0u);
}

// A mesh that grows (the player's cable) must not be drawn from the stream of its old size.
TEST(VertexBufferBank, NewVerticesOfAStaticBufferAreUploadedAgainAtTheirNewSize) {
  for (UINT mainSize : {0u, 1000u}) {
    SCOPED_TRACE(mainSize);
    BufferBench b(mainSize);
    std::vector<Vertex> vertices = Numbered(3), grown = Numbered(6, 50);
    std::vector<D3DVERTEXELEMENT9> layout = {kPosition4, kEnd};
    CVertexBuffer* other = b.Make("other", vertices);
    CVertexBuffer* cable = b.Make("cable", vertices);
    b.Set(other, layout);
    b.Set(cable, layout);
    cable->SetVertices(grown.data(), 6);
    b.bench.ForgetCalls();
    cable->SetStreams();
    IDirect3DVertexBuffer9* device = cable->GetDirect3DVertexBuffer();
    ASSERT_NE(device, nullptr);
    D3DVERTEXBUFFER_DESC desc;
    device->GetDesc(&desc);
    const UINT offset = Bindings().at(0).offset;
    EXPECT_GE(desc.Size, offset + 6u * 16u);
    EXPECT_EQ(Read(device, offset + 5 * 16, 4), Bytes<float>({55.0f}));
    // The other buffer's data is where it was.
    other->SetStreams();
    EXPECT_EQ(Read(other->GetDirect3DVertexBuffer(), Bindings().back().offset, 4),
              Bytes<float>({0.0f}));
    EXPECT_EQ(b.bench.Errors(), "");
  }
}

// --- device loss and release ---

TEST(VertexBufferBank, StreamsAreUploadedAgainAfterAResetAndAllGoWithTheDevice) {
  const size_t before = ZkTestD3DLiveObjects();
  {
    BufferBench b(1000);
    std::vector<Vertex> vertices = Numbered(5), dynamicVertices = Numbered(5, 20),
                        own = Numbered(5, 40);
    std::vector<D3DVERTEXELEMENT9> layout = {kPosition4, kEnd};
    CVertexBuffer* main = b.Make("main", vertices);
    CVertexBuffer* dynamic = b.Make("dynamic", dynamicVertices, 1);
    b.Set(main, layout);
    b.Set(dynamic, layout);
    b.bench.renderer->Reset();
    b.bench.ForgetCalls();
    b.Set(main, layout);
    EXPECT_EQ(Read(main->GetDirect3DVertexBuffer(), 0, 4), Bytes<float>({0.0f}));
    b.Set(dynamic, layout);
    EXPECT_EQ(Read(b.Bank().GetDynamicVertexBuffer(), 0, 4), Bytes<float>({20.0f}));
    EXPECT_EQ(Bindings(), (std::vector<Binding>{{0, 0, 16}, {0, 0, 16}}));
    EXPECT_EQ(b.bench.Errors(), "");

    b.bench.device.Release();
    b.bench.renderer->ReleaseDevice();
    EXPECT_EQ(ZkTestD3DLiveObjects(), before);
    // The meshes may give their buffers back after the device and the bank are gone.
    b.Release(main);
    b.Release(dynamic);
  }
}

TEST(VertexBufferBank, OwnBuffersOfStaticStreamsGoWithTheDevice) {
  const size_t before = ZkTestD3DLiveObjects();
  BufferBench b;
  std::vector<Vertex> vertices = Numbered(5);
  CVertexBuffer* buffer = b.Make("own", vertices);
  buffer->CreateCompatibleWith(std::vector<D3DVERTEXELEMENT9>{kPosition4, kEnd}.data());
  b.bench.renderer->Reset();  // a system-memory buffer survives
  EXPECT_NE(buffer->GetDirect3DVertexBuffer(), nullptr);
  b.bench.device.Release();
  b.bench.renderer->ReleaseDevice();
  EXPECT_EQ(ZkTestD3DLiveObjects(), before);
  b.Release(buffer);
}

// --- through the scene graph ---

TEST(VertexBufferBank, AMeshAndItsCloneShareTheirBufferAndGiveItBack) {
  BufferBench b;
  FakeMeshShaderLibrary shaders;
  FakeMeshSpatial spatial;
  b.bench.context->ports.meshShaders.Set(&shaders);
  b.bench.context->ports.meshSpatial.Set(&spatial);
  RecordingRenderer renderer;
  renderer.vertexBufferStorage = &b.Bank();
  auto* scene = new TestScene(&renderer, &b.bench.log);
  auto* mesh = new CMesh(&renderer, &b.bench.log, scene, 0);
  mesh->SetName("Crate");
  scene->AppendWorldObject(mesh);
  std::vector<Vertex> vertices = Numbered(3);
  mesh->SetVertices(3, vertices.data(), 0);
  mesh->SetFlags(CMesh::kFlagCastsShadow);
  mesh->SetCastsShadowVolume(1);
  spatial.hasShadowGeometry = 1;
  spatial.shadowBlocks[0] = Numbered(6);
  spatial.shadowBlocks[1] = Numbered(9);
  shaders.passes = {{{SHADER_STREAM_MESH, nullptr}},
                    {{SHADER_STREAM_DYNAMIC_SHADOW_VOLUME, nullptr},
                     {SHADER_STREAM_STATIC_SHADOW_VOLUME, nullptr}}};
  ASSERT_EQ(mesh->CreateShader("wood.ssh", nullptr, 0, 1), 1u);
  EXPECT_EQ(b.Bank().GetNumberOfBuffers(), 3u);
  auto* meshBuffer = static_cast<CVertexBuffer*>(mesh->GetVertexBuffer(1));
  EXPECT_STREQ(meshBuffer->GetName(), "crate");
  EXPECT_STREQ(static_cast<CVertexBuffer*>(shaders.passes[1][1].pVertexBuffer)->GetName(),
               "crate_shadow_volume_2");

  CMeshInterface* clone = nullptr;
  ASSERT_EQ(mesh->Clone(&clone), 1u);
  EXPECT_EQ(meshBuffer->GetReferenceCount(), 2u);
  mesh->Release();
  EXPECT_EQ(meshBuffer->GetReferenceCount(), 1u);
  static_cast<CMesh*>(clone)->Release();
  EXPECT_EQ(b.Bank().GetNumberOfBuffers(), 0u);
  scene->Release();
}

// --- drawing ---

TEST(VertexBufferBank, OnGLATriangleFromCallerMemoryIsDrawnThroughTheDynamicBuffer) {
  BufferBench b(0, ZK_D3D_BACKEND_GL);
  struct ScreenVertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
  };
  const float w = CD3DTestDevice::kWidth, h = CD3DTestDevice::kHeight;
  const ScreenVertex triangle[] = {
      {0, 0, 0.5f, 1, 0xFF00FF00}, {w, 0, 0.5f, 1, 0xFF00FF00}, {0, h, 0.5f, 1, 0xFF00FF00}};
  b.Declarations().SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
  b.bench.renderer->Clear(7 | ZK_CLEAR_NO_FRAME_LIMIT, 0);
  b.bench.renderer->BeginRendering();
  b.bench.renderer->DrawPrimitive(D3DPT_TRIANGLELIST, 1, 3, triangle, sizeof(ScreenVertex));
  b.bench.renderer->EndRendering();
  EXPECT_EQ(b.bench.Errors(), "");
  EXPECT_EQ(b.Bank().GetCurrentNumberOfVertices(), 3u);
  const std::vector<D3DCOLOR> pixels = b.bench.device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 10, 10), 0x00FF00));
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 60, 60), 0x000000));
}

}  // namespace
