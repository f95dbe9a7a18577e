// The index-buffer bank on the null back end: sharing, the main buffer's placements and frames,
// buffers of their own and the dynamic buffer, the renderer's hooks, device loss and release.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "ProcessExitCatcher.h"
#include "RendererTestBench.h"
#include "D3DTestDevice.h"
#include "SurfaceTestBench.h"
#include "d3d/IndexBufferBank.h"

namespace {

std::vector<WORD> Sequence(UINT count, WORD first = 0) {
  std::vector<WORD> indices(count);
  std::iota(indices.begin(), indices.end(), first);
  return indices;
}

// A renderer with its device on the null back end driving a real bank with a main buffer of
// `mainIndices` indices (0: none).
class BankBench {
 public:
  explicit BankBench(UINT mainIndices) {
    bank = std::make_unique<CIndexBufferBank>(bench.renderer.get(), &bench.log, mainIndices * sizeof(WORD));
    CD3D9Renderer::Banks banks;
    banks.pRenderTargets = &bench.renderTargets;
    banks.pIndexBuffers = bank.get();
    banks.pVertexBuffers = &bench.vertexBuffers;
    banks.pTextures = &bench.textures;
    bench.renderer->SetBanks(banks);
    // The real bank makes its own dynamic buffer: the fake's goes.
    bench.indexBuffers.dynamicBuffer->Release();
    bench.indexBuffers.dynamicBuffer = nullptr;
    bench.ForgetCalls();
  }

  // A buffer of its own owner name `name` holding `count` indices counting from `first`.
  CIndexBuffer* Make(const std::string& name, UINT count, WORD first = 0, UINT dynamic = 0, UINT unique = 0) {
    std::vector<WORD> indices = Sequence(count, first);
    return static_cast<CIndexBuffer*>(
        bank->CreateIndexBuffer(name.c_str(), name.c_str(), indices.data(), count, unique, dynamic));
  }
  // The main buffer's ranges in order, as "name:start+count" separated by spaces; every link is
  // checked both ways.
  std::string Ranges() {
    std::string text;
    const IndexAllocation* previous = nullptr;
    for (const IndexAllocation* range = bank->GetFirstAllocation(); range; range = range->pNext) {
      EXPECT_EQ(range->pPrevious, previous) << "a broken back link";
      EXPECT_EQ(range->pBuffer, bank->GetMainBuffer());
      if (previous) {
        EXPECT_GE(range->dwStart, previous->dwStart + previous->dwNumberOfIndices);
      }
      if (!text.empty()) text += ' ';
      text += NameOf(range) + ":" + std::to_string(range->dwStart) + "+" + std::to_string(range->dwNumberOfIndices);
      previous = range;
    }
    return text;
  }
  std::string NameOf(const IndexAllocation* allocation) {
    for (UINT i = 0; i < bank->GetNumberOfIndexBuffers(); ++i) {
      auto* buffer = static_cast<CIndexBuffer*>(bank->GetIndexBuffer(i));
      if (buffer && &buffer->GetAllocation() == allocation) return buffer->GetMeshOwner();
    }
    return "?";
  }
  // What the buffer on the device holds at `start`, `count` indices long.
  static std::vector<WORD> Contents(IDirect3DIndexBuffer9* buffer, UINT start, UINT count) {
    void* data = nullptr;
    std::vector<WORD> words(count);
    if (FAILED(buffer->Lock(start * sizeof(WORD), count * sizeof(WORD), &data, D3DLOCK_READONLY))) return {};
    memcpy(words.data(), data, count * sizeof(WORD));
    buffer->Unlock();
    return words;
  }
  static void Overwrite(IDirect3DIndexBuffer9* buffer, UINT start, UINT count, WORD value) {
    void* data = nullptr;
    ASSERT_TRUE(SUCCEEDED(buffer->Lock(start * sizeof(WORD), count * sizeof(WORD), &data, 0)));
    std::fill_n(static_cast<WORD*>(data), count, value);
    buffer->Unlock();
  }

