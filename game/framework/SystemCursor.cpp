#include "framework/SystemCursor.h"

#include <windows.h>

#include <string>

#include "framework/CorePort.h"
#include "framework/GameCore.h"

size_t geCSystemCursor::GetClassSize() const { return sizeof(geCSystemCursor); }

void geCSystemCursor::RegisterProperties() {
  geCBaseNode::RegisterProperties();
  for (const char* szName : {"File", "Directory", "Enabled"}) m_Properties.Register(szName);
}

void geCSystemCursor::Configure(TiXmlElement* pElement) {
  geCBaseNode::Configure(pElement);
  if (m_Properties.Get("File").GetType() != geCVariant::TYPE_EMPTY) {
    const std::string strPath =
        m_Properties.GetString("Directory") + m_Properties.GetString("File");
    m_hCursor = LoadCursorFromFileA(strPath.c_str());
  }
  // A file that cannot be loaded falls back to the arrow without a word.
  if (!m_hCursor) m_hCursor = LoadCursorA(nullptr, IDC_ARROW);
  if (m_Properties.GetBoolean("Enabled")) Enable(1);
}

DWORD geCSystemCursor::Enable(DWORD val) {
  const DWORD dwEnabled = geCBaseNode::Enable(val);
  ShowCursor(TRUE);
  if (m_hCursor) {
    SetClassLongA(g_ApplicationDescriptor.hWnd, GCL_HCURSOR,
                  static_cast<LONG>(reinterpret_cast<intptr_t>(m_hCursor)));
    SetCursor(m_hCursor);
    geGetCorePort().SetCurrentCursor(m_hCursor);
  }
  return dwEnabled;
}

DWORD geCSystemCursor::Disable(DWORD val) {
  const DWORD dwEnabled = geCBaseNode::Disable(val);
  ShowCursor(FALSE);
  geGetCorePort().SetCurrentCursor(nullptr);
  return dwEnabled;
}
