#include "framework/GameProgress.h"

#include "ZKDXInterface.h"

namespace {
// Depth only: the bar draws over the frame already there.
constexpr DWORD kClearDepth = 2;
}  // namespace

CGameProgress::CGameProgress(geCBaseNode* pParent) : geCGameObject(pParent) {
  SetFlag(kFlagNotMergeWithParent, true);
  SetFlag(kFlagWithShaders, false);
}

CGameProgress::~CGameProgress() = default;

void CGameProgress::Configure(TiXmlElement* pElement) {
  geCGameObject::Configure(pElement);
  // The base reads the flag from the element; a bar lending its meshes would draw nothing.
  SetFlag(kFlagNotMergeWithParent, true);
  if (m_Properties.Get("File").GetType() != geCVariant::TYPE_EMPTY)
    LoadFileByExtension(m_Properties.GetString("File").c_str());
  m_dwProgress = 0;
}

void CGameProgress::Update(geSUpdateArgument*) {
  if (CSceneInterface* pScene = GetOwnScene()) pScene->SetFrame(static_cast<float>(m_dwProgress));
}

void CGameProgress::Process(geSUpdateArgument* pArg) {
  if (m_bFirstTimeUpdate && m_pTimer) m_pTimer->Reset();
  geCBaseNode::Process(pArg);
  RunScenePasses();
}

void CGameProgress::ProcessMessage(geMessage* pMessage) {
  if (pMessage && pMessage->MessageID == kMessageSetProgress) m_dwProgress = pMessage->dwData;
}

void CGameProgress::Render(DWORD) { geCGameObject::Render(kClearDepth); }
