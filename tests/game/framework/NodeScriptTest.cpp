#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "NodeFixture.h"
#include "framework/BaseNode.h"

using namespace AngelScript;

namespace {

class NodeScriptTest : public NodeFixture {
 protected:
  // A node named `name` configured with the script `code` as its module, enabled; held by
  // `parent` when there is one.
  geCBaseNode* ScriptedNode(const std::string& name, const std::string& code,
                            geCBaseNode* parent = nullptr) {
    m_folder.Write(name + ".as", code);
    geCBaseNode* node = new geCBaseNode(parent);
    node->SetName(name.c_str());
    node->GetProperties()->Set("Enabled", "1");
    node->GetProperties()->Set("ScriptFile", (name + ".as").c_str());
    node->Configure(nullptr);
    return node;
  }
};

constexpr const char* kEvents = R"(
uint Runs(const geSUpdateArgument &in arg) { Note(int(arg.m_fCurrentTime)); Spend(250); return 42; }
uint Plain() { Note(2); return 5; }
uint Throws(const geSUpdateArgument &in arg) { Note(1); Spend(100); int zero = 0; return 1 / zero; }
uint WrongArgument(geCBaseNode@ node) { Note(3); return 6; }
uint TwoArguments(const geSUpdateArgument &in a, int b) { Note(4); return 7; }
)";

}  // namespace

TEST_F(NodeScriptTest, EventOutcomes) {
  geTRefPtr<geCBaseNode> node = ScriptedNode("events", kEvents);
  ASSERT_NE(node->GetScriptContext(), nullptr) << Read("AngelScript.log");
  m_core.arg = {3.0f, 0.5f};
  struct Case {
    const char* function;
    DWORD result;
    std::vector<int> notes;
    float seconds;
    bool errorLine;
  };
  const Case cases[] = {
      {"Runs", 42, {3}, 0.25f, false},       // gets the core's frame argument
      {"Plain", 5, {2}, 0.0f, false},        // no parameter: runs without the argument
      {"Missing", 0, {}, 0.0f, false},       // skipped silently
      {"Throws", 0, {1}, 0.1f, false},       // an exception is no execution error
      {"WrongArgument", 0, {}, 0.0f, true},  // never handed memory of another type
      {"TwoArguments", 0, {}, 0.0f, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.function);
    m_notes.clear();
    const float before = ScriptSeconds();
    const size_t logged = Read("AngelScript.log").size();
    EXPECT_EQ(node->CallScriptFunction(c.function), c.result);
    EXPECT_EQ(m_notes, c.notes);
    EXPECT_NEAR(ScriptSeconds() - before, c.seconds, 1e-4);
    const std::string added = Read("AngelScript.log").substr(logged);
    const std::string line = std::string("Unexpected error during script execution (calling ") +
                             c.function + "() function\n";
    EXPECT_EQ(added, c.errorLine ? line : "");
  }
  // The exception stays in the context for the host's report.
  m_notes.clear();
  node->CallScriptFunction("Throws");
  EXPECT_EQ(node->GetScriptContext()->GetState(), asEXECUTION_EXCEPTION);
}

TEST_F(NodeScriptTest, TheUpdatePassRaisesItsEventAfterTheChildren) {
  geTRefPtr<geCBaseNode> parent = ScriptedNode("parent", R"(
    void geCBaseNode_Update(const geSUpdateArgument &in arg) { Note(1); })");
  ScriptedNode("child", R"(
    void geCBaseNode_Update(const geSUpdateArgument &in arg) { Note(2); })",
               parent.Get());
  geSUpdateArgument arg{};
  parent->Update(&arg);
  EXPECT_EQ(m_notes, (std::vector<int>{2, 1}));
  // The process pass runs no script event.
  m_notes.clear();
  parent->Process(&arg);
  EXPECT_TRUE(m_notes.empty());
}

