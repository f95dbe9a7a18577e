// The Direct3D 9 stand-in's cost per draw against the same draws issued to OpenGL by hand: one
// frame of 1000 indexed draws of a lit 200-triangle grid, each changing the world matrix, the
// material and the cull mode, into a 64 x 64 target on the same offscreen context, then shown.
// Run with fixed malloc thresholds (see README) or both variants swing from run to run.
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "D3DTestDevice.h"
#include "GridIndices.h"

namespace {

constexpr UINT kDraws = 1000;
constexpr UINT kGridSide = 10;  // 10 x 10 quads: 200 triangles
constexpr UINT kGridVertices = (kGridSide + 1) * (kGridSide + 1);
constexpr UINT kGridIndices = kGridSide * kGridSide * 6;
constexpr UINT kMaterials = 7;

struct GridVertex {
  float x, y, z;
  float nx, ny, nz;
};

// What both variants draw: one grid, a place and a material for each draw.
struct DrawList {
  DrawList() {
    for (UINT y = 0; y <= kGridSide; ++y)
      for (UINT x = 0; x <= kGridSide; ++x) vertices.push_back({x * 0.01f, y * 0.01f, 0.5f, 0.f, 0.f, -1.f});
    worlds.resize(kDraws);
    for (UINT i = 0; i < kDraws; ++i) {
      D3DMATRIX& m = worlds[i];
      m = {};
      m._11 = m._22 = m._33 = m._44 = 1.f;
      m._41 = -0.9f + 1.8f * static_cast<float>(i % 40) / 40.0f;
      m._42 = -0.9f + 1.8f * static_cast<float>(i / 40) / 25.0f;
    }
    for (UINT i = 0; i < kMaterials; ++i) {
      D3DMATERIAL9& m = materials[i];
      m = {};
      m.Diffuse = {0.1f * i, 0.5f, 1.f - 0.1f * i, 1.f};
      m.Ambient = {0.2f, 0.2f, 0.1f * i, 1.f};
    }
  }
  std::vector<GridVertex> vertices;
  std::vector<WORD> indices = GridIndices(kGridSide);
  std::vector<D3DMATRIX> worlds;
  D3DMATERIAL9 materials[kMaterials];
};

class StandInScene {
 public:
  explicit StandInScene(IDirect3DDevice9* device) : m_device(device) {
    device->CreateVertexBuffer(kGridVertices * sizeof(GridVertex), D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED,
                               &m_vertices, nullptr);
    device->CreateIndexBuffer(kGridIndices * sizeof(WORD), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                              &m_indices, nullptr);
    void* data = nullptr;
    m_vertices->Lock(0, 0, &data, 0);
    memcpy(data, m_list.vertices.data(), m_list.vertices.size() * sizeof(GridVertex));
    m_vertices->Unlock();
    m_indices->Lock(0, 0, &data, 0);
    memcpy(data, m_list.indices.data(), m_list.indices.size() * sizeof(WORD));
    m_indices->Unlock();
    device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
    device->SetStreamSource(0, m_vertices, 0, sizeof(GridVertex));
    device->SetIndices(m_indices);
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.f, 1.f, 1.f, 1.f};
    light.Direction = {0.f, 0.f, 1.f};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, 0xFF202020);
  }
  ~StandInScene() {
    m_vertices->Release();
    m_indices->Release();
  }

  void DrawFrame() {
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    m_device->BeginScene();
    for (UINT i = 0; i < kDraws; ++i) {
      m_device->SetTransform(D3DTS_WORLD, &m_list.worlds[i]);
      m_device->SetMaterial(&m_list.materials[i % kMaterials]);
      m_device->SetRenderState(D3DRS_CULLMODE, i & 1 ? D3DCULL_CW : D3DCULL_CCW);
      m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, kGridVertices, 0, kGridIndices / 3);
    }
    m_device->EndScene();
    m_device->Present(nullptr, nullptr, nullptr, nullptr);
  }

 private:
  IDirect3DDevice9* m_device;
  DrawList m_list;
  IDirect3DVertexBuffer9* m_vertices = nullptr;
  IDirect3DIndexBuffer9* m_indices = nullptr;
};

