#include "GLBackend.h"

#include <SDL2/SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <vector>

#include "../win32/CommandReader.h"
#include "../win32/SdlVideo.h"
#include "BaseTexture.h"
#include "Shader9.h"
#include "zkplatform/ZkWindow.h"
#include "VertexDeclaration9.h"

namespace {

// Which backend's context is current on this thread, so switching costs nothing when only one
// device draws.
thread_local CGLBackend* t_current = nullptr;

// Starts SDL's video; with no display to show on, the offscreen driver still renders.
bool HasRequiredFeatures() {
  const int version = epoxy_gl_version();
  return version >= 33 && (version >= 45 || epoxy_has_gl_extension("GL_ARB_clip_control")) &&
         (version >= 42 || epoxy_has_gl_extension("GL_ARB_texture_storage"));
}

void ColorOf(D3DCOLOR color, float* rgba) {
  rgba[0] = ((color >> 16) & 0xFF) / 255.f;
  rgba[1] = ((color >> 8) & 0xFF) / 255.f;
  rgba[2] = (color & 0xFF) / 255.f;
  rgba[3] = ((color >> 24) & 0xFF) / 255.f;
}

GLenum CompareFunction(DWORD value) {
  static const GLenum kFunctions[] = {GL_NEVER,   GL_NEVER,    GL_LESS,   GL_EQUAL, GL_LEQUAL,
                                      GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
  return value < 9 ? kFunctions[value] : GL_ALWAYS;
}

GLenum StencilOperation(DWORD value) {
  static const GLenum kOperations[] = {GL_KEEP, GL_KEEP, GL_ZERO,      GL_REPLACE,  GL_INCR,
                                       GL_DECR, GL_INVERT, GL_INCR_WRAP, GL_DECR_WRAP};
  return value < 9 ? kOperations[value] : GL_KEEP;
}

GLenum BlendFactor(DWORD value) {
  switch (value) {
    case D3DBLEND_ZERO:
      return GL_ZERO;
    case D3DBLEND_ONE:
      return GL_ONE;
    case D3DBLEND_SRCCOLOR:
      return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
      return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
    case D3DBLEND_BOTHSRCALPHA:
      return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
    case D3DBLEND_BOTHINVSRCALPHA:
      return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA:
      return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA:
      return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR:
      return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
      return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT:
      return GL_SRC_ALPHA_SATURATE;
    case D3DBLEND_BLENDFACTOR:
      return GL_CONSTANT_COLOR;
    case D3DBLEND_INVBLENDFACTOR:
      return GL_ONE_MINUS_CONSTANT_COLOR;
    default:
      return GL_ONE;
  }
}

// The BOTH* source factors also decide the destination factor.
void BlendPair(DWORD source, DWORD dest, GLenum* glSource, GLenum* glDest) {
  *glSource = BlendFactor(source);
  *glDest = BlendFactor(dest);
  if (source == D3DBLEND_BOTHSRCALPHA) *glDest = GL_ONE_MINUS_SRC_ALPHA;
  if (source == D3DBLEND_BOTHINVSRCALPHA) *glDest = GL_SRC_ALPHA;
}

GLenum BlendEquation(DWORD value) {
  switch (value) {
    case D3DBLENDOP_SUBTRACT:
      return GL_FUNC_SUBTRACT;
    case D3DBLENDOP_REVSUBTRACT:
      return GL_FUNC_REVERSE_SUBTRACT;
    case D3DBLENDOP_MIN:
      return GL_MIN;
    case D3DBLENDOP_MAX:
      return GL_MAX;
    default:
      return GL_FUNC_ADD;
  }
}

GLenum AddressMode(DWORD value) {
  switch (value) {
    case D3DTADDRESS_MIRROR:
      return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP:
      return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER:
      return GL_CLAMP_TO_BORDER;
    case D3DTADDRESS_MIRRORONCE:
      return GL_MIRROR_CLAMP_TO_EDGE;
    default:
      return GL_REPEAT;
  }
}

GLenum PrimitiveMode(D3DPRIMITIVETYPE type) {
  switch (type) {
    case D3DPT_POINTLIST:
      return GL_POINTS;
    case D3DPT_LINELIST:
      return GL_LINES;
    case D3DPT_LINESTRIP:
      return GL_LINE_STRIP;
    case D3DPT_TRIANGLESTRIP:
      return GL_TRIANGLE_STRIP;
    case D3DPT_TRIANGLEFAN:
      return GL_TRIANGLE_FAN;
    default:
      return GL_TRIANGLES;
  }
}

struct SAttributeFormat {
  GLint size;
  GLenum type;
  GLboolean normalized;
};

SAttributeFormat AttributeFormat(BYTE type) {
  switch (type) {
    case D3DDECLTYPE_FLOAT1:
      return {1, GL_FLOAT, GL_FALSE};
    case D3DDECLTYPE_FLOAT2:
      return {2, GL_FLOAT, GL_FALSE};
    case D3DDECLTYPE_FLOAT3:
      return {3, GL_FLOAT, GL_FALSE};
    case D3DDECLTYPE_FLOAT4:
      return {4, GL_FLOAT, GL_FALSE};
    case D3DDECLTYPE_D3DCOLOR:
      return {GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE};
    case D3DDECLTYPE_UBYTE4:
      return {4, GL_UNSIGNED_BYTE, GL_FALSE};
    case D3DDECLTYPE_SHORT2:
      return {2, GL_SHORT, GL_FALSE};
    case D3DDECLTYPE_SHORT4:
      return {4, GL_SHORT, GL_FALSE};
    case D3DDECLTYPE_UBYTE4N:
      return {4, GL_UNSIGNED_BYTE, GL_TRUE};
    case D3DDECLTYPE_SHORT2N:
      return {2, GL_SHORT, GL_TRUE};
    case D3DDECLTYPE_SHORT4N:
      return {4, GL_SHORT, GL_TRUE};
    case D3DDECLTYPE_USHORT2N:
      return {2, GL_UNSIGNED_SHORT, GL_TRUE};
    case D3DDECLTYPE_USHORT4N:
      return {4, GL_UNSIGNED_SHORT, GL_TRUE};
    case D3DDECLTYPE_UDEC3:
      return {4, GL_UNSIGNED_INT_2_10_10_10_REV, GL_FALSE};
    case D3DDECLTYPE_DEC3N:
      return {4, GL_INT_2_10_10_10_REV, GL_TRUE};
    case D3DDECLTYPE_FLOAT16_2:
      return {2, GL_HALF_FLOAT, GL_FALSE};
    default:
      return {4, GL_HALF_FLOAT, GL_FALSE};
  }
}

GLenum FaceTarget(const STargetRef& target) {
  return target.isCube ? GL_TEXTURE_CUBE_MAP_POSITIVE_X + target.face : GL_TEXTURE_2D;
}

// Row-major 3x3 inverse-transpose of the upper part of a matrix, for normals.
void NormalMatrix(const D3DMATRIX& m, float out[9]) {
  const float a = m._11, b = m._12, c = m._13, d = m._21, e = m._22, f = m._23, g = m._31, h = m._32, i = m._33;
  const float A = e * i - f * h, B = -(d * i - f * g), C = d * h - e * g;
  float det = a * A + b * B + c * C;
  if (std::fabs(det) < 1e-20f) det = 1.f;
  const float inv = 1.f / det;
  // The inverse's transpose is the cofactor matrix over the determinant.
  const float cof[9] = {A, B, C, -(b * i - c * h), a * i - c * g, -(a * h - b * g), b * f - c * e, -(a * f - c * d),
                        a * e - b * d};
  for (int k = 0; k < 9; ++k) out[k] = cof[k] * inv;
}

D3DMATRIX Multiply(const D3DMATRIX& x, const D3DMATRIX& y) {
  D3DMATRIX r;
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 4; ++col) {
      float sum = 0.f;
      for (int k = 0; k < 4; ++k) sum += x.m[row][k] * y.m[k][col];
      r.m[row][col] = sum;
    }
  return r;
}

void TransformPoint(const D3DVECTOR& v, const D3DMATRIX& m, float out[3]) {
  for (int c = 0; c < 3; ++c) out[c] = v.x * m.m[0][c] + v.y * m.m[1][c] + v.z * m.m[2][c] + m.m[3][c];
}

void TransformDirection(const D3DVECTOR& v, const D3DMATRIX& m, float out[3]) {
  for (int c = 0; c < 3; ++c) out[c] = v.x * m.m[0][c] + v.y * m.m[1][c] + v.z * m.m[2][c];
  const float length = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]);
  if (length > 0.f)
    for (int c = 0; c < 3; ++c) out[c] /= length;
}

}  // namespace

CGLBackend::CGLBackend() = default;