TEST_F(NodeScriptTest, MessagesReachTheNodesScriptOnly) {
  geTRefPtr<geCBaseNode> node = ScriptedNode("receiver", R"(
    void geCBaseNode_ProcessMessage(geMessage &in message) { Note(int(message.MessageID)); Spend(50); })");
  geMessage message{};
  std::strcpy(message.pszName, "Hello");
  message.MessageID = 9;
  node->ProcessMessage(&message);
  EXPECT_EQ(m_notes, std::vector<int>{9});
  EXPECT_NEAR(ScriptSeconds(), 0.05f, 1e-4);

  // A handler declared for another argument is refused and logged in the script log.
  geTRefPtr<geCBaseNode> wrong = ScriptedNode("wrong", R"(
    void geCBaseNode_ProcessMessage(const geSUpdateArgument &in arg) { Note(1); })");
  wrong->ProcessMessage(&message);
  EXPECT_EQ(m_notes, std::vector<int>{9});
  EXPECT_NE(Read("AngelScript.log")
                .find("Unexpected error during script execution (calling "
                      "geCBaseNode_ProcessMessage() function\n"),
            std::string::npos);

  // Without a module nothing runs and no time is taken.
  geTRefPtr<geCBaseNode> plain = new geCBaseNode(nullptr);
  const float before = ScriptSeconds();
  plain->ProcessMessage(&message);
  EXPECT_EQ(plain->CallScriptFunction("geCBaseNode_ProcessMessage"), 0u);
  EXPECT_EQ(ScriptSeconds(), before);
}

TEST_F(NodeScriptTest, RunScriptExecutesInTheNodesModuleAndLogsFailures) {
  geTRefPtr<geCBaseNode> node = ScriptedNode("runner", "int counter = 40;");
  node->RunScript("counter += 2; Note(counter); Spend(20);");
  EXPECT_EQ(m_notes, std::vector<int>{42});
  EXPECT_NEAR(ScriptSeconds(), 0.02f, 1e-4);

  node->RunScript("Note(");
  EXPECT_NE(Read("AngelScript.log").find("Register failed: Error code = "), std::string::npos);
  node->RunScript(nullptr);
  EXPECT_EQ(m_notes, std::vector<int>{42});
}

TEST_F(NodeScriptTest, MainRunsOnceWithTheNodeAndMayRunScriptOnItsOwnContext) {
  geTRefPtr<geCBaseNode> node = ScriptedNode("nested", R"(
    void main(geCBaseNode@ node) {
      Note(int(node.GetID()));
      node.RunScript("Note(-1);");
      Note(-2);
    })");
  // The statements run nested inside main, which then goes on.
  EXPECT_EQ(m_notes, (std::vector<int>{int(node->GetID()), -1, -2}));
  const std::string log = Read("GameEngine.log");
  EXPECT_NE(log.find(" - Loading AngelScript file 'nested.as'\n"), std::string::npos);
  EXPECT_NE(log.find("   - main() executed from script\n"), std::string::npos);
  EXPECT_EQ(node->GetScriptModuleName(), "nested");
  EXPECT_EQ(node->GetScriptFile(), "nested.as");
}

TEST_F(NodeScriptTest, MainMissingOrMisdeclaredIsAnErrorAndConfigurationGoesOn) {
  for (const char* code : {"int unused;", "void main(int x) { Note(x); }"}) {
    SCOPED_TRACE(code);
    const size_t logged = Read("GameEngine.log").size();
    geTRefPtr<geCBaseNode> node = ScriptedNode("nomain", code);
    EXPECT_NE(node->GetScriptContext(), nullptr);
    const std::string added = Read("GameEngine.log").substr(logged);
    EXPECT_NE(added.find("Unexpected error during script execution (calling main() function\n"),
              std::string::npos);
    EXPECT_EQ(added.find("main() executed"), std::string::npos);
    EXPECT_TRUE(m_notes.empty());
  }
}

TEST_F(NodeScriptTest, DestructionHandsTheContextBack) {
  geTRefPtr<geCBaseNode> node = ScriptedNode("short", "int x;");
  ASSERT_EQ(m_host.GetContexts().size(), 1u);
  node.Reset();
  EXPECT_TRUE(m_host.GetContexts().empty());
  // The module stays loaded.
  EXPECT_NE(m_engine->GetModule("short", asGM_ONLY_IF_EXISTS), nullptr);
}
