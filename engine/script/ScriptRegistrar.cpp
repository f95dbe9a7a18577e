#include "script/ScriptRegistrar.h"

#include "core/EngineLog.h"

using namespace AngelScript;

CScriptRegistrar::CScriptRegistrar(asIScriptEngine* engine, CEngineLog* log)
    : m_pEngine(engine), m_pLog(log) {}

bool CScriptRegistrar::Type(const char* name, int size, asDWORD flags, const char* message,
                            Where where) {
  return Call([&] { return m_pEngine->RegisterObjectType(name, size, flags); }, message, where);
}

bool CScriptRegistrar::Behaviour(const char* type, asEBehaviours behaviour,
                                 const char* declaration, const ScriptCall& call,
                                 const char* message, Where where) {
  return Call(
      [&] {
        return m_pEngine->RegisterObjectBehaviour(type, behaviour, declaration, call.function,
                                                  call.convention);
      },
      message, where);
}

bool CScriptRegistrar::Method(const char* type, const char* declaration, const ScriptCall& call,
                              const char* message, Where where) {
  return Call(
      [&] {
        return m_pEngine->RegisterObjectMethod(type, declaration, call.function, call.convention);
      },
      message, where);
}

bool CScriptRegistrar::Property(const char* type, const char* declaration, int offset,
                                const char* message, Where where) {
  return Call([&] { return m_pEngine->RegisterObjectProperty(type, declaration, offset); },
              message, where);
}

bool CScriptRegistrar::Function(const char* declaration, const ScriptCall& call,
                                const char* message, Where where) {
  return Call(
      [&] {
        return m_pEngine->RegisterGlobalFunction(declaration, call.function, call.convention);
      },
      message, where);
}

bool CScriptRegistrar::Check(int result, const char* message, const Where& where) {
  if (result >= 0) return true;
  m_failed = true;
  if (m_pLog != nullptr)
    m_pLog->Log(m_source, static_cast<int>(where.line()), CEngineLog::kLevelError, "%s\n",
                message);
  return false;
}
