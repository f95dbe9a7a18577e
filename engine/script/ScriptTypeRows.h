#pragma once
// The registrations of one script type, numbered as its failure lines count them: the type is
// 1, and each property, method or behaviour after it takes the next number unless the call
// names its own (a few types repeat or skip numbers). The line reads "Can't Add <type>* ZeKorb
// Type To The Script (<n>)" for an engine interface, without the star for a record.
#include <angelscript.h>

#include <source_location>
#include <string>

#include "script/ScriptCall.h"

class CScriptRegistrar;

class CScriptTypeRows {
 public:
  using Where = std::source_location;
  enum Kind { kInterface, kRecord };

  CScriptTypeRows(CScriptRegistrar& registrar, const char* type, Kind kind);

  // Registers the type itself (number 1).
  bool Type(int size, AngelScript::asDWORD flags, Where where = Where::current());
  // Only numbers the type: its object type was registered by an earlier group.
  void Known() { m_number = 1; }

  bool Method(const char* declaration, const ScriptCall& call, Where where = Where::current()) {
    return Method(declaration, call, m_number + 1, where);
  }
  bool Method(const char* declaration, const ScriptCall& call, int number,
              Where where = Where::current());
  bool Property(const char* declaration, int offset, Where where = Where::current()) {
    return Property(declaration, offset, m_number + 1, where);
  }
  bool Property(const char* declaration, int offset, int number, Where where = Where::current());
  // A constructor that clears the record; its line names the behaviour instead of a number.
  bool ClearingConstructor(const ScriptCall& call, Where where = Where::current());

  const char* GetType() const { return m_pType; }

 private:
  std::string Message(int number) const;

  CScriptRegistrar& m_registrar;
  const char* m_pType;
  Kind m_kind;
  int m_number = 0;
};
