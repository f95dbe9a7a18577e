#pragma once
// A game script engine with nothing registered yet, the test top interface behind the
// framework's engine global (its file system reads the test's folder), and the core's settings,
// in a fresh working folder with the game's logs on.
#include <angelscript.h>

#include <string>

#include "LogFolder.h"
#include "TestZeKorbInterface.h"
#include "framework/EngineGlobals.h"
#include "framework/Properties.h"
#include "framework/ScriptIndex.h"

class ScriptFixture : public LogFolder {
 protected:
  void SetUp() override {
    LogFolder::SetUp();
    m_engine = AngelScript::asCreateScriptEngine();
    ASSERT_NE(m_engine, nullptr);
    g_pScriptEngine = m_engine;
    g_pZeKorb = &m_top;
    g_pCoreProperties = &m_core;
  }
  void TearDown() override {
    if (m_engine) m_engine->ShutDownAndRelease();
    g_pScriptEngine = nullptr;
    g_pZeKorb = nullptr;
    g_pCoreProperties = nullptr;
    geClearScriptIndex();
    LogFolder::TearDown();
  }

  void SetIndexOn(bool on) { m_core.RegisterAndSet("CreateASIndex", on ? 1 : 0); }

  // Compiles `code` straight into the engine as module `name`; null when it does not build.
  AngelScript::asIScriptModule* Compile(const char* code, const char* name = "test") {
    AngelScript::asIScriptModule* module =
        m_engine->GetModule(name, AngelScript::asGM_ALWAYS_CREATE);
    module->AddScriptSection("test", code);
    return module->Build() >= 0 ? module : nullptr;
  }

  // Runs `declaration` of module `name` on `context` (a new one when null, released after) and
  // returns its state; the integer result lands in *result.
  int Run(const char* name, const char* declaration, AngelScript::asIScriptContext* context,
          AngelScript::asDWORD* result = nullptr) {
    AngelScript::asIScriptModule* module =
        m_engine->GetModule(name, AngelScript::asGM_ONLY_IF_EXISTS);
    AngelScript::asIScriptFunction* function =
        module ? module->GetFunctionByDecl(declaration) : nullptr;
    if (!function) return -1;
    AngelScript::asIScriptContext* own = context ? nullptr : m_engine->CreateContext();
    AngelScript::asIScriptContext* ctx = context ? context : own;
    ctx->Prepare(function);
    const int state = ctx->Execute();
    if (result) *result = ctx->GetReturnDWord();
    if (own) own->Release();
    return state;
  }

  CTestZeKorbInterface m_top;
  geCProperties m_core;
  AngelScript::asIScriptEngine* m_engine = nullptr;
};
