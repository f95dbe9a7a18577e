#pragma once
// `bstr`, the scripts' text type: a value type over std::string that is also the type of every
// string literal. The engine's script engine and the game's both register it from this header,
// so a text means the same in either and crosses into C++ without conversion.
//
// Scripts get assignment, + and +=, ==, !=, <, <=, >, >= (byte-wise, as std::string compares)
// and length(). The script engine must be built with AS_USE_NAMESPACE, as Debian's is.
#include <angelscript.h>

#include <map>
#include <mutex>
#include <new>
#include <string>

using bstr = std::string;

namespace bstr_glue {

// The string literals of compiled scripts. A literal is one shared constant, counted by the
// script engine's requests; literals outlive no engine that asked for them. Engines may build
// scripts on several threads, hence the lock.
class CLiteralFactory : public AngelScript::asIStringFactory {
 public:
  const void* GetStringConstant(const char* data, AngelScript::asUINT length) override {
    std::lock_guard<std::mutex> lock(m_lock);
    auto entry = m_literals.try_emplace(bstr(data, length), 0).first;
    ++entry->second;
    return &entry->first;
  }
  int ReleaseStringConstant(const void* text) override {
    std::lock_guard<std::mutex> lock(m_lock);
    auto entry = m_literals.find(*static_cast<const bstr*>(text));
    if (entry == m_literals.end() || &entry->first != text) return AngelScript::asERROR;
    if (--entry->second == 0) m_literals.erase(entry);
    return AngelScript::asSUCCESS;
  }
  int GetRawStringData(const void* text, char* data, AngelScript::asUINT* length) const override {
    if (text == nullptr) return AngelScript::asERROR;
    const bstr& literal = *static_cast<const bstr*>(text);
    if (length != nullptr) *length = static_cast<AngelScript::asUINT>(literal.size());
    if (data != nullptr) literal.copy(data, literal.size());
    return AngelScript::asSUCCESS;
  }

 private:
  std::mutex m_lock;
  std::map<bstr, int> m_literals;  // node addresses stay put while counted
};

inline CLiteralFactory& LiteralFactory() {
  static CLiteralFactory factory;
  return factory;
}

inline void Construct(bstr* self) { new (self) bstr(); }
inline void CopyConstruct(bstr* self, const bstr& other) { new (self) bstr(other); }
inline void Destruct(bstr* self) { self->~bstr(); }
inline bstr& Assign(bstr* self, const bstr& other) { return *self = other; }
inline bstr& AddAssign(bstr* self, const bstr& other) { return *self += other; }
inline bstr Add(const bstr* self, const bstr& other) { return *self + other; }
inline bool Equals(const bstr* self, const bstr& other) { return *self == other; }
inline int Compare(const bstr* self, const bstr& other) {
  const int order = self->compare(other);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}
inline AngelScript::asUINT Length(const bstr* self) {
  return static_cast<AngelScript::asUINT>(self->size());
}

}  // namespace bstr_glue

// Registers `name` as a value type over std::string with assignment, + and +=, the
// comparisons and length(). Returns 0, or the first negative result of the script engine
// (nothing after it is registered). The game registers its `string` type this way too.
inline int RegisterStdStringType(AngelScript::asIScriptEngine* engine, const char* name) {
  using namespace AngelScript;
  constexpr asDWORD kObjFirst = asCALL_CDECL_OBJFIRST;
  const std::string type = name;
  const std::string ref = type + " &";
  const std::string in = "(const " + type + " &in)";
  int r;
  if ((r = engine->RegisterObjectType(name, sizeof(bstr),
                                      asOBJ_VALUE | asGetTypeTraits<bstr>())) < 0 ||
      (r = engine->RegisterObjectBehaviour(name, asBEHAVE_CONSTRUCT, "void f()",
                                           asFUNCTION(bstr_glue::Construct), kObjFirst)) < 0 ||
      (r = engine->RegisterObjectBehaviour(name, asBEHAVE_CONSTRUCT, ("void f" + in).c_str(),
                                           asFUNCTION(bstr_glue::CopyConstruct), kObjFirst)) < 0 ||
      (r = engine->RegisterObjectBehaviour(name, asBEHAVE_DESTRUCT, "void f()",
                                           asFUNCTION(bstr_glue::Destruct), kObjFirst)) < 0 ||
      (r = engine->RegisterObjectMethod(name, (ref + "opAssign" + in).c_str(),
                                        asFUNCTION(bstr_glue::Assign), kObjFirst)) < 0 ||
      (r = engine->RegisterObjectMethod(name, (ref + "opAddAssign" + in).c_str(),
                                        asFUNCTION(bstr_glue::AddAssign), kObjFirst)) < 0 ||
      (r = engine->RegisterObjectMethod(name, (type + " opAdd" + in + " const").c_str(),
                                        asFUNCTION(bstr_glue::Add), kObjFirst)) < 0 ||
      (r = engine->RegisterObjectMethod(name, ("bool opEquals" + in + " const").c_str(),
                                        asFUNCTION(bstr_glue::Equals), kObjFirst)) < 0 ||
      (r = engine->RegisterObjectMethod(name, ("int opCmp" + in + " const").c_str(),
                                        asFUNCTION(bstr_glue::Compare), kObjFirst)) < 0 ||
      (r = engine->RegisterObjectMethod(name, "uint length() const",
                                        asFUNCTION(bstr_glue::Length), kObjFirst)) < 0)
    return r;
  return 0;
}

// Registers the type `bstr` and makes it the type of string literals. Returns 0, or the first
// negative result of the script engine (nothing after it is registered).
inline int RegisterBstr(AngelScript::asIScriptEngine* engine) {
  int r = RegisterStdStringType(engine, "bstr");
  if (r < 0) return r;
  r = engine->RegisterStringFactory("bstr", &bstr_glue::LiteralFactory());
  return r < 0 ? r : 0;
}
