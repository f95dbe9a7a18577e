#pragma once
// A script engine with every engine type registered, its failures recorded, and printers so that
// a mismatch shows the values.
#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <string>

#include "RecordingEngineLog.h"
#include "ScriptTestEngine.h"
#include "ZKDXMath.h"
#include "script/BasicTypes.h"
#include "script/ScriptRegistrar.h"

inline void PrintTo(const CVector3& v, std::ostream* out) {
  *out << "(" << v.x << ", " << v.y << ", " << v.z << ")";
}
inline void PrintTo(const CVector4& v, std::ostream* out) {
  *out << "(" << v.x << ", " << v.y << ", " << v.z << ", " << v.w << ")";
}
inline void PrintTo(const CMatrix& m, std::ostream* out) {
  for (int row = 0; row < 4; ++row)
    *out << (row ? " | " : "") << m.m[row][0] << " " << m.m[row][1] << " " << m.m[row][2] << " "
         << m.m[row][3];
}

class ScriptBindingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(RegisterBasicTypes(registrar)) << log.TextAt(CEngineLog::kLevelError);
  }

  // Runs `code` that must finish.
  void Run(const std::string& code) {
    ASSERT_EQ(script.Run(code), AngelScript::asEXECUTION_FINISHED)
        << code << "\n" << script.messages << script.Exception();
  }
  // Runs `code` that must stop with a script exception.
  void Throws(const std::string& code) {
    EXPECT_EQ(script.Run(code), AngelScript::asEXECUTION_EXCEPTION)
        << code << "\n" << script.messages;
  }
  // The handle `code` returns, as the engine object's address.
  template <typename T = void>
  T* Handle(const char* type, const std::string& code) {
    return static_cast<T*>(script.Eval<void*>(type, code));
  }

  ScriptTestEngine script;
  CRecordingEngineLog log;
  CScriptRegistrar registrar{script.engine, &log};
};
