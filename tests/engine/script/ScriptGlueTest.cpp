// The glue generated from engine operations: texts, opaque pointers, handles, written and read
// values and engine pointers cross as the conventions say, and nothing null reaches an operation
// that gives it no meaning.
#include <gtest/gtest.h>

#include <string>

#include "ScriptBindingsFixture.h"
#include "script/ScriptGlue.h"

using namespace AngelScript;

namespace {

// An engine object as scripts see one: an interface with virtual operations.
class CGlueTarget {
 public:
  virtual ~CGlueTarget() = default;
  virtual const char* Echo(const char* text) {
    m_text = text;
    return m_text.c_str();
  }
  virtual const char* NoText() { return nullptr; }
  virtual void* Self() { return this; }
  virtual bool IsSelf(const void* pointer) const { return pointer == this; }
  virtual int Link(CGlueTarget* other) {
    ++m_links;
    return other == this ? 1 : 2;
  }
  virtual CVector3* Find(int index) { return index == 0 ? &m_vector : nullptr; }
  virtual void Fill(CVector3* out) const { *out = CVector3(1, 2, 3); }
  virtual float Sum(const CVector3* in) const { return in->x + in->y + in->z; }
  virtual CVector3 Scaled(CVector3 vector, float scale) const { return vector * scale; }

  std::string m_text;
  int m_links = 0;
  CVector3 m_vector{4, 5, 6};
};

CGlueTarget g_target;
CGlueTarget* Target() { return &g_target; }

class ScriptGlueTest : public ScriptBindingsTest {
 protected:
  void SetUp() override {
    ScriptBindingsTest::SetUp();
    g_target = CGlueTarget();
    using ScriptGlue::Method;
    const char* t = "CGlueTarget";
    CScriptRegistrar r(script.engine, &log);
    r.Type(t, 0, asOBJ_REF | asOBJ_NOCOUNT, "type");
    r.Function("CGlueTarget@ Target()", ScriptGlue::Function<&Target>(), "Target");
    r.Method(t, "bstr Echo(const bstr &in)", Method<&CGlueTarget::Echo>(), "Echo");
    r.Method(t, "bstr NoText()", Method<&CGlueTarget::NoText>(), "NoText");
    r.Method(t, "VoidPtr Self()", Method<&CGlueTarget::Self>(), "Self");
    r.Method(t, "bool IsSelf(const VoidPtr &in) const", Method<&CGlueTarget::IsSelf>(), "IsSelf");
    r.Method(t, "int Link(CGlueTarget@)", Method<&CGlueTarget::Link, ScriptGlue::kRejectNull>(),
             "Link");
    r.Method(t, "int LinkAny(CGlueTarget@)", Method<&CGlueTarget::Link>(), "LinkAny");
    r.Method(t, "CVector3 &Find(int)", Method<&CGlueTarget::Find>(), "Find");
    r.Method(t, "void Fill(CVector3 &out) const", Method<&CGlueTarget::Fill>(), "Fill");
    r.Method(t, "float Sum(const CVector3 &in) const", Method<&CGlueTarget::Sum>(), "Sum");
    r.Method(t, "CVector3 Scaled(const CVector3 &in, float) const",
             Method<&CGlueTarget::Scaled>(), "Scaled");
    ASSERT_TRUE(r.Succeeded()) << log.TextAt(CEngineLog::kLevelError) << script.messages;
  }
};

TEST_F(ScriptGlueTest, TextsCrossAsTheirCharacters) {
  EXPECT_EQ(script.Eval<bstr>("bstr", "bstr s = \"hel\"; return Target().Echo(s + \"lo\");"),
            "hello");
  EXPECT_EQ(g_target.m_text, "hello");
  EXPECT_EQ(script.Eval<bstr>("bstr", "return Target().NoText() + \"!\";"), "!");
}

TEST_F(ScriptGlueTest, OpaquePointersComeBackUnchanged) {
  EXPECT_TRUE(script.Eval<bool>("bool", "VoidPtr p = Target().Self(); return Target().IsSelf(p);"));
  EXPECT_FALSE(script.Eval<bool>("bool", "return Target().IsSelf(VoidPtr());"));
}

TEST_F(ScriptGlueTest, ANullHandleIsRejectedOnlyWhereTheOperationGivesItNoMeaning) {
  EXPECT_EQ(script.Eval<int>("int", "return Target().Link(Target());"), 1);
  EXPECT_EQ(script.Run("Target().Link(null);"), asEXECUTION_EXCEPTION);
  EXPECT_EQ(script.Exception(), "Null pointer access");
  EXPECT_EQ(g_target.m_links, 1);
  EXPECT_EQ(script.Eval<int>("int", "return Target().LinkAny(null);"), 2);
  EXPECT_EQ(g_target.m_links, 2);
}

TEST_F(ScriptGlueTest, EnginePointersBecomeReferencesOrAnException) {
  ASSERT_EQ(script.Run("Target().Find(0).y = 9;"), asEXECUTION_FINISHED) << script.messages;
  EXPECT_EQ(g_target.m_vector, CVector3(4, 9, 6));
  EXPECT_EQ(script.Run("float y = Target().Find(1).y;"), asEXECUTION_EXCEPTION);
  EXPECT_EQ(script.Exception(), "Null pointer access");
}

TEST_F(ScriptGlueTest, ValuesAreReadAndWrittenThroughTheScriptsOwnVariables) {
  EXPECT_EQ(script.Eval<CVector3>("CVector3", "CVector3 v; Target().Fill(v); return v;"),
            CVector3(1, 2, 3));
  EXPECT_EQ(script.Eval<float>("float", "return Target().Sum(CVector3(1, 2, 4));"), 7.0f);
  EXPECT_EQ(script.Eval<CVector3>("CVector3", "return Target().Scaled(CVector3(1, 2, 4), 0.5f);"),
            CVector3(0.5f, 1, 2));
}

}  // namespace
