#include "script/EnvelopeTypes.h"

#include "ZKDXInterface.h"
#include "script/ScriptGlue.h"
#include "script/ScriptRegistrar.h"

using ScriptGlue::Method;
using ScriptGlue::Overload;

namespace {

constexpr const char* kSource = "EnvelopeType";
constexpr const char* kKey = "CKeyInterface";
constexpr const char* kChannel = "CChannelEnvelopeInterface";
constexpr const char* kEnvelope = "CEnvelopeInterface";

// Scripts give the frame as a whole number; the envelope steps to it as a frame number, not to
// the float those bits would spell.
void CalcStepAtFrame(CEnvelopeInterface* envelope, UINT frame) {
  envelope->CalcStep(static_cast<float>(frame));
}

}  // namespace

bool RegisterEnvelopeTypes(CScriptRegistrar& registrar) {
  CScriptRegistrar::SourceScope source(registrar, kSource);
  CScriptRegistrar& r = registrar;
  using Key = CKeyInterface;
  using Channel = CChannelEnvelopeInterface;
  using Envelope = CEnvelopeInterface;

  r.Type(kKey, 0, ScriptGlue::kEngineObjectFlags,
         "Can't Add CKeyInterface* ZeKorb Type To The Script (1)");
  r.Method(kKey, "float GetKeyValue()", Method<&Key::GetKeyValue>(),
           "Can't Add CKeyInterface* ZeKorb Type To The Script (2)");
  r.Method(kKey, "float GetKeyTime()", Method<&Key::GetKeyTime>(),
           "Can't Add CKeyInterface* ZeKorb Type To The Script (3)");
  r.Method(kKey, "CKeyInterface@ GetNextKey()", Method<&Key::GetNextKey>(),
           "Can't Add CKeyInterface* ZeKorb Type To The Script (4)");
  r.Method(kKey, "CKeyInterface@ GetPrevKey()", Method<&Key::GetPrevKey>(),
           "Can't Add CKeyInterface* ZeKorb Type To The Script (5)");
  r.Method(kKey, "uint GetShape()", Method<&Key::GetShape>(),
           "Can't Add CKeyInterface* ZeKorb Type To The Script (6)");
  r.Method(kKey, "void AddValue(float)", Method<&Key::AddValue>(),
           "Can't Add CKeyInterface* ZeKorb Type To The Script (7)");
  r.Method(kKey, "void SetKeyValue(float)", Method<&Key::SetKeyValue>(),
           "Can't Add CKeyInterface* ZeKorb Type To The Script (8)");
  r.Method(kKey, "void SetKeyTime(float)", Method<&Key::SetKeyTime>(),
           "Can't Add CKeyInterface* ZeKorb Type To The Script (9)");
  r.Method(kKey, "void SetShape(uint)", Method<&Key::SetShape>(),
           "Can't Add CKeyInterface* ZeKorb Type To The Script (10)");
  // The value first, then the parameter's number, as the key takes them.
  r.Method(kKey, "void SetParamValue(float, uint)", Method<&Key::SetParamValue>(),
           "Can't Add CKeyInterface* ZeKorb Type To The Script (11)");
  r.Method(kKey, "float GetParamValue(uint)", Method<&Key::GetParamValue>(),
           "Can't Add CKeyInterface* ZeKorb Type To The Script (12)");

  r.Type(kChannel, 0, ScriptGlue::kEngineObjectFlags,
         "Can't Add CChannelEnvelopeInterface* ZeKorb Type To The Script (1)");
  r.Method(kChannel, "void EvalEnvelope(float)", Method<&Channel::EvalEnvelope>(),
           "Can't Add CChannelEnvelopeInterface* ZeKorb Type To The Script (2)");
  r.Method(kChannel, "void SetPreBehaviour(uint)", Method<&Channel::SetPreBehaviour>(),
           "Can't Add CChannelEnvelopeInterface* ZeKorb Type To The Script (3)");
  r.Method(kChannel, "void SetPostBehaviour(uint)", Method<&Channel::SetPostBehaviour>(),
           "Can't Add CChannelEnvelopeInterface* ZeKorb Type To The Script (4)");
  r.Method(kChannel, "float GetValue()", Method<&Channel::GetValue>(),
           "Can't Add CChannelEnvelopeInterface* ZeKorb Type To The Script (5)");
  r.Method(kChannel, "uint GetNumberOfKeys()", Method<&Channel::GetNumberOfKeys>(),
           "Can't Add CChannelEnvelopeInterface* ZeKorb Type To The Script (6)");
  r.Method(kChannel, "uint GetPreBehaviour()", Method<&Channel::GetPreBehaviour>(),
           "Can't Add CChannelEnvelopeInterface* ZeKorb Type To The Script (7)");
  r.Method(kChannel, "uint GetPostBehaviour()", Method<&Channel::GetPostBehaviour>(),
           "Can't Add CChannelEnvelopeInterface* ZeKorb Type To The Script (8)");
  r.Method(kChannel, "CKeyInterface@ CreateKey()", Method<&Channel::CreateKey>(),
           "Can't Add CChannelEnvelopeInterface* ZeKorb Type To The Script (9)");
  r.Method(kChannel, "CKeyInterface@ GetKey(uint)",
           Method<Overload<CKeyInterface*(UINT)>(&Channel::GetKey)>(),
           "Can't Add CChannelEnvelopeInterface* ZeKorb Type To The Script (10)");
  r.Method(kChannel, "CKeyInterface@ GetKey(float)",
           Method<Overload<CKeyInterface*(float)>(&Channel::GetKey)>(),
           "Can't Add CChannelEnvelopeInterface* ZeKorb Type To The Script (11)");
  // A missing key is no key to add or remove: the script stops instead of the channel guessing.
  r.Method(kChannel, "uint RemoveKey(CKeyInterface@)",
           Method<&Channel::RemoveKey, ScriptGlue::kRejectNull>(),
           "Can't Add CChannelEnvelopeInterface* ZeKorb Type To The Script (12)");
  r.Method(kChannel, "uint AddKey(CKeyInterface@)",
           Method<&Channel::AddKey, ScriptGlue::kRejectNull>(),
           "Can't Add CChannelEnvelopeInterface* ZeKorb Type To The Script (13)");

  r.Type(kEnvelope, 0, ScriptGlue::kEngineObjectFlags,
         "Can't Add CEnvelopeInterface* ZeKorb Type To The Script (1)");
  r.Method(kEnvelope, "uint GetIsEnvelope()", Method<&Envelope::GetIsEnvelope>(),
           "Can't Add CEnvelopeInterface* ZeKorb Type To The Script (2)");
  r.Method(kEnvelope, "void CalcStep(uint)",
           ScriptGlue::Function<&CalcStepAtFrame>(AngelScript::asCALL_CDECL_OBJFIRST),
           "Can't Add CEnvelopeInterface* ZeKorb Type To The Script (3)");
  r.Method(kEnvelope, "uint SetIsEnvelope(uint)", Method<&Envelope::SetIsEnvelope>(),
           "Can't Add CEnvelopeInterface* ZeKorb Type To The Script (4)");
  r.Method(kEnvelope, "float GetValue()", Method<&Envelope::GetValue>(),
           "Can't Add CEnvelopeInterface* ZeKorb Type To The Script (5)");
  r.Method(kEnvelope, "uint SetValue(float)", Method<&Envelope::SetValue>(),
           "Can't Add CEnvelopeInterface* ZeKorb Type To The Script (6)");
  r.Method(kEnvelope, "CChannelEnvelopeInterface@ GetChannelEnvelope()",
           Method<&Envelope::GetChannelEnvelope>(),
           "Can't Add CEnvelopeInterface* ZeKorb Type To The Script (7)");
  return r.Succeeded();
}
