#include "script/SoundTypes.h"

#include "TonarisInterface.h"
#include "script/ScriptGlue.h"
#include "script/ScriptRegistrar.h"
#include "script/ScriptReleasedStreams.h"
#include "script/ScriptTypeRows.h"

using namespace AngelScript;
using ScriptGlue::Method;

namespace {

constexpr const char* kReleased = "Stream Already Released";

// A stream's method, refused once a script released the stream.
template <auto Member, typename Signature = decltype(Member)>
struct LiveStream;
template <auto Member, typename R, typename... A>
struct LiveStream<Member, R (TonarisStream::*)(A...)> {
  using Forward = ScriptGlue::MemberWrapper<Member, ScriptGlue::kPassNull, TonarisStream, R, A...>;
  static typename ScriptGlue::Result<R>::Script Call(TonarisStream* stream,
                                                     typename ScriptGlue::Arg<A>::Script... args) {
    if (CScriptReleasedStreams::Instance().IsReleased(stream)) {
      ScriptGlue::RaiseException(kReleased);
      return ScriptGlue::Result<R>::Fallback();
    }
    return Forward::Call(stream, args...);
  }
};

template <auto Member>
ScriptCall StreamMethod() {
  return {asFunctionPtr(&LiveStream<Member>::Call), asCALL_CDECL_OBJFIRST};
}

void Release(TonarisStream* stream) {
  if (!CScriptReleasedStreams::Instance().Release(stream)) ScriptGlue::RaiseException(kReleased);
}

void RegisterStream(CScriptRegistrar& registrar) {
  using Stream = TonarisStream;
  CScriptTypeRows s(registrar, "TonarisStream", CScriptTypeRows::kInterface);
  s.Known();
  s.Method("uint GetIsPlayed()", StreamMethod<&Stream::GetIsPlayed>());
  s.Method("uint Play()", StreamMethod<&Stream::Play>());
  s.Method("uint Stop()", StreamMethod<&Stream::Stop>());
  s.Method("uint Reset()", StreamMethod<&Stream::Reset>());
  s.Method("uint SetPositionInSeconds(double)", StreamMethod<&Stream::SetPositionInSeconds>());
  s.Method("uint SetPositionInBytes(uint)", StreamMethod<&Stream::SetPositionInBytes>());
  s.Method("double GetPositionInSeconds()", StreamMethod<&Stream::GetPositionInSeconds>());
  s.Method("uint GetPositionInBytes()", StreamMethod<&Stream::GetPositionInBytes>());
  s.Method("uint SetVolume(int)", StreamMethod<&Stream::SetVolume>());
  s.Method("int GetVolume()", StreamMethod<&Stream::GetVolume>());
  s.Method("void Release()", {asFUNCTION(Release), asCALL_CDECL_OBJFIRST});
  s.Method("float GetMaxDistance()", StreamMethod<&Stream::GetMaxDistance>());
  s.Method("float GetMinDistance()", StreamMethod<&Stream::GetMinDistance>());
  s.Method("uint SetMinDistance(float)", StreamMethod<&Stream::SetMinDistance>());
  s.Method("uint SetMaxDistance(float)", StreamMethod<&Stream::SetMaxDistance>());
  s.Method("uint SetFrequency(uint)", StreamMethod<&Stream::SetFrequency>());
  s.Method("uint GetFrequency()", StreamMethod<&Stream::GetFrequency>());
  s.Method("uint GetPosition(float &out, float &out, float &out)",
           StreamMethod<&Stream::GetPosition>());
  s.Method("uint GetVelocity(float &out, float &out, float &out)",
           StreamMethod<&Stream::GetVelocity>());
  s.Method("uint SetPosition(float, float, float)", StreamMethod<&Stream::SetPosition>());
  s.Method("uint SetVelocity(float, float, float)", StreamMethod<&Stream::SetVelocity>());
  s.Method("int GetPan()", StreamMethod<&Stream::GetPan>());
  s.Method("uint SetPan(int)", StreamMethod<&Stream::SetPan>());
}

void RegisterListener(CScriptRegistrar& registrar) {
  using Listener = TonarisListener;
  CScriptTypeRows l(registrar, "TonarisListener", CScriptTypeRows::kInterface);
  l.Type(0, ScriptGlue::kEngineObjectFlags);
  l.Method("uint GetOrientation(float &out, float &out, float &out, float &out, float &out, "
           "float &out)",
           Method<&Listener::GetOrientation>());
  l.Method("uint SetOrientation(float, float, float, float, float, float)",
           Method<&Listener::SetOrientation>());
  l.Method("uint GetPosition(float &out, float &out, float &out)", Method<&Listener::GetPosition>());
  l.Method("uint SetPosition(float, float, float)", Method<&Listener::SetPosition>());
  l.Method("uint GetVelocity(float &out, float &out, float &out)", Method<&Listener::GetVelocity>());
  l.Method("uint SetVelocity(float, float, float)", Method<&Listener::SetVelocity>());
}

void RegisterServer(CScriptRegistrar& registrar) {
  using Server = TonarisInterface;
  constexpr int kRow = 2;  // every method fails with this number
  CScriptTypeRows t(registrar, "TonarisInterface", CScriptTypeRows::kInterface);
  t.Type(0, ScriptGlue::kEngineObjectFlags);
  t.Method("uint GetGlobalVolume()", Method<&Server::GetGlobalVolume>(), kRow);
  t.Method("void SetGlobalVolume(uint)", Method<&Server::SetGlobalVolume>(), kRow);
  t.Method("uint Play()", Method<&Server::Play>(), kRow);
  t.Method("uint Stop()", Method<&Server::Stop>(), kRow);
  t.Method("uint LoadStream(const bstr &in, TonarisStream@ &out, uint)",
           Method<&Server::LoadStream>(), kRow);
  t.Method("TonarisListener@ GetListenerInterface()", Method<&Server::GetListenerInterface>(),
           kRow);
  t.Method("uint Apply()", Method<&Server::Apply>(), kRow);
  t.Method("uint SetDistanceFactor(float)", Method<&Server::SetDistanceFactor>(), kRow);
  t.Method("uint SetDopplerFactor(float)", Method<&Server::SetDopplerFactor>(), kRow);
  t.Method("uint SetRolloffFactor(float)", Method<&Server::SetRolloffFactor>(), kRow);
  t.Method("float GetDistanceFactor()", Method<&Server::GetDistanceFactor>(), kRow);
  t.Method("float GetRolloffFactor()", Method<&Server::GetRolloffFactor>(), kRow);
  t.Method("float GetDopplerFactor()", Method<&Server::GetDopplerFactor>(), kRow);
}

}  // namespace

bool RegisterSoundTypes(CScriptRegistrar& registrar) {
  CScriptRegistrar::SourceScope source(registrar, "sound");
  RegisterStream(registrar);
  RegisterListener(registrar);
  RegisterServer(registrar);
  return registrar.Succeeded();
}
