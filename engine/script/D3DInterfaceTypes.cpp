#include "script/D3DInterfaceTypes.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ZeKorbD3DHeader.h"
#include "core/FatalError.h"
#include "script/ScriptArrays.h"
#include "script/ScriptGlue.h"
#include "script/ScriptKeptData.h"
#include "script/ScriptRegistrar.h"
#include "script/ScriptTypeRows.h"

using namespace AngelScript;
using ScriptArrays::CScriptArray;
using ScriptArrays::Holds;
using ScriptGlue::Function;
using ScriptGlue::Method;
using ScriptGlue::Overload;

namespace {

constexpr asDWORD kObjFirst = asCALL_CDECL_OBJFIRST;
constexpr auto kInterface = CScriptTypeRows::kInterface;

// ---- vertex declarations

CScriptArray* GetVertexElement(CVertexDeclarationInterface* declaration) {
  const D3DVERTEXELEMENT9* elements = declaration->GetVertexElement();
  if (elements == nullptr) return nullptr;
  asUINT count = 0;
  while (!ScriptArrays::IsEndElement(elements[count])) ++count;
  return ScriptArrays::Copy("array<D3DVERTEXELEMENT9>", elements, count + 1);
}

CVertexDeclarationInterface* CreateVertexDeclaration(CVertexDeclarationStorageInterface* storage,
                                                     CScriptArray* elements) {
  std::vector<D3DVERTEXELEMENT9> layout = ScriptArrays::Elements(elements);
  return layout.empty() ? nullptr : storage->CreateVertexDeclaration(layout.data());
}

bool RegisterVertexDeclarations(CScriptRegistrar& registrar) {
  CScriptTypeRows d(registrar, "CVertexDeclarationInterface", kInterface);
  d.Type(0, ScriptGlue::kEngineObjectFlags);
  d.Method("array<D3DVERTEXELEMENT9>@ GetVertexElement()", Function<&GetVertexElement>(kObjFirst));
  d.Method("void Set()", Method<&CVertexDeclarationInterface::Set>());

  CScriptTypeRows s(registrar, "CVertexDeclarationStorageInterface", kInterface);
  s.Type(0, ScriptGlue::kEngineObjectFlags);
  s.Method("CVertexDeclarationInterface@ CreateVertexDeclaration(array<D3DVERTEXELEMENT9>@)",
           Function<&CreateVertexDeclaration>(kObjFirst));
  s.Method("void SetFVF(uint)", Method<&CVertexDeclarationStorageInterface::SetFVF>());
  return registrar.Succeeded();
}

// ---- index buffers

void SetIndicesSource(CIndexBufferInterface* buffer, CScriptArray* indices, UINT number) {
  if (Holds(indices, number)) buffer->SetIndicesSource(ScriptArrays::Data<WORD>(indices), number);
}

UINT Compare(CIndexBufferInterface* buffer, CScriptArray* indices, UINT number, UINT unique) {
  if (!Holds(indices, number)) return 0;
  return buffer->Compare(ScriptArrays::Data<WORD>(indices), number, unique);
}

// A copy: the script may change it without touching the buffer.
CScriptArray* GetIndicesPointer(CIndexBufferInterface* buffer) {
  const WORD* indices = buffer->GetIndicesPointer();
  return ScriptArrays::Copy("array<uint16>", indices, indices ? buffer->GetNumberOfIndices() : 0);
}

// Scripts make static buffers only.
CIndexBufferInterface* CreateIndexBuffer(CIndexBufferStorageInterface* storage,
                                         const char* meshOwner, const char* surfaceOwner,
                                         CScriptArray* indices, UINT number, UINT unique) {
  if (!Holds(indices, number)) return nullptr;
  return storage->CreateIndexBuffer(meshOwner, surfaceOwner, ScriptArrays::Data<WORD>(indices),
                                    number, unique, 0);
}

bool RegisterIndexBuffers(CScriptRegistrar& registrar) {
  using Buffer = CIndexBufferInterface;
  CScriptTypeRows b(registrar, "CIndexBufferInterface", kInterface);
  b.Type(0, ScriptGlue::kEngineObjectFlags);
  b.Method("void SetIndicesSource(array<uint16>@, uint)", Function<&SetIndicesSource>(kObjFirst));
  b.Method("uint Set()", Method<&Buffer::Set>());
  b.Method("uint Compare(array<uint16>@, uint, uint)", Function<&Compare>(kObjFirst));
  b.Method("bstr GetMeshOwner()", Method<&Buffer::GetMeshOwner>());
  b.Method("bstr GetSurfaceOwner()", Method<&Buffer::GetSurfaceOwner>());
  b.Method("array<uint16>@ GetIndicesPointer()", Function<&GetIndicesPointer>(kObjFirst));
  b.Method("uint GetNumberOfIndices()", Method<&Buffer::GetNumberOfIndices>());

  using Storage = CIndexBufferStorageInterface;
  CScriptTypeRows s(registrar, "CIndexBufferStorageInterface", kInterface);
  s.Type(0, ScriptGlue::kEngineObjectFlags);
  s.Method("CIndexBufferInterface@ CreateIndexBuffer(const bstr &in, const bstr &in, "
           "array<uint16>@, uint, uint)",
           Function<&CreateIndexBuffer>(kObjFirst));
  s.Method("uint GetNumberOfIndexBuffers()", Method<&Storage::GetNumberOfIndexBuffers>());
  s.Method("CIndexBufferInterface@ GetIndexBuffer(uint)", Method<&Storage::GetIndexBuffer>());
  return registrar.Succeeded();
}

// ---- shaders

// The name is held inside the record; scripts read a copy and write at most what fits.
bstr GetParameterName(const ShaderParameter* parameter) {
  return bstr(parameter->szParameterName,
              strnlen(parameter->szParameterName, sizeof parameter->szParameterName));
}
void SetParameterName(ShaderParameter* parameter, const bstr& name) {
  const size_t length = std::min(name.size(), sizeof parameter->szParameterName - 1);
  std::memcpy(parameter->szParameterName, name.data(), length);
  std::memset(parameter->szParameterName + length, 0, sizeof parameter->szParameterName - length);
}

// Shaders from their own file or from a shader bank file, for either storage.
template <typename Storage, typename Shader>
Shader* CreateShaderFromFile(Storage* storage, const char* file, CScriptArray* parameters,
                             UINT count) {
  std::vector<ShaderParameter> records;
  if (!ScriptArrays::ShaderParameters(parameters, count, records)) return nullptr;
  return storage->CreateShader(file, records.empty() ? nullptr : records.data(), count);
}
template <typename Storage, typename Shader>
Shader* CreateShaderFromBank(Storage* storage, const char* file, const char* name,
                             CScriptArray* parameters, UINT count) {
  std::vector<ShaderParameter> records;
  if (!ScriptArrays::ShaderParameters(parameters, count, records)) return nullptr;
  return storage->CreateShader(file, name, records.empty() ? nullptr : records.data(), count);
}

template <typename Storage, typename Shader>
void RegisterShaderStorage(CScriptTypeRows& s, const char* shaderType) {
  const std::string handle = std::string(shaderType) + "@";
  s.Type(0, ScriptGlue::kEngineObjectFlags);
  s.Method((handle + " CreateShader(const bstr &in, array<ShaderParameter>@, uint)").c_str(),
           Function<&CreateShaderFromFile<Storage, Shader>>(kObjFirst));
  s.Method((handle + " CreateShader(const bstr &in, const bstr &in, array<ShaderParameter>@, "
                     "uint)")
               .c_str(),
           Function<&CreateShaderFromBank<Storage, Shader>>(kObjFirst));
  // A null shader selects none.
  s.Method(("void SetShader(" + handle + ")").c_str(), Method<&Storage::SetShader>());
}

template <typename Shader>
void RegisterShader(CScriptTypeRows& s, const char* setDeclaration, const ScriptCall& set) {
  s.Type(0, ScriptGlue::kEngineObjectFlags);
  s.Method(setDeclaration, set);
  s.Method("bstr GetShaderName()", Method<&Shader::GetShaderName>());
  // Past the count the shader logs; the script stops.
  s.Method("ShaderParameter &GetShaderParameter(uint)", Method<&Shader::GetShaderParameter>());
  s.Method("uint GetNumberOfShaderParameters()", Method<&Shader::GetNumberOfShaderParameters>());
}

bool RegisterVertexShaders(CScriptRegistrar& registrar) {
  CScriptTypeRows p(registrar, "ShaderParameter", CScriptTypeRows::kRecord);
  p.Type(sizeof(ShaderParameter), ScriptGlue::PlainValueFlags<ShaderParameter>(asOBJ_APP_CLASS_ALLINTS));
  p.Property("uint dwDynamicID", offsetof(ShaderParameter, dwDynamicID));
  p.Property("uint dwValue", offsetof(ShaderParameter, dwValue));
  p.Method("bstr get_szParameterName() const property", Function<&GetParameterName>(kObjFirst));
  p.Method("void set_szParameterName(const bstr &in) property",
           Function<&SetParameterName>(kObjFirst), 4);
  // A parameter a script declares has an empty, ended name.
  p.ClearingConstructor(ScriptGlue::Construct<ShaderParameter>());

  CScriptTypeRows shader(registrar, "CVertexShaderInterface", kInterface);
  RegisterShader<CVertexShaderInterface>(shader, "void Set()",
                                         Method<&CVertexShaderInterface::Set>());
  CScriptTypeRows storage(registrar, "CVertexShaderStorageInterface", kInterface);
  RegisterShaderStorage<CVertexShaderStorageInterface, CVertexShaderInterface>(
      storage, "CVertexShaderInterface");
  return registrar.Succeeded();
}

bool RegisterPixelShaders(CScriptRegistrar& registrar) {
  CScriptTypeRows shader(registrar, "CPixelShaderInterface", kInterface);
  RegisterShader<CPixelShaderInterface>(shader, "void SetShader()",
                                        Method<&CPixelShaderInterface::SetShader>());
  CScriptTypeRows storage(registrar, "CPixelShaderStorageInterface", kInterface);
  RegisterShaderStorage<CPixelShaderStorageInterface, CPixelShaderInterface>(
      storage, "CPixelShaderInterface");
  return registrar.Succeeded();
}

// ---- vertex buffers

UINT CreateCompatibleWith(CVertexBufferInterface* buffer, CScriptArray* elements) {
  std::vector<D3DVERTEXELEMENT9> layout = ScriptArrays::Elements(elements);
  return layout.empty() ? 0 : buffer->CreateCompatibleWith(layout.data());
}

// The buffer keeps pointing at the second (morph target) array, so it gets a copy kept with it.
CVertexBufferInterface* CreateVertexBuffer(CVertexBufferStorageInterface* storage,
                                           CScriptArray* vertices, CScriptArray* second,
                                           UINT count, const char* name, UINT kind) {
  if (!Holds(vertices, count) || (second != nullptr && !Holds(second, count))) return nullptr;
  std::vector<Vertex> first = ScriptArrays::Records<Vertex>(vertices, count);
  std::shared_ptr<Vertex[]> morph;
  if (second != nullptr && count > 0) {
    std::vector<Vertex> copied = ScriptArrays::Records<Vertex>(second, count);
    morph.reset(NewArrayOrFatal<Vertex>("Error While Creating VB",
                                        "Can't Copy The Second Vertices", count));
    std::copy(copied.begin(), copied.end(), morph.get());
  }
  CVertexBufferInterface* buffer = storage->CreateVertexBuffer(
      first.empty() ? nullptr : first.data(), morph.get(), count, name, kind, 0);
  if (morph) CScriptKeptData::Instance().Keep(storage, buffer, morph);
  return buffer;
}

bool RegisterVertexBuffers(CScriptRegistrar& registrar) {
  using Buffer = CVertexBufferInterface;
  CScriptTypeRows b(registrar, "CVertexBufferInterface", kInterface);
  b.Type(0, ScriptGlue::kEngineObjectFlags);
  b.Method("uint CreateCompatibleWith(array<D3DVERTEXELEMENT9>@)",
           Function<&CreateCompatibleWith>(kObjFirst));
  b.Method("void Set()", Method<&Buffer::SetStreams>());
  b.Method("bstr GetOwnerName()", Method<&Buffer::GetName>());
  b.Method("uint GetNumberOfVertices()", Method<&Buffer::GetNumberOfVertices>());

  CScriptTypeRows s(registrar, "CVertexBufferStorageInterface", kInterface);
  s.Type(0, ScriptGlue::kEngineObjectFlags);
  s.Method("CVertexBufferInterface@ CreateVertexBuffer(array<Vertex>@, array<Vertex>@, uint, "
           "const bstr &in, uint)",
           Function<&CreateVertexBuffer>(kObjFirst));
  return registrar.Succeeded();
}

// ---- the renderer

HRESULT Clear(CD3D9RendererInterface* renderer, UINT flags) { return renderer->Clear(flags, 0); }

HRESULT Flip(CD3D9RendererInterface* renderer, const HWND& window) {
  return renderer->Flip(window, 1);
}

// Constants come four values a register, Boolean ones one.
template <typename T, HRESULT (CD3D9RendererInterface::*Set)(UINT, const T*, UINT),
          std::uint64_t kPerRegister>
HRESULT SetConstants(CD3D9RendererInterface* renderer, UINT start, CScriptArray* values,
                     UINT count) {
  if (!Holds(values, std::uint64_t{count} * kPerRegister)) return D3DERR_INVALIDCALL;
  return (renderer->*Set)(start, ScriptArrays::Data<T>(values), count);
}
using Renderer = CD3D9RendererInterface;
constexpr auto kPixelF = Overload<HRESULT(UINT, const float*, UINT)>(&Renderer::SetPixelShaderConstantF);
constexpr auto kPixelB = Overload<HRESULT(UINT, const UINT*, UINT)>(&Renderer::SetPixelShaderConstantF);
constexpr auto kVertexF = Overload<HRESULT(UINT, const float*, UINT)>(&Renderer::SetVertexShaderConstantF);
constexpr auto kVertexB = Overload<HRESULT(UINT, const UINT*, UINT)>(&Renderer::SetVertexShaderConstantF);

std::uint64_t IndexSize(UINT format) { return format == D3DFMT_INDEX32 ? 4 : 2; }

void DrawIndexedPrimitiveUP(CD3D9RendererInterface* renderer, UINT type, UINT minIndex,
                            UINT vertexCount, UINT primitiveCount, CScriptArray* indices,
                            UINT indexFormat, CScriptArray* vertices, UINT stride) {
  if (!Holds(indices, IndicesOfPrimitives(type, primitiveCount) * IndexSize(indexFormat)) ||
      !Holds(vertices, std::uint64_t{vertexCount} * stride))
    return;
  renderer->DrawIndexedPrimitiveUP(type, minIndex, vertexCount, primitiveCount,
                                   ScriptArrays::Data<BYTE>(indices), indexFormat,
                                   ScriptArrays::Data<BYTE>(vertices), stride);
}

void DrawPrimitive(CD3D9RendererInterface* renderer, UINT type, UINT primitiveCount,
                   UINT vertexCount, CScriptArray* vertices, UINT stride) {
  if (!Holds(vertices, std::uint64_t{vertexCount} * stride)) return;
  renderer->DrawPrimitive(type, primitiveCount, vertexCount, ScriptArrays::Data<BYTE>(vertices),
                          stride);
}

bool RegisterRenderer(CScriptRegistrar& registrar) {
  // A window handle, passed on unchanged; a fresh one is null.
  registrar.Type("HWND", sizeof(HWND),
                 asOBJ_VALUE | asOBJ_POD | asOBJ_APP_PRIMITIVE,
                 "Can't Add HWND Type To The Script (1)");
  registrar.Behaviour("HWND", asBEHAVE_CONSTRUCT, "void f()", ScriptGlue::Construct<HWND>(),
                      "Can't Declare Contructor1 For HWND");

  CScriptTypeRows r(registrar, "CD3D9RendererInterface", kInterface);
  r.Type(0, ScriptGlue::kEngineObjectFlags);
  r.Method("uint SetViewport()", Method<&Renderer::SetViewport>());
  r.Method("uint Clear(uint)", Function<&Clear>(kObjFirst));
  r.Method("uint BeginRendering()", Method<&Renderer::BeginRendering>());
  r.Method("uint EndRendering()", Method<&Renderer::EndRendering>());
  // The renderer's own record: edited in place, applied by SetViewport().
  r.Method("D3DVIEWPORT9 &GetViewport()", Method<&Renderer::GetViewport>());
  r.Method("uint SetLightEnable(uint16, uint)", Method<&Renderer::SetLightEnable>());
  r.Method("CSpriteStorageInterface@ GetSpriteStorageInterface()",
           Method<&Renderer::GetSpriteStorageInterface>());
  r.Method("uint SetTextureStageState(uint, uint, uint)",
           Method<&Renderer::SetTextureStageState>());
  r.Method("uint SetSamplerState(uint, uint, uint)", Method<&Renderer::SetSamplerState>());
  r.Method("uint SetRenderState(uint, uint)", Method<&Renderer::SetRenderState>());
  r.Method("uint SetTransform(uint, const CMatrix &in)", Method<&Renderer::SetTransform>());
  r.Method("uint SetPixelShaderConstantF(uint, array<float>@, uint)",
           Function<&SetConstants<float, kPixelF, 4>>(kObjFirst));
  r.Method("uint SetPixelShaderConstantI(uint, array<int>@, uint)",
           Function<&SetConstants<int, &Renderer::SetPixelShaderConstantI, 4>>(kObjFirst));
  // The Boolean setters keep the name scripts have always called them by.
  r.Method("uint SetPixelShaderConstantF(uint, array<uint>@, uint)",
           Function<&SetConstants<UINT, kPixelB, 1>>(kObjFirst));
  r.Method("uint SetVertexShaderConstantF(uint, array<float>@, uint)",
           Function<&SetConstants<float, kVertexF, 4>>(kObjFirst));
  r.Method("uint SetVertexShaderConstantI(uint, array<int>@, uint)",
           Function<&SetConstants<int, &Renderer::SetVertexShaderConstantI, 4>>(kObjFirst));
  r.Method("uint SetVertexShaderConstantF(uint, array<uint>@, uint)",
           Function<&SetConstants<UINT, kVertexB, 1>>(kObjFirst));
  r.Method("void DrawIndexedPrimitive(uint, uint, uint, uint, uint, uint)",
           Method<Overload<void(UINT, UINT, UINT, UINT, UINT, UINT)>(
               &Renderer::DrawIndexedPrimitive)>());
  r.Method("void DrawIndexedPrimitive(uint, uint, uint, uint, uint)",
           Method<Overload<HRESULT(UINT, UINT, UINT, UINT, UINT)>(
               &Renderer::DrawIndexedPrimitive)>());
  r.Method("void DrawIndexedPrimitive(uint)",
           Method<Overload<HRESULT(UINT)>(&Renderer::DrawIndexedPrimitive)>());
  r.Method("void DrawIndexedPrimitiveUP(uint, uint, uint, uint, array<uint8>@, uint, "
           "array<uint8>@, uint)",
           Function<&DrawIndexedPrimitiveUP>(kObjFirst));
  r.Method("void DrawPrimitive(uint, uint, uint, array<uint8>@, uint)",
           Function<&DrawPrimitive>(kObjFirst));
  r.Method("uint SetLight(uint, const D3DLIGHT9 &in)", Method<&Renderer::SetLight>());
  r.Method("uint SetScissorTest(const RECT &in)", Method<&Renderer::SetScissorTest>());
  r.Method("uint GetScissorTest(RECT &out)", Method<&Renderer::GetScissorTest>());
  r.Method("uint Flip(const HWND &in)", Function<&Flip>(kObjFirst));
  r.Method("uint IsRenderingBegin()", Method<&Renderer::IsRenderingBegin>());
  r.Method("uint EvictManagedResources()", Method<&Renderer::EvictManagedResources>());
  return registrar.Succeeded();
}

}  // namespace

bool RegisterD3DInterfaceTypes(CScriptRegistrar& registrar) {
  CScriptRegistrar::SourceScope source(registrar, "InitD3DInterface");
  return RegisterVertexDeclarations(registrar) && RegisterIndexBuffers(registrar) &&
         RegisterVertexShaders(registrar) && RegisterPixelShaders(registrar) &&
         RegisterVertexBuffers(registrar) && RegisterRenderer(registrar);
}
