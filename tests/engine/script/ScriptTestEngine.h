#pragma once
// A script engine for tests: it collects the compiler's messages, runs snippets as function
// bodies and hands their result back to the test.
#include <angelscript.h>
#include <angelscript/scripthelper.h>
#include <gtest/gtest.h>

#include <string>

class ScriptTestEngine {
 public:
  ScriptTestEngine() : engine(AngelScript::asCreateScriptEngine()) {
    engine->SetMessageCallback(AngelScript::asFUNCTION(Collect), &messages,
                               AngelScript::asCALL_CDECL);
    context = engine->CreateContext();
  }
  ~ScriptTestEngine() {
    context->Release();
    engine->ShutDownAndRelease();
  }
  ScriptTestEngine(const ScriptTestEngine&) = delete;
  ScriptTestEngine& operator=(const ScriptTestEngine&) = delete;

  // Runs `code` as the body of a function returning `type`; the snippet must finish.
  template <typename T>
  T Eval(const char* type, const std::string& code) {
    T value{};
    const int result = AngelScript::ExecuteString(engine, code.c_str(), &value,
                                                  engine->GetTypeIdByDecl(type), nullptr, context);
    EXPECT_EQ(result, AngelScript::asEXECUTION_FINISHED)
        << code << "\n" << messages << Exception();
    return value;
  }

  // Runs `code` as the body of a void function: asEXECUTION_FINISHED, asEXECUTION_EXCEPTION,
  // or negative when it does not compile (the reason is in `messages`).
  int Run(const std::string& code) {
    messages.clear();
    return AngelScript::ExecuteString(engine, code.c_str(), nullptr, context);
  }

  // The text of the last script exception, empty when there was none.
  std::string Exception() const {
    const char* text = context->GetState() == AngelScript::asEXECUTION_EXCEPTION
                           ? context->GetExceptionString()
                           : nullptr;
    return text != nullptr ? text : "";
  }

  AngelScript::asIScriptEngine* engine;
  AngelScript::asIScriptContext* context;
  std::string messages;

 private:
  static void Collect(const AngelScript::asSMessageInfo* message, void* messages) {
    *static_cast<std::string*>(messages) += std::string(message->message) + "\n";
  }
};