CGLBackend::~CGLBackend() {
  if (m_context) {
    MakeCurrent();
    for (auto& entry : m_linkedPrograms) glDeleteProgram(entry.second.name);
    for (auto& entry : m_shaderObjects) glDeleteShader(entry.second);
    glDeleteFramebuffers(1, &m_framebuffer);
    glDeleteFramebuffers(1, &m_readFramebuffer);
    glDeleteVertexArrays(1, &m_vertexArray);
    glDeleteBuffers(1, &m_streamVertices);
    glDeleteBuffers(1, &m_streamIndices);
    glDeleteSamplers(kMaxSamplers, m_samplers);
    if (t_current == this) {
      SDL_GL_MakeCurrent(m_window, nullptr);
      t_current = nullptr;
    }
    SDL_GL_DeleteContext(m_context);
  }
  if (m_window && m_ownsWindow) SDL_DestroyWindow(m_window);
}

SDL_Window* CGLBackend::DeviceWindow(HWND window, UINT width, UINT height, bool* owned) {
  // The device draws into the application's window when it has one of ours; a device without
  // a window (tests, tools) gets a hidden window of its own to carry the context.
  if (SDL_Window* existing = ZkSdlWindowFromHwnd(window)) {
    *owned = false;
    return existing;
  }
  *owned = true;
  return SDL_CreateWindow("Direct3D", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, static_cast<int>(width),
                          static_cast<int>(height), SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
}

bool CGLBackend::Probe(SGLLimits* limits) {
  memset(limits, 0, sizeof *limits);
  if (!SdlVideo::Ensure()) return false;
  bool ok = false;
  SDL_Window* window = SDL_CreateWindow("probe", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (window) {
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context) {
      if (HasRequiredFeatures()) {
        snprintf(limits->renderer, sizeof limits->renderer, "%s",
                 reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
        GLint size = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
        limits->maxTextureSize = static_cast<unsigned>(size > 16384 ? 16384 : size);
        GLfloat anisotropy = 1.f;
        if (epoxy_gl_version() >= 46 || epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic"))
          glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY, &anisotropy);
        limits->maxAnisotropy = static_cast<unsigned>(anisotropy);
        limits->hasS3tc = epoxy_has_gl_extension("GL_EXT_texture_compression_s3tc");
        ok = true;
      }
      SDL_GL_MakeCurrent(window, nullptr);
      SDL_GL_DeleteContext(context);
      t_current = nullptr;
    }
    SDL_DestroyWindow(window);
  }
  return ok;
}

bool CGLBackend::Initialize(HWND window, UINT width, UINT height) {
  if (!SdlVideo::Ensure()) return false;
  m_window = DeviceWindow(window, width, height, &m_ownsWindow);
  if (!m_window) return false;
  m_context = SDL_GL_CreateContext(m_window);
  if (!m_context) return false;
  t_current = nullptr;
  MakeCurrent();
  if (!HasRequiredFeatures()) return false;
  m_width = width;
  m_height = height;
  glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
  glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
  glFrontFace(GL_CCW);  // Direct3D's clockwise, seen through the flipped rows
  glGenFramebuffers(1, &m_framebuffer);
  glGenFramebuffers(1, &m_readFramebuffer);
  glGenVertexArrays(1, &m_vertexArray);
  glGenBuffers(1, &m_streamVertices);
  glGenBuffers(1, &m_streamIndices);
  glGenSamplers(kMaxSamplers, m_samplers);
  if (epoxy_gl_version() >= 46 || epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic"))
    glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY, &m_maxAnisotropy);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  return true;
}

void CGLBackend::MakeCurrent() {
  if (t_current == this) return;
  SDL_GL_MakeCurrent(m_window, m_context);
  t_current = this;
}

void CGLBackend::Configure(UINT width, UINT height, bool vsync) {
  MakeCurrent();
  m_width = width;
  m_height = height;
  if (m_window && m_ownsWindow) SDL_SetWindowSize(m_window, static_cast<int>(width), static_cast<int>(height));
  SDL_GL_SetSwapInterval(vsync ? 1 : 0);
}

uintptr_t CGLBackend::CreateTexture(bool isCube, const SFormatInfo& format, UINT width, UINT height, UINT levels) {
  MakeCurrent();
  const GLenum target = isCube ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D;
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(target, name);
  m_samplersValid = false;
  glTexStorage2D(target, static_cast<GLsizei>(levels), format.glInternal, static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height));
  glTexParameteri(target, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels - 1));
  if (format.swizzle[3] != 0) {  // every swizzle names its alpha source; GL_ZERO is 0
    glTexParameteri(target, GL_TEXTURE_SWIZZLE_R, format.swizzle[0]);
    glTexParameteri(target, GL_TEXTURE_SWIZZLE_G, format.swizzle[1]);
    glTexParameteri(target, GL_TEXTURE_SWIZZLE_B, format.swizzle[2]);
    glTexParameteri(target, GL_TEXTURE_SWIZZLE_A, format.swizzle[3]);
  }
  m_textureIsCube[name] = isCube;
  return name;
}

void CGLBackend::UploadTextureLevel(uintptr_t texture, bool isCube, UINT face, UINT level, const SFormatInfo& format,
                                    UINT width, UINT height, const void* data, UINT pitch) {
  MakeCurrent();
  const GLenum target = isCube ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D;
  const GLenum image = isCube ? GL_TEXTURE_CUBE_MAP_POSITIVE_X + face : GL_TEXTURE_2D;
  glBindTexture(target, static_cast<GLuint>(texture));
  m_samplersValid = false;
  if (format.blockSize > 1) {
    glCompressedTexSubImage2D(image, static_cast<GLint>(level), 0, 0, static_cast<GLsizei>(width),
                              static_cast<GLsizei>(height), format.glInternal,
                              static_cast<GLsizei>(CFormatTable::LevelBytes(format, width, height)), data);
    return;
  }
  glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(pitch / format.blockBytes));
  glTexSubImage2D(image, static_cast<GLint>(level), 0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height),
                  format.glFormat, format.glType, data);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
}

void CGLBackend::GenerateMipmaps(uintptr_t texture, bool isCube) {
  MakeCurrent();
  const GLenum target = isCube ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D;
  glBindTexture(target, static_cast<GLuint>(texture));
  m_samplersValid = false;
  glGenerateMipmap(target);
}

void CGLBackend::DestroyTexture(uintptr_t texture) {
  MakeCurrent();
  GLuint name = static_cast<GLuint>(texture);
  glDeleteTextures(1, &name);
  m_attachmentsValid = false;
  m_samplersValid = false;
  m_textureIsCube.erase(texture);
}

uintptr_t CGLBackend::CreateDepthBuffer(const SFormatInfo& format, UINT width, UINT height) {
  MakeCurrent();
  GLuint name = 0;
  glGenRenderbuffers(1, &name);
  glBindRenderbuffer(GL_RENDERBUFFER, name);
  glRenderbufferStorage(GL_RENDERBUFFER, format.glInternal, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
  return name;
}

void CGLBackend::DestroyDepthBuffer(uintptr_t buffer) {
  MakeCurrent();
  GLuint name = static_cast<GLuint>(buffer);
  glDeleteRenderbuffers(1, &name);
  m_attachmentsValid = false;
}

uintptr_t CGLBackend::CreateBuffer(UINT size) {
  MakeCurrent();
  GLuint name = 0;
  glGenBuffers(1, &name);
  glBindBuffer(GL_ARRAY_BUFFER, name);
  glBufferData(GL_ARRAY_BUFFER, size, nullptr, GL_DYNAMIC_DRAW);
  return name;
}

void CGLBackend::UploadBuffer(uintptr_t buffer, UINT offset, UINT size, const void* data) {
  MakeCurrent();
  glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(buffer));
  glBufferSubData(GL_ARRAY_BUFFER, offset, size, data);
}

void CGLBackend::DestroyBuffer(uintptr_t buffer) {
  MakeCurrent();
  GLuint name = static_cast<GLuint>(buffer);
  glDeleteBuffers(1, &name);
  // Deleting a buffer unhooks it from the attributes, and its name may come back.
  m_vertexInputValid = false;
}

void CGLBackend::AttachColor(unsigned framebuffer, unsigned attachment, const STargetRef& target) {
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, attachment, FaceTarget(target), static_cast<GLuint>(target.handle),
                         static_cast<GLint>(target.level));
}

