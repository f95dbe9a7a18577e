// The two header-only script types in a script engine that knows nothing of the engine.
#include <gtest/gtest.h>

#include "BstrSnippets.h"
#include "ScriptTestEngine.h"
#include "script/VoidPtr.h"
#include "script/bstr.h"

TEST(BareScriptEngine, BstrAndVoidPtrBehaveAsInTheEngine) {
  ScriptTestEngine script;
  ASSERT_EQ(RegisterBstr(script.engine), 0);
  ASSERT_EQ(RegisterVoidPtr(script.engine), 0);
  bstr_snippets::RegisterHelpers(script.engine);
  bstr_snippets::Check(script);
}

TEST(BareScriptEngine, StringLiteralsAreBstrAndSurviveTheirModule) {
  ScriptTestEngine script;
  ASSERT_EQ(RegisterBstr(script.engine), 0);
  // Literals are shared constants: two modules with the same literal, one discarded, leave the
  // other's intact.
  for (const char* name : {"first", "second"}) {
    AngelScript::asIScriptModule* module =
        script.engine->GetModule(name, AngelScript::asGM_ALWAYS_CREATE);
    ASSERT_GE(module->AddScriptSection(name, "bstr Text() { return \"shared literal\"; }"), 0);
    ASSERT_GE(module->Build(), 0) << script.messages;
  }
  script.engine->DiscardModule("first");
  AngelScript::asIScriptFunction* text =
      script.engine->GetModule("second")->GetFunctionByDecl("bstr Text()");
  ASSERT_NE(text, nullptr);
  ASSERT_GE(script.context->Prepare(text), 0);
  ASSERT_EQ(script.context->Execute(), AngelScript::asEXECUTION_FINISHED);
  EXPECT_EQ(*static_cast<bstr*>(script.context->GetAddressOfReturnValue()), "shared literal");
}

TEST(BareScriptEngine, RegisteringBstrTwiceReportsTheRefusal) {
  ScriptTestEngine script;
  ASSERT_EQ(RegisterBstr(script.engine), 0);
  EXPECT_LT(RegisterBstr(script.engine), 0);
}
