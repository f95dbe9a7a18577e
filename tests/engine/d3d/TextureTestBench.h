#pragma once
// A renderer on the null back end that has built its own texture bank, with a virtual file
// system over a temporary folder that is the working folder: tests write image files there (or
// archives of them) and create and load textures through the bank.
#include <string>

#include "RecordingAllocator.h"
#include "RendererTestBench.h"
#include "TempDir.h"
#include "WorkingFolderScope.h"
#include "d3d/TextureBank.h"
#include "vfs/VirtualFileSystem.h"

class TextureTestBench {
 public:
  // `adjust` changes the device settings before the device is made.
  template <class Adjust>
  explicit TextureTestBench(Adjust adjust, const TestCard& card = ShaderModel3Card())
      : bench(ZK_D3D_BACKEND_NULL, card, 2, false), files(&bench.log, &allocator, nullptr), working(folder.Path()) {
    CD3D9Renderer::Banks banks;
    banks.pRenderTargets = &bench.renderTargets;
    banks.pIndexBuffers = &bench.indexBuffers;
    banks.pVertexBuffers = &bench.vertexBuffers;
    banks.pVertexShaders = &bench.vertexShaders;
    banks.pPixelShaders = &bench.pixelShaders;
    bench.renderer->SetBanks(banks);
    bench.context->pVirtualFileSystem = &files;
    DeviceSettings settings = RendererTestBench::WindowedSettings();
    settings.dwAllowAutoGenMipmaps = 1;
    adjust(settings);
    bench.CreateDevice(settings);
    bank = dynamic_cast<CTextureBank*>(bench.renderer->GetTextureStorageInterface());
  }
  TextureTestBench() : TextureTestBench([](DeviceSettings&) {}) {}

  std::string Infos() const { return bench.log.TextAt(CEngineLog::kLevelInfo); }
  std::string Errors() const { return bench.Errors(); }

  // Declared first: the folder outlives the working-folder scope.
  TempDir folder;
  RendererTestBench bench;
  CRecordingAllocator allocator;
  CVirtualFileSystem files;
  WorkingFolderScope working;
  CTextureBank* bank = nullptr;
};
