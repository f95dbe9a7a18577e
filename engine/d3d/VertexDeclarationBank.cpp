#include "d3d/VertexDeclarationBank.h"

#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "d3d/D3DLog.h"
#include "d3d/EngineRenderer.h"
#include "d3d/VertexDeclaration.h"
#include "d3d/VertexElements.h"

namespace {

const char kSource[] = "D3DVertexDeclaration";
const char kCreationTitle[] = "Error While Creating Vertex Declaration";
constexpr int kInfo = CEngineLog::kLevelInfo;
constexpr int kError = CEngineLog::kLevelError;

}  // namespace

CVertexDeclarationBank::CVertexDeclarationBank(CEngineRenderer* renderer, CEngineLog* log)
    : m_pRenderer(renderer), m_pLog(log) {}

CVertexDeclarationBank::~CVertexDeclarationBank() = default;

CVertexDeclarationInterface* CVertexDeclarationBank::CreateVertexDeclaration(
    D3DVERTEXELEMENT9* elements) {
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "  - Creating Vertex Declaration...\n");
  // A list the declaration cannot take ends in its own fatal error before any comparison.
  const UINT count = elements ? GetVertexElementCount(elements) : 0;
  if (count != 0 && count != kNoEndMarker)
    for (UINT i = 0; i < m_dwCount; ++i)
      if (m_Entries[i]->IsEqual(elements, count)) {
        LogD3D(m_pLog, kSource, __LINE__, kInfo, "  - Already Exists\n");
        return m_Entries[i].get();
      }
  if (elements == nullptr)
    FatalErrorWithTitle(kCreationTitle, "Vertex Elements Have 0 Definitions");
  // The table is fixed: one more distinct layout would be written past it.
  if (m_dwCount == kMaxDeclarations)
    FatalErrorWithTitle(kCreationTitle, "Not Enuff Vertex Declaration Entries");
  m_Entries[m_dwCount].reset(
      NewOrFatal<CVertexDeclaration>(kCreationTitle, "Can't Allocate Memory For Vertex Declaration",
                                     this, m_pRenderer, m_pLog, elements));
  ++m_dwCount;
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "  - Done\n");
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "  - Number Of Vertex Declarations: %i\n",
         static_cast<int>(m_dwCount));
  return m_Entries[m_dwCount - 1].get();
}

void CVertexDeclarationBank::Set(CVertexDeclaration* declaration) {
  if (declaration == m_pCurrentDeclaration) return;
  m_pCurrentDeclaration = declaration;
  m_dwCurrentFVF = 0;
  IDirect3DDevice9* device = m_pRenderer->GetDevice();
  if (!device) return;
  const HRESULT result =
      device->SetVertexDeclaration(declaration ? declaration->GetD3DDeclaration() : nullptr);
  if (FAILED(result))
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR!!! - Can't Set Vertex Declaration - %s\n%s\n",
           D3DResultName(result), D3DResultDescription(result));
}

void CVertexDeclarationBank::SetFVF(DWORD fvf) {
  if (fvf == m_dwCurrentFVF) return;
  m_dwCurrentFVF = fvf;
  m_pCurrentDeclaration = nullptr;
  IDirect3DDevice9* device = m_pRenderer->GetDevice();
  if (!device) return;
  const HRESULT result = device->SetFVF(fvf);
  if (FAILED(result))
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR!!! - Can't Set FVF - %s\n%s\n",
           D3DResultName(result), D3DResultDescription(result));
}

UINT CVertexDeclarationBank::OnDeviceLost() {
  m_pCurrentDeclaration = nullptr;
  m_dwCurrentFVF = 0;
  return 1;
}

void CVertexDeclarationBank::ReleaseDeviceObjects() {
  OnDeviceLost();
  for (UINT i = 0; i < m_dwCount; ++i) m_Entries[i]->ReleaseDeviceObject();
}

UINT CVertexDeclarationBank::CurrentDeclarationHasUsages(const D3DXSEMANTIC* pairs, UINT count) {
  return m_pCurrentDeclaration ? m_pCurrentDeclaration->HasUsages(pairs, count) : 0;
}
