#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "EngineContextScope.h"
#include "FakeWorldObject.h"
#include "RecordingAllocator.h"
#include "RecordingDrawRenderer.h"
#include "RecordingEngineLog.h"
#include "TempDir.h"
#include "TestScene.h"
#include "WorkingFolderScope.h"
#include "ZkzWriter.h"
#include "scene/Null.h"
#include "script/Script.h"
#include "script/ScriptModule.h"
#include "script/ScriptOutput.h"
#include "script/ScriptStorage.h"
#include "vfs/VirtualFileSystem.h"

using namespace AngelScript;

namespace {

struct RecordingOutput final : CScriptOutput {
  void Line(const char* text) override { lines.push_back(text); }
  std::vector<std::string> lines;
};

// A host over a scripts folder the test writes: loose files, and "packed.zkc" in a mounted
// archive. Scripts reach the test through Record (the parent object it sees), Quit (aborts
// the running line) and RunNested (runs the test's inner step).
class ScriptStorageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ZkzWriter().Add("packed.zkc", "int Packed() { return 7; }").Write(folder / "scripts.zkz");
    ASSERT_NE(vfs.AddVirtualDisk("scripts.zkz", VFS_DISK_DATA, 0, 0, nullptr), VFS_NOT_FOUND);
    context->pVirtualFileSystem = &vfs;
    ASSERT_EQ(storage.Initialize(), 1u) << Errors();
    s_test = this;
    asIScriptEngine* engine = storage.GetScriptEngine();
    ASSERT_GE(engine->RegisterGlobalFunction("void Record()", asFUNCTION(Record), asCALL_CDECL), 0);
    ASSERT_GE(engine->RegisterGlobalFunction("void Quit()", asFUNCTION(Quit), asCALL_CDECL), 0);
    ASSERT_GE(engine->RegisterGlobalFunction("void RunNested()", asFUNCTION(RunNested),
                                             asCALL_CDECL),
              0);
  }
  void TearDown() override { s_test = nullptr; }

  std::string Errors() const { return log.TextAt(CEngineLog::kLevelError); }
  std::string Infos() const { return log.TextAt(CEngineLog::kLevelInfo); }
  void Write(const std::string& name, const std::string& text) { folder.Write(name, text); }
  int Run(const char* text, CScriptOutput* output = nullptr, ScriptParent parent = {}) {
    return storage.ExecuteString(parent, "ZeKorbConsole", text, output, 0);
  }

  static void Record() { s_test->seen.push_back(s_test->storage.GetParent().object); }
  static void Quit() { s_test->storage.AbortExecuteString(); }
  static void RunNested() {
    if (s_test->nested) s_test->nested();
  }

  static inline ScriptStorageTest* s_test = nullptr;
  TempDir folder;
  WorkingFolderScope working{folder.Path()};
  CRecordingEngineLog log;
  CRecordingAllocator allocator;
  CVirtualFileSystem vfs{&log, &allocator, nullptr};
  EngineContextScope context;
  CScriptStorage storage{&log};
  std::vector<void*> seen;
  std::function<void()> nested;
};

