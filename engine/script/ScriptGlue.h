#pragma once
// Glue between the engine's C++ operations and the script engine, generated from the operation
// itself: a registration names the member, field or function, never a hand-written wrapper.
//
//   ScriptGlue::Method<&C::Op>()            a member function; the object comes first
//   ScriptGlue::Method<&C::Op, kRejectNull>()   the same, a null handle argument raises a
//                                           script exception instead of reaching the operation
//   ScriptGlue::Function<&Op>()             a free function (asCALL_CDECL); with
//   ScriptGlue::Function<&Op>(asCALL_CDECL_OBJFIRST or _OBJLAST)  its first or last parameter,
//                                           a reference, is the object
//   ScriptGlue::Field<&C::pField>()         a read accessor of a pointer field
//   ScriptGlue::Construct<T, Args...>()     placement construction with T's own constructor
//   ScriptGlue::ConstructThen<&T::Init>()   default construction, then T::Init on the object
//   ScriptGlue::Overload<Signature>(&C::Op) picks one overload of an operation
//   ScriptGlue::MethodWith<&C::Op, Last>()  the script's arguments, then the fixed `Last` as the
//                                           operation's final argument (a word it ignores, a
//                                           mode scripts cannot choose)
//   ScriptGlue::Procedure<&C::Op>()         a member function whose result scripts do not see
//
// The script declaration is written at the registration, by the rule below; the glue converts
// what crosses it:
//
//   C++ parameter                 script parameter        reaches the operation as
//   const char*                   const bstr &in          its characters
//   void*, const void*            const VoidPtr &in       the pointer it holds
//   void**                        VoidPtr &out            the script value's pointer field
//   V, const V* (V a value type)  const V &in             a copy, the script value's address
//   V* (V a value type)           V &out or V &inout      the script value's address
//   T* (T an engine object)       T@                      the handle
//   CScriptArray*                 array<X>@               the script's array (a handle)
//   anything else                 the same type           unchanged
//
//   C++ result                    script result
//   const char*, char*            bstr (empty for a null text)
//   void*                         VoidPtr
//   CScriptArray*                 array<X>@               the script takes the reference over
//   V*, const V* (V a value type) V &, const V & (a null pointer raises a script exception)
//   anything else                 the same type
//
// A value type is a class without virtual operations (vectors, matrices, records, bstr); a class
// with them is an engine object that scripts hold by handle; either must be complete where its
// glue is made. Value types that are returned by
// value must be registered with asGetTypeTraits<V>() (and the all-floats or all-ints flag), or
// the script engine misreads the registers they come back in.
#include <angelscript.h>
#include <angelscript/scriptarray.h>

#include <cstddef>
#include <new>
#include <tuple>
#include <type_traits>
#include <utility>

#include "script/ScriptCall.h"
#include "script/VoidPtr.h"
#include "script/bstr.h"