void CGLBackend::BindTargets(const STargetRef* targets, const STargetRef& depth) {
  glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
  // Most draws go to the targets of the draw before; attaching again would cost every time.
  bool same = m_attachmentsValid && m_attachedDepth == depth;
  for (UINT i = 0; same && i < kMaxRenderTargets; ++i) same = m_attachedTargets[i] == targets[i];
  if (same) return;
  for (UINT i = 0; i < kMaxRenderTargets; ++i) m_attachedTargets[i] = targets[i];
  m_attachedDepth = depth;
  m_attachmentsValid = true;
  GLenum buffers[kMaxRenderTargets];
  for (UINT i = 0; i < kMaxRenderTargets; ++i) {
    if (targets[i].handle) {
      AttachColor(m_framebuffer, GL_COLOR_ATTACHMENT0 + i, targets[i]);
      buffers[i] = GL_COLOR_ATTACHMENT0 + i;
    } else {
      glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + i, GL_TEXTURE_2D, 0, 0);
      buffers[i] = GL_NONE;
    }
  }
  glDrawBuffers(kMaxRenderTargets, buffers);
  const bool stencil = depth.handle && depth.format && depth.format->glInternal == GL_DEPTH24_STENCIL8;
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
  if (depth.handle)
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, stencil ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                              GL_RENDERBUFFER, static_cast<GLuint>(depth.handle));
}

void CGLBackend::Clear(const CDeviceState& state, const SClearCall& clear) {
  MakeCurrent();
  ForgetAppliedStates();  // the masks and the scissor are the clear's own
  BindTargets(clear.targets, clear.depthStencil);
  const D3DVIEWPORT9& vp = state.viewport;
  RECT area = {static_cast<LONG>(vp.X), static_cast<LONG>(vp.Y), static_cast<LONG>(vp.X + vp.Width),
               static_cast<LONG>(vp.Y + vp.Height)};
  if (state.renderStates[D3DRS_SCISSORTESTENABLE]) {
    const RECT& s = state.scissor;
    area = {std::max(area.left, s.left), std::max(area.top, s.top), std::min(area.right, s.right),
            std::min(area.bottom, s.bottom)};
  }
  GLbitfield mask = 0;
  if (clear.flags & D3DCLEAR_TARGET) {
    float rgba[4];
    ColorOf(clear.color, rgba);
    glClearColor(rgba[0], rgba[1], rgba[2], rgba[3]);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    mask |= GL_COLOR_BUFFER_BIT;
  }
  if (clear.flags & D3DCLEAR_ZBUFFER) {
    glClearDepth(clear.z);
    glDepthMask(GL_TRUE);
    mask |= GL_DEPTH_BUFFER_BIT;
  }
  if (clear.flags & D3DCLEAR_STENCIL) {
    glClearStencil(static_cast<GLint>(clear.stencil & 0xFF));
    glStencilMask(0xFF);
    mask |= GL_STENCIL_BUFFER_BIT;
  }
  glEnable(GL_SCISSOR_TEST);
  auto clearRect = [&](RECT r) {
    r = {std::max(r.left, area.left), std::max(r.top, area.top), std::min(r.right, area.right),
         std::min(r.bottom, area.bottom)};
    if (r.left >= r.right || r.top >= r.bottom) return;
    glScissor(r.left, r.top, r.right - r.left, r.bottom - r.top);
    glClear(mask);
  };
  if (clear.rectCount == 0) {
    clearRect(area);
  } else {
    for (DWORD i = 0; i < clear.rectCount; ++i)
      clearRect({clear.rects[i].x1, clear.rects[i].y1, clear.rects[i].x2, clear.rects[i].y2});
  }
}

bool CGLBackend::StateGroupChanged(EStateGroup group, std::initializer_list<DWORD> inputs) {
  SStateGroupInputs& applied = m_stateGroups[group];
  const size_t count = std::min(inputs.size(), std::size(applied.values));
  if (m_stateGroupsValid[group] && applied.count == count &&
      std::equal(inputs.begin(), inputs.begin() + count, applied.values))
    return false;
  std::copy(inputs.begin(), inputs.begin() + count, applied.values);
  applied.count = count;
  m_stateGroupsValid[group] = true;
  return true;
}

void CGLBackend::ForgetAppliedStates() {
  for (bool& valid : m_stateGroupsValid) valid = false;
}

