#pragma once
// The GUI renderer on a renderer that has built its own banks (texture bank included), on the
// back end chosen, with a file system for the bank's loading. Geometry is drawn by hand between
// beginRendering and endRendering, as the GUI library's frame does.
#include <CEGUI/Vertex.h>

#include <memory>
#include <string>
#include <vector>

#include "RecordingAllocator.h"
#include "RendererTestBench.h"
#include "console/GUIGeometryBuffer.h"
#include "console/GUIRenderer.h"
#include "console/GUITexture.h"
#include "d3d/TextureBank.h"
#include "vfs/VirtualFileSystem.h"

class GuiRendererBench {
 public:
  explicit GuiRendererBench(ZkTestD3DBackend backend = ZK_D3D_BACKEND_NULL)
      : bench(backend, ShaderModel3Card(), 2, false), files(&bench.log, &allocator, nullptr) {
    CD3D9Renderer::Banks banks;
    banks.pRenderTargets = &bench.renderTargets;
    bench.renderer->SetBanks(banks);
    bench.context->pVirtualFileSystem = &files;
    bench.CreateDevice(RendererTestBench::WindowedSettings());
    // The bench's fake banks are not the renderer's here.
    bench.vertexBuffers.dynamicBuffer->Release();
    bench.vertexBuffers.dynamicBuffer = nullptr;
    bench.indexBuffers.dynamicBuffer->Release();
    bench.indexBuffers.dynamicBuffer = nullptr;
    gui = std::make_unique<CGUIRenderer>(bench.renderer.get());
    bench.renderer->SetGuiDeviceHook(gui.get());
    bench.ForgetCalls();
  }
  ~GuiRendererBench() {
    bench.renderer->SetGuiDeviceHook(nullptr);
    gui.reset();
  }

  CTextureBank& Bank() { return *bench.renderer->GetTextureBank(); }

  // A GUI texture of `side` x `side` filled with one RGBA colour.
  CGUITexture& SolidTexture(const char* name, UINT side, const BYTE rgba[4]) {
    std::vector<BYTE> texels(size_t{side} * side * 4);
    for (size_t i = 0; i < texels.size(); ++i) texels[i] = rgba[i % 4];
    auto& texture = static_cast<CGUITexture&>(gui->createTexture(name));
    texture.loadFromMemory(texels.data(), CEGUI::Sizef(float(side), float(side)), CEGUI::Texture::PF_RGBA);
    return texture;
  }

  // `count` triangles of a buffer, each over the quad (x, y)-(x + 8, y + 8).
  static std::vector<CEGUI::Vertex> Triangles(size_t count, float x = 0, float y = 0, CEGUI::argb_t colour = 0xFFFFFFFF) {
    std::vector<CEGUI::Vertex> out;
    const float corners[3][2] = {{x, y}, {x + 8, y}, {x, y + 8}};
    for (size_t t = 0; t < count; ++t)
      for (const auto& c : corners) {
        CEGUI::Vertex v;
        v.position = CEGUI::Vector3f(c[0], c[1], 0);
        v.tex_coords = CEGUI::Vector2f(c[0] == x ? 0.0f : 1.0f, c[1] == y ? 0.0f : 1.0f);
        v.colour_val = CEGUI::Colour(colour);
        out.push_back(v);
      }
    return out;
  }

  CGUIGeometryBuffer& Buffer(CGUITexture* texture, const std::vector<CEGUI::Vertex>& vertices) {
    auto& buffer = static_cast<CGUIGeometryBuffer&>(gui->createGeometryBuffer());
    buffer.setActiveTexture(texture);
    buffer.setClippingActive(false);
    buffer.appendGeometry(vertices.data(), static_cast<CEGUI::uint>(vertices.size()));
    return buffer;
  }

  RendererTestBench bench;
  CRecordingAllocator allocator;
  CVirtualFileSystem files;
  std::unique_ptr<CGUIRenderer> gui;
};
