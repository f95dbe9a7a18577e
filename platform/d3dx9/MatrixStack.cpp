#include "MatrixStack.h"

#include <new>

#include "d3d9.h"

CMatrixStack::CMatrixStack() : m_stack(1) { D3DXMatrixIdentity(&m_stack.back()); }

HRESULT CMatrixStack::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_ID3DXMatrixStack) {
    AddRef();
    *object = static_cast<ID3DXMatrixStack*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG CMatrixStack::AddRef() { return ++m_references; }

ULONG CMatrixStack::Release() {
  ULONG left = --m_references;
  if (left == 0) delete this;
  return left;
}

HRESULT CMatrixStack::Pop() {
  if (m_stack.size() == 1) return D3DERR_INVALIDCALL;
  m_stack.pop_back();
  return D3D_OK;
}

HRESULT CMatrixStack::Push() {
  try {
    m_stack.push_back(m_stack.back());
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return D3D_OK;
}

HRESULT CMatrixStack::LoadIdentity() {
  D3DXMatrixIdentity(&m_stack.back());
  return D3D_OK;
}

HRESULT CMatrixStack::LoadMatrix(const D3DXMATRIX* m) {
  if (!m) return D3DERR_INVALIDCALL;
  m_stack.back() = *m;
  return D3D_OK;
}

HRESULT CMatrixStack::Apply(const D3DXMATRIX& m, bool local) {
  D3DXMATRIX& top = m_stack.back();
  if (local)
    D3DXMatrixMultiply(&top, &m, &top);
  else
    D3DXMatrixMultiply(&top, &top, &m);
  return D3D_OK;
}

HRESULT CMatrixStack::MultMatrix(const D3DXMATRIX* m) { return m ? Apply(*m, false) : D3DERR_INVALIDCALL; }

HRESULT CMatrixStack::MultMatrixLocal(const D3DXMATRIX* m) { return m ? Apply(*m, true) : D3DERR_INVALIDCALL; }

HRESULT CMatrixStack::RotateAxis(const D3DXVECTOR3* axis, FLOAT angle) {
  if (!axis) return D3DERR_INVALIDCALL;
  D3DXMATRIX r;
  return Apply(*D3DXMatrixRotationAxis(&r, axis, angle), false);
}

HRESULT CMatrixStack::RotateAxisLocal(const D3DXVECTOR3* axis, FLOAT angle) {
  if (!axis) return D3DERR_INVALIDCALL;
  D3DXMATRIX r;
  return Apply(*D3DXMatrixRotationAxis(&r, axis, angle), true);
}

HRESULT CMatrixStack::RotateYawPitchRoll(FLOAT yaw, FLOAT pitch, FLOAT roll) {
  D3DXMATRIX r;
  return Apply(*D3DXMatrixRotationYawPitchRoll(&r, yaw, pitch, roll), false);
}

HRESULT CMatrixStack::RotateYawPitchRollLocal(FLOAT yaw, FLOAT pitch, FLOAT roll) {
  D3DXMATRIX r;
  return Apply(*D3DXMatrixRotationYawPitchRoll(&r, yaw, pitch, roll), true);
}

HRESULT CMatrixStack::Scale(FLOAT x, FLOAT y, FLOAT z) {
  D3DXMATRIX s;
  return Apply(*D3DXMatrixScaling(&s, x, y, z), false);
}

HRESULT CMatrixStack::ScaleLocal(FLOAT x, FLOAT y, FLOAT z) {
  D3DXMATRIX s;
  return Apply(*D3DXMatrixScaling(&s, x, y, z), true);
}

HRESULT CMatrixStack::Translate(FLOAT x, FLOAT y, FLOAT z) {
  D3DXMATRIX t;
  return Apply(*D3DXMatrixTranslation(&t, x, y, z), false);
}

HRESULT CMatrixStack::TranslateLocal(FLOAT x, FLOAT y, FLOAT z) {
  D3DXMATRIX t;
  return Apply(*D3DXMatrixTranslation(&t, x, y, z), true);
}

D3DXMATRIX* CMatrixStack::GetTop() { return &m_stack.back(); }

ZKAPI HRESULT D3DXCreateMatrixStack(DWORD flags, LPD3DXMATRIXSTACK* stack) {
  if (!stack) return D3DERR_INVALIDCALL;
  *stack = nullptr;
  if (flags != 0) return D3DERR_INVALIDCALL;
  CMatrixStack* created = new (std::nothrow) CMatrixStack;
  if (!created) return E_OUTOFMEMORY;
  *stack = created;
  return D3D_OK;
}
