#include "framework/ScriptIndex.h"

#include <gtest/gtest.h>

#include <string>

#include "ScriptFixture.h"
#include "framework/ScriptStrings.h"

using namespace AngelScript;

namespace {

int Seven() { return 7; }
int ThingGet(void*) { return 1; }

constexpr const char* kGlobalDescription = "różne globalne funkcje, stale i zmienne";

class ScriptIndexTest : public ScriptFixture {
 protected:
  std::string Log() const { return Exists("AngelScript.log") ? Read("AngelScript.log") : ""; }
  bool HasGlobal(const char* declaration) const {
    return m_engine->GetGlobalFunctionByDecl(declaration) != nullptr;
  }
};

TEST_F(ScriptIndexTest, OffEverythingReachesTheLibraryAndNothingIsDumped) {
  SetIndexOn(false);
  EXPECT_GE(geRegisterGlobalFunction("int Seven()", asCALL_CDECL, "seven", asFUNCTION(Seven)), 0);
  EXPECT_TRUE(HasGlobal("int Seven()"));
  // The library reports the second registration itself.
  EXPECT_GE(geRegisterObjectType("Thing", 0, asOBJ_REF | asOBJ_NOCOUNT, ""), 0);
  EXPECT_EQ(geRegisterObjectType("Thing", 0, asOBJ_REF | asOBJ_NOCOUNT, ""),
            asALREADY_REGISTERED);
  DumpScriptIndex();
  EXPECT_EQ(Log(), "");
}

TEST_F(ScriptIndexTest, OnRecordsOnceAndSkipsWhatHasNoEntry) {
  SetIndexOn(true);
  // No global entry yet: not registered, silently.
  EXPECT_EQ(geRegisterGlobalFunction("int Seven()", asCALL_CDECL, "", asFUNCTION(Seven)), 0);
  EXPECT_FALSE(HasGlobal("int Seven()"));

  // A type registered past the index: its members are not registered.
  ASSERT_GE(m_engine->RegisterObjectType("Plain", 0, asOBJ_REF | asOBJ_NOCOUNT), 0);
  EXPECT_EQ(geRegisterObjectMethod("Plain", "int Get()", asCALL_CDECL_OBJLAST, "",
                                   asFUNCTION(ThingGet)),
            0);
  EXPECT_EQ(m_engine->GetTypeInfoByName("Plain")->GetMethodCount(), 0u);

  geAddScriptIndexEntry(kScriptIndexGlobalKey, "GLOABAL", kGlobalDescription);
  EXPECT_GE(geRegisterGlobalFunction("void Hello()", asCALL_CDECL, "says hello",
                                     asFUNCTION(Seven)),
            0);
  // Passed to the library again (which refuses it), recorded once with the first description.
  EXPECT_LT(geRegisterGlobalFunction("void Hello()", asCALL_CDECL, "second", asFUNCTION(Seven)),
            0);
  ASSERT_GE(geRegisterObjectType("Thing", 0, asOBJ_REF | asOBJ_NOCOUNT, "a thing"), 0);
  EXPECT_EQ(geRegisterObjectType("Thing", 0, asOBJ_REF | asOBJ_NOCOUNT, "again"), 0);
  EXPECT_GE(geRegisterObjectMethod("Thing", "int Get()", asCALL_CDECL_OBJLAST, "",
                                   asFUNCTION(ThingGet)),
            0);
  EXPECT_EQ(m_engine->GetTypeInfoByName("Thing")->GetMethodCount(), 1u);
  ASSERT_EQ(Log(), "");

  DumpScriptIndex();
  EXPECT_EQ(Log(),
            "\nAngelScript Registered types:\n"
            "----------------------------\n"
            " -GLOABAL\n"
            "  " + std::string(kGlobalDescription) + "\n"
            "   - void Hello()\n"
            "       says hello\n"
            " -Thing\n"
            "  a thing\n"
            "   - int Get()\n"
            "-----------------------------------------\n");
}

TEST_F(ScriptIndexTest, TheSettingIsReadAtEveryRegistration) {
  SetIndexOn(true);
  EXPECT_EQ(geRegisterGlobalFunction("int Seven()", asCALL_CDECL, "", asFUNCTION(Seven)), 0);
  SetIndexOn(false);
  EXPECT_GE(geRegisterGlobalFunction("int Seven()", asCALL_CDECL, "", asFUNCTION(Seven)), 0);
  EXPECT_TRUE(HasGlobal("int Seven()"));
}

TEST_F(ScriptIndexTest, StringTypesAreIndexed) {
  SetIndexOn(true);
  geAddScriptIndexEntry(kScriptIndexGlobalKey, "GLOABAL", kGlobalDescription);
  ASSERT_EQ(geRegisterScriptStrings(), 0) << Log();
  DumpScriptIndex();
  const std::string log = Log();
  EXPECT_NE(log.find(" -bstr\n   - uint8 ByteAt(int)\n-----"), std::string::npos) << log;
  EXPECT_NE(log.find("   - int  bstrCompare(bstr s1, bstr s2)\n       like strcmp in C/C++\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("   - bstr bstrFormat(bits)\n"), std::string::npos) << log;
}

}  // namespace
