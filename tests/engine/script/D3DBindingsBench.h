#pragma once
// The script bindings of the Direct3D layer on a real renderer and its banks (null back end):
// a fully registered script engine, the renderer in the engine context, and the bindings' kept
// copies forgotten with the renderer's storages at the end.
#include <string>

#include "ImageWriter.h"
#include "RealBanksBench.h"
#include "RecordingAllocator.h"
#include "ScriptBindingsFixture.h"
#include "TempDir.h"
#include "WorkingFolderScope.h"
#include "script/ScriptKeptData.h"
#include "vfs/VirtualFileSystem.h"

class D3DBindingsTest : public ScriptBindingsTest {
 protected:
  void SetUp() override {
    ScriptBindingsTest::SetUp();
    banks.bench.context->pRenderer = &banks.Renderer();
    banks.bench.context->pVirtualFileSystem = &files;
    folder.Write("flare.png", EncodePng(RgbaImage::Pattern(4, 4)));
    renderer = &banks.Renderer();
    sprites = renderer->GetSpriteStorageInterface();
    ASSERT_GE(script.engine->RegisterGlobalProperty("CD3D9RendererInterface@ g_renderer",
                                                    &renderer),
              0);
    ASSERT_GE(script.engine->RegisterGlobalProperty("CSpriteStorageInterface@ g_sprites",
                                                    &sprites),
              0);
    banks.Renderer().BeginRendering();
  }
  void TearDown() override {
    CScriptKeptData& kept = CScriptKeptData::Instance();
    kept.Forget(renderer->GetSpriteStorageInterface());
    kept.Forget(renderer->GetVertexBufferStorageInterface());
  }


  RealBanksBench banks;
  // Texture files are looked for in a folder of the test's own, which holds "flare.png".
  TempDir folder;
  CRecordingAllocator allocator;
  CVirtualFileSystem files{&banks.bench.log, &allocator, nullptr};
  WorkingFolderScope working{folder.Path()};
  CD3D9RendererInterface* renderer = nullptr;
  CSpriteStorageInterface* sprites = nullptr;
};

// A script's element array: position, normal and one coordinate pair, then the end element
// (unless `withEnd` is false), in the variable `e`.
inline std::string ScriptElements(bool withEnd = true) {
  std::string code =
      "array<D3DVERTEXELEMENT9> e(4);"
      "e[0].Type = 2; e[0].Usage = 0;"
      "e[1].Offset = 12; e[1].Type = 2; e[1].Usage = 3;"
      "e[2].Offset = 24; e[2].Type = 1; e[2].Usage = 5;";
  if (withEnd) code += "e[3].Stream = 255; e[3].Type = 17;";
  return code;
}
