#pragma once
// ID3DXMatrixStack: a stack of matrices that always holds at least one.
#include <atomic>
#include <vector>

#include "d3dx9math.h"

class CMatrixStack : public ID3DXMatrixStack {
 public:
  CMatrixStack();

  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;

  HRESULT Pop() override;
  HRESULT Push() override;
  HRESULT LoadIdentity() override;
  HRESULT LoadMatrix(const D3DXMATRIX* m) override;
  HRESULT MultMatrix(const D3DXMATRIX* m) override;
  HRESULT MultMatrixLocal(const D3DXMATRIX* m) override;
  HRESULT RotateAxis(const D3DXVECTOR3* axis, FLOAT angle) override;
  HRESULT RotateAxisLocal(const D3DXVECTOR3* axis, FLOAT angle) override;
  HRESULT RotateYawPitchRoll(FLOAT yaw, FLOAT pitch, FLOAT roll) override;
  HRESULT RotateYawPitchRollLocal(FLOAT yaw, FLOAT pitch, FLOAT roll) override;
  HRESULT Scale(FLOAT x, FLOAT y, FLOAT z) override;
  HRESULT ScaleLocal(FLOAT x, FLOAT y, FLOAT z) override;
  HRESULT Translate(FLOAT x, FLOAT y, FLOAT z) override;
  HRESULT TranslateLocal(FLOAT x, FLOAT y, FLOAT z) override;
  D3DXMATRIX* GetTop() override;

 private:
  // top = top * m (after the current transform) or top = m * top (in the top's own space).
  HRESULT Apply(const D3DXMATRIX& m, bool local);

  std::atomic<ULONG> m_references{1};
  std::vector<D3DXMATRIX> m_stack;
};
