#include "script/ZeKorbInterface.h"

#include "TonarisInterface.h"
#include "ZKDXInterface.h"
#include "ZeKorbD3DHeader.h"
#include "core/EngineContext.h"
#include "core/FatalError.h"
#include "script/OtherZeKorbTypes.h"
#include "script/ScriptGlue.h"
#include "script/ScriptRegistrar.h"
#include "script/ScriptTopInterface.h"
#include "script/VFSTypes.h"
#include "winuser.h"

using ScriptGlue::Function;
using ScriptGlue::Method;

namespace {

constexpr const char* kTop = "CZeKorbD3DInterface";

// The engine may hand back another scene than the one it was given (the one its reader made), so
// it writes into a local rather than into the script's object; scripts get the scene the load
// leaves as the result. Shaders are assigned without choosers, from the reader's default flag.
CSceneInterface* LoadSceneForScript(CZeKorbD3DInterface* top, CSceneInterface* scene,
                                    const char* name, UINT mode) {
  CSceneInterface* loaded = scene;
  top->LoadScene(&loaded, name, mode, 0, nullptr, nullptr, nullptr);
  return loaded;
}

CZeKorbD3DInterface* TopInterface() {
  return GetEngineContext()->ports.scriptTop->GetTopInterface();
}

// The text is the box's argument, never its format: a "%" in it is shown as it stands. The box's
// text buffer cuts a longer one.
void ShowScriptMessage(const char* text) {
  ShowMessageBox(GetForegroundWindow(), 0, "Script Message", "%s", text);
}

}  // namespace

bool RegisterZeKorbInterface(CScriptRegistrar& registrar) {
  CScriptRegistrar::SourceScope source(registrar, "InitZeKorbInterface");
  CScriptRegistrar& r = registrar;
  using Top = CZeKorbD3DInterface;

  RegisterVFSTypes(r);
  RegisterOtherZeKorbTypes(r);
  r.Type(kTop, 0, ScriptGlue::kEngineObjectFlags,
         "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (1)");
  r.Method(kTop, "void AddScene(CSceneInterface@ &out)", Method<&Top::AddScene>(),
           "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (2)");
  r.Method(kTop, "CSceneInterface@ LoadScene(CSceneInterface@, const bstr &in, uint)",
           Function<&LoadSceneForScript, ScriptGlue::kRejectNull>(
               AngelScript::asCALL_CDECL_OBJFIRST),
           "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (3)");
  r.Method(kTop, "void CloseZeKorb()", Method<&Top::CloseZeKorb>(),
           "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (4)");
  // Null is meaningful here: no scene is active afterwards.
  r.Method(kTop, "void SetActiveScene(CSceneInterface@)", Method<&Top::SetActiveScene>(),
           "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (5)");
  r.Method(kTop, "CTimerInterface@ CreateTimer()", Method<&Top::CreateTimer>(),
           "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (7)");
  r.Method(kTop, "CD3D9RendererInterface@ GetD3DRendererInterface()",
           Method<&Top::GetD3DRendererInterface>(),
           "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (6)");
  r.Method(kTop, "CSceneInterface@ GetActiveScene()", Method<&Top::GetActiveScene>(),
           "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (8)");
  r.Method(kTop, "CVirtualFileSystemInterface@ GetVFSInterface()",
           Method<&Top::GetVFSInterface>(),
           "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (9)");
  r.Method(kTop, "CChannelEnvelopeInterface@ CreateChannelEnvelope()",
           Method<&Top::CreateChannelEnvelope>(),
           "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (10)");
  r.Method(kTop, "ZKAllocatorInterface@ GetAllocatorInterface()",
           Method<&Top::GetAllocatorInterface>(),
           "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (11)");
  r.Method(kTop, "CEnvelopeInterface@ CreateEnvelope()", Method<&Top::CreateEnvelope>(),
           "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (12)");
  // The declaration gives scripts no result; the operation's is not read.
  r.Method(kTop, "void SaveSceneToZKS(CSceneInterface@, uint)",
           Method<&Top::SaveSceneToZKS, ScriptGlue::kRejectNull>(),
           "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (12)");
  r.Method(kTop, "TonarisInterface@ GetTonarisInterface()", Method<&Top::GetTonarisInterface>(),
           "Can't Add CZeKorbD3DInterface* ZeKorb Type To The Script (12)");

  r.Function("CZeKorbD3DInterface@ GetZeKorbD3DInterface()", Function<&TopInterface>(),
             "ERROR!!! - Can't Register GetZeKorb() Function");
  r.Function("void MessageBox(const bstr &in)", Function<&ShowScriptMessage>(),
             "ERROR!!! - Can't Register MessageBox() Function");
  return r.Succeeded();
}
