#include "framework/ScriptHost.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "ProcessExitCatcher.h"
#include "ScriptFixture.h"
#include "framework/BytecodeStream.h"
#include "framework/ScriptStrings.h"

using namespace AngelScript;
namespace fs = std::filesystem;

namespace {

constexpr const char* kOldSource = "int v = 1; int Get() { return v; }";
constexpr const char* kNewSource = "int v = 2; int Get() { return v; }";

size_t Count(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++count;
  return count;
}

class ScriptHostTest : public ScriptFixture {
 protected:
  void TearDown() override {
    for (asIScriptContext* context : m_host.GetContexts())
      if (context) context->Release();
    ScriptFixture::TearDown();
  }

  // Sets the last-write time of `relative` to a fixed base plus `seconds`.
  void SetTime(const std::string& relative, int seconds) {
    static const auto base = fs::file_time_type::clock::now() - std::chrono::hours(1);
    fs::last_write_time(m_folder / relative, base + std::chrono::seconds(seconds));
  }

  // Writes the bytecode of `code` to `relative`, as an earlier start would have.
  void WriteCache(const std::string& relative, const char* code) {
    asIScriptModule* module = Compile(code, "earlier");
    ASSERT_NE(module, nullptr);
    CBytecodeStream stream(relative.c_str(), "wb");
    ASSERT_GE(module->SaveByteCode(&stream), 0);
    module->Discard();
  }

  // Get() of the module on its context; -1 when there is no context.
  int Get(asIScriptContext* context, const char* module) {
    asDWORD result = 0;
    if (!context || Run(module, "int Get()", context, &result) != asEXECUTION_FINISHED) return -1;
    return static_cast<int>(result);
  }

  geCScriptHost m_host;
};

TEST_F(ScriptHostTest, CacheDecisionTable) {
  enum Cache { NONE, OLD_BYTECODE, GARBAGE, FOLDER };
  struct Case {
    const char* name;
    const char* source;  // null: no script file
    int sourceTime;
    Cache cache;
    int cacheTime;
    int expected;  // Get() of the loaded module, -1 when nothing loads
    bool compiled;
    const char* logged;  // a line of the script log, or null
  };
  const Case cases[] = {
      {"newer source", kNewSource, 20, OLD_BYTECODE, 10, 2, true, nullptr},
      {"equal times", kNewSource, 10, OLD_BYTECODE, 10, 1, false, nullptr},
      {"older source", kNewSource, 5, OLD_BYTECODE, 10, 1, false, nullptr},
      {"cache only", nullptr, 0, OLD_BYTECODE, 10, 1, false, nullptr},
      {"source only", kNewSource, 10, NONE, 0, 2, true, nullptr},
      {"neither", nullptr, 0, NONE, 0, -1, false, "- ERROR: can't open script file 's5.as'\n"},
      {"unwritable cache", kNewSource, 20, FOLDER, 10, 2, true,
       "- ERROR: can't write binary version to file 's6.as.bin' (asERROR)\n"},
      {"refused cache", kNewSource, 10, GARBAGE, 20, 2, true,
       "- ERROR: can't load binary version from file 's7.as.bin'"},
      {"refused cache only", nullptr, 0, GARBAGE, 20, -1, false,
       "- ERROR: can't load binary version from file 's8.as.bin'"},
  };
  int index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string script = "s" + std::to_string(index) + ".as";
    const std::string cache = script + ".bin";
    const std::string module = "module" + std::to_string(index++);
    if (c.source) {
      m_folder.Write(script, c.source);
      SetTime(script, c.sourceTime);
    }
    if (c.cache == OLD_BYTECODE) WriteCache(cache, kOldSource);
    if (c.cache == GARBAGE) {
      WriteCache(cache, kOldSource);
      fs::resize_file(m_folder / cache, fs::file_size(m_folder / cache) / 2);
    }
    if (c.cache == FOLDER) fs::create_directory(m_folder / cache);
    if (c.cache != NONE) SetTime(cache, c.cacheTime);
    const std::string before = Read("AngelScript.log");

    asIScriptContext* context = m_host.LoadScriptModule(script.c_str(), module.c_str(), "Node");

    const std::string log = Read("AngelScript.log").substr(before.size());
    EXPECT_EQ(Get(context, module.c_str()), c.expected);
    EXPECT_EQ(log.find("- Compiling AS script module '" + module + "' from file '" + script +
                       "'...OK\n") != std::string::npos,
              c.compiled)
        << log;
    if (c.logged) {
      EXPECT_NE(log.find(c.logged), std::string::npos) << log;
    }
    if (c.compiled && c.cache != FOLDER) {
      // The cache now holds the new script and outranks it.
      EXPECT_NE(log.find("- Generatting binary version to file '" + cache + "'\n"),
                std::string::npos);
      asIScriptContext* again = m_host.LoadScriptModule(script.c_str(), module.c_str(), "Node");
      EXPECT_EQ(Get(again, module.c_str()), c.expected);
    }
    if (c.expected < 0) {
      EXPECT_EQ(context, nullptr);
    }
  }
  EXPECT_NE(Read("GameEngine.log").find(" - Script ERROR: can't open script file 's5.as'\n"),
            std::string::npos);
}