void CGLBackend::ApplyRenderStates(const CDeviceState& state, bool hasDepth, bool preTransformed) {
  // Each group of GL state is set again only when the render states it comes from changed.
  const DWORD* rs = state.renderStates;
  const D3DVIEWPORT9& vp = state.viewport;
  if (StateGroupChanged(GROUP_VIEWPORT, {vp.X, vp.Y, vp.Width, vp.Height, FloatBits(vp.MinZ), FloatBits(vp.MaxZ)})) {
    glViewport(static_cast<GLint>(vp.X), static_cast<GLint>(vp.Y), static_cast<GLsizei>(vp.Width),
               static_cast<GLsizei>(vp.Height));
    glDepthRange(vp.MinZ, vp.MaxZ);
  }

  if (StateGroupChanged(GROUP_DEPTH, {hasDepth, rs[D3DRS_ZENABLE], rs[D3DRS_ZFUNC], rs[D3DRS_ZWRITEENABLE],
                                      rs[D3DRS_SLOPESCALEDEPTHBIAS], rs[D3DRS_DEPTHBIAS]})) {
    if (hasDepth && rs[D3DRS_ZENABLE] != D3DZB_FALSE) {
      glEnable(GL_DEPTH_TEST);
      glDepthFunc(CompareFunction(rs[D3DRS_ZFUNC]));
    } else {
      glDisable(GL_DEPTH_TEST);
    }
    glDepthMask(rs[D3DRS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);
    const float slope = state.RenderStateFloat(D3DRS_SLOPESCALEDEPTHBIAS);
    const float bias = state.RenderStateFloat(D3DRS_DEPTHBIAS);
    if (slope != 0.f || bias != 0.f) {
      glEnable(GL_POLYGON_OFFSET_FILL);
      glPolygonOffset(slope, bias * 16777215.f);
    } else {
      glDisable(GL_POLYGON_OFFSET_FILL);
    }
  }

  if (StateGroupChanged(GROUP_CULL, {rs[D3DRS_CULLMODE]})) {
    switch (rs[D3DRS_CULLMODE]) {
      case D3DCULL_CW:
        glEnable(GL_CULL_FACE);
        glCullFace(GL_FRONT);
        break;
      case D3DCULL_CCW:
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        break;
      default:
        glDisable(GL_CULL_FACE);
    }
  }
  if (StateGroupChanged(GROUP_RASTER, {rs[D3DRS_FILLMODE], rs[D3DRS_SHADEMODE], rs[D3DRS_POINTSIZE]})) {
    const DWORD fill = rs[D3DRS_FILLMODE];
    glPolygonMode(GL_FRONT_AND_BACK,
                  fill == D3DFILL_POINT ? GL_POINT : fill == D3DFILL_WIREFRAME ? GL_LINE : GL_FILL);
    glShadeModel(rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT ? GL_FLAT : GL_SMOOTH);
    // Values outside the card's range (the instancing switch writes a FOURCC here) are clamped.
    const float pointSize = state.RenderStateFloat(D3DRS_POINTSIZE);
    glPointSize(pointSize >= 1.f && pointSize <= 64.f ? pointSize : pointSize > 64.f ? 64.f : 1.f);
  }

  if (StateGroupChanged(GROUP_ALPHA_TEST, {rs[D3DRS_ALPHATESTENABLE], rs[D3DRS_ALPHAFUNC], rs[D3DRS_ALPHAREF]})) {
    if (rs[D3DRS_ALPHATESTENABLE]) {
      glEnable(GL_ALPHA_TEST);
      glAlphaFunc(CompareFunction(rs[D3DRS_ALPHAFUNC]), (rs[D3DRS_ALPHAREF] & 0xFF) / 255.f);
    } else {
      glDisable(GL_ALPHA_TEST);
    }
  }

  if (StateGroupChanged(GROUP_BLEND, {rs[D3DRS_ALPHABLENDENABLE], rs[D3DRS_SRCBLEND], rs[D3DRS_DESTBLEND],
                                      rs[D3DRS_BLENDOP], rs[D3DRS_SEPARATEALPHABLENDENABLE], rs[D3DRS_SRCBLENDALPHA],
                                      rs[D3DRS_DESTBLENDALPHA], rs[D3DRS_BLENDOPALPHA], rs[D3DRS_BLENDFACTOR]})) {
    if (rs[D3DRS_ALPHABLENDENABLE]) {
      glEnable(GL_BLEND);
      GLenum src, dst, srcAlpha, dstAlpha;
      BlendPair(rs[D3DRS_SRCBLEND], rs[D3DRS_DESTBLEND], &src, &dst);
      GLenum equation = BlendEquation(rs[D3DRS_BLENDOP]), equationAlpha = equation;
      if (rs[D3DRS_SEPARATEALPHABLENDENABLE]) {
        BlendPair(rs[D3DRS_SRCBLENDALPHA], rs[D3DRS_DESTBLENDALPHA], &srcAlpha, &dstAlpha);
        equationAlpha = BlendEquation(rs[D3DRS_BLENDOPALPHA]);
      } else {
        srcAlpha = src;
        dstAlpha = dst;
      }
      glBlendFuncSeparate(src, dst, srcAlpha, dstAlpha);
      glBlendEquationSeparate(equation, equationAlpha);
      float factor[4];
      ColorOf(rs[D3DRS_BLENDFACTOR], factor);
      glBlendColor(factor[0], factor[1], factor[2], factor[3]);
    } else {
      glDisable(GL_BLEND);
    }
  }

  if (StateGroupChanged(GROUP_STENCIL,
                        {rs[D3DRS_STENCILENABLE], rs[D3DRS_STENCILREF], rs[D3DRS_STENCILMASK], rs[D3DRS_STENCILFUNC],
                         rs[D3DRS_STENCILFAIL], rs[D3DRS_STENCILZFAIL], rs[D3DRS_STENCILPASS],
                         rs[D3DRS_TWOSIDEDSTENCILMODE], rs[D3DRS_CCW_STENCILFUNC], rs[D3DRS_CCW_STENCILFAIL],
                         rs[D3DRS_CCW_STENCILZFAIL], rs[D3DRS_CCW_STENCILPASS], rs[D3DRS_STENCILWRITEMASK]})) {
    if (rs[D3DRS_STENCILENABLE]) {
      glEnable(GL_STENCIL_TEST);
      const GLint ref = static_cast<GLint>(rs[D3DRS_STENCILREF] & 0xFF);
      const GLuint mask = rs[D3DRS_STENCILMASK];
      // GL's front faces are Direct3D's clockwise ones (see glFrontFace above).
      glStencilFuncSeparate(GL_FRONT, CompareFunction(rs[D3DRS_STENCILFUNC]), ref, mask);
      glStencilOpSeparate(GL_FRONT, StencilOperation(rs[D3DRS_STENCILFAIL]),
                          StencilOperation(rs[D3DRS_STENCILZFAIL]), StencilOperation(rs[D3DRS_STENCILPASS]));
      if (rs[D3DRS_TWOSIDEDSTENCILMODE]) {
        glStencilFuncSeparate(GL_BACK, CompareFunction(rs[D3DRS_CCW_STENCILFUNC]), ref, mask);
        glStencilOpSeparate(GL_BACK, StencilOperation(rs[D3DRS_CCW_STENCILFAIL]),
                            StencilOperation(rs[D3DRS_CCW_STENCILZFAIL]), StencilOperation(rs[D3DRS_CCW_STENCILPASS]));
      } else {
        glStencilFuncSeparate(GL_BACK, CompareFunction(rs[D3DRS_STENCILFUNC]), ref, mask);
        glStencilOpSeparate(GL_BACK, StencilOperation(rs[D3DRS_STENCILFAIL]),
                            StencilOperation(rs[D3DRS_STENCILZFAIL]), StencilOperation(rs[D3DRS_STENCILPASS]));
      }
      glStencilMask(rs[D3DRS_STENCILWRITEMASK]);
    } else {
      glDisable(GL_STENCIL_TEST);
    }
  }

  static const D3DRENDERSTATETYPE kWriteMasks[4] = {D3DRS_COLORWRITEENABLE, D3DRS_COLORWRITEENABLE1,
                                                    D3DRS_COLORWRITEENABLE2, D3DRS_COLORWRITEENABLE3};
  if (StateGroupChanged(GROUP_COLOR_MASK, {rs[kWriteMasks[0]], rs[kWriteMasks[1]], rs[kWriteMasks[2]],
                                           rs[kWriteMasks[3]]})) {
    for (GLuint i = 0; i < 4; ++i) {
      const DWORD m = rs[kWriteMasks[i]];
      glColorMaski(i, (m & 1) != 0, (m & 2) != 0, (m & 4) != 0, (m & 8) != 0);
    }
  }

  const RECT& scissor = state.scissor;
  if (StateGroupChanged(GROUP_SCISSOR, {rs[D3DRS_SCISSORTESTENABLE], static_cast<DWORD>(scissor.left),
                                        static_cast<DWORD>(scissor.top), static_cast<DWORD>(scissor.right),
                                        static_cast<DWORD>(scissor.bottom)})) {
    if (rs[D3DRS_SCISSORTESTENABLE]) {
      glEnable(GL_SCISSOR_TEST);
      glScissor(scissor.left, scissor.top, std::max<LONG>(0, scissor.right - scissor.left),
                std::max<LONG>(0, scissor.bottom - scissor.top));
    } else {
      glDisable(GL_SCISSOR_TEST);
    }
  }
  // Planes are given with an identity modelview, so GL keeps them as they are and compares them
  // with the world-space clip vertex. Screen-space vertices are not clipped by them.
  const DWORD planesUsed = preTransformed ? 0 : rs[D3DRS_CLIPPLANEENABLE] & ((1u << kMaxClipPlanes) - 1);
  bool planesChanged = StateGroupChanged(GROUP_CLIP_ENABLE, {planesUsed});
  for (UINT i = 0; i < kMaxClipPlanes; ++i) {
    if (!(planesUsed & (1u << i))) {
      if (planesChanged) glDisable(GL_CLIP_PLANE0 + i);
      continue;
    }
    const float* p = state.clipPlanes[i];
    if (!StateGroupChanged(static_cast<EStateGroup>(GROUP_CLIP_PLANE0 + i),
                           {FloatBits(p[0]), FloatBits(p[1]), FloatBits(p[2]), FloatBits(p[3])}) &&
        !planesChanged)
      continue;
    const GLdouble plane[4] = {p[0], p[1], p[2], p[3]};
    glClipPlane(GL_CLIP_PLANE0 + i, plane);
    glEnable(GL_CLIP_PLANE0 + i);
  }
}

void CGLBackend::ApplySamplers(const CDeviceState& state, const ETextureKind* kinds) {
  // Texture unit n serves sampler slot n: the pixel samplers, then the vertex samplers. A unit
  // is set again only when its texture or sampler states differ from what it was given last.
  bool changed = false;
  for (UINT stage = 0; stage < kMaxSamplers; ++stage) {
    const CBaseTexture* texture = kinds[stage] == TEXTURE_NONE ? nullptr : state.textures[stage];
    SAppliedSampler wanted{};
    if (texture) {
      wanted.handle = texture->Handle();
      wanted.cube = texture->IsCube();
      wanted.mipmapped = texture->Levels() > 1;
      memcpy(wanted.states, state.samplerStates[stage], sizeof wanted.states);
    }
    SAppliedSampler& applied = m_appliedSamplers[stage];
    if (m_samplersValid && memcmp(&applied, &wanted, sizeof wanted) == 0) continue;
    applied = wanted;
    changed = true;
    glActiveTexture(GL_TEXTURE0 + stage);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    if (texture) ApplySampler(stage, *texture, state.samplerStates[stage]);
  }
  m_samplersValid = true;
  if (changed) glActiveTexture(GL_TEXTURE0);
}

void CGLBackend::ApplySampler(UINT stage, const CBaseTexture& texture, const DWORD* ss) {
  glBindTexture(texture.IsCube() ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D, static_cast<GLuint>(texture.Handle()));
  const GLuint sampler = m_samplers[stage];
  glBindSampler(stage, sampler);
  glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, AddressMode(ss[D3DSAMP_ADDRESSU]));
  glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, AddressMode(ss[D3DSAMP_ADDRESSV]));
  glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R, AddressMode(ss[D3DSAMP_ADDRESSW]));
  float border[4];
  ColorOf(ss[D3DSAMP_BORDERCOLOR], border);
  glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, border);
  const bool magLinear = ss[D3DSAMP_MAGFILTER] >= D3DTEXF_LINEAR;
  const bool minLinear = ss[D3DSAMP_MINFILTER] >= D3DTEXF_LINEAR;
  const DWORD mip = texture.Levels() > 1 ? ss[D3DSAMP_MIPFILTER] : static_cast<DWORD>(D3DTEXF_NONE);
  GLenum minFilter;
  if (mip == D3DTEXF_NONE)
    minFilter = minLinear ? GL_LINEAR : GL_NEAREST;
  else if (mip == D3DTEXF_POINT)
    minFilter = minLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
  else
    minFilter = minLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
  glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, magLinear ? GL_LINEAR : GL_NEAREST);
  glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, minFilter);
  const bool anisotropic = ss[D3DSAMP_MINFILTER] == D3DTEXF_ANISOTROPIC || ss[D3DSAMP_MAGFILTER] == D3DTEXF_ANISOTROPIC;
  if (m_maxAnisotropy > 1.f)
    glSamplerParameterf(sampler, GL_TEXTURE_MAX_ANISOTROPY,
                        anisotropic ? std::min<float>(m_maxAnisotropy, std::max<DWORD>(1, ss[D3DSAMP_MAXANISOTROPY]))
                                    : 1.f);
  float bias;
  memcpy(&bias, &ss[D3DSAMP_MIPMAPLODBIAS], sizeof bias);
  glSamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, bias);
  // Direct3D's largest mip level to use is GL's smallest level of detail.
  glSamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, static_cast<float>(ss[D3DSAMP_MAXMIPLEVEL]));
}