TEST_F(ScriptStorageTest, CreateScriptFindsRefusesAndFillsEntriesAsTheTableSays) {
  Write("a.zkc", "void A() {}");
  Write("b.zkc", "void B() {}");
  struct Case {
    const char* what;
    const char* module;
    const char* name;
    const char* file;
    const char* function;
    int sameAs;  // the row whose entry comes back; -1 a new one, -2 null
    const char* logged;
  };
  const Case cases[] = {
      {"new entry", "M", "first", "a.zkc", "A", -1, "- Creating Script: first (A)\n  - Done\n"},
      {"same four values", "M", "first", "a.zkc", "A", 0, "  - Already Exists\n"},
      {"name taken by another function", "M", "first", "a.zkc", "B", -2,
       "ERROR!!! - The Script first Already Exsists In Module M\n"},
      {"name taken by another file", "M", "first", "b.zkc", "A", -2,
       "ERROR!!! - The Script first Already Exsists In Module M\n"},
      {"same name, other module", "N", "first", "b.zkc", "B", -1, "  - Done\n"},
      {"named by its file", "M", nullptr, "b.zkc", nullptr, -1,
       "- Creating Script: b.zkc (a sub script)\n"},
      {"no file name", "M", "nameless", "", "A", -2,
       "ERROR!!! - Script Has No File Name In Module: M\n"
       "ERROR!!! - Can't Initialize Script: nameless\n"},
      {"no module name", "", "orphan", "a.zkc", "A", -2,
       "ERROR!!! - Can't Get Module: \nERROR!!! - Can't Initialize Script: orphan\n"},
      // The refused entry above left nothing behind: asking again fails again.
      {"refused again", "", "orphan", "a.zkc", "A", -2, "ERROR!!! - Can't Get Module: \n"},
  };
  std::vector<CScript*> made;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    log.entries.clear();
    CScript* script = storage.CreateScript(c.module, c.name, c.file, c.function);
    made.push_back(script);
    if (c.sameAs == -2) {
      EXPECT_EQ(script, nullptr);
    } else if (c.sameAs >= 0) {
      EXPECT_EQ(script, made[c.sameAs]);
    } else {
      ASSERT_NE(script, nullptr);
      for (size_t i = 0; i + 1 < made.size(); ++i) EXPECT_NE(script, made[i]);
    }
    const std::string all = Infos() + Errors();
    EXPECT_NE(all.find(c.logged), std::string::npos) << all;
  }
  EXPECT_STREQ(made[5]->GetName(), "b.zkc");
  EXPECT_STREQ(made[5]->GetFunctionName(), "");
  EXPECT_EQ(storage.GetScript("N", "first"), made[4]);
  EXPECT_EQ(storage.GetScript("n", "first"), nullptr);

  CScript* found[4] = {};
  UINT count = 4;
  storage.GetScriptsByName("first", found, &count);
  ASSERT_EQ(count, 2u);
  EXPECT_EQ(found[0], made[0]);
  EXPECT_EQ(found[1], made[4]);
  count = 1;
  storage.GetScriptsByModule("M", found, &count);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(found[0], made[0]);
  count = 0;
  found[0] = nullptr;
  storage.GetScriptsByName("first", found, &count);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(found[0], nullptr);
}

TEST_F(ScriptStorageTest, TablesRefuseTheEntryBeyondTheirSize) {
  for (UINT i = 0; i < CScriptStorage::kMaxModules; ++i)
    ASSERT_NE(storage.AddModule(("m" + std::to_string(i)).c_str()), nullptr);
  EXPECT_EQ(storage.AddModule("one more"), nullptr);
  EXPECT_EQ(storage.AddModule("m5"), storage.AddModule("m5"));
  EXPECT_NE(Errors().find("ERROR!!! - Not Enough Modules Entries To Add Next Module\n"),
            std::string::npos);

  CScriptModule* module = storage.AddModule("m0");
  for (UINT i = 0; i < CScriptModule::kMaxFiles; ++i)
    ASSERT_EQ(module->AddFile(("f" + std::to_string(i)).c_str()), 1u);
  EXPECT_EQ(module->AddFile("f64"), 0u);
  EXPECT_EQ(module->AddFile(""), 0u);
  EXPECT_NE(Errors().find("ERROR!!! - Not Enough File Entries In Module: m0\n"), std::string::npos);

  // Entries of one file share its module entry; the 4097th entry is refused.
  CScriptStorage big(&log);
  for (UINT i = 0; i < CScriptStorage::kMaxScripts; ++i)
    ASSERT_NE(big.CreateScript("big", std::to_string(i).c_str(), "x.zkc", "F"), nullptr);
  log.entries.clear();
  EXPECT_EQ(big.CreateScript("big", "last", "x.zkc", "F"), nullptr);
  EXPECT_EQ(Errors(), "ERROR!!! - Not Enough Script Entries To Add Next Script\n");
}