  RendererTestBench bench{ZK_D3D_BACKEND_NULL};
  std::unique_ptr<CIndexBufferBank> bank;
};

// --- sharing ---

TEST(IndexBufferBank, EqualListsOfTheSameOwnersShareOneBuffer) {
  BankBench b(0);
  std::vector<WORD> list = Sequence(6);
  std::vector<WORD> other = Sequence(6, 1);
  CIndexBufferInterface* first = b.bank->CreateIndexBuffer("Ship", "Hull", list.data(), 6, 0, 0);
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->GetMeshOwner(), "ship");
  EXPECT_STREQ(first->GetSurfaceOwner(), "hull");

  struct Case {
    const char* name;
    const char* mesh;
    const char* surface;
    std::vector<WORD>* indices;
    UINT unique, dynamic;
    bool shared;
  };
  const Case cases[] = {
      {"equal, in another case", "SHIP", "hUll", &list, 0, 0, true},
      {"unique", "ship", "hull", &list, 1, 0, false},
      {"dynamic", "ship", "hull", &list, 0, 1, false},
      {"other surface", "ship", "deck", &list, 0, 0, false},
      {"other indices", "ship", "hull", &other, 0, 0, false},
      {"shorter", "ship", "hull", &list, 0, 0, false},
  };
  UINT references = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const UINT number = std::string(c.name) == "shorter" ? 5 : 6;
    CIndexBufferInterface* made =
        b.bank->CreateIndexBuffer(c.mesh, c.surface, c.indices->data(), number, c.unique, c.dynamic);
    EXPECT_EQ(made == first, c.shared);
    if (c.shared) ++references;
  }
  EXPECT_EQ(static_cast<CIndexBuffer*>(first)->GetReferenceCount(), references);
  const std::string info = b.bench.log.TextAt(CEngineLog::kLevelInfo);
  EXPECT_NE(info.find("- Creating Index Buffer For: ship - hull (Dynamic: FALSE)\n  - Already Exists\n"),
            std::string::npos)
      << info;
  // A unique buffer never stands for another list, nor does another for it.
  auto* unique = static_cast<CIndexBuffer*>(b.bank->GetIndexBuffer(1));
  EXPECT_EQ(unique->GetIsUnique(), 1u);
  EXPECT_EQ(b.bank->CreateIndexBuffer("ship", "hull", list.data(), 6, 1, 0) == unique, false);
}

TEST(IndexBufferBank, ReleasedEntriesAreReusedAndTheTableHasItsLimits) {
  BankBench b(0);
  CIndexBuffer* first = b.Make("a", 3);
  CIndexBuffer* second = b.Make("b", 3);
  first->AddReference();
  first->Release();
  EXPECT_EQ(b.bank->GetIndexBuffer(0), first) << "one holder is left";
  first->Release();
  EXPECT_EQ(b.bank->GetIndexBuffer(0), nullptr);
  EXPECT_EQ(b.bank->GetNumberOfIndexBuffers(), 2u);
  CIndexBuffer* third = b.Make("c", 3);
  EXPECT_EQ(b.bank->GetIndexBuffer(0), third);
  EXPECT_EQ(b.bank->GetNumberOfIndexBuffers(), 2u);
  EXPECT_EQ(b.bank->GetIndexBuffer(1), second);
  EXPECT_EQ(b.bank->GetIndexBuffer(CIndexBufferBank::kCapacity), nullptr);
  EXPECT_EQ(b.bank->GetIndexBuffer(0xFFFFFFFFu), nullptr);

  // Names that do not fit their fields are refused.
  const std::string longName(256, 'n');
  EXPECT_EQ(b.Make(longName, 3), nullptr);
  EXPECT_NE(b.bench.Errors().find("ERROR!!! - Index Buffer Owner Name Too Long: "), std::string::npos);
  EXPECT_NE(b.Make(std::string(255, 'n'), 3), nullptr);

  // The table is full at 1024 live buffers; an equal list is still found then.
  for (UINT i = b.bank->GetNumberOfIndexBuffers(); i < CIndexBufferBank::kCapacity; ++i)
    ASSERT_NE(b.Make("filler" + std::to_string(i), 1), nullptr);
  EXPECT_EQ(b.Make("c", 3), third);
  ProcessExitCatcher catcher;
  try {
    b.Make("one too many", 1);
    ADD_FAILURE() << "a 1025th buffer was made";
  } catch (const ProcessExited& exited) {
    EXPECT_EQ(exited.code, 1u);
  }
  ASSERT_EQ(catcher.Boxes().size(), 1u);
  EXPECT_EQ(catcher.Boxes()[0].caption, "Error While Creating Index Buffer");
  EXPECT_EQ(catcher.Boxes()[0].text, "Not Enuff Index Buffer Entries");
}

