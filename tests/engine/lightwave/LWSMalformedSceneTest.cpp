// Damaged scene files: every one either loads or stops the program with its one error box; none
// hangs a reader or reads past a line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LWSTestBench.h"

namespace {

constexpr const char* kLWS6 = "Error While Loading LWS6";
const std::string kEnd = "Unexpected End Of File: scene.lws\n";

// Messages that quote a line end with the line's own end and then the message's.
struct Damaged {
  const char* name;
  std::string text;
  const char* caption;  // null: the file loads
  std::string message;
};

std::string Header() { return CLWSBuilder().Header().Text(); }
std::string Ambient(const std::vector<std::string>& block) {
  CLWSBuilder scene;
  scene.Header().Line("AmbientIntensity (envelope)");
  for (const std::string& line : block) scene.Line(line);
  return scene.Text();
}

std::vector<Damaged> SceneFaults() {
  const std::string key = "  Key 1 0 0 0 0 0 0 0 0";
  CLWSBuilder whole;
  whole.Header().Line("AmbientIntensity (envelope)").Envelope({KeyAt(1, 0), KeyAt(2, 1)});
  const std::string envelope = whole.Text();
  return {
      {"envelope cut after its count", Ambient({"{ Envelope", "  2", key}), kLWS6, kEnd},
      {"envelope cut before its closing line", envelope.substr(0, envelope.size() - 2), kLWS6, kEnd},
      {"envelope announced, file ends", Ambient({}), kLWS6, kEnd},
      {"item block without its empty line", Header() + "AddCamera\nCameraMotion\n", kLWS6, kEnd},
      {"a count of keys far beyond the file", Ambient({"{ Envelope", "  2147483647", key}), kLWS6, kEnd},
      {"a count that does not fit an integer", Ambient({"{ Envelope", "  99999999999", key}), kLWS6, kEnd},
      {"negative key count", Ambient({"{ Envelope", "  -1", key}), kLWS6,
       "Unknown Envelope Format:   -1\n\n"},
      {"no envelope opening", Ambient({"  1", key}), kLWS6, "Unknown Envelope Format:   1\n\n"},
      {"count 0 reads the behaviours as its key", Ambient({"{ Envelope", "  0", "  Behaviors 1 1", "}"}),
       kLWS6, "Wrong File Format: Behaviors Expected: }\n"},
      {"keys out of time order",
       Ambient({"{ Envelope", "  2", "  Key 1 1 0 0 0 0 0 0 0", "  Key 2 0.5 0 0 0 0 0 0 0", "  Behaviors 1 1", "}"}),
       kLWS6, "Unknown Envelope Format:   Key 2 0.5 0 0 0 0 0 0 0\n\n"},
      {"two keys at one time",
       Ambient({"{ Envelope", "  2", "  Key 1 1 0 0 0 0 0 0 0", "  Key 2 1 0 0 0 0 0 0 0", "  Behaviors 1 1", "}"}),
       kLWS6, "Unknown Envelope Format:   Key 2 1 0 0 0 0 0 0 0\n\n"},
      {"a key time that is not a number", Ambient({"{ Envelope", "  1", "  Key 1 nan", "  Behaviors 1 1", "}"}),
       kLWS6, "Unknown Envelope Format:   Key 1 nan\n\n"},
      {"no closing line", Ambient({"{ Envelope", "  1", key, "  Behaviors 1 1", "FogType 1"}), kLWS6,
       "Wrong File Format: } for Envelope Expected: FogType 1\n"},
      {"the closing line at the very end", envelope.substr(0, envelope.size() - 1), nullptr, ""},
      {"short lines read zeros", Header() + "PreviewFirstFrame\nFogColor\nAmbientIntensity\nFogType\n", nullptr, ""},
      {"a line without its end", Header() + "FogType 1", nullptr, ""},
      {"a line longer than the line buffer", Header() + "AmbientColor " + std::string(300, '7') + "\n", nullptr, ""},
      {"bytes that are no text", Header() + std::string("Fog\0Type 1\n\x80\xff\n", 16), nullptr, ""},
      {"CRLF line ends", whole.Text(true), nullptr, ""},
  };
}

TEST(LWSMalformedSceneTest, EveryDamagedSceneLoadsOrStopsWithItsMessage) {
  for (const Damaged& row : SceneFaults()) {
    SCOPED_TRACE(row.name);
    LWSTestBench t;
    t.Write(row.text);
    const LWSOutcome outcome = t.Run([&] { EXPECT_EQ(t.Load(), 1u); });
    EXPECT_EQ(outcome.stopped, row.caption != nullptr);
    if (row.caption != nullptr) {
      EXPECT_EQ(outcome.caption, row.caption);
      EXPECT_EQ(outcome.text, row.message);
    }
  }
}

TEST(LWSMalformedSceneTest, AMissingFileStopsWithItsPath) {
  LWSTestBench t;
  const LWSOutcome outcome = t.Run([&] { t.Load("gone.lws", "levels/"); });
  EXPECT_TRUE(outcome.stopped);
  EXPECT_EQ(outcome.caption, kLWS6);
  EXPECT_EQ(outcome.text, "Can't Open File: levels/gone.lws\n");
}

}  // namespace