TEST_F(ScriptHostTest, LoadingLogsItsSteps) {
  m_folder.Write("game.as", kNewSource);
  ASSERT_NE(m_host.LoadScriptModule("game.as", "GameCoreModule", "GameCore"), nullptr);
  EXPECT_EQ(Read("AngelScript.log"),
            "- Compiling AS script module 'GameCoreModule' from file 'game.as'...OK\n"
            "- Generatting binary version to file 'game.as.bin'\n"
            "- Loading binary version from file 'game.as.bin'\n"
            "  - Adding AS script module 'GameCoreModule'\n");
  EXPECT_EQ(Read("GameEngine.log"), "  - Adding AS script module 'GameCoreModule'\n");
  EXPECT_EQ(m_top.calls, std::vector<std::string>{"GetVFSInterface"});
}

TEST_F(ScriptHostTest, ScriptTheFileSystemCannotReadCachesNothing) {
  // Too long a name for the engine's file system, though the disk holds it.
  const std::string folder(200, 'd');
  const std::string script = folder + "/" + std::string(100, 'f') + ".as";
  fs::create_directory(m_folder / folder);
  m_folder.Write(script, kNewSource);

  EXPECT_EQ(m_host.LoadScriptModule(script.c_str(), "m", "Node"), nullptr);
  EXPECT_FALSE(Exists(script + ".bin"));
  EXPECT_TRUE(m_host.GetModuleNames().empty());
  EXPECT_NE(Read("AngelScript.log").find("- ERROR: can't open script file '" + script + "'\n"),
            std::string::npos);
}

TEST_F(ScriptHostTest, BuildErrorDumpsTheSourceAndEndsTheProcess) {
  m_folder.Write("bad.as", "void f( {");
  ProcessExitCatcher exits;
  try {
    m_host.LoadScriptModule("bad.as", "bad", "BadNode");
    ADD_FAILURE() << "the build error did not end the process";
  } catch (const ProcessExited& exited) {
    EXPECT_EQ(exited.code, 1u);
  }
  ASSERT_EQ(exits.Boxes().size(), 1u);
  EXPECT_EQ(exits.Boxes()[0].caption, "Vantor - AngelScript ERROR");
  EXPECT_EQ(exits.Boxes()[0].text, "ERROR Building AngelScript file");
  const std::string log = Read("AngelScript.log");
  EXPECT_NE(log.find("BadNode (1, "), std::string::npos) << log;  // the compiler's message
  EXPECT_NE(log.find("\n\n-------------\nvoid f( {\n\n-------------\n"), std::string::npos) << log;
  EXPECT_EQ(Read("GameEngine.log"), "\n - ERROR Building AngelScript file\n");
  EXPECT_FALSE(Exists("bad.as.bin"));
}

TEST_F(ScriptHostTest, ScriptEndsAtItsFirstZeroByte) {
  m_folder.Write("zero.as", std::string("int Get() { return 7; }\0 this is not script (", 46));
  EXPECT_EQ(Get(m_host.LoadScriptModule("zero.as", "zero", "Node"), "zero"), 7);
}

TEST_F(ScriptHostTest, OneModuleForTwoNodesGivesTwoContexts) {
  m_folder.Write("shared.as", kNewSource);
  SetTime("shared.as", 0);
  asIScriptContext* first = m_host.LoadScriptModule("shared.as", "shared", "NodeA");
  asIScriptContext* second = m_host.LoadScriptModule("shared.as", "shared", "NodeB");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  EXPECT_EQ(m_host.GetModuleNames(), (std::vector<std::string>{"shared", "shared"}));
  EXPECT_EQ(m_host.GetContexts(), (std::vector<asIScriptContext*>{first, second}));
  EXPECT_EQ(Count(Read("AngelScript.log"), "- Compiling"), 1u);
  EXPECT_EQ(Get(second, "shared"), 2);
}

