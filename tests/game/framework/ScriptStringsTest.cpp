#include "framework/ScriptStrings.h"

#include <gtest/gtest.h>

#include <string>

#include "ScriptFixture.h"
#include "script/bstr.h"

using namespace AngelScript;

namespace {

class ScriptStringsTest : public ScriptFixture {
 protected:
  void SetUp() override {
    ScriptFixture::SetUp();
    ASSERT_EQ(geRegisterScriptStrings(), 0) << Read("AngelScript.log");
  }

  // Calls `declaration` of module "test" with the given text arguments; the state of the run.
  int Call(const char* declaration, std::vector<bstr> texts, std::vector<int> numbers = {},
           asIScriptContext** keep = nullptr) {
    asIScriptFunction* function = m_engine->GetModule("test")->GetFunctionByDecl(declaration);
    if (!function) return -1;
    m_context = m_engine->CreateContext();
    m_context->Prepare(function);
    asUINT arg = 0;
    for (bstr& text : texts) m_context->SetArgObject(arg++, &text);
    for (int number : numbers) m_context->SetArgDWord(arg++, static_cast<asDWORD>(number));
    const int state = m_context->Execute();
    if (keep) *keep = m_context;
    return state;
  }
  void TearDown() override {
    if (m_context) m_context->Release();
    ScriptFixture::TearDown();
  }
  // The text a finished call returned.
  bstr Text() const { return *static_cast<bstr*>(m_context->GetReturnObject()); }
  int Number() const { return static_cast<int>(m_context->GetReturnDWord()); }
  void Next() {
    if (m_context) m_context->Release();
    m_context = nullptr;
  }

  asIScriptContext* m_context = nullptr;
};

TEST_F(ScriptStringsTest, BstrOrdersByUnsignedBytesThenLength) {
  ASSERT_NE(Compile("int Order(bstr a, bstr b) {"
                    "  if (a < b && a <= b && a != b) return -1;"
                    "  if (a > b && a >= b && a != b) return 1;"
                    "  if (a == b && a <= b && a >= b) return 0;"
                    "  return 9; }"),
            nullptr);
  struct Case {
    bstr a, b;
    int order;
  };
  const Case cases[] = {
      {bstr(), bstr(), 0},          {bstr(), "", 0},        {"", "a", -1},
      {"abc", "abd", -1},           {"abd", "abcd", 1},     {"abc", "abcd", -1},
      {"b", "abc", 1},              {"\x80", "a", 1},       {bstr("a\0b", 3), "a", 1},
      {bstr("a\0b", 3), "ab", -1},  {"abc", "abc", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.a) + " vs " + testing::PrintToString(c.b));
    ASSERT_EQ(Call("int Order(bstr, bstr)", {c.a, c.b}), asEXECUTION_FINISHED);
    EXPECT_EQ(Number(), c.order);
    Next();
  }
}

TEST_F(ScriptStringsTest, ByteAccessOutsideTheTextRaisesOutOfRange) {
  ASSERT_NE(Compile("uint8 Index(bstr s, int i) { return s[i]; }"
                    "uint8 At(bstr s, int i) { return s.ByteAt(i); }"
                    "bstr Poke(bstr s) { s[1] = 66; return s; }"),
            nullptr);
  for (const char* declaration : {"uint8 Index(bstr, int)", "uint8 At(bstr, int)"}) {
    SCOPED_TRACE(declaration);
    ASSERT_EQ(Call(declaration, {"abc"}, {1}), asEXECUTION_FINISHED);
    EXPECT_EQ(Number() & 0xFF, 'b');
    Next();
    for (int index : {-1, 3}) {
      ASSERT_EQ(Call(declaration, {"abc"}, {index}), asEXECUTION_EXCEPTION) << index;
      EXPECT_STREQ(m_context->GetExceptionString(), "Out of range");
      Next();
    }
  }
  ASSERT_EQ(Call("bstr Poke(bstr)", {"abc"}), asEXECUTION_FINISHED);
  EXPECT_EQ(Text(), "aBc");
}

TEST_F(ScriptStringsTest, GlobalFunctions) {
  ASSERT_NE(Compile("bstr Sub(bstr s, int start, int count) { return bstrSubstr(s, start, count); }"
                    "int Has(bstr a, bstr b) { return bstrStrStr(a, b); }"
                    "int Cmp(bstr a, bstr b) { return bstrCompare(a, b); }"
                    "bstr Formats() { return bstrFormat(1.0f) + '|' + bstrFormat(2.5) + '|' +"
                    "  bstrFormat(-5) + '|' + bstrFormat(uint(4000000000)) + '|' +"
                    "  bstrFormat(bits(255)) + '|' + bstrFormat(1234567.0f); }"
                    "bstr Hex(uint v) { bits b = v; return bstrFormat(b); }"),
            nullptr)
      << Read("AngelScript.log");
  struct SubCase {
    int start, count;
    const char* text;
  };
  for (const SubCase& c : {SubCase{1, 1, "b"}, SubCase{1, 10, "bc"}, SubCase{3, 2, ""},
                           SubCase{7, 2, ""}, SubCase{0, 0, ""}}) {
    ASSERT_EQ(Call("bstr Sub(bstr, int, int)", {"abc"}, {c.start, c.count}),
              asEXECUTION_FINISHED);
    EXPECT_EQ(Text(), c.text) << c.start << "," << c.count;
    Next();
  }
  // Both are containment tests, not orderings.
  for (const char* declaration : {"int Has(bstr, bstr)", "int Cmp(bstr, bstr)"}) {
    ASSERT_EQ(Call(declaration, {"hello world", "o w"}), asEXECUTION_FINISHED);
    EXPECT_EQ(Number(), 1) << declaration;
    Next();
    ASSERT_EQ(Call(declaration, {"abc", "abd"}), asEXECUTION_FINISHED);
    EXPECT_EQ(Number(), 0) << declaration;
    Next();
  }
  ASSERT_EQ(Call("bstr Formats()", {}), asEXECUTION_FINISHED);
  EXPECT_EQ(Text(), "1.00000|2.50000|-5|4000000000|FF|1.23457e+06");
  Next();
  ASSERT_EQ(Call("bstr Hex(uint)", {}, {0xBEEF}), asEXECUTION_FINISHED);
  EXPECT_EQ(Text(), "BEEF");
}

TEST_F(ScriptStringsTest, StringTakesLiteralsAndConvertsBothWays) {
  ASSERT_NE(Compile("uint Len(const string &in s) { return s.length(); }"
                    "bstr Back(string s) { return s; }"
                    "bstr Test() {"
                    "  string s = 'ab';"
                    "  s += 'c';"
                    "  string t = s + 'd';"
                    "  if (!(s < t) || s == t || Len('hello') != 5) return 'wrong';"
                    "  return Back(t); }"),
            nullptr)
      << Read("AngelScript.log");
  ASSERT_EQ(Call("bstr Test()", {}), asEXECUTION_FINISHED);
  EXPECT_EQ(Text(), "abcd");
}

}  // namespace