TEST_F(ScriptStorageTest, ModulesCompileOnceAndLogTheirFunctionsAndMessages) {
  Write("one.zkc", "int counter = 0;\nvoid Bump() { counter++; }\n");
  ASSERT_NE(storage.CreateScript("ZeKorbConsole", nullptr, "one.zkc", nullptr), nullptr);
  ASSERT_NE(storage.CreateScript("ZeKorbConsole", nullptr, "packed.zkc", nullptr), nullptr);
  Write("bad.zkc", "void Fine() {}\nvoid Broken() { int x = ; }\n");
  ASSERT_NE(storage.CreateScript("Broken", nullptr, "bad.zkc", nullptr), nullptr);
  ASSERT_NE(storage.CreateScript("Missing", nullptr, "missing.zkc", nullptr), nullptr);

  EXPECT_EQ(storage.CompileModules(), 0u);
  const std::string infos = Infos();
  EXPECT_NE(infos.find("- Compiling Module: ZeKorbConsole\n    - Bump\n    - Packed\n  - Done\n"),
            std::string::npos)
      << infos;
  const std::string errors = Errors();
  EXPECT_NE(errors.find("bad.zkc (2, "), std::string::npos) << errors;
  EXPECT_NE(errors.find(" : ERR : "), std::string::npos) << errors;
  EXPECT_NE(errors.find("ERROR!!! - Can't Compile: Broken\n"), std::string::npos);
  EXPECT_NE(errors.find("ERROR!!! - Can't Open File: missing.zkc\n"), std::string::npos);
  for (const auto& entry : log.entries)
    if (entry.text.find("bad.zkc (2") == 0) {
      EXPECT_EQ(entry.source, "scriptmodule");
    }

  // Failed modules are tried again, from their files; the compiled one is left alone, and a
  // file added to it now is never compiled.
  Write("bad.zkc", "void Fine() {}\n");
  Write("late.zkc", "void Late() {}\n");
  ASSERT_NE(storage.CreateScript("ZeKorbConsole", nullptr, "late.zkc", "Late"), nullptr);
  log.entries.clear();
  EXPECT_EQ(storage.CompileModules(), 0u);
  EXPECT_EQ(Infos().find("Compiling Module: ZeKorbConsole"), std::string::npos);
  EXPECT_NE(Infos().find("- Compiling Module: Broken\n    - Fine\n  - Done\n"), std::string::npos);
  EXPECT_NE(Errors().find("ERROR!!! - Can't Open File: missing.zkc\n"), std::string::npos);
  EXPECT_EQ(Run("Late();"), asERROR);
  EXPECT_EQ(Run("Bump(); Bump(); if (counter != 2 || Packed() != 7) Quit();"), 0);
}

TEST_F(ScriptStorageTest, ScriptEntriesRunTheirFunctionWithTheirParent) {
  Write("entry.zkc", "void Entry() { Record(); }\nvoid Throws() { int z = 0; z = 1 / z; }\n");
  CScript* entry = storage.CreateScript("M", "entry", "entry.zkc", "Entry");
  CScript* throws = storage.CreateScript("M", "throws", "entry.zkc", "Throws");
  CScript* sub = storage.CreateScript("M", "sub", "entry.zkc", nullptr);
  CScript* missing = storage.CreateScript("M", "missing", "entry.zkc", "Nowhere");
  FakeWorldObject object(nullptr, 0);
  EXPECT_EQ(entry->Execute(ScriptParent::Of(&object)), 1u);
  EXPECT_EQ(seen, std::vector<void*>{static_cast<CWorldObjectInterface*>(&object)});
  EXPECT_EQ(entry->GetParentObject(), static_cast<CWorldObjectInterface*>(&object));
  EXPECT_EQ(throws->Execute({}), 0u);
  EXPECT_EQ(sub->Execute({}), 0u);
  EXPECT_EQ(missing->Execute({}), 0u);
  const std::string errors = Errors();
  EXPECT_NE(errors.find("ERROR!!! - Problem Executing Script: throws\n"), std::string::npos);
  EXPECT_NE(errors.find("ERROR!!! - Can't Prepare Script For Execution: sub\n"), std::string::npos);
  EXPECT_NE(errors.find("ERROR!!! - Can't Prepare Script For Execution: missing\n"),
            std::string::npos);
  EXPECT_EQ(entry->Execute({}), 1u);
  EXPECT_EQ(storage.GetCurrentScript(), nullptr);
}

TEST_F(ScriptStorageTest, ExecuteStringReportsBuildErrorsAndExceptionsOnTheSink) {
  RecordingOutput output;
  EXPECT_EQ(Run("int x = 1;", &output), 0);
  EXPECT_TRUE(output.lines.empty());
  EXPECT_LT(Run("int x = ;", &output), 0);
  ASSERT_FALSE(output.lines.empty());
  EXPECT_NE(output.lines[0].find(" (1, "), std::string::npos) << output.lines[0];
  EXPECT_NE(output.lines[0].find(" : ERR : "), std::string::npos) << output.lines[0];

  output.lines.clear();
  Write("thrower.zkc", "void Divide()\n{\n  int z = 0;\n  z = 1 / z;\n}\n");
  storage.CreateScript("ZeKorbConsole", nullptr, "thrower.zkc", nullptr);
  EXPECT_LT(Run("Divide();", &output), 0);
  ASSERT_EQ(output.lines.size(), 1u);
  EXPECT_EQ(output.lines[0], "thrower.zkc (4, 3) : ERR : Divide by zero");
  // Without a sink the messages land in the error log.
  EXPECT_LT(Run("Divide();"), 0);
  EXPECT_NE(Errors().find("thrower.zkc (4, 3) : ERR : Divide by zero\n"), std::string::npos);
  // Another module is made when missing.
  EXPECT_EQ(storage.ExecuteString({}, "Other", "int y = 2;", &output, 0x7f), 0);
}

