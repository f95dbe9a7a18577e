#pragma once
// The tool windows as the console makes them, with real scene objects: a console on a Null
// renderer that wraps engine textures, the engine's scene list and surface factory, and a texture
// bank on the null device for the surfaces' textures. Buttons are clicked and check boxes ticked
// by firing their own events, as the GUI library would.
#include <CEGUI/widgets/PushButton.h>
#include <CEGUI/widgets/ToggleButton.h>

#include <string>
#include <vector>

#include "ConsoleBench.h"
#include "GuiTextureNullRenderer.h"
#include "ImageWriter.h"
#include "TextureTestBench.h"
#include "scene/Scene.h"
#include "scene/SceneItemsManager.h"
#include "scene/SurfaceFactory.h"

class EditorBench {
 public:
  EditorBench() {
    console.context->pSceneItems = &items;
    console.context->ports.surfaceFactory.Set(&surfaces);
    if (auto* renderer = dynamic_cast<GuiTextureNullRenderer*>(console.gui.gui.GetRenderer()))
      console.context->ports.guiTextures.Set(renderer);
  }
  ~EditorBench() {
    // Editors first, while the scenes they show are alive; then the scenes.
    console.console.reset();
    console.context->pConsole = nullptr;
    for (CScene* scene : scenes) scene->Release();
  }

  // A scene of the bench's renderer, in the engine's scene list.
  CScene* AddScene(const char* name) {
    auto* scene = new CScene(textures.bench.renderer.get(), &console.log);
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
    textures.folder.Write(file, EncodeTga(RgbaImage::Pattern(8, 8)));
    return file;
  }

  CEGUI::Window* Window(const std::string& name) { return console.Window(name.c_str()); }
  bool Click(const std::string& name) {
    CEGUI::Window* button = Window(name);
    if (button == nullptr) return false;
    CEGUI::WindowEventArgs args(button);
    button->fireEvent(CEGUI::PushButton::EventClicked, args);
    return args.handled > 0;
  }
  CEGUI::ToggleButton* CheckBox(const std::string& name) {
    return static_cast<CEGUI::ToggleButton*>(Window(name));
  }
  // A window the test makes under the GUI's root.
  CEGUI::Window* MakeWindow(const char* type, const char* name) {
    CWindowRegistry& windows = console.gui.gui.GetWindows();
    return windows.Create(type, name, windows.Find("root_wnd"));
  }
  std::string Errors() const { return console.Errors(); }

  // Declared first: the bank outlives the GUI's wrappers of its textures.
  TextureTestBench textures;
  ConsoleBench console{{.makeRenderer = &GuiTextureNullRenderer::Make}};
  CSceneItemsManager items{&console.log};
  CSurfaceFactory surfaces;
  std::vector<CScene*> scenes;
};