void CGLBackend::BindVertexInput(const CDeviceState& state, const SDrawCall& draw,
                                 const CShaderTranslation* vertexProgram) {
  glBindVertexArray(m_vertexArray);
  // Draws from the same buffers with the same layout keep the attributes they had: pointing
  // them again makes the driver check the whole vertex layout anew.
  const std::vector<D3DVERTEXELEMENT9>& elements = draw.declaration->Elements();
  SAppliedStream streams[kMaxStreams] = {};
  if (!draw.userVertices) {
    for (const D3DVERTEXELEMENT9& e : elements) {
      if (e.Stream >= kMaxStreams) continue;
      streams[e.Stream] = {draw.streamBuffers[e.Stream], state.streams[e.Stream].offset,
                           state.streams[e.Stream].stride};
    }
    const uint64_t programId = vertexProgram ? vertexProgram->Id() : 0;
    const bool sameElements =
        m_appliedElements.size() == elements.size() &&
        memcmp(m_appliedElements.data(), elements.data(), elements.size() * sizeof(D3DVERTEXELEMENT9)) == 0;
    if (m_vertexInputValid && m_appliedVertexProgram == programId && sameElements &&
        memcmp(m_appliedStreams, streams, sizeof streams) == 0)
      return;
    m_vertexInputValid = true;
    m_appliedVertexProgram = programId;
    m_appliedElements = elements;
    memcpy(m_appliedStreams, streams, sizeof streams);
  } else {
    m_vertexInputValid = false;
  }
  for (GLuint i = 0; i < ATTRIBUTE_COUNT; ++i) glDisableVertexAttribArray(i);
  if (draw.userVertices) {
    glBindBuffer(GL_ARRAY_BUFFER, m_streamVertices);
    glBufferData(GL_ARRAY_BUFFER, draw.userVertexBytes, draw.userVertices, GL_STREAM_DRAW);
  }
  for (const D3DVERTEXELEMENT9& e : elements) {
    // A vertex program reads the elements by usage and index at the places it was linked with.
    const int location =
        vertexProgram ? vertexProgram->InputLocation(e.Usage, e.UsageIndex) : CVertexDeclaration9::Location(e);
    if (location == ATTRIBUTE_NONE) continue;
    size_t offset = e.Offset;
    GLsizei stride;
    if (draw.userVertices) {
      stride = static_cast<GLsizei>(draw.userStride);
    } else {
      const SStreamSource& stream = state.streams[e.Stream];
      glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(draw.streamBuffers[e.Stream]));
      stride = static_cast<GLsizei>(stream.stride);
      offset += stream.offset;
    }
    const SAttributeFormat format = AttributeFormat(e.Type);
    // A stride of 0 repeats the first vertex; to GL it would mean tightly packed. One value for
    // every vertex is what a per-instance attribute gives in a draw of one instance.
    glVertexAttribDivisor(static_cast<GLuint>(location), stride == 0 ? 1 : 0);
    glEnableVertexAttribArray(static_cast<GLuint>(location));
    glVertexAttribPointer(static_cast<GLuint>(location), format.size, format.type, format.normalized, stride,
                          reinterpret_cast<const void*>(offset));
  }
}

unsigned CGLBackend::ShaderObject(unsigned type, const std::string& source) {
  auto found = m_shaderObjects.find(source);
  if (found != m_shaderObjects.end()) return found->second;
  GLuint shader = glCreateShader(type);
  const char* text = source.c_str();
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char log[2048];
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    fprintf(stderr, "zkplatform: shader failed to compile:\n%s\n%s\n", log, text);
  }
  m_shaderObjects.emplace(source, shader);
  return shader;
}

unsigned CGLBackend::TranslatedShaderObject(const CShaderTranslation& translation) {
  auto found = m_translatedShaders.find(translation.Id());
  if (found != m_translatedShaders.end()) return found->second;
  const unsigned shader = ShaderObject(translation.Kind() == SHADER_VERTEX ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER,
                                       translation.Source());
  m_translatedShaders.emplace(translation.Id(), shader);
  return shader;
}

CGLBackend::SProgram& CGLBackend::LinkedProgram(unsigned vertexShader, unsigned fragmentShader,
                                                const CShaderTranslation* vertexProgram) {
  const auto pair = std::make_pair(vertexShader, fragmentShader);
  auto found = m_linkedPrograms.find(pair);
  if (found != m_linkedPrograms.end()) return found->second;
  SProgram program;
  program.name = glCreateProgram();
  glAttachShader(program.name, vertexShader);
  glAttachShader(program.name, fragmentShader);
  if (vertexProgram) {
    for (const SShaderInput& input : vertexProgram->Inputs()) {
      const int location = vertexProgram->InputLocation(input.usage, input.usageIndex);
      if (location >= 0) glBindAttribLocation(program.name, static_cast<GLuint>(location), input.name.c_str());
    }
  } else {
    glBindAttribLocation(program.name, ATTRIBUTE_POSITION, "a_position");
    glBindAttribLocation(program.name, ATTRIBUTE_NORMAL, "a_normal");
    glBindAttribLocation(program.name, ATTRIBUTE_COLOR0, "a_color0");
    glBindAttribLocation(program.name, ATTRIBUTE_COLOR1, "a_color1");
    for (int i = 0; i < 8; ++i) {
      char name[16];
      snprintf(name, sizeof name, "a_texcoord%d", i);
      glBindAttribLocation(program.name, ATTRIBUTE_TEXCOORD0 + i, name);
    }
  }
  glLinkProgram(program.name);
  GLint linked = 0;
  glGetProgramiv(program.name, GL_LINK_STATUS, &linked);
  program.linked = linked != 0;
  if (!linked) {
    char log[2048];
    glGetProgramInfoLog(program.name, sizeof log, nullptr, log);
    fprintf(stderr, "zkplatform: program failed to link:\n%s\n", log);
  }
  return m_linkedPrograms.emplace(pair, std::move(program)).first->second;
}

CGLBackend::SProgram& CGLBackend::ProgramFor(const SFixedFunctionKey& key, const CShaderTranslation* vertexProgram,
                                             const CShaderTranslation* pixelProgram) {
  const uint64_t ids[2] = {vertexProgram ? vertexProgram->Id() : 0, pixelProgram ? pixelProgram->Id() : 0};
  // Draws in a row mostly share their program: the key is compared before it is hashed.
  // Translation ids start at 1, so 0 stands for no program.
  const bool sameAsLast = m_lastProgram && m_lastIds[0] == ids[0] && m_lastIds[1] == ids[1] &&
                          memcmp(&key, &m_lastKey, sizeof key) == 0;
  if (sameAsLast) return *m_lastProgram;
  SProgram& program = CachedProgramFor(key, vertexProgram, pixelProgram, ids);
  m_lastKey = key;
  m_lastIds[0] = ids[0];
  m_lastIds[1] = ids[1];
  m_lastProgram = &program;
  return program;
}

CGLBackend::SProgram& CGLBackend::CachedProgramFor(const SFixedFunctionKey& key,
                                                   const CShaderTranslation* vertexProgram,
                                                   const CShaderTranslation* pixelProgram, const uint64_t* ids) {
  std::string bytes = CFixedFunctionProgram::KeyBytes(key);
  auto& cache = vertexProgram || pixelProgram ? m_mixedPrograms : m_fixedFunctionPrograms;
  if (vertexProgram || pixelProgram) bytes.append(reinterpret_cast<const char*>(ids), 2 * sizeof ids[0]);
  auto found = cache.find(bytes);
  if (found != cache.end()) return *found->second;
  // Each half is compiled once per distinct source, so a translated shader program can be
  // linked with the fixed-function half it is paired with.
  const unsigned vertex = vertexProgram ? TranslatedShaderObject(*vertexProgram)
                                        : ShaderObject(GL_VERTEX_SHADER, CFixedFunctionProgram::VertexSource(key));
  const unsigned fragment = pixelProgram
                                ? TranslatedShaderObject(*pixelProgram)
                                : ShaderObject(GL_FRAGMENT_SHADER, CFixedFunctionProgram::FragmentSource(key));
  SProgram& program = LinkedProgram(vertex, fragment, vertexProgram);
  cache.emplace(std::move(bytes), &program);
  return program;
}

