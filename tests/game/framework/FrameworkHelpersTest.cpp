// The framework's small shared pieces: execution reports, text fields, script maths and random
// numbers, property helpers, configuration nodes writing back into XML, and the script host's
// end.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cmath>
#include <string>

#include "NodeFixture.h"
#include "ScriptFixture.h"
#include "framework/ConfigurationNode.h"
#include "framework/PropertyHelpers.h"
#include "framework/ScriptHost.h"
#include "framework/ScriptMaths.h"
#include "framework/Substring.h"

using namespace AngelScript;

namespace {

class ReportTest : public ScriptFixture {
 protected:
  std::string ScriptLogSince(size_t before) const { return Read("AngelScript.log").substr(before); }
};

}  // namespace

TEST_F(ReportTest, ExecutionResultsAsTheScriptLogShowsThem) {
  ASSERT_NE(Compile("int Get() { return 1; }\nvoid Boom() {\n  int a = 0;\n  int b = 1 / a;\n}"),
            nullptr);
  asIScriptContext* context = m_engine->CreateContext();
  ASSERT_EQ(Run("test", "void Boom()", context), asEXECUTION_EXCEPTION);
  struct Case {
    int code;
    std::string text;
  } cases[] = {
      {asINVALID_ARG, "Register failed: Error code = -5 (asINVALID_ARG)\n"},
      {1, "Return code = 1 (asEXECUTION_SUSPENDED)\n"},
      {2, "Return code = 2 (asEXECUTION_ABORTED)\n"},
      {3,
       "Return code = 3 (asEXECUTION_EXCEPTION)\nEXCEPTION:\n\tLine: 4, Function: void Boom()\n"
       "\tException String: Divide by zero\n"},
      {0, ""},
      {4, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    const size_t before = Read("AngelScript.log").size();
    ReportExecution(context, c.code);
    EXPECT_EQ(ScriptLogSince(before), c.text);
  }
  context->Release();
}

TEST_F(ReportTest, HostShutdownReleasesItsContextsAndTheScriptEngine) {
  geCScriptHost host;
  m_folder.Write("a.as", "int Get() { return 1; }");
  asIScriptContext* context = host.LoadScriptModule("a.as", "a", "Node");
  ASSERT_NE(context, nullptr);
  context->AddRef();  // kept, to see the host's release
  host.Shutdown();
  EXPECT_TRUE(host.GetContexts().empty());
  EXPECT_TRUE(host.GetModuleNames().empty());
  EXPECT_EQ(g_pScriptEngine, nullptr);
  EXPECT_EQ(context->Release(), 0) << "the host let its reference go";
  m_engine = nullptr;  // shut down already
}

TEST(GetSubstring, FieldsOfTheFirstLine) {
  struct Case {
    const char* text;
    DWORD n;
    BYTE separator;
    const char* field;
  } cases[] = {
      {"a;b;c", 0, ';', "a"},
      {"a;b;c", 1, ';', "b"},
      {"a;b;c", 2, ';', "c"},
      {"a;b;c", 3, ';', ""},
      {"a;b\nc;d", 1, ';', "b"},
      {"a;b\nc;d", 2, ';', ""},  // the line end ends the text
      {"a;b\r;c", 2, ';', ""},
      {"", 0, ';', ""},
      {"a;b;", 1, ';', "b"},
      {"a;b;", 2, ';', ""},  // the empty field after the last separator
      {"1.5 2 3", 1, ' ', "2"},
      {"x\xE9y\xE9z", 2, 0xE9, "z"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(GetSubstring(c.text, c.n, c.separator), c.field) << c.text << " " << c.n;
  EXPECT_EQ(GetSubstring(std::string("a\0b;c", 5), 0, ';'), "a") << "a zero ends the text";
}

TEST(ScriptMaths, FunctionsAndRandomBounds) {
  EXPECT_FLOAT_EQ(Sin(1.5707964f), 1.0f);
  EXPECT_FLOAT_EQ(Cos(0.0f), 1.0f);
  EXPECT_FLOAT_EQ(Sqrt(2.25f), 1.5f);
  EXPECT_FLOAT_EQ(ArcCos(-1.0f), 3.1415927f);

  bool seen[6] = {};
  for (int i = 0; i < 1000; ++i) {
    const DWORD value = geRandom(5, 2);
    ASSERT_GE(value, 2u);
    ASSERT_LE(value, 5u);
    seen[value] = true;
  }
  EXPECT_TRUE(seen[2] && seen[3] && seen[4] && seen[5]) << "both bounds can come out";
  EXPECT_EQ(geRandom(7, 7), 7u);
  // Spans of 2^32 and of more than 2^31 divide by a 64-bit span, never by 0.
  // (A span computed in 32 bits would be 0 for the whole range, a division by zero.)
  for (int i = 0; i < 100; ++i) {
    geRandom(0, 0xFFFFFFFFu);
    EXPECT_GE(geRandom(0x80000000u, 0xFFFFFFFFu), 0x80000000u);
    EXPECT_GE(geRandom(0xFFFFFFFFu, 0x7FFFFFFFu), 0x7FFFFFFFu);
  }
}

TEST(PropertyHelpers, TextReadsAndInsertion) {
  geCProperties properties;
  properties.RegisterAndSet("Text", geCVariant("12abc"));
  properties.RegisterAndSet("Number", geCVariant(12));
  std::string text = "old";
  GetPropertyAsString(properties, "Text", &text);
  EXPECT_EQ(text, "12abc");
  GetPropertyAsString(properties, "Number", &text);
  EXPECT_EQ(text, "") << "a number has no text";
  GetPropertyAsString(properties, "Missing", &text);
  EXPECT_EQ(text, "");
  InsertProperty(properties, "Added", geCVariant(2.5f));
  InsertProperty(properties, "Text", geCVariant("replaced?"));
  EXPECT_EQ(properties.GetFloat("Added"), 2.5f);
  EXPECT_EQ(properties.GetString("Text"), "12abc") << "an existing name keeps its value";
}

namespace {

class ConfigurationNodeTest : public NodeFixture {};

std::string Print(const TiXmlNode* node) {
  TiXmlPrinter printer;
  printer.SetIndent("");
  printer.SetLineBreak("");
  node->Accept(&printer);
  return printer.Str();
}

}  // namespace

TEST_F(ConfigurationNodeTest, WritesItsPropertiesBackIntoXml) {
  ASSERT_TRUE(RegisterNodeType<geCConfigurationNode>("ConfigurationNode"));
  TiXmlDocument document;
  document.Parse(
      "<Profiles><Node Type='ConfigurationNode' Name='Jan'><Param Score='10' Keep='x'/>"
      "<Node Type='ConfigurationNode' Name='Level1'><Param Done='1'/></Node></Node></Profiles>");
  geTRefPtr<geCBaseNode> root = new geCBaseNode(nullptr);
  root->CreateChildrenFromXML(document.RootElement());
  auto* jan = dynamic_cast<geCConfigurationNode*>(root->GetNode(0));
  ASSERT_NE(jan, nullptr);
  EXPECT_TRUE(jan->GetFlags() & geCBaseNode::kFlagAcceptsAnyProperty);
  EXPECT_EQ(jan->GetProperties()->GetString("Score"), "10") << "unregistered Params kept";
  auto* level = dynamic_cast<geCConfigurationNode*>(jan->GetNode(0));
  ASSERT_NE(level, nullptr);

  geCProperties& properties = *jan->GetProperties();
  properties.Set("Score", geCVariant(42));
  properties.RegisterAndSet("Volume", geCVariant(0.5f));
  properties.RegisterAndSet("Sound", geCVariant(true));
  properties.Register("Unset");
  level->GetProperties()->Set("Done", geCVariant(false));
  geCLogger::SetFirstWrite(true);
  jan->SaveToXML();

  // Name order; the base node's unset properties and "Unset" get no element.
  EXPECT_EQ(Print(jan->GetXmlElement()),
            "<Node Type=\"ConfigurationNode\" Name=\"Jan\">"
            "<Node Type=\"ConfigurationNode\" Name=\"Level1\"><Param Done=\"0\" />"
            "<Param Name=\"Level1\" /></Node>"
            "<Param Keep=\"x\" /><Param Name=\"Jan\" /><Param Score=\"42\" />"
            "<Param Sound=\"1\" /><Param Volume=\"0.500\" /></Node>");
  const std::string log = Read("GameEngine.log");
  EXPECT_EQ(log.substr(0, log.find("<< Level1")),
            "<< Jan\n<<< Enabled\n<<< Keep\n<<< Name\n<<< Score\n<<< ScriptFile\n"
            "<<< ScriptModuleName\n<<< Sound\n<<< Unset\n<<< UserData1\n<<< UserData2\n"
            "<<< Volume\n");
  root.Reset();
}
