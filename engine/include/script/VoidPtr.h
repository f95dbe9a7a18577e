#pragma once
// `VoidPtr`, the one script type for an opaque `void*`: scripts can hold one, copy it, compare
// it and pass it back, never look inside. A fresh one is null. The engine's script engine and
// the game's both register it from this header.
#include <angelscript.h>

#include <new>

struct VoidPtr {
  void* pPointer = nullptr;

  bool operator==(const VoidPtr&) const = default;
};

namespace voidptr_glue {

inline void Construct(VoidPtr* self) { new (self) VoidPtr(); }
inline bool Equals(const VoidPtr* self, const VoidPtr& other) { return *self == other; }

}  // namespace voidptr_glue

// Registers the value type `VoidPtr`; copies are plain copies of the pointer. Returns 0, or the
// first negative result of the script engine (nothing after it is registered).
inline int RegisterVoidPtr(AngelScript::asIScriptEngine* engine) {
  using namespace AngelScript;
  int r;
  if ((r = engine->RegisterObjectType(
           "VoidPtr", sizeof(VoidPtr),
           asOBJ_VALUE | asOBJ_POD | asOBJ_APP_CLASS_ALLINTS | asGetTypeTraits<VoidPtr>())) < 0 ||
      (r = engine->RegisterObjectBehaviour("VoidPtr", asBEHAVE_CONSTRUCT, "void f()",
                                           asFUNCTION(voidptr_glue::Construct),
                                           asCALL_CDECL_OBJFIRST)) < 0 ||
      (r = engine->RegisterObjectMethod("VoidPtr", "bool opEquals(const VoidPtr &in) const",
                                        asFUNCTION(voidptr_glue::Equals),
                                        asCALL_CDECL_OBJFIRST)) < 0)
    return r;
  return 0;
}