int CGLBackend::Uniform(SProgram& program, const char* name) {
  auto found = program.uniforms.find(name);
  if (found != program.uniforms.end()) return found->second;
  const int location = glGetUniformLocation(program.name, name);
  program.uniforms.emplace(name, location);
  return location;
}

namespace {

enum EUniformShape : uint8_t { SHAPE_FLOAT, SHAPE_VEC2, SHAPE_VEC3, SHAPE_VEC4, SHAPE_MAT3, SHAPE_MAT4 };
constexpr int kShapeFloats[] = {1, 2, 3, 4, 9, 16};

struct SFixedUniformName {
  const char* name;
  EUniformShape shape;
};

// In the order of CGLBackend::EFixedUniform.
constexpr SFixedUniformName kFixedUniforms[] = {
    {"u_world", SHAPE_MAT4},          {"u_view", SHAPE_MAT4},          {"u_proj", SHAPE_MAT4},
    {"u_worldViewProj", SHAPE_VEC4},  {"u_normalMatrix", SHAPE_MAT3},  {"u_viewport", SHAPE_VEC4},
    {"u_depthRange", SHAPE_VEC2},     {"u_texMatrix", SHAPE_MAT4},     {"u_stageConstant", SHAPE_VEC4},
    {"u_bumpEnv", SHAPE_VEC4},        {"u_bumpLuminance", SHAPE_VEC2}, {"u_matDiffuse", SHAPE_VEC4},
    {"u_matAmbient", SHAPE_VEC4},     {"u_matSpecular", SHAPE_VEC4},   {"u_matEmissive", SHAPE_VEC4},
    {"u_matPower", SHAPE_FLOAT},      {"u_globalAmbient", SHAPE_VEC4}, {"u_lightDiffuse", SHAPE_VEC4},
    {"u_lightSpecular", SHAPE_VEC4},  {"u_lightAmbient", SHAPE_VEC4},  {"u_lightPosition", SHAPE_VEC3},
    {"u_lightDirection", SHAPE_VEC3}, {"u_lightAtten", SHAPE_VEC4},    {"u_lightSpot", SHAPE_VEC3},
    {"u_tfactor", SHAPE_VEC4},        {"u_fog", SHAPE_VEC4},           {"u_fogColor", SHAPE_VEC4},
    {"u_fogEyeDepth", SHAPE_FLOAT},
};

}  // namespace

void CGLBackend::FindFixedUniforms(SProgram& p) {
  static_assert(std::size(kFixedUniforms) == FIXED_UNIFORM_COUNT, "one name for each fixed uniform");
  for (size_t i = 0; i < std::size(kFixedUniforms); ++i)
    p.fixedLocations[i] = glGetUniformLocation(p.name, kFixedUniforms[i].name);
  // Sampler n reads texture unit n in every program of the back end, for good.
  static const char* const kSamplers[kMaxStages] = {"u_sampler0", "u_sampler1", "u_sampler2", "u_sampler3",
                                                    "u_sampler4", "u_sampler5", "u_sampler6", "u_sampler7"};
  for (UINT i = 0; i < kMaxStages; ++i) {
    const int location = glGetUniformLocation(p.name, kSamplers[i]);
    if (location >= 0) glUniform1i(location, static_cast<GLint>(i));
  }
  p.fixedLocationsKnown = true;
}

void CGLBackend::SendFixed(SProgram& p, EFixedUniform uniform, const float* values, int count) {
  const int location = p.fixedLocations[uniform];
  if (location < 0) return;
  const EUniformShape shape = kFixedUniforms[uniform].shape;
  const size_t bytes = static_cast<size_t>(count) * kShapeFloats[shape] * sizeof(float);
  std::vector<uint8_t>& sent = p.fixedSent[uniform];
  if (sent.size() == bytes && memcmp(sent.data(), values, bytes) == 0) return;
  sent.assign(reinterpret_cast<const uint8_t*>(values), reinterpret_cast<const uint8_t*>(values) + bytes);
  switch (shape) {
    case SHAPE_FLOAT: glUniform1fv(location, count, values); break;
    case SHAPE_VEC2: glUniform2fv(location, count, values); break;
    case SHAPE_VEC3: glUniform3fv(location, count, values); break;
    case SHAPE_VEC4: glUniform4fv(location, count, values); break;
    case SHAPE_MAT3: glUniformMatrix3fv(location, count, GL_FALSE, values); break;
    case SHAPE_MAT4: glUniformMatrix4fv(location, count, GL_FALSE, values); break;
  }
}

void CGLBackend::SetUniforms(SProgram& p, const CDeviceState& state, const SFixedFunctionKey& key) {
  if (!p.fixedLocationsKnown) FindFixedUniforms(p);
  auto has = [&](EFixedUniform uniform) { return p.fixedLocations[uniform] >= 0; };
  auto matrix = [&](EFixedUniform uniform, const D3DMATRIX& m) { SendFixed(p, uniform, &m.m[0][0], 1); };
  auto dwordColor = [&](EFixedUniform uniform, D3DCOLOR c) {
    float rgba[4];
    ColorOf(c, rgba);
    SendFixed(p, uniform, rgba, 1);
  };
  const D3DMATRIX& world = state.transforms[TRANSFORM_WORLD];
  const D3DMATRIX& view = state.transforms[TRANSFORM_VIEW];
  const D3DMATRIX& projection = state.transforms[TRANSFORM_PROJECTION];
  matrix(UNIFORM_WORLD, world);
  matrix(UNIFORM_VIEW, view);
  matrix(UNIFORM_PROJ, projection);
  if (has(UNIFORM_WORLD_VIEW_PROJ)) {
    // The combined matrix's columns, as a vertex shader's m4x4 reads them from four registers.
    const D3DMATRIX worldViewProj = Multiply(Multiply(world, view), projection);
    float columns[4][4];
    for (int column = 0; column < 4; ++column)
      for (int row = 0; row < 4; ++row) columns[column][row] = worldViewProj.m[row][column];
    SendFixed(p, UNIFORM_WORLD_VIEW_PROJ, &columns[0][0], 4);
  }
  if (has(UNIFORM_NORMAL_MATRIX)) {
    float normal[9];
    NormalMatrix(Multiply(world, view), normal);
    SendFixed(p, UNIFORM_NORMAL_MATRIX, normal, 1);
  }
  const D3DVIEWPORT9& vp = state.viewport;
  const float viewport[4] = {static_cast<float>(vp.X), static_cast<float>(vp.Y), static_cast<float>(vp.Width),
                             static_cast<float>(vp.Height)};
  SendFixed(p, UNIFORM_VIEWPORT, viewport, 1);
  const float depthRange[2] = {vp.MinZ, vp.MaxZ};
  SendFixed(p, UNIFORM_DEPTH_RANGE, depthRange, 1);
  // Per-stage values go up as one array each.
  if (has(UNIFORM_TEX_MATRIX)) {
    float textureMatrices[kMaxStages][16];
    for (UINT i = 0; i < kMaxStages; ++i)
      memcpy(textureMatrices[i], &state.transforms[TRANSFORM_TEXTURE0 + i], sizeof textureMatrices[i]);
    SendFixed(p, UNIFORM_TEX_MATRIX, &textureMatrices[0][0], kMaxStages);
  }
  if (has(UNIFORM_STAGE_CONSTANT)) {
    float constants[kMaxStages][4];
    for (UINT i = 0; i < kMaxStages; ++i) ColorOf(state.stageStates[i][D3DTSS_CONSTANT], constants[i]);
    SendFixed(p, UNIFORM_STAGE_CONSTANT, &constants[0][0], kMaxStages);
  }
  if (has(UNIFORM_BUMP_ENV) || has(UNIFORM_BUMP_LUMINANCE)) {
    float bumpMatrices[kMaxStages][4];
    float bumpLuminance[kMaxStages][2];
    for (UINT i = 0; i < kMaxStages; ++i) {
      memcpy(bumpMatrices[i], &state.stageStates[i][D3DTSS_BUMPENVMAT00], sizeof bumpMatrices[i]);
      memcpy(&bumpLuminance[i][0], &state.stageStates[i][D3DTSS_BUMPENVLSCALE], sizeof(float));
      memcpy(&bumpLuminance[i][1], &state.stageStates[i][D3DTSS_BUMPENVLOFFSET], sizeof(float));
    }
    SendFixed(p, UNIFORM_BUMP_ENV, &bumpMatrices[0][0], kMaxStages);
    SendFixed(p, UNIFORM_BUMP_LUMINANCE, &bumpLuminance[0][0], kMaxStages);
  }
  if (key.lighting) {
    const D3DMATERIAL9& mat = state.material;
    SendFixed(p, UNIFORM_MAT_DIFFUSE, &mat.Diffuse.r, 1);
    SendFixed(p, UNIFORM_MAT_AMBIENT, &mat.Ambient.r, 1);
    SendFixed(p, UNIFORM_MAT_SPECULAR, &mat.Specular.r, 1);
    SendFixed(p, UNIFORM_MAT_EMISSIVE, &mat.Emissive.r, 1);
    SendFixed(p, UNIFORM_MAT_POWER, &mat.Power, 1);
    dwordColor(UNIFORM_GLOBAL_AMBIENT, state.renderStates[D3DRS_AMBIENT]);
    float diffuse[kMaxActiveLights][4], specular[kMaxActiveLights][4], ambient[kMaxActiveLights][4];
    float attenuation[kMaxActiveLights][4], position[kMaxActiveLights][3], direction[kMaxActiveLights][3];
    float spot[kMaxActiveLights][3];
    int count = 0;
    for (const SLightSlot& slot : state.lights) {
      if (!slot.enabled || count >= key.lightCount) continue;
      const D3DLIGHT9& light = slot.light;
      memcpy(diffuse[count], &light.Diffuse, sizeof diffuse[count]);
      memcpy(specular[count], &light.Specular, sizeof specular[count]);
      memcpy(ambient[count], &light.Ambient, sizeof ambient[count]);
      // Lights are given in world space; the program lights in view space.
      TransformPoint(light.Position, view, position[count]);
      TransformDirection(light.Direction, view, direction[count]);
      const float a[4] = {light.Attenuation0, light.Attenuation1, light.Attenuation2, light.Range};
      memcpy(attenuation[count], a, sizeof a);
      spot[count][0] = std::cos(light.Theta / 2.f);
      spot[count][1] = std::cos(light.Phi / 2.f);
      spot[count][2] = light.Falloff;
      ++count;
    }
    if (count > 0) {
      SendFixed(p, UNIFORM_LIGHT_DIFFUSE, &diffuse[0][0], count);
      SendFixed(p, UNIFORM_LIGHT_SPECULAR, &specular[0][0], count);
      SendFixed(p, UNIFORM_LIGHT_AMBIENT, &ambient[0][0], count);
      SendFixed(p, UNIFORM_LIGHT_POSITION, &position[0][0], count);
      SendFixed(p, UNIFORM_LIGHT_DIRECTION, &direction[0][0], count);
      SendFixed(p, UNIFORM_LIGHT_ATTEN, &attenuation[0][0], count);
      SendFixed(p, UNIFORM_LIGHT_SPOT, &spot[0][0], count);
    }
  }
  dwordColor(UNIFORM_TFACTOR, state.renderStates[D3DRS_TEXTUREFACTOR]);
  const float fog[4] = {state.RenderStateFloat(D3DRS_FOGSTART), state.RenderStateFloat(D3DRS_FOGEND),
                        state.RenderStateFloat(D3DRS_FOGDENSITY), 0.f};
  SendFixed(p, UNIFORM_FOG, fog, 1);
  dwordColor(UNIFORM_FOG_COLOR, state.renderStates[D3DRS_FOGCOLOR]);
  const float eyeDepth = projection._34 != 0.f ? 1.f : 0.f;
  SendFixed(p, UNIFORM_FOG_EYE_DEPTH, &eyeDepth, 1);
}