TEST_F(ScriptStorageTest, AnAbortedLineReturnsNegativeAndTheHostGoesOn) {
  EXPECT_EQ(storage.AbortExecuteString(), 0u);
  EXPECT_LT(Run("Quit(); Record();"), 0);
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(Run("Record();"), 0);
  EXPECT_EQ(seen.size(), 1u);
}

TEST_F(ScriptStorageTest, NestedRunsSeeTheirOwnParentAndRestoreTheOuterOne) {
  RecordingDrawRenderer renderer;
  TestScene* scene = new TestScene(&renderer, &log);
  CNull::SetScriptHost(&storage);
  auto* outer = new CNull(&renderer, &log, "outer;Record(); RunNested(); Record();");
  auto* inner = new CNull(&renderer, &log, "inner;Record();");
  for (CNull* null : {outer, inner}) {
    null->SetOwnerScene(scene);
    scene->AppendWorldObject(null);
  }
  void* outerParent = static_cast<CWorldObjectInterface*>(outer);
  void* innerParent = static_cast<CWorldObjectInterface*>(inner);
  nested = [&] { inner->ApplyScript(); };
  outer->ApplyScript();
  EXPECT_EQ(seen, (std::vector<void*>{outerParent, innerParent, outerParent}));

  // Text run inside a script entry sees the text's parent, and the entry's afterwards.
  Write("entry.zkc", "void Entry() { Record(); RunNested(); Record(); }\n");
  CScript* entry = storage.CreateScript("ZeKorbConsole", "entry", "entry.zkc", "Entry");
  FakeWorldObject object(nullptr, 0);
  seen.clear();
  nested = [&] { Run("Record();", nullptr, ScriptParent::Of(inner)); };
  EXPECT_EQ(entry->Execute(ScriptParent::Of(&object)), 1u);
  EXPECT_EQ(seen, (std::vector<void*>{static_cast<CWorldObjectInterface*>(&object), innerParent,
                                      static_cast<CWorldObjectInterface*>(&object)}));
  // With nothing running, the last text's parent stays.
  EXPECT_EQ(storage.GetParentObject(), innerParent);

  // An entry run from inside another entry's function gets a context of its own.
  Write("second.zkc", "void Second() { Record(); }\n");
  CScript* second = storage.CreateScript("Second", "second", "second.zkc", "Second");
  seen.clear();
  nested = [&] { EXPECT_EQ(second->Execute(ScriptParent::Of(outer)), 1u); };
  EXPECT_EQ(entry->Execute(ScriptParent::Of(&object)), 1u);
  EXPECT_EQ(seen, (std::vector<void*>{static_cast<CWorldObjectInterface*>(&object), outerParent,
                                      static_cast<CWorldObjectInterface*>(&object)}));
  CNull::SetScriptHost(nullptr);
  scene->Release();
}

TEST_F(ScriptStorageTest, ANullsThrowingTextIsTriedAgainAtTheNextApply) {
  Write("tick.zkc",
        "int calls = 0;\nvoid Tick() { calls++; if (calls == 1) { int z = 0; z = 1 / z; } }\n");
  storage.CreateScript("ZeKorbConsole", nullptr, "tick.zkc", nullptr);
  RecordingDrawRenderer renderer;
  TestScene* scene = new TestScene(&renderer, &log);
  CNull::SetScriptHost(&storage);
  auto* null = new CNull(&renderer, &log, "ticker;Tick();");
  null->SetOwnerScene(scene);
  scene->AppendWorldObject(null);
  scene->ApplyNullScripts();
  EXPECT_EQ(null->GetScriptApplied(), 0u);
  EXPECT_NE(Errors().find("tick.zkc (2, "), std::string::npos) << Errors();
  scene->ApplyNullScripts();
  EXPECT_EQ(null->GetScriptApplied(), 1u);
  scene->ApplyNullScripts();
  EXPECT_EQ(Run("if (calls != 2) Quit();"), 0);
  CNull::SetScriptHost(nullptr);
  scene->Release();
}

}  // namespace