// The same frame written against OpenGL directly, on the context the device made current: the
// smallest program that lights like the stand-in's (one directional light, ambient and diffuse).
class BareGLScene {
 public:
  BareGLScene() {
    const char* vertexSource =
        "#version 330 core\n"
        "layout(location = 0) in vec3 a_position;\n"
        "layout(location = 1) in vec3 a_normal;\n"
        "uniform mat4 u_world;\n"
        "uniform vec4 u_matDiffuse;\n"
        "uniform vec4 u_matAmbient;\n"
        "uniform vec4 u_globalAmbient;\n"
        "uniform vec3 u_lightDirection;\n"
        "out vec4 v_color;\n"
        "void main() {\n"
        "  gl_Position = u_world * vec4(a_position, 1.0);\n"
        "  vec3 n = normalize(mat3(u_world) * a_normal);\n"
        "  float d = max(dot(n, -u_lightDirection), 0.0);\n"
        "  v_color = vec4(u_matAmbient.rgb * u_globalAmbient.rgb + u_matDiffuse.rgb * d, u_matDiffuse.a);\n"
        "}\n";
    const char* fragmentSource =
        "#version 330 core\n"
        "in vec4 v_color;\n"
        "out vec4 o_color;\n"
        "void main() { o_color = v_color; }\n";
    m_program = glCreateProgram();
    for (auto [type, source] : {std::pair{GL_VERTEX_SHADER, vertexSource}, {GL_FRAGMENT_SHADER, fragmentSource}}) {
      const GLuint shader = glCreateShader(type);
      glShaderSource(shader, 1, &source, nullptr);
      glCompileShader(shader);
      glAttachShader(m_program, shader);
      glDeleteShader(shader);
    }
    glLinkProgram(m_program);
    GLint linked = 0;
    glGetProgramiv(m_program, GL_LINK_STATUS, &linked);
    if (!linked) fprintf(stderr, "bare GL program failed to link\n");
    m_world = glGetUniformLocation(m_program, "u_world");
    m_diffuse = glGetUniformLocation(m_program, "u_matDiffuse");
    m_ambient = glGetUniformLocation(m_program, "u_matAmbient");

    glGenVertexArrays(1, &m_vertexArray);
    glBindVertexArray(m_vertexArray);
    glGenBuffers(2, m_buffers);
    glBindBuffer(GL_ARRAY_BUFFER, m_buffers[0]);
    glBufferData(GL_ARRAY_BUFFER, m_list.vertices.size() * sizeof(GridVertex), m_list.vertices.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_buffers[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, m_list.indices.size() * sizeof(WORD), m_list.indices.data(),
                 GL_STATIC_DRAW);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(GridVertex), nullptr);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, sizeof(GridVertex),
                          reinterpret_cast<const void*>(offsetof(GridVertex, nx)));
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);

    glGenTextures(1, &m_colour);
    glBindTexture(GL_TEXTURE_2D, m_colour);
    glTexStorage2D(GL_TEXTURE_2D, 1, GL_RGBA8, CD3DTestDevice::kWidth, CD3DTestDevice::kHeight);
    glGenRenderbuffers(1, &m_depth);
    glBindRenderbuffer(GL_RENDERBUFFER, m_depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, CD3DTestDevice::kWidth, CD3DTestDevice::kHeight);
    glGenFramebuffers(1, &m_framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_colour, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, m_depth);

    glUseProgram(m_program);
    glUniform4f(glGetUniformLocation(m_program, "u_globalAmbient"), 0.125f, 0.125f, 0.125f, 1.f);
    glUniform3f(glGetUniformLocation(m_program, "u_lightDirection"), 0.f, 0.f, 1.f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glViewport(0, 0, CD3DTestDevice::kWidth, CD3DTestDevice::kHeight);
  }
  ~BareGLScene() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &m_framebuffer);
    glDeleteRenderbuffers(1, &m_depth);
    glDeleteTextures(1, &m_colour);
    glDeleteBuffers(2, m_buffers);
    glDeleteVertexArrays(1, &m_vertexArray);
    glDeleteProgram(m_program);
  }

  void DrawFrame() {
    glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    glClearColor(0.f, 0.f, 0.f, 0.f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (UINT i = 0; i < kDraws; ++i) {
      const D3DMATERIAL9& material = m_list.materials[i % kMaterials];
      glUniformMatrix4fv(m_world, 1, GL_FALSE, &m_list.worlds[i].m[0][0]);
      glUniform4fv(m_diffuse, 1, &material.Diffuse.r);
      glUniform4fv(m_ambient, 1, &material.Ambient.r);
      glFrontFace(i & 1 ? GL_CCW : GL_CW);
      glDrawElements(GL_TRIANGLES, kGridIndices, GL_UNSIGNED_SHORT, nullptr);
    }
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBlitFramebuffer(0, 0, CD3DTestDevice::kWidth, CD3DTestDevice::kHeight, 0, height, width, 0,
                      GL_COLOR_BUFFER_BIT, GL_LINEAR);
    SDL_GL_SwapWindow(window);
  }

 private:
  DrawList m_list;
  GLuint m_program = 0, m_vertexArray = 0, m_buffers[2] = {}, m_colour = 0, m_depth = 0, m_framebuffer = 0;
  GLint m_world = -1, m_diffuse = -1, m_ambient = -1;
};

// The first frame, which compiles the programs, is drawn before timing starts.
void StandInDraws(benchmark::State& state) {
  CD3DTestDevice device(ZK_D3D_BACKEND_GL);
  if (!device.ok()) return state.SkipWithError("no GL device");
  ZkTestD3DLogCalls(false);  // as in a game, which never asks for the log
  StandInScene scene(device.get());
  scene.DrawFrame();
  for (auto _ : state) scene.DrawFrame();
  state.SetItemsProcessed(state.iterations() * kDraws);
}
BENCHMARK(StandInDraws)->Unit(benchmark::kMillisecond);

void BareGLDraws(benchmark::State& state) {
  // The device only makes the window and context current, as it does for the stand-in's draws.
  CD3DTestDevice device(ZK_D3D_BACKEND_GL);
  if (!device.ok()) return state.SkipWithError("no GL device");
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
  BareGLScene scene;
  scene.DrawFrame();
  for (auto _ : state) scene.DrawFrame();
  state.SetItemsProcessed(state.iterations() * kDraws);
}
BENCHMARK(BareGLDraws)->Unit(benchmark::kMillisecond);

}  // namespace