namespace {

// The values of a compiled program's uniform in component order (columns, then elements),
// read from its registers; false when the registers run past the file.
bool GatherRegisters(const SBlobConstant& c, const SShaderRegisterFiles& files, std::vector<double>* values) {
  if (c.rows < 1 || c.rows > 4 || c.columns < 1 || c.columns > 4 || c.elements == 0 || c.elements > 256)
    return false;
  auto fits = [&](UINT size) { return c.firstRegister <= size && c.registerCount <= size - c.firstRegister; };
  switch (c.registerSet) {
    case BLOB_REGISTERS_FLOAT:
      // Each column (or vector) takes its first `rows` components from one register.
      if (c.registerCount != c.columns * c.elements || !fits(files.floatCount)) return false;
      for (UINT r = 0; r < c.registerCount; ++r)
        for (UINT k = 0; k < c.rows; ++k) values->push_back(files.floats[c.firstRegister + r][k]);
      return true;
    case BLOB_REGISTERS_INTEGER:
      if (c.columns != 1 || c.registerCount != c.elements || !fits(kShaderIntegerConstants)) return false;
      for (UINT r = 0; r < c.registerCount; ++r)
        for (UINT k = 0; k < c.rows; ++k) values->push_back(files.integers[c.firstRegister + r][k]);
      return true;
    case BLOB_REGISTERS_BOOLEAN:
      if (c.columns != 1 || c.registerCount != c.rows * c.elements || !fits(kShaderBooleanConstants)) return false;
      for (UINT r = 0; r < c.registerCount; ++r) values->push_back(files.booleans[c.firstRegister + r] ? 1 : 0);
      return true;
    default:
      return false;
  }
}

void UploadIntegers(GLint location, UINT rows, GLsizei count, const std::vector<double>& values) {
  std::vector<GLint> data;
  for (double v : values) data.push_back(static_cast<GLint>(v));
  switch (rows) {
    case 1:
      glUniform1iv(location, count, data.data());
      break;
    case 2:
      glUniform2iv(location, count, data.data());
      break;
    case 3:
      glUniform3iv(location, count, data.data());
      break;
    default:
      glUniform4iv(location, count, data.data());
      break;
  }
}

// A Boolean is any register value other than zero.
void UploadBooleans(GLint location, UINT rows, GLsizei count, const std::vector<double>& values) {
  std::vector<GLuint> data;
  for (double v : values) data.push_back(v != 0 ? 1u : 0u);
  switch (rows) {
    case 1:
      glUniform1uiv(location, count, data.data());
      break;
    case 2:
      glUniform2uiv(location, count, data.data());
      break;
    case 3:
      glUniform3uiv(location, count, data.data());
      break;
    default:
      glUniform4uiv(location, count, data.data());
      break;
  }
}

void UploadFloats(GLint location, UINT columns, UINT rows, GLsizei count, const std::vector<double>& values) {
  const std::vector<float> floats(values.begin(), values.end());
  const float* data = floats.data();
  if (columns == 1) {
    switch (rows) {
      case 1:
        glUniform1fv(location, count, data);
        break;
      case 2:
        glUniform2fv(location, count, data);
        break;
      case 3:
        glUniform3fv(location, count, data);
        break;
      default:
        glUniform4fv(location, count, data);
        break;
    }
    return;
  }
  switch (columns * 10 + rows) {
    case 22:
      glUniformMatrix2fv(location, count, GL_FALSE, data);
      break;
    case 23:
      glUniformMatrix2x3fv(location, count, GL_FALSE, data);
      break;
    case 24:
      glUniformMatrix2x4fv(location, count, GL_FALSE, data);
      break;
    case 32:
      glUniformMatrix3x2fv(location, count, GL_FALSE, data);
      break;
    case 33:
      glUniformMatrix3fv(location, count, GL_FALSE, data);
      break;
    case 34:
      glUniformMatrix3x4fv(location, count, GL_FALSE, data);
      break;
    case 42:
      glUniformMatrix4x2fv(location, count, GL_FALSE, data);
      break;
    case 43:
      glUniformMatrix4x3fv(location, count, GL_FALSE, data);
      break;
    default:
      glUniformMatrix4fv(location, count, GL_FALSE, data);
      break;
  }
}

}  // namespace

void CGLBackend::UploadNamedConstant(SProgram& p, const SBlobConstant& c, const SShaderRegisterFiles& files) {
  std::vector<double> values;
  if (!GatherRegisters(c, files, &values)) return;
  const GLint location = Uniform(p, c.name.c_str());
  const GLsizei count = static_cast<GLsizei>(c.elements);
  switch (c.valueType) {
    case BLOB_VALUE_INT:
      if (c.columns == 1) UploadIntegers(location, c.rows, count, values);
      break;
    case BLOB_VALUE_UINT:
      if (c.columns == 1) UploadBooleans(location, c.rows, count, values);
      break;
    default:
      UploadFloats(location, c.columns, c.rows, count, values);
      break;
  }
}