namespace ScriptGlue {

// The text of the exception raised for a null handle or a null engine pointer.
inline constexpr const char* kNullAccess = "Null pointer access";

// Raises a script exception in the running script; outside a script it does nothing.
inline void RaiseException(const char* text) {
  if (AngelScript::asIScriptContext* context = AngelScript::asGetActiveContext())
    context->SetException(text);
}

// The flags of a value type that the script engine copies bit by bit and never destroys (the
// maths types and the records); `layout` adds asOBJ_APP_CLASS_ALLFLOATS or _ALLINTS.
template <typename V>
AngelScript::asDWORD PlainValueFlags(AngelScript::asDWORD layout = 0) {
  return AngelScript::asOBJ_VALUE | AngelScript::asOBJ_POD | layout |
         AngelScript::asGetTypeTraits<V>();
}

// The flags of an engine object: scripts hold it by handle only and never count, copy or free it.
inline constexpr AngelScript::asDWORD kEngineObjectFlags =
    AngelScript::asOBJ_REF | AngelScript::asOBJ_NOCOUNT;

template <typename T>
inline constexpr bool kIsValue = std::is_class_v<T> && !std::is_polymorphic_v<T>;

// How a C++ parameter of type T crosses: Script is the wrapper's parameter type.
template <typename T, typename = void>
struct Arg {
  using Script = T;
  static constexpr bool kHandle = false;
  static T ToEngine(Script value) { return value; }
};
template <typename V>
struct Arg<V, std::enable_if_t<kIsValue<V>>> {
  using Script = const V&;
  static constexpr bool kHandle = false;
  static const V& ToEngine(Script value) { return value; }
};
template <typename V>
struct Arg<const V*, std::enable_if_t<kIsValue<V>>> {
  using Script = const V&;
  static constexpr bool kHandle = false;
  static const V* ToEngine(Script value) { return &value; }
};
template <typename V>
struct Arg<V*, std::enable_if_t<kIsValue<V> && !std::is_const_v<V>>> {
  using Script = V&;
  static constexpr bool kHandle = false;
  static V* ToEngine(Script value) { return &value; }
};
template <typename T>
struct Arg<T*, std::enable_if_t<std::is_polymorphic_v<T>>> {
  using Script = T*;
  static constexpr bool kHandle = true;
  static T* ToEngine(Script handle) { return handle; }
};
template <>
struct Arg<AngelScript::CScriptArray*> {
  using Script = AngelScript::CScriptArray*;
  static constexpr bool kHandle = true;
  static AngelScript::CScriptArray* ToEngine(Script array) { return array; }
};
template <>
struct Arg<const char*> {
  using Script = const bstr&;
  static constexpr bool kHandle = false;
  static const char* ToEngine(Script text) { return text.c_str(); }
};
template <>
struct Arg<void*> {
  using Script = const VoidPtr&;
  static constexpr bool kHandle = false;
  static void* ToEngine(Script pointer) { return pointer.pPointer; }
};
template <>
struct Arg<const void*> : Arg<void*> {};
template <>
struct Arg<void**> {
  using Script = VoidPtr&;
  static constexpr bool kHandle = false;
  static void** ToEngine(Script pointer) { return &pointer.pPointer; }
};

// How a C++ result of type R crosses: Script is the wrapper's result type; Fallback is what the
// wrapper returns after raising an exception (the script engine does not read it).
template <typename R, typename = void>
struct Result {
  using Script = R;
  static R ToScript(R value) { return value; }
  static R Fallback() {
    if constexpr (std::is_reference_v<R>) {
      alignas(std::remove_reference_t<R>) static thread_local unsigned char
          storage[sizeof(std::remove_reference_t<R>)] = {};
      return *reinterpret_cast<std::remove_reference_t<R>*>(storage);
    } else {
      return R{};
    }
  }
};
template <>
struct Result<void> {
  using Script = void;
  static void Fallback() {}
};
template <typename V>
struct Result<V*, std::enable_if_t<kIsValue<std::remove_const_t<V>>>> {
  using Script = V&;
  static Script ToScript(V* pointer) {
    if (pointer != nullptr) return *pointer;
    RaiseException(kNullAccess);
    return Fallback();
  }
  static Script Fallback() { return Result<V&>::Fallback(); }
};
template <>
struct Result<AngelScript::CScriptArray*> {
  using Script = AngelScript::CScriptArray*;
  static Script ToScript(Script array) { return array; }
  static Script Fallback() { return nullptr; }
};
template <>
struct Result<const char*> {
  using Script = bstr;
  static bstr ToScript(const char* text) { return text != nullptr ? bstr(text) : bstr(); }
  static bstr Fallback() { return bstr(); }
};
template <>
struct Result<char*> : Result<const char*> {};
template <>
struct Result<void*> {
  using Script = VoidPtr;
  static VoidPtr ToScript(void* pointer) { return VoidPtr{pointer}; }
  static VoidPtr Fallback() { return VoidPtr(); }
};

// Whether a null handle argument stops the call with a script exception.
enum NullHandles { kPassNull, kRejectNull };

template <typename T>
constexpr bool IsNullHandle(const T& value) {
  if constexpr (std::is_pointer_v<T>)
    return value == nullptr;
  else
    return false;
}

template <NullHandles Policy, typename... A>
bool HandlesAccepted(const typename Arg<A>::Script&... args) {
  if constexpr (Policy == kRejectNull) {
    const bool anyNull = ((Arg<A>::kHandle && IsNullHandle(args)) || ...);
    if (anyNull) {
      RaiseException(kNullAccess);
      return false;
    }
  }
  return true;
}

// The wrapper of a member function: the object comes first.
template <auto Member, NullHandles Policy, typename Object, typename R, typename... A>
struct MemberWrapper {
  static typename Result<R>::Script Call(Object* self, typename Arg<A>::Script... args) {
    if (!HandlesAccepted<Policy, A...>(args...)) return Result<R>::Fallback();
    if constexpr (std::is_void_v<R>)
      (self->*Member)(Arg<A>::ToEngine(args)...);
    else
      return Result<R>::ToScript((self->*Member)(Arg<A>::ToEngine(args)...));
  }
};

// The wrapper of a free function.
template <auto Function, NullHandles Policy, typename R, typename... A>
struct FunctionWrapper {
  static typename Result<R>::Script Call(typename Arg<A>::Script... args) {
    if (!HandlesAccepted<Policy, A...>(args...)) return Result<R>::Fallback();
    if constexpr (std::is_void_v<R>)
      Function(Arg<A>::ToEngine(args)...);
    else
      return Result<R>::ToScript(Function(Arg<A>::ToEngine(args)...));
  }
};

template <auto F, NullHandles Policy, typename Signature = decltype(F)>
struct Wrapper;
template <auto F, NullHandles Policy, typename C, typename R, typename... A>
struct Wrapper<F, Policy, R (C::*)(A...)> : MemberWrapper<F, Policy, C, R, A...> {};
template <auto F, NullHandles Policy, typename C, typename R, typename... A>
struct Wrapper<F, Policy, R (C::*)(A...) const> : MemberWrapper<F, Policy, const C, R, A...> {};
template <auto F, NullHandles Policy, typename R, typename... A>
struct Wrapper<F, Policy, R (*)(A...)> : FunctionWrapper<F, Policy, R, A...> {};

template <auto Member, NullHandles Policy = kPassNull>
ScriptCall Method() {
  static_assert(std::is_member_function_pointer_v<decltype(Member)>);
  return {AngelScript::asFunctionPtr(&Wrapper<Member, Policy>::Call),
          AngelScript::asCALL_CDECL_OBJFIRST};
}

template <auto F, NullHandles Policy = kPassNull>
ScriptCall Function(AngelScript::asDWORD convention = AngelScript::asCALL_CDECL) {
  static_assert(std::is_pointer_v<decltype(F)>);
  return {AngelScript::asFunctionPtr(&Wrapper<F, Policy>::Call), convention};
}

// The wrapper of a member function whose last parameter is the fixed `Last`.
template <typename... T>
struct TypeList {};

template <auto Member, auto Last, NullHandles Policy, typename Object, typename R,
          typename LastParam, typename Front>
struct TrailingWrapper;
template <auto Member, auto Last, NullHandles Policy, typename Object, typename R,
          typename LastParam, typename... A>
struct TrailingWrapper<Member, Last, Policy, Object, R, LastParam, TypeList<A...>> {
  static typename Result<R>::Script Call(Object* self, typename Arg<A>::Script... args) {
    if (!HandlesAccepted<Policy, A...>(args...)) return Result<R>::Fallback();
    if constexpr (std::is_void_v<R>)
      (self->*Member)(Arg<A>::ToEngine(args)..., static_cast<LastParam>(Last));
    else
      return Result<R>::ToScript(
          (self->*Member)(Arg<A>::ToEngine(args)..., static_cast<LastParam>(Last)));
  }
};

template <typename Tuple, typename Indices>
struct FrontOf;
template <typename Tuple, std::size_t... I>
struct FrontOf<Tuple, std::index_sequence<I...>> {
  using type = TypeList<std::tuple_element_t<I, Tuple>...>;
};

template <auto F, auto Last, NullHandles Policy, typename Signature = decltype(F)>
struct WrapperWith;
template <auto F, auto Last, NullHandles Policy, typename C, typename R, typename... P>
struct WrapperWith<F, Last, Policy, R (C::*)(P...)>
    : TrailingWrapper<F, Last, Policy, C, R, std::tuple_element_t<sizeof...(P) - 1, std::tuple<P...>>,
                      typename FrontOf<std::tuple<P...>,
                                       std::make_index_sequence<sizeof...(P) - 1>>::type> {};

template <auto Member, auto Last, NullHandles Policy = kPassNull>
ScriptCall MethodWith() {
  return {AngelScript::asFunctionPtr(&WrapperWith<Member, Last, Policy>::Call),
          AngelScript::asCALL_CDECL_OBJFIRST};
}

// The wrapper of a member function whose result is dropped.
template <auto Member, typename Signature = decltype(Member)>
struct ProcedureWrapper;
template <auto Member, typename C, typename R, typename... A>
struct ProcedureWrapper<Member, R (C::*)(A...)> {
  static void Call(C* self, typename Arg<A>::Script... args) {
    (self->*Member)(Arg<A>::ToEngine(args)...);
  }
};

template <auto Member>
ScriptCall Procedure() {
  return {AngelScript::asFunctionPtr(&ProcedureWrapper<Member>::Call),
          AngelScript::asCALL_CDECL_OBJFIRST};
}

template <auto F>
struct FieldWrapper;
template <typename C, typename T, T C::*F>
struct FieldWrapper<F> {
  static typename Result<T>::Script Call(C* self) { return Result<T>::ToScript(self->*F); }
};

template <auto F>
ScriptCall Field() {
  return {AngelScript::asFunctionPtr(&FieldWrapper<F>::Call), AngelScript::asCALL_CDECL_OBJFIRST};
}

template <typename T, typename... A>
struct ConstructWrapper {
  static void Call(T* self, typename Arg<A>::Script... args) {
    if (self != nullptr) new (self) T(Arg<A>::ToEngine(args)...);
  }
};

// A script value built by T's own constructor; T() value-initialises, so a record without a
// constructor starts cleared instead of holding whatever the memory held.
template <typename T, typename... A>
ScriptCall Construct() {
  return {AngelScript::asFunctionPtr(&ConstructWrapper<T, A...>::Call),
          AngelScript::asCALL_CDECL_OBJFIRST};
}

template <auto Init>
struct ConstructThenWrapper;
template <typename T, void (T::*Init)()>
struct ConstructThenWrapper<Init> {
  static void Call(T* self) {
    if (self == nullptr) return;
    new (self) T();
    (self->*Init)();
  }
};

template <auto Init>
ScriptCall ConstructThen() {
  return {AngelScript::asFunctionPtr(&ConstructThenWrapper<Init>::Call),
          AngelScript::asCALL_CDECL_OBJFIRST};
}

// Overload<CVector3(float) const>(&CVector3::operator*) names that one of the overloads.
template <typename Signature, typename C>
constexpr Signature C::*Overload(Signature C::*member) {
  return member;
}
template <typename Signature>
constexpr Signature* Overload(Signature* function) {
  return function;
}

}  // namespace ScriptGlue
