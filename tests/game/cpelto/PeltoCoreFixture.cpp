#include "PeltoCoreFixture.h"

#include "framework/EngineGlobals.h"
#include "framework/Logger.h"
#include "framework/Message.h"

using namespace AngelScript;

// The stand-in engine's export asks the test program for the interface to hand out.
extern "C" __attribute__((visibility("default"))) CZeKorbD3DInterface* ZkGameTestServedInterface(
    ApplicationDescriptor* descriptor) {
  CGameTestZeKorbInterface::LastDescriptor() = descriptor;
  return CGameTestZeKorbInterface::Served();
}

namespace {

void Note(int value) {
  if (CTestPeltoCore::s_pNotes) CTestPeltoCore::s_pNotes->push_back(value);
  g_GameLogger.Log("note %d\n", value);
}

DWORD LevelsNow() { return static_cast<CPeltoCore*>(g_pGameCore)->GetLevelsCount(); }

void LoadListedLevel(DWORD index) {
  auto* core = static_cast<CPeltoCore*>(g_pGameCore);
  core->LoadLevel(core->GetLevelName(static_cast<int>(index)).c_str());
}

}  // namespace

void CTestPeltoCore::RegisterScriptInterface() {
  CPeltoCore::RegisterScriptInterface();
  // The framework registers these types itself once it has its script interface; until then the
  // test gives the events something to pass.
  auto ok = [](int result) { EXPECT_GE(result, 0); };
  if (!g_pScriptEngine->GetTypeInfoByName("geSUpdateArgument")) {
    ok(g_pScriptEngine->RegisterObjectType(
        "geSUpdateArgument", sizeof(geSUpdateArgument),
        asOBJ_VALUE | asOBJ_POD | asOBJ_APP_CLASS_ALLFLOATS | asGetTypeTraits<geSUpdateArgument>()));
    ok(g_pScriptEngine->RegisterObjectProperty("geSUpdateArgument", "float m_fCurrentTime",
                                               asOFFSET(geSUpdateArgument, m_fCurrentTime)));
  }
  if (!g_pScriptEngine->GetTypeInfoByName("geMessage")) {
    ok(g_pScriptEngine->RegisterObjectType("geMessage", sizeof(geMessage),
                                           asOBJ_VALUE | asOBJ_POD | asGetTypeTraits<geMessage>()));
    ok(g_pScriptEngine->RegisterObjectProperty("geMessage", "uint MessageID",
                                               asOFFSET(geMessage, MessageID)));
  }
  ok(g_pScriptEngine->RegisterGlobalFunction("void Note(int)", asFUNCTION(Note), asCALL_CDECL));
  ok(g_pScriptEngine->RegisterGlobalFunction("uint LevelsNow()", asFUNCTION(LevelsNow),
                                             asCALL_CDECL));
  ok(g_pScriptEngine->RegisterGlobalFunction("void LoadListedLevel(uint)",
                                             asFUNCTION(LoadListedLevel), asCALL_CDECL));
}

void PeltoCoreTest::SetUp() {
  LogFolder::SetUp();
  ZkTestClockSetManual(0);
  CGameTestZeKorbInterface::Served() = &m_engine;
  m_savedTypes.swap(g_mapNodeFactory);
  CTestPeltoCore::s_pNotes = &m_notes;
  m_alive = g_nObjectsAlive;
}

void PeltoCoreTest::TearDown() {
  DestroyCore();
  EXPECT_EQ(g_nObjectsAlive, m_alive) << "objects left alive";
  CTestPeltoCore::s_pNotes = nullptr;
  CGameTestZeKorbInterface::Served() = nullptr;
  CGameTestZeKorbInterface::LastDescriptor() = nullptr;
  m_savedTypes.swap(g_mapNodeFactory);
  ZkTestClockSetReal();
  LogFolder::TearDown();
}

CTestPeltoCore& PeltoCoreTest::StartCore() {
  m_core = new CTestPeltoCore();
  m_core->AddRef();
  m_core->Initialise();
  return *m_core;
}

ZkTestMessageBox PeltoCoreTest::StartCoreExpectingExit() {
  ProcessExitCatcher catcher;
  try {
    StartCore();
    ADD_FAILURE() << "the start-up went on";
  } catch (const ProcessExited& exited) {
    EXPECT_EQ(exited.code, 1u);
  }
  const std::vector<ZkTestMessageBox> boxes = catcher.Boxes();
  EXPECT_EQ(boxes.size(), 1u);
  return boxes.empty() ? ZkTestMessageBox{} : boxes[0];
}

void PeltoCoreTest::DestroyCore() {
  if (m_core) m_core->Release();
  m_core = nullptr;
  g_pZeKorb = nullptr;
  m_host.Shutdown();
  g_mapNodeFactory.clear();
}

void PeltoCoreTest::ExpectInOrder(const std::string& text, const std::vector<std::string>& parts) {
  size_t from = 0;
  for (const std::string& part : parts) {
    const size_t at = text.find(part, from);
    ASSERT_NE(at, std::string::npos) << "'" << part << "' missing after offset " << from;
    from = at + part.size();
  }
}
