#pragma once
// The behaviour of `bstr` and `VoidPtr` as scripts see it, checked the same way in the engine's
// fully registered script engine and in a bare one that registers only the two headers' types,
// as the game's does.
#include <gtest/gtest.h>

#include <string>

#include "ScriptTestEngine.h"
#include "script/VoidPtr.h"
#include "script/bstr.h"

namespace bstr_snippets {

inline int g_target = 0;

inline VoidPtr TestPointer() { return VoidPtr{&g_target}; }
inline bool IsTestPointer(const VoidPtr& pointer) { return pointer.pPointer == &g_target; }

// Registers what the snippets call besides the two types.
inline void RegisterHelpers(AngelScript::asIScriptEngine* engine) {
  using namespace AngelScript;
  ASSERT_GE(engine->RegisterGlobalFunction("VoidPtr TestPointer()", asFUNCTION(TestPointer),
                                           asCALL_CDECL),
            0);
  ASSERT_GE(engine->RegisterGlobalFunction("bool IsTestPointer(const VoidPtr &in)",
                                           asFUNCTION(IsTestPointer), asCALL_CDECL),
            0);
}

inline void Check(ScriptTestEngine& script) {
  struct TextCase {
    const char* code;
    const char* expected;
  };
  const TextCase texts[] = {
      {"bstr s; return s;", ""},
      {"return \"ab\" + \"cd\";", "abcd"},
      {"bstr a = \"x\"; bstr b = a; b += \"y\"; return a + \"/\" + b;", "x/xy"},
      {"bstr a = \"old\"; bstr b = \"new\"; a = b; b = \"changed\"; return a;", "new"},
      {"bstr a = \"left\"; return (a = \"right\");", "right"},
  };
  for (const TextCase& c : texts) EXPECT_EQ(script.Eval<bstr>("bstr", c.code), c.expected) << c.code;

  EXPECT_EQ(script.Eval<AngelScript::asUINT>("uint", "return \"abc\".length();"), 3u);
  EXPECT_EQ(script.Eval<AngelScript::asUINT>("uint", "bstr s; return s.length();"), 0u);

  struct TruthCase {
    const char* code;
    bool expected;
  };
  const TruthCase truths[] = {
      {"return \"abc\" == \"abc\";", true},
      {"return \"abc\" == \"abd\";", false},
      {"return \"abc\" != \"abd\";", true},
      {"return \"abc\" < \"abd\";", true},
      {"return \"b\" > \"abc\";", true},
      {"return \"ab\" <= \"ab\";", true},
      {"return \"ab\" >= \"abc\";", false},
      {"VoidPtr p; VoidPtr q; return p == q;", true},
      {"VoidPtr p = TestPointer(); return p == VoidPtr();", false},
      {"VoidPtr p = TestPointer(); VoidPtr q = p; return IsTestPointer(q) && q == p;", true},
      {"VoidPtr p = TestPointer(); p = VoidPtr(); return p == VoidPtr();", true},
  };
  for (const TruthCase& c : truths)
    EXPECT_EQ(script.Eval<bool>("bool", c.code), c.expected) << c.code;
}

}  // namespace bstr_snippets