// --- the main buffer ---

// One step of a placement script: in `frame`, set (or release) the buffer `name`, made with
// `count` indices at its first step.
struct Step {
  UINT frame;
  const char* name;
  UINT count;
  bool release = false;
};

struct PlacementCase {
  const char* name;
  std::vector<Step> steps;
  std::string ranges;
  std::string notResident;  // names, in order of creation
};

TEST(IndexBufferBank, PlacesRangesInTheMainBuffer) {
  const PlacementCase cases[] = {
      {"empty list", {{1, "a", 40}}, "a:0+40", ""},
      {"after the last", {{1, "a", 30}, {1, "b", 30}}, "a:0+30 b:30+30", ""},
      {"first fit",
       {{1, "a", 30}, {1, "b", 30}, {1, "c", 30}, {1, "b", 0, true}, {1, "d", 20}},
       "a:0+30 d:30+20 c:60+30",
       ""},
      {"a stale range reclaimed",
       {{1, "a", 40}, {1, "b", 40}, {3, "b", 0}, {3, "c", 30}},
       "c:0+30 b:40+40",
       "a"},
      {"two stale neighbours reclaimed",
       {{1, "a", 30}, {1, "b", 30}, {1, "c", 30}, {3, "c", 0}, {3, "d", 50}},
       "d:0+50 c:60+30",
       "ab"},
      {"a stale last range is never reclaimed alone",
       {{1, "a", 20}, {1, "b", 70}, {3, "a", 0}, {3, "c", 50}},
       "c:0+50",
       "ab"},
      {"nothing stale: everything forgotten",
       {{3, "a", 40}, {3, "b", 40}, {3, "c", 40}},
       "c:0+40",
       "ab"},
      {"the frame rule: set in frame 10, kept in 11",
       {{10, "a", 60}, {10, "b", 10}, {11, "b", 0}, {11, "c", 50}},
       "c:0+50",
       "ab"},
      {"the frame rule: reclaimable in 12",
       {{10, "a", 60}, {10, "b", 10}, {12, "b", 0}, {12, "c", 50}},
       "c:0+50 b:60+10",
       "a"},
  };
  for (const PlacementCase& c : cases) {
    SCOPED_TRACE(c.name);
    BankBench b(100);
    std::map<std::string, CIndexBuffer*> buffers;
    std::vector<std::string> order;
    UINT frame = 0;
    for (const Step& step : c.steps) {
      while (frame < step.frame) b.bank->NewFrame(++frame);
      CIndexBuffer*& buffer = buffers[step.name];
      if (!buffer) {
        buffer = b.Make(step.name, step.count, static_cast<WORD>(order.size() * 100));
        order.push_back(step.name);
      }
      if (step.release) {
        buffer->Release();
        buffers.erase(step.name);
      } else {
        EXPECT_EQ(buffer->Set(), 1u);
      }
    }
    EXPECT_EQ(b.Ranges(), c.ranges);
    std::string notResident;
    for (const std::string& name : order)
      if (buffers.count(name) && !buffers[name]->GetAllocation().dwResident) notResident += name;
    EXPECT_EQ(notResident, c.notResident);
    // Every resident range holds its own indices.
    for (const auto& [name, buffer] : buffers) {
      const IndexAllocation& allocation = buffer->GetAllocation();
      if (!allocation.dwResident) {
        EXPECT_EQ(allocation.pBuffer, nullptr) << name;
        continue;
      }
      const UINT count = buffer->GetNumberOfIndices();
      EXPECT_EQ(BankBench::Contents(b.bank->GetMainBuffer(), allocation.dwStart, count),
                std::vector<WORD>(buffer->GetIndicesPointer(), buffer->GetIndicesPointer() + count))
          << name;
    }
    EXPECT_EQ(b.bench.Errors(), "");
  }
}

