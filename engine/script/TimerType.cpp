#include "script/TimerType.h"

#include "ZKDXInterface.h"
#include "script/ScriptGlue.h"
#include "script/ScriptRegistrar.h"
#include "script/ScriptTypeRows.h"

using ScriptGlue::Method;

// The timer's Release is for the application that made it; scripts do not free timers.
bool RegisterTimerType(CScriptRegistrar& registrar) {
  CScriptRegistrar::SourceScope source(registrar, "TimerType");
  using Timer = CTimerInterface;
  CScriptTypeRows t(registrar, "CTimerInterface", CScriptTypeRows::kInterface);
  t.Type(0, ScriptGlue::kEngineObjectFlags);
  t.Method("float GetTime()", Method<&Timer::GetTime>());
  t.Method("float GetTimeGain(uint)", Method<&Timer::GetTimeGain>());
  t.Method("float GetTickingPerSecond()", Method<&Timer::GetTickingPerSecond>());
  t.Method("uint IsPaused()", Method<&Timer::IsPaused>());
  t.Method("void Resume()", Method<&Timer::Resume>());
  t.Method("void Pause()", Method<&Timer::Pause>());
  t.Method("void Reset()", Method<&Timer::Reset>());
  return registrar.Succeeded();
}
