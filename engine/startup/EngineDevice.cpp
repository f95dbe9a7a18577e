#include "startup/EngineDevice.h"

#include "ZKDXGlobals.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "d3d/D3D9Renderer.h"
#include "input/WindowProcedure.h"
#include "scene/ScenePasses.h"
#include "startup/EngineWindow.h"

namespace {

const char kSource[] = "ZKDXGlobals";

}  // namespace

CEngineDevice& CEngineDevice::Instance() {
  static CEngineDevice device;
  return device;
}

void CEngineDevice::CreateRenderer(CEngineContext* context) {
  m_pRenderer.reset(NewOrFatal<CD3D9Renderer>("Error While Initializing",
                                              "Can't Get D3D Renderer Interface", context));
  context->pRenderer = m_pRenderer.get();
  CDeviceChoice(context->pLog).EnumerateDevices(m_pRenderer->GetAdapters(), *context->pDescriptor);
}

void CEngineDevice::CreateDevice(CEngineContext* context) {
  CDeviceChoice choice(context->pLog);
  ZeKorbConfig& config = *context->pConfig;
  const DWORD scheme = choice.ChooseForInit(config, *context->pDescriptor, *m_pRenderer->GetAdapterEnumeration(0),
                                            m_Settings, context->hWnd);
  choice.LoadRenderingProfile(config, scheme, m_pRenderer.get(), m_Profile);
  context->pRenderingProfile = m_Profile.pProfile;
  m_Settings.dwWindowed = context->dwWindowed;
  if (!m_pRenderer->Initialize(&m_Settings)) FatalErrorWithTitle("Error While Initializing", "Can't Initialize D3D");
  m_Passes.Attach(context, m_pRenderer.get());
  context->ports.scenePasses.Set(&m_Passes);
  CEngineWindow::GetWindowProcedure()->SetDeviceReset(this);
}

UINT CEngineDevice::ChangeConfiguration(CEngineContext* context) {
  CDeviceChoice(context->pLog)
      .ChooseForChange(*context->pConfig, *context->pDescriptor, *m_pRenderer->GetAdapterEnumeration(0), m_Settings,
                       context->hWnd);
  m_Settings.dwWindowed = context->dwWindowed;
  return m_pRenderer->Reset();
}

HRESULT CEngineDevice::ResetDevice() {
  if (!m_pRenderer || !m_pRenderer->GetDevice()) return D3DERR_INVALIDCALL;
  m_Settings.dwWindowed = GetEngineContext()->dwWindowed;
  m_pRenderer->Reset();
  return D3D_OK;
}

void CEngineDevice::Release(CEngineContext* context) {
  if (context->ports.scenePasses.Get() == &m_Passes) context->ports.scenePasses.Reset();
  m_Passes.Attach(nullptr, nullptr);
  CEngineWindow::GetWindowProcedure()->SetDeviceReset(nullptr);
  if (!m_pRenderer) return;
  m_pRenderer->ReleaseDevice();
  context->pRenderer = nullptr;
  if (context->pLog) context->pLog->Log(kSource, __LINE__, CEngineLog::kLevelInfo, "- D3D deinitialized\n");
  context->pRenderingProfile = nullptr;
  CDeviceChoice::UnloadRenderingProfile(m_Profile);
}
