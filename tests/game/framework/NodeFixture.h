#pragma once
// Nodes in a fresh working folder with the game's logs on: the script engine holds the types
// that node events pass (`geCBaseNode@`, `geSUpdateArgument` and `geMessage` by reference) and a
// few node methods, plus `Note(int)`, which records what scripts did. The core port, a script
// host and the statistics timer on the platform's manual clock are in place; the node-name and
// factory maps start empty with "Node" registered, and every node must be gone at the end.
#include <angelscript.h>

#include <memory>
#include <string>
#include <vector>

#include "RecordingCorePort.h"
#include "ScriptFixture.h"
#include "framework/BaseNode.h"
#include "framework/NodeFactory.h"
#include "framework/ScriptHost.h"
#include "framework/ScriptStrings.h"
#include "framework/StatisticsTable.h"
#include "zktest/ZkTestClock.h"

class NodeFixture : public ScriptFixture {
 protected:
  void SetUp() override {
    ScriptFixture::SetUp();
    s_pNotes = &m_notes;
    m_alive = g_nObjectsAlive;
    g_mapNodeNames.clear();
    g_mapNodeFactory.clear();
    ASSERT_TRUE(RegisterNodeType<geCBaseNode>("Node"));
    ASSERT_EQ(geRegisterScriptStrings(), 0);
    RegisterNodeScriptTypes();
    ZkTestClockSetManual(1000000);
    m_timer.reset(m_top.CreateTimer());
    g_pStatisticsTimer = m_timer.get();
    g_StatisticsTable[STAT_ROW_SCRIPT].fSeconds = 0.0f;
  }
  void TearDown() override {
    EXPECT_EQ(g_nObjectsAlive, m_alive) << "nodes left alive";
    g_pStatisticsTimer = nullptr;
    m_timer.reset();
    ZkTestClockSetReal();
    g_mapNodeFactory.clear();
    g_mapNodeNames.clear();
    for (AngelScript::asIScriptContext* context : m_host.GetContexts())
      if (context) context->Release();
    s_pNotes = nullptr;
    ScriptFixture::TearDown();
  }

  float ScriptSeconds() const { return g_StatisticsTable[STAT_ROW_SCRIPT].fSeconds; }

  // The lines of the game log, without their line ends.
  std::vector<std::string> GameLogLines() const { return Lines(Read("GameEngine.log")); }
  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
      lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
  }

  std::vector<int> m_notes;
  CRecordingCorePort m_core;
  geCScriptHost m_host;

 private:
  static void Note(int value) { s_pNotes->push_back(value); }
  // Time passing inside a script, in milliseconds of the manual clock.
  static void Spend(unsigned int ms) { ZkTestClockAdvance(uint64_t{ms} * 1000); }
  static void RunScriptGlue(const std::string& text, geCBaseNode* node) {
    node->RunScript(text.c_str());
  }
  static geCBaseNode* GetParentGlue(geCBaseNode* node) { return node->GetParent(); }

  void RegisterNodeScriptTypes() {
    using namespace AngelScript;
    auto ok = [](int r) { ASSERT_GE(r, 0); };
    ok(m_engine->RegisterObjectType("geCBaseNode", 0, asOBJ_REF | asOBJ_NOCOUNT));
    ok(m_engine->RegisterObjectType("geSUpdateArgument", sizeof(geSUpdateArgument),
                                    asOBJ_VALUE | asOBJ_POD | asOBJ_APP_CLASS_ALLFLOATS |
                                        asGetTypeTraits<geSUpdateArgument>()));
    ok(m_engine->RegisterObjectProperty("geSUpdateArgument", "float m_fCurrentTime",
                                        asOFFSET(geSUpdateArgument, m_fCurrentTime)));
    ok(m_engine->RegisterObjectType("geMessage", sizeof(geMessage),
                                    asOBJ_VALUE | asOBJ_POD | asGetTypeTraits<geMessage>()));
    ok(m_engine->RegisterObjectProperty("geMessage", "uint MessageID",
                                        asOFFSET(geMessage, MessageID)));
    ok(m_engine->RegisterObjectMethod("geCBaseNode", "uint GetID()", asMETHOD(geCBaseNode, GetID),
                                      asCALL_THISCALL));
    ok(m_engine->RegisterObjectMethod("geCBaseNode", "uint GetNodesCount()",
                                      asMETHOD(geCBaseNode, GetNodesCount), asCALL_THISCALL));
    ok(m_engine->RegisterObjectMethod("geCBaseNode", "geCBaseNode@ GetParent()",
                                      asFUNCTION(GetParentGlue), asCALL_CDECL_OBJLAST));
    ok(m_engine->RegisterObjectMethod("geCBaseNode", "void RunScript(const bstr &in)",
                                      asFUNCTION(RunScriptGlue), asCALL_CDECL_OBJLAST));
    ok(m_engine->RegisterGlobalFunction("void Note(int)", asFUNCTION(Note), asCALL_CDECL));
    ok(m_engine->RegisterGlobalFunction("void Spend(uint)", asFUNCTION(Spend), asCALL_CDECL));
  }

  static inline std::vector<int>* s_pNotes = nullptr;
  int m_alive = 0;
  std::unique_ptr<CTimerInterface> m_timer;
};
