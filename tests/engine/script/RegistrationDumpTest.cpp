// Everything scripts can see of the engine, as the scripting library writes it out right after
// the host's initialisation, against the dump kept beside this test. Any change to a type, a
// method, a declaration or their order fails here.
//
// After a deliberate change, review the difference and regenerate the kept dump with
//   ZK_WRITE_REGISTRATION_DUMP=1 build/tests/engine_script_tests --gtest_filter='RegistrationDump.*'
#include <angelscript/scripthelper.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "EngineContextScope.h"
#include "RecordingEngineLog.h"
#include "script/ScriptStorage.h"

namespace {

std::string Dump(AngelScript::asIScriptEngine* engine) {
  std::ostringstream out;
  EXPECT_GE(AngelScript::WriteConfigToStream(engine, out), 0);
  return out.str();
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(RegistrationDump, TheHostRegistersExactlyTheKeptInterface) {
  EngineContextScope context;
  CRecordingEngineLog log;
  CScriptStorage storage(&log);
  ASSERT_EQ(storage.Initialize(), 1u) << log.TextAt(CEngineLog::kLevelError);
  const std::string dump = Dump(storage.GetScriptEngine());
  const std::string kept = ZK_REGISTRATION_DUMP;
  if (std::getenv("ZK_WRITE_REGISTRATION_DUMP") != nullptr) {
    std::ofstream(kept, std::ios::binary) << dump;
    GTEST_SKIP() << "wrote " << kept;
  }
  const std::string expected = ReadFile(kept);
  ASSERT_FALSE(expected.empty()) << kept << " is missing";
  // The first differing line says what changed.
  std::istringstream got(dump), want(expected);
  std::string gotLine, wantLine;
  for (int line = 1; std::getline(want, wantLine); ++line) {
    std::getline(got, gotLine);
    ASSERT_EQ(gotLine, wantLine) << "line " << line;
  }
  EXPECT_EQ(dump, expected);
}

}  // namespace