TEST(IndexBufferBank, TwoListsTooLargeForTheMainBufferTogetherTakeTurns) {
  BankBench b(500);
  CIndexBuffer* first = b.Make("first", 300);
  CIndexBuffer* second = b.Make("second", 300, 1000);
  b.bank->NewFrame(1);
  first->Set();
  second->Set();
  EXPECT_EQ(b.Ranges(), "second:0+300");
  EXPECT_EQ(first->GetAllocation().dwResident, 0u);
  first->Set();
  EXPECT_EQ(b.Ranges(), "first:0+300");
  EXPECT_EQ(second->GetAllocation().dwResident, 0u);
  EXPECT_EQ(BankBench::Contents(b.bank->GetMainBuffer(), 0, 300), Sequence(300));
}

TEST(IndexBufferBank, AListLargerThanTheMainBufferIsNotUploaded) {
  BankBench b(500);
  CIndexBuffer* fits = b.Make("fits", 500);
  CIndexBuffer* large = b.Make("large", 501);
  fits->Set();
  EXPECT_EQ(large->Set(), 1u);
  EXPECT_EQ(b.bench.Errors(), "ERROR!!! - The Index Buffer Is Not Large Enough (1002 - 1000)\n");
  EXPECT_EQ(large->GetAllocation().dwResident, 0u);
  EXPECT_EQ(large->GetAllocation().pBuffer, nullptr);
  EXPECT_EQ(b.Ranges(), "fits:0+500");
  // Nothing stale is drawn for it: the device has no index buffer.
  IDirect3DIndexBuffer9* bound = reinterpret_cast<IDirect3DIndexBuffer9*>(1);
  b.bench.renderer->GetDevice()->GetIndices(&bound);
  EXPECT_EQ(bound, nullptr);
}

TEST(IndexBufferBank, AResidentBufferIsUploadedOnceAndADynamicOneAtEverySet) {
  BankBench b(100);
  CIndexBuffer* still = b.Make("still", 10);
  CIndexBuffer* moving = b.Make("moving", 10, 50, 1);
  still->Set();
  moving->Set();
  EXPECT_EQ(b.Ranges(), "still:0+10 moving:10+10");
  IDirect3DIndexBuffer9* main = b.bank->GetMainBuffer();
  BankBench::Overwrite(main, 0, 20, 0xBEEF);
  still->Set();
  moving->Set();
  EXPECT_EQ(BankBench::Contents(main, 0, 10), std::vector<WORD>(10, 0xBEEF)) << "uploaded again";
  EXPECT_EQ(b.Ranges(), "still:0+10 moving:10+10");
  EXPECT_EQ(BankBench::Contents(main, 10, 10), Sequence(10, 50));
  // One SetIndices reached the device: both ranges lie in the main buffer.
  EXPECT_EQ(RendererTestBench::Calls({"SetIndices"}).size(), 1u);
}

