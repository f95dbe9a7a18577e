#pragma once
// The tool windows as the console makes them, with real scene objects: a console on a Null
// renderer that wraps engine textures, the engine's scene list and surface factory, and a
// renderer on the null device (or GL, every bank its own) with its own texture bank (files from a
// temporary working folder) and render-target bank (one 32 x 32 target for the surface preview's
// description). Buttons are clicked and check boxes ticked by firing their own events, as the GUI
// library would.
#include <CEGUI/widgets/PushButton.h>
#include <CEGUI/widgets/ToggleButton.h>

#include <optional>
#include <string>
#include <vector>

#include "ConsoleBench.h"
#include "GuiTextureNullRenderer.h"
#include "ImageWriter.h"
#include "RecordingAllocator.h"
#include "RendererTestBench.h"
#include "TempDir.h"
#include "WorkingFolderScope.h"
#include "d3d/RenderTargetBank.h"
#include "d3d/TextureBank.h"
#include "vfs/VirtualFileSystem.h"
#include "scene/Scene.h"
#include "scene/SceneItemsManager.h"
#include "scene/SurfaceFactory.h"

class EditorBench {
 public:
  struct Options {
    // Whether the profile describes the surface preview's render target.
    bool previewTarget = true;
    // GL draws with the renderer's own banks throughout; the null device keeps the recording
    // buffer and shader banks.
    ZkTestD3DBackend backend = ZK_D3D_BACKEND_NULL;
  };

  EditorBench() : EditorBench(Options()) {}
  explicit EditorBench(const Options& options) : renderer(options.backend, ShaderModel3Card(), 2, false) {
    const bool ownBanks = options.backend != ZK_D3D_BACKEND_NULL;
    CD3D9Renderer::Banks banks;
    if (!ownBanks) {
      banks.pIndexBuffers = &renderer.indexBuffers;
      banks.pVertexBuffers = &renderer.vertexBuffers;
      banks.pVertexShaders = &renderer.vertexShaders;
      banks.pPixelShaders = &renderer.pixelShaders;
    }
    renderer.renderer->SetBanks(banks);
    renderer.context->pVirtualFileSystem = &files;
    DeviceSettings settings = RendererTestBench::WindowedSettings();
    previewTarget = {0x1, SURFACE_KIND_RECTANGLE, 1, 32, 32, 0};
    SurfaceDescriptorList& rectangles = settings.Descriptors[2];
    if (options.previewTarget) rectangles.pDescriptors[rectangles.dwCount++] = &previewTarget;
    renderer.CreateDevice(settings);
    if (ownBanks) renderer.ReleaseFakeDynamicBuffers();
    renderer.context->pRenderer = renderer.renderer.get();
    console.emplace(ConsoleBench::Options{.makeRenderer = &GuiTextureNullRenderer::Make});
    console->context->pSceneItems = &items;
    console->context->ports.surfaceFactory.Set(&surfaces);
    if (auto* renderer = dynamic_cast<GuiTextureNullRenderer*>(console->gui.gui.GetRenderer()))
      console->context->ports.guiTextures.Set(renderer);
  }
  ~EditorBench() {
    // Editors first, while the scenes they show are alive; then the scenes.
    console->console.reset();
    console->context->pConsole = nullptr;
    for (CScene* scene : scenes) scene->Release();
  }

  CD3D9Renderer* Renderer() { return renderer.renderer.get(); }
  CTextureBank* Bank() { return Renderer()->GetTextureBank(); }
  CRenderTargetBank* Targets() {
    return dynamic_cast<CRenderTargetBank*>(Renderer()->GetRenderTargetStorageInterface());
  }

  // A scene of the bench's renderer, in the engine's scene list.
  CScene* AddScene(const char* name) {
    auto* scene = new CScene(Renderer(), &console->log);
    scene->SetName(name);
    scenes.push_back(scene);
    return scene;
  }
  // A mesh of the scene with `count` surfaces named "<mesh>.<i>".
  CMeshInterface* AddMesh(CSceneInterface* scene, const char* name, int count) {
    CMeshInterface* mesh = scene->AddMesh(0);
    mesh->SetName(name);
    for (int i = 0; i < count; ++i)
      mesh->CreateSurface()->SetName((std::string(name) + "." + std::to_string(i)).c_str());
    return mesh;
  }
  // A surface of a fresh mesh of a fresh scene.
  CSurfaceInterface* AddSurface(const char* name) {
    CSurfaceInterface* surface = AddScene("surfaces")->AddMesh(0)->CreateSurface();
    surface->SetName(name);
    return surface;
  }

  // An 8 x 8 image file in the working folder, for the bank's textures.
  const char* WriteImage(const char* file) {
    folder.Write(file, EncodeTga(RgbaImage::Pattern(8, 8)));
    return file;
  }

  CEGUI::Window* Window(const std::string& name) { return console->Window(name.c_str()); }
  // How many of the window's subscribers handled the event.
  int Fire(const std::string& name, const CEGUI::String& event) {
    CEGUI::Window* window = Window(name);
    if (window == nullptr) return 0;
    CEGUI::WindowEventArgs args(window);
    window->fireEvent(event, args);
    return static_cast<int>(args.handled);
  }
  bool Click(const std::string& name) { return Fire(name, CEGUI::PushButton::EventClicked) > 0; }
  CEGUI::ToggleButton* CheckBox(const std::string& name) {
    return static_cast<CEGUI::ToggleButton*>(Window(name));
  }
  // A window the test makes under the GUI's root.
  CEGUI::Window* MakeWindow(const char* type, const char* name) {
    CWindowRegistry& windows = console->gui.gui.GetWindows();
    return windows.Create(type, name, windows.Find("root_wnd"));
  }
  std::string Errors() const { return console->Errors(); }
  CEngineLog* Log() { return &console->log; }
  CWindowRegistry& Windows() { return console->gui.gui.GetWindows(); }

  // Declared first: the banks outlive the GUI's wrappers of their textures.
  TempDir folder;
  RendererTestBench renderer;
  CRecordingAllocator allocator;
  CVirtualFileSystem files{&renderer.log, &allocator, nullptr};
  WorkingFolderScope working{folder.Path()};
  RenderTargetDescription previewTarget{};
  // Made once the renderer has its device.
  std::optional<ConsoleBench> console;
  CSceneItemsManager items{&renderer.log};
  CSurfaceFactory surfaces;
  std::vector<CScene*> scenes;
};
