#pragma once
// Runs a script's "void main()" as the game's scripts run: the code is built as a module of its
// own on the script engine and executed to the end. A build error fails the test with the
// library's messages, an exception with its text.
#include <angelscript.h>
#include <gtest/gtest.h>

#include <string>

inline void CollectScriptMessage(const AngelScript::asSMessageInfo* message, void* messages) {
  *static_cast<std::string*>(messages) +=
      std::to_string(message->row) + ": " + message->message + "\n";
}

inline void RunScriptMain(AngelScript::asIScriptEngine* engine, const std::string& code) {
  using namespace AngelScript;
  std::string messages;
  engine->SetMessageCallback(asFUNCTION(CollectScriptMessage), &messages, asCALL_CDECL);
  asIScriptModule* module = engine->GetModule("test", asGM_ALWAYS_CREATE);
  module->AddScriptSection("test", code.c_str());
  const int built = module->Build();
  engine->ClearMessageCallback();
  ASSERT_GE(built, 0) << code << messages;
  asIScriptFunction* main = module->GetFunctionByDecl("void main()");
  ASSERT_NE(main, nullptr) << code;
  asIScriptContext* context = engine->CreateContext();
  context->Prepare(main);
  const int state = context->Execute();
  const std::string exception = state == asEXECUTION_EXCEPTION ? context->GetExceptionString() : "";
  context->Release();
  ASSERT_EQ(state, asEXECUTION_FINISHED) << code << exception;
}