void CGLBackend::SetShaderConstants(SProgram& p, const CShaderTranslation& shader, const SShaderRegisterFiles& files) {
  const float (*floats)[4] = files.floats;
  const int (*integers)[4] = files.integers;
  const BOOL* booleans = files.booleans;
  const UINT floatCount = files.floatCount;
  // Each register file goes up as one array, gathered from the ranges the program reads.
  const SRegisterFile& f = shader.FloatRegisters();
  if (f.arraySize > 0) {
    std::vector<float> values(static_cast<size_t>(f.arraySize) * 4, 0.f);
    for (const SRegisterRange& r : f.ranges)
      for (UINT i = 0; i < r.count && r.firstRegister + i < floatCount; ++i)
        memcpy(&values[(r.slot + i) * 4], floats[r.firstRegister + i], sizeof floats[0]);
    glUniform4fv(Uniform(p, f.arrayName.c_str()), static_cast<GLsizei>(f.arraySize), values.data());
  }
  const SRegisterFile& n = shader.IntegerRegisters();
  if (n.arraySize > 0) {
    std::vector<GLint> values(static_cast<size_t>(n.arraySize) * 4, 0);
    for (const SRegisterRange& r : n.ranges)
      for (UINT i = 0; i < r.count && r.firstRegister + i < kShaderIntegerConstants; ++i)
        memcpy(&values[(r.slot + i) * 4], integers[r.firstRegister + i], sizeof integers[0]);
    glUniform4iv(Uniform(p, n.arrayName.c_str()), static_cast<GLsizei>(n.arraySize), values.data());
  }
  const SRegisterFile& b = shader.BooleanRegisters();
  if (b.arraySize > 0) {
    std::vector<GLint> values(b.arraySize, 0);
    for (const SRegisterRange& r : b.ranges)
      for (UINT i = 0; i < r.count && r.firstRegister + i < kShaderBooleanConstants; ++i)
        values[r.slot + i] = booleans[r.firstRegister + i] ? 1 : 0;
    glUniform1iv(Uniform(p, b.arrayName.c_str()), static_cast<GLsizei>(b.arraySize), values.data());
  }
  for (const SBlobConstant& c : shader.NamedConstants()) UploadNamedConstant(p, c, files);
  for (const SShaderSampler& sampler : shader.Samplers())
    glUniform1i(Uniform(p, sampler.name.c_str()), static_cast<GLint>(sampler.slot));
}

void CGLBackend::Draw(const CDeviceState& state, const SDrawCall& draw) {
  MakeCurrent();
  BindTargets(draw.targets, draw.depthStencil);
  ApplyRenderStates(state, draw.depthStencil.handle != 0, draw.declaration->IsPreTransformed());
  ETextureKind kinds[kMaxSamplers];
  for (UINT i = 0; i < kMaxSamplers; ++i) {
    const CBaseTexture* texture = state.textures[i];
    kinds[i] = !texture ? TEXTURE_NONE : texture->IsCube() ? TEXTURE_CUBE : TEXTURE_2D;
  }
  ApplySamplers(state, kinds);
  const CShaderTranslation* vertexProgram = state.vertexShader ? &state.vertexShader->Translation() : nullptr;
  const CShaderTranslation* pixelProgram = state.pixelShader ? &state.pixelShader->Translation() : nullptr;
  const SFixedFunctionKey key = CFixedFunctionProgram::BuildKey(state, *draw.declaration, kinds,
                                                                vertexProgram != nullptr, pixelProgram != nullptr);
  SProgram& program = ProgramFor(key, vertexProgram, pixelProgram);
  if (!program.linked) return;  // reported when it failed; nothing sensible to draw with
  glUseProgram(program.name);
  SetUniforms(program, state, key);
  if (vertexProgram)
    SetShaderConstants(program, *vertexProgram,
                       {state.vertexConstantsF, kVertexShaderFloatConstants, state.vertexConstantsI,
                        state.vertexConstantsB});
  if (pixelProgram)
    SetShaderConstants(program, *pixelProgram,
                       {state.pixelConstantsF, kPixelShaderFloatConstants, state.pixelConstantsI,
                        state.pixelConstantsB});
  BindVertexInput(state, draw, vertexProgram);
  const GLenum mode = PrimitiveMode(draw.type);
  const GLsizei count = static_cast<GLsizei>(draw.vertexCount);
  if (!draw.indexed) {
    glDrawArrays(mode, static_cast<GLint>(draw.startVertex), count);
    return;
  }
  const GLenum indexType = draw.indexSize == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT;
  size_t offset = static_cast<size_t>(draw.startIndex) * draw.indexSize;
  if (draw.userIndices) {
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_streamIndices);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, draw.userIndexBytes, draw.userIndices, GL_STREAM_DRAW);
    offset = 0;
  } else {
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLuint>(draw.indexBuffer));
  }
  glDrawElementsBaseVertex(mode, count, indexType, reinterpret_cast<const void*>(offset), draw.baseVertex);
}

bool CGLBackend::ReadTarget(const STargetRef& target, void* data, UINT pitch) {
  if (!target.handle || target.isDepthBuffer || !target.format || target.format->blockSize > 1) return false;
  MakeCurrent();
  glBindFramebuffer(GL_FRAMEBUFFER, m_readFramebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, FaceTarget(target), static_cast<GLuint>(target.handle),
                         static_cast<GLint>(target.level));
  glReadBuffer(GL_COLOR_ATTACHMENT0);
  glPixelStorei(GL_PACK_ROW_LENGTH, static_cast<GLint>(pitch / target.format->blockBytes));
  // Rows come bottom first in GL's terms, which is Direct3D's top row first here; the upload
  // description of the format is also its layout in memory.
  glReadPixels(0, 0, static_cast<GLsizei>(target.width), static_cast<GLsizei>(target.height),
               target.format->glFormat, target.format->glType, data);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0);
  return glGetError() == GL_NO_ERROR;
}

void CGLBackend::CopyTarget(const STargetRef& source, const RECT& sourceRect, const STargetRef& dest,
                            const RECT& destRect, bool linear) {
  MakeCurrent();
  glBindFramebuffer(GL_FRAMEBUFFER, m_readFramebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, FaceTarget(source), static_cast<GLuint>(source.handle),
                         static_cast<GLint>(source.level));
  STargetRef targets[kMaxRenderTargets];
  targets[0] = dest;
  BindTargets(targets, STargetRef());
  glBindFramebuffer(GL_READ_FRAMEBUFFER, m_readFramebuffer);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_framebuffer);
  glReadBuffer(GL_COLOR_ATTACHMENT0);
  ForgetAppliedStates();
  glDisable(GL_SCISSOR_TEST);
  glColorMaski(0, GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glBlitFramebuffer(sourceRect.left, sourceRect.top, sourceRect.right, sourceRect.bottom, destRect.left, destRect.top,
                    destRect.right, destRect.bottom, GL_COLOR_BUFFER_BIT, linear ? GL_LINEAR : GL_NEAREST);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void CGLBackend::ReadShown(int width, int height, bool bottomRowFirst, ScreenPixels& shown) {
  if (width <= 0 || height <= 0) return;
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  std::vector<uint8_t> rows(rowBytes * static_cast<size_t>(height));
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
  if (glGetError() != GL_NO_ERROR) return;
  shown.width = static_cast<unsigned>(width);
  shown.height = static_cast<unsigned>(height);
  shown.rgba.resize(rows.size());
  for (size_t row = 0; row < static_cast<size_t>(height); ++row) {
    const size_t from = bottomRowFirst ? static_cast<size_t>(height) - 1 - row : row;
    std::memcpy(&shown.rgba[row * rowBytes], &rows[from * rowBytes], rowBytes);
  }
  // A screen has no alpha.
  for (size_t alpha = 3; alpha < shown.rgba.size(); alpha += 4) shown.rgba[alpha] = 0xFF;
}

void CGLBackend::Present(const STargetRef& backBuffer, ScreenPixels* shown) {
  MakeCurrent();
  glBindFramebuffer(GL_READ_FRAMEBUFFER, m_readFramebuffer);
  glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                         static_cast<GLuint>(backBuffer.handle), 0);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glDrawBuffer(GL_BACK);
  ForgetAppliedStates();
  glDisable(GL_SCISSOR_TEST);
  glColorMaski(0, GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  int width = 0, height = 0;
  SDL_GL_GetDrawableSize(m_window, &width, &height);
  // Memory row 0 is the top of the picture; the window's row 0 is its bottom.
  glBlitFramebuffer(0, 0, static_cast<GLint>(backBuffer.width), static_cast<GLint>(backBuffer.height), 0, height, width,
                    0, GL_COLOR_BUFFER_BIT, GL_LINEAR);
  if (shown) {
    // The window shows the back buffer as it is when their sizes agree: the picture is read from
    // the back buffer then, since an offscreen window's surface keeps the size it was made with
    // when the window is resized later. Otherwise the window is read, its row 0 at the bottom.
    const bool backBufferShown = width == static_cast<int>(backBuffer.width) &&
                                 height == static_cast<int>(backBuffer.height);
    if (backBufferShown) {
      glReadBuffer(GL_COLOR_ATTACHMENT0);
    } else {
      glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
      glReadBuffer(GL_BACK);
    }
    ReadShown(width, height, !backBufferShown, *shown);
  }
  SDL_GL_SwapWindow(m_window);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
