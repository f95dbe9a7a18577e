#include "script/ScriptTypeRows.h"

#include "script/ScriptRegistrar.h"

CScriptTypeRows::CScriptTypeRows(CScriptRegistrar& registrar, const char* type, Kind kind)
    : m_registrar(registrar), m_pType(type), m_kind(kind) {}

std::string CScriptTypeRows::Message(int number) const {
  return std::string("Can't Add ") + m_pType + (m_kind == kInterface ? "*" : "") +
         " ZeKorb Type To The Script (" + std::to_string(number) + ")";
}

bool CScriptTypeRows::Type(int size, AngelScript::asDWORD flags, Where where) {
  m_number = 1;
  return m_registrar.Type(m_pType, size, flags, Message(1).c_str(), where);
}

bool CScriptTypeRows::Method(const char* declaration, const ScriptCall& call, int number,
                             Where where) {
  m_number = number;
  return m_registrar.Method(m_pType, declaration, call, Message(number).c_str(), where);
}

bool CScriptTypeRows::Property(const char* declaration, int offset, int number, Where where) {
  m_number = number;
  return m_registrar.Property(m_pType, declaration, offset, Message(number).c_str(), where);
}

bool CScriptTypeRows::ClearingConstructor(const ScriptCall& call, Where where) {
  const std::string message = std::string("Can't Declare Contructor1 For ") + m_pType;
  return m_registrar.Behaviour(m_pType, AngelScript::asBEHAVE_CONSTRUCT, "void f()", call,
                               message.c_str(), where);
}
