#pragma once
// Every registration with the engine's script engine goes through one CScriptRegistrar. It
// numbers the calls (1, 2, ... over its whole life), and at the first call the script engine
// refuses it logs that call's message, followed by a line break, at the error level with the
// current source name and the registering caller's line. From then on it is failed: later calls
// reach nothing and return false, so a registration function may simply go on and report
// Succeeded() at its end. What was registered before the failure stays registered.
//
// Tests make the k-th call fail (FailCall) without it reaching the script engine, to see the
// exact line and that nothing after it is registered.
#include <angelscript.h>

#include <source_location>
#include <utility>

#include "script/ScriptCall.h"

class CEngineLog;

class CScriptRegistrar {
 public:
  using Where = std::source_location;

  // `log` may be null: failures are then only reported, not logged.
  CScriptRegistrar(AngelScript::asIScriptEngine* engine, CEngineLog* log);

  AngelScript::asIScriptEngine* GetEngine() const { return m_pEngine; }
  bool Succeeded() const { return !m_failed; }
  bool HasFailed() const { return m_failed; }
  // The number of calls made so far, the refused one included.
  int GetCallCount() const { return m_calls; }
  // Makes call number `call` (counted from 1) fail without reaching the script engine.
  void FailCall(int call) { m_failCall = call; }

  // Sets the source name of the messages logged inside its lifetime; restores the previous one.
  class SourceScope {
   public:
    SourceScope(CScriptRegistrar& registrar, const char* source)
        : m_registrar(registrar), m_saved(std::exchange(registrar.m_source, source)) {}
    ~SourceScope() { m_registrar.m_source = m_saved; }
    SourceScope(const SourceScope&) = delete;
    SourceScope& operator=(const SourceScope&) = delete;

   private:
    CScriptRegistrar& m_registrar;
    const char* m_saved;
  };

  bool Type(const char* name, int size, AngelScript::asDWORD flags, const char* message,
            Where where = Where::current());
  bool Behaviour(const char* type, AngelScript::asEBehaviours behaviour, const char* declaration,
                 const ScriptCall& call, const char* message, Where where = Where::current());
  bool Method(const char* type, const char* declaration, const ScriptCall& call,
              const char* message, Where where = Where::current());
  bool Property(const char* type, const char* declaration, int offset, const char* message,
                Where where = Where::current());
  bool Function(const char* declaration, const ScriptCall& call, const char* message,
                Where where = Where::current());

  // Any other registration step (an add-on, a whole header's types): `step` returns the script
  // engine's result, negative for a failure. It counts as one call.
  template <typename Step>
  bool Call(Step&& step, const char* message, Where where = Where::current()) {
    if (m_failed) return false;
    ++m_calls;
    const int result = m_calls == m_failCall ? AngelScript::asERROR : std::forward<Step>(step)();
    return Check(result, message, where);
  }

 private:
  // Logs and fails on a negative result.
  bool Check(int result, const char* message, const Where& where);

  AngelScript::asIScriptEngine* m_pEngine;
  CEngineLog* m_pLog;
  const char* m_source = "ScriptRegistrar";
  int m_calls = 0;
  int m_failCall = 0;
  bool m_failed = false;
};