TEST_F(ScriptHostTest, ResetModulesRestoresGlobals) {
  m_folder.Write("g.as", "int v = 5; int Get() { return v; } void Bump() { v = 9; }");
  asIScriptContext* context = m_host.LoadScriptModule("g.as", "g", "Node");
  ASSERT_EQ(Run("g", "void Bump()", context), asEXECUTION_FINISHED);
  EXPECT_EQ(Get(context, "g"), 9);
  m_host.ResetModules();
  EXPECT_EQ(Get(context, "g"), 5);
}

TEST_F(ScriptHostTest, ReportContextsRepeatsAnExceptionUntilTheContextRunsAgain) {
  m_folder.Write("boom.as",
                 "int Get() { return 1; }\nvoid Boom() {\n  int a = 0;\n  int b = 1 / a;\n}");
  asIScriptContext* context = m_host.LoadScriptModule("boom.as", "boom", "Node");
  ASSERT_EQ(Run("boom", "void Boom()", context), asEXECUTION_EXCEPTION);
  const std::string report =
      "Return code = 3 (asEXECUTION_EXCEPTION)\n"
      "EXCEPTION:\n\tLine: 4, Function: Boom\n\tException String: Divide by zero\n";
  const size_t before = Read("AngelScript.log").size();
  m_host.ReportContexts();
  m_host.ReportContexts();
  EXPECT_EQ(Read("AngelScript.log").substr(before), report + report);

  EXPECT_EQ(Get(context, "boom"), 1);
  m_host.ReportContexts();
  EXPECT_EQ(Read("AngelScript.log").size(), before + 2 * report.size());
}

TEST_F(ScriptHostTest, ReleaseContextTakesItOutOfTheListAndReleasesEvenAStranger) {
  m_folder.Write("r.as", kNewSource);
  asIScriptContext* first = m_host.LoadScriptModule("r.as", "r", "A");
  asIScriptContext* second = m_host.LoadScriptModule("r.as", "r", "B");
  first->AddRef();
  m_host.ReleaseContext(&first);
  EXPECT_EQ(m_host.GetContexts(), std::vector<asIScriptContext*>{second});
  EXPECT_EQ(first->Release(), 0);  // the host dropped exactly one reference

  asIScriptContext* stranger = m_engine->CreateContext();
  stranger->AddRef();
  m_host.ReleaseContext(&stranger);
  EXPECT_EQ(stranger->Release(), 0);
  m_host.ReleaseContext(nullptr);
  EXPECT_EQ(m_host.GetContexts().size(), 1u);
}

TEST_F(ScriptHostTest, RegisterErrorsAreLoggedWithTheLibrarysNames) {
  const std::pair<int, const char*> cases[] = {
      {-1, "Register failed: Error code = -1 (asERROR)\n"},
      {-19, "Register failed: Error code = -19 (asCANT_BIND_ALL_FUNCTIONS)\n"},
      {-20, "Register failed: Error code = -20 (asLOWER_ARRAY_DIMENSION_NOT_REGISTERED)\n"},
      {-28, "Register failed: Error code = -28 (asMODULE_IS_IN_USE)\n"},
      {-29, ""},
      {0, ""},
      {5, ""},
  };
  for (const auto& [code, line] : cases) {
    const size_t before = Exists("AngelScript.log") ? Read("AngelScript.log").size() : 0;
    LogASRegisterError(code);
    const std::string log = Exists("AngelScript.log") ? Read("AngelScript.log") : "";
    EXPECT_EQ(log.substr(before), line) << code;
  }
}

TEST_F(ScriptHostTest, BytecodeStreamReportsMissingFilesAndShortReads) {
  char buffer[8];
  CBytecodeStream missing("nothing.bin", "rb");
  EXPECT_FALSE(missing.IsOpen());
  EXPECT_EQ(missing.Read(buffer, 4), asERROR);
  EXPECT_EQ(missing.Write(buffer, 4), asERROR);

  m_folder.Write("short.bin", "abc");
  CBytecodeStream shortFile("short.bin", "rb");
  EXPECT_EQ(shortFile.Read(buffer, 2), asSUCCESS);
  EXPECT_EQ(shortFile.Read(buffer, 2), asERROR);
}

}  // namespace