TEST(IndexBufferBank, ReplacingTheListWarnsWhenSharedAndUploadsAtTheNextSet) {
  BankBench b(100);
  CIndexBuffer* buffer = b.Make("shared", 10);
  b.Make("after", 10);
  static_cast<CIndexBuffer*>(b.bank->GetIndexBuffer(1))->Set();
  EXPECT_EQ(b.Make("shared", 10), buffer);
  buffer->Set();
  EXPECT_EQ(b.Ranges(), "after:0+10 shared:10+10");
  std::vector<WORD> replacement = Sequence(4, 7);
  buffer->SetIndicesSource(replacement.data(), 4);
  EXPECT_EQ(b.bench.Errors(),
            "WARNING!!! - You Are Trying to Change Index Data For A Index Buffer Referenced More Than Once: shared - "
            "shared\n");
  EXPECT_EQ(buffer->GetNumberOfIndices(), 4u);
  EXPECT_EQ(std::vector<WORD>(buffer->GetIndicesPointer(), buffer->GetIndicesPointer() + 10),
            (std::vector<WORD>{7, 8, 9, 10, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(b.Ranges(), "after:0+10");
  buffer->Set();
  EXPECT_EQ(b.Ranges(), "after:0+10 shared:10+4");
  EXPECT_EQ(BankBench::Contents(b.bank->GetMainBuffer(), 10, 4), replacement);
  // A longer list takes a new array.
  std::vector<WORD> longer = Sequence(30, 3);
  buffer->SetIndicesSource(longer.data(), 30);
  buffer->Set();
  EXPECT_EQ(b.Ranges(), "after:0+10 shared:10+30");
  EXPECT_EQ(BankBench::Contents(b.bank->GetMainBuffer(), 10, 30), longer);
}

TEST(IndexBufferBank, ReleasingTheFirstRangeMakesItsSuccessorTheFirst) {
  BankBench b(100);
  CIndexBuffer* first = b.Make("first", 10);
  CIndexBuffer* second = b.Make("second", 10);
  b.Make("third", 10)->Set();
  first->Set();
  second->Set();
  EXPECT_EQ(b.Ranges(), "third:0+10 first:10+10 second:20+10");
  static_cast<CIndexBuffer*>(b.bank->GetIndexBuffer(2))->Release();
  EXPECT_EQ(b.Ranges(), "first:10+10 second:20+10");
  EXPECT_EQ(b.bank->GetFirstAllocation(), &first->GetAllocation());
  EXPECT_EQ(b.bank->GetCurrentStartIndex(), 20u);
  // A released range that was current is drawn from no more.
  second->Release();
  EXPECT_EQ(b.bank->GetCurrentStartIndex(), 0u);
  EXPECT_EQ(b.Ranges(), "first:10+10");
}

TEST(IndexBufferBank, AFailedLockOfTheMainBufferLeavesAWellFormedList) {
  BankBench b(100);
  CIndexBuffer* first = b.Make("first", 30);
  CIndexBuffer* second = b.Make("second", 30, 30);
  first->Set();
  ZkTestD3DFailNextIndexBufferLock(D3DERR_INVALIDCALL);
  EXPECT_EQ(second->Set(), 1u);
  EXPECT_EQ(b.bench.Errors(), "ERROR!!! - Can't Lock The Index Buffer For Updaing\n");
  EXPECT_EQ(b.Ranges(), "first:0+30");
  EXPECT_EQ(second->GetAllocation().dwResident, 0u);
  EXPECT_EQ(b.bank->GetCurrentStartIndex(), 0u);
  second->Set();
  EXPECT_EQ(b.Ranges(), "first:0+30 second:30+30");
  EXPECT_EQ(BankBench::Contents(b.bank->GetMainBuffer(), 0, 60), Sequence(60));
}

// --- without a main buffer ---

TEST(IndexBufferBank, WithoutAMainBufferStaticListsGetBuffersOfTheirOwn) {
  BankBench b(0);
  EXPECT_EQ(b.bank->GetMainBuffer(), nullptr);
  CIndexBuffer* still = b.Make("still", 12, 4);
  // Uploaded at creation, write-only in the managed pool: this device processes vertices in
  // hardware.
  EXPECT_EQ(RendererTestBench::Calls({"CreateIndexBuffer"}),
            (std::vector<std::string>{"CreateIndexBuffer(24, 0x8, 101, 1)"}));
  IDirect3DIndexBuffer9* own = still->GetAllocation().pBuffer;
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(BankBench::Contents(own, 0, 12), Sequence(12, 4));
  still->Set();
  still->Set();
  EXPECT_EQ(RendererTestBench::Calls({"SetIndices", "CreateIndexBuffer"}).size(), 2u);

  // A dynamic list goes through the one dynamic buffer each time it is set; one over its
  // 65535 indices is refused.
  CIndexBuffer* moving = b.Make("moving", 65535, 0, 1);
  EXPECT_EQ(moving->GetAllocation().pBuffer, nullptr) << "a dynamic list waits for its Set";
  moving->Set();
  EXPECT_EQ(moving->GetAllocation().pBuffer, b.bank->GetDynamicIndexBuffer());
  EXPECT_EQ(BankBench::Contents(b.bank->GetDynamicIndexBuffer(), 65530, 5), Sequence(5, 65530));
  CIndexBuffer* huge = b.Make("huge", 65536, 0, 1);
  huge->Set();
  EXPECT_EQ(b.bench.Errors(), "WARNING!!! - Dynamic CIndexBuffer Is Too Large To Fit Into D3D Index Buffer: huge - huge\n");
  EXPECT_EQ(huge->GetAllocation().pBuffer, nullptr);

  // Releasing a buffer of its own frees it.
  const size_t live = ZkTestD3DLiveObjects();
  still->Release();
  EXPECT_EQ(ZkTestD3DLiveObjects(), live - 1);
}

// --- the renderer's hooks ---

TEST(IndexBufferBank, TheRenderersIndexedDrawsStartAtTheCurrentRange) {
  BankBench b(100);
  CD3D9Renderer& renderer = *b.bench.renderer;
  b.bench.context->dwFrameNumber = 9;
  renderer.BeginRendering();  // frame 10
  CIndexBuffer* first = b.Make("first", 60);
  CIndexBuffer* second = b.Make("second", 3);
  first->Set();
  second->Set();
  renderer.DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1);
  renderer.EndRendering();
  // Drawing from caller memory makes the dynamic buffer current: no range start is added.
  const WORD triangle[] = {0, 1, 2};
  const float vertices[9] = {};
  renderer.BeginRendering();  // frame 11
  renderer.DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 3, 1, triangle, D3DFMT_INDEX16, vertices, 12);
  renderer.EndRendering();
  EXPECT_EQ(RendererTestBench::Calls({"DrawIndexedPrimitive"}),
            (std::vector<std::string>{"DrawIndexedPrimitive(4, 0, 0, 3, 60, 1)", "DrawIndexedPrimitive(4, 0, 0, 3, 0, 1)"}));
  EXPECT_EQ(BankBench::Contents(b.bank->GetDynamicIndexBuffer(), 0, 3), (std::vector<WORD>{0, 1, 2}));
  // The frames came from BeginRendering: in frame 12 the range set in 10 is stale.
  renderer.BeginRendering();
  b.Make("third", 50)->Set();
  EXPECT_EQ(b.Ranges(), "third:0+50 second:60+3");
  renderer.EndRendering();
}

// --- the device's life ---

TEST(IndexBufferBank, ADeviceLossDropsTheDefaultPoolAndEveryListIsUploadedAgainWhenSet) {
  for (UINT mainIndices : {0u, 100u}) {
    SCOPED_TRACE(mainIndices ? "main buffer" : "none");
    const size_t before = ZkTestD3DLiveObjects();
    BankBench b(mainIndices);
    CIndexBuffer* still = b.Make("still", 10, 5);
    CIndexBuffer* moving = b.Make("moving", 10, 20, 1);
    still->Set();
    moving->Set();
    IDirect3DIndexBuffer9* own = mainIndices ? nullptr : still->GetAllocation().pBuffer;

    ZkTestD3DLoseDevice();
    ASSERT_EQ(b.bench.renderer->Reset(), 1u);  // the platform refuses while default-pool buffers live
    EXPECT_EQ(moving->GetAllocation().pBuffer, nullptr);
    EXPECT_EQ(still->GetAllocation().pBuffer, own) << "a buffer of its own survives the loss";
    EXPECT_EQ(still->GetAllocation().dwResident, mainIndices ? 0u : 1u);
    EXPECT_EQ(b.Ranges(), "");
    EXPECT_NE(b.bank->GetDynamicIndexBuffer(), nullptr);
    EXPECT_EQ(b.bank->GetMainBuffer() != nullptr, mainIndices != 0);

    b.bench.ForgetCalls();
    moving->Set();
    still->Set();
    EXPECT_EQ(b.Ranges(), mainIndices ? "moving:0+10 still:10+10" : "");
    IDirect3DIndexBuffer9* holder = still->GetAllocation().pBuffer;
    EXPECT_EQ(BankBench::Contents(holder, still->GetAllocation().dwStart, 10), Sequence(10, 5));
    EXPECT_EQ(b.bench.Errors(), "");
    // Releasing one of them reaches the device's index binding only.
    moving->Release();

    // Shutdown: everything of the bank goes with the device, once; a later release touches
    // nothing.
    b.bench.device.Release();
    b.bench.renderer->ReleaseDevice();
    EXPECT_EQ(ZkTestD3DLiveObjects(), before);
    b.bench.ForgetCalls();
    still->Set();
    still->Release();
    EXPECT_EQ(ZkTestD3DCallCount(), 0u);
    EXPECT_EQ(b.bank->GetIndexBuffer(0), nullptr);
  }
}

TEST(IndexBufferBank, TheRendererBuildsTheBankWithTheDeviceAndFreesItsBuffersFirst) {
  const size_t before = ZkTestD3DLiveObjects();
  RendererTestBench bench(ZK_D3D_BACKEND_NULL, ShaderModel3Card(), 2, false);
  CD3D9Renderer::Banks banks;
  banks.pVertexBuffers = &bench.vertexBuffers;
  bench.renderer->SetBanks(banks);
  DeviceSettings settings = RendererTestBench::WindowedSettings();
  settings.dwIndexBufferResourceManagement = 1000;
  bench.CreateDevice(settings);
  bench.indexBuffers.dynamicBuffer->Release();
  bench.indexBuffers.dynamicBuffer = nullptr;

  auto* bank = dynamic_cast<CIndexBufferBank*>(bench.renderer->GetIndexBufferStorageInterface());
  ASSERT_NE(bank, nullptr);
  EXPECT_EQ(bank->GetMainSize(), 1000u);
  D3DINDEXBUFFER_DESC desc = {};
  ASSERT_NE(bank->GetMainBuffer(), nullptr);
  bank->GetMainBuffer()->GetDesc(&desc);
  EXPECT_EQ(desc.Size, 1000u);
  EXPECT_EQ(desc.Pool, D3DPOOL_DEFAULT);
  EXPECT_EQ(desc.Usage, static_cast<DWORD>(D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY));
  bank->GetDynamicIndexBuffer()->GetDesc(&desc);
  EXPECT_EQ(desc.Size, 131070u);

  WORD triangle[] = {0, 1, 2};
  CIndexBufferInterface* held = bank->CreateIndexBuffer("mesh", "surface", triangle, 3, 0, 0);
  held->Set();
  bench.device.Release();
  bench.renderer->ReleaseDevice();
  EXPECT_EQ(ZkTestD3DLiveObjects(), before);
  // The game may release what it holds after the device went: the bank is still there.
  static_cast<CIndexBuffer*>(held)->Release();
  EXPECT_EQ(bank->GetIndexBuffer(0), nullptr);
}

// --- through the scene graph ---

TEST(IndexBufferBank, SurfacesTheirClonesAndShadowVolumesShareAndGiveBackTheirBuffers) {
  CD3DTestDevice device(ZK_D3D_BACKEND_NULL);
  ASSERT_TRUE(device.ok());
  std::unique_ptr<CIndexBufferBank> bank;  // outlives every surface of the bench
  SurfaceTestBench bench;
  bench.renderer.device = device.get();
  bank = std::make_unique<CIndexBufferBank>(&bench.renderer, &bench.log, 0);
  bench.renderer.indexBufferStorage = bank.get();

  CMesh* mesh = bench.AddMesh("Ship");
  CSurface* surface = bench.Take(bench.Make("Hull", mesh));
  WORD indices[] = {0, 1, 2, 2, 1, 3};
  ASSERT_EQ(surface->SetIndices(6, indices), 1u);
  CSurface* clone = surface->Clone(mesh);
  ASSERT_EQ(bank->GetNumberOfIndexBuffers(), 1u);
  auto* buffer = static_cast<CIndexBuffer*>(bank->GetIndexBuffer(0));
  EXPECT_STREQ(buffer->GetMeshOwner(), "ship");
  EXPECT_STREQ(buffer->GetSurfaceOwner(), "hull");
  EXPECT_EQ(buffer->GetReferenceCount(), 2u);

  WORD volume[] = {0, 1, 2, 3, 4, 5, 6, 7, 8};
  CCountedIndexBuffer* shadow = mesh->CreateShadowVolumeIndexBuffer(volume, 9, "_SV");
  ASSERT_NE(shadow, nullptr);
  EXPECT_STREQ(shadow->GetMeshOwner(), "ship_sv");
  EXPECT_EQ(bank->GetNumberOfIndexBuffers(), 2u);

  const size_t live = ZkTestD3DLiveObjects();
  surface->Release();
  EXPECT_EQ(bank->GetIndexBuffer(0), buffer) << "the clone still holds it";
  clone->Release();
  shadow->Release();
  for (UINT i = 0; i < bank->GetNumberOfIndexBuffers(); ++i) EXPECT_EQ(bank->GetIndexBuffer(i), nullptr) << i;
  EXPECT_EQ(ZkTestD3DLiveObjects(), live - 2) << "both buffers of their own are freed";
}

}  // namespace
