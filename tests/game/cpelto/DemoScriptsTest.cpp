// The demo data's script modules built against the game's whole script API, as a started game
// core registers it, each with the entry its caller looks for: "void main()" for the game module,
// "void main(geCBaseNode@)" for a node's module (configuration runs it and logs an error when it
// is missing).
#include <angelscript.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "PeltoCoreFixture.h"
#include "framework/EngineGlobals.h"

using namespace AngelScript;

namespace {

namespace fs = std::filesystem;

class DemoScripts : public PeltoCoreTest {
 protected:
  static void CollectMessage(const asSMessageInfo* message, std::string* messages) {
    *messages += std::to_string(message->row) + ": " + message->message + "\n";
  }
};

TEST_F(DemoScripts, EveryModuleBuildsAgainstTheGamesWholeApi) {
  m_folder.Write("cfg/config.xml", "<vGameEngine><Param use_shaders=\"0\"/></vGameEngine>");
  WriteLevelSetup("", "");
  m_folder.Write("game/levels/.keep", "");
  StartCore();
  std::vector<fs::path> scripts;
  for (const auto& entry : fs::directory_iterator(fs::path(ZK_DEMO_RUNTIME_DIR) / "game/scripts"))
    if (entry.path().extension() == ".as") scripts.push_back(entry.path());
  std::sort(scripts.begin(), scripts.end());
  ASSERT_FALSE(scripts.empty());
  for (const fs::path& script : scripts) {
    SCOPED_TRACE(script.filename().string());
    std::ifstream in(script, std::ios::binary);
    const std::string code{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::string messages;
    g_pScriptEngine->SetMessageCallback(asFUNCTION(CollectMessage), &messages, asCALL_CDECL);
    asIScriptModule* module = g_pScriptEngine->GetModule("demo", asGM_ALWAYS_CREATE);
    module->AddScriptSection(script.filename().string().c_str(), code.c_str());
    ASSERT_GE(module->Build(), 0) << messages;
    EXPECT_EQ(messages, "");
    const bool gameModule = script.filename() == "GameCore.as";
    EXPECT_NE(module->GetFunctionByDecl(gameModule ? "void main()" : "void main(geCBaseNode@)"),
              nullptr);
    if (gameModule) {
      EXPECT_NE(module->GetFunctionByName("OnProcessGame"), nullptr);
    }
    module->Discard();
  }
}

}  // namespace
