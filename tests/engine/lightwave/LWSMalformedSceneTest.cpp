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
      {"bytes that are no text", Header() + std::string("Fog\0Type 1\n\x80\xff\n", 14), nullptr, ""},
      {"CRLF line ends", whole.Text(true), nullptr, ""},
  };
}

std::string Lines(const std::vector<std::string>& lines) {
  CLWSBuilder scene;
  scene.Header();
  for (const std::string& line : lines) scene.Line(line);
  return scene.Text();
}

// Item blocks cut off anywhere, motions naming channels a motion does not have, and name lines
// without a name.
std::vector<Damaged> ItemFaults() {
  const std::string object = "LoadObjectLayer 1 Objects/box.lwo";
  const std::vector<std::string> envelope = {"{ Envelope", "  1", "  Key 1 0 0 0 0 0 0 0 0", "  Behaviors 1 1", "}"};
  const auto motion = [&](const std::string& name, const std::string& channel) {
    std::vector<std::string> lines = {name, "NumChannels 1", channel};
    lines.insert(lines.end(), envelope.begin(), envelope.end());
    lines.push_back("");
    return lines;
  };
  const auto join = [](std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  const std::string light = "AddLight 20000000";
  return {
      {"object cut in its first group", Lines({object, "ObjectMotion", "NumChannels 1"}), kLWS6, kEnd},
      {"object cut in its second group", Lines({object, "", "ShadowOptions 7"}), kLWS6, kEnd},
      {"bone list without its Shadow line", Lines({object, "", "BoneFalloffType 1", "AddBone A", "ParentItem 4000"}),
       kLWS6, kEnd},
      {"bone without its ParentItem line", Lines({object, "", "BoneFalloffType 1", "AddBone A", "BoneActive 1", "Shadow"}),
       kLWS6, kEnd},
      {"light cut in its first group", Lines({light, "LightName Key"}), kLWS6, kEnd},
      {"light cut in its second group", Lines({light, "", "LightType 1"}), kLWS6, kEnd},
      {"falloff at the end of the file", Lines({light, "", "LightFalloffType 1"}), kLWS6, kEnd},
      {"projection image cut off", Lines({light, "", "LightProjImage", "{ Image", "  1"}), kLWS6, kEnd},
      {"camera cut off", Lines({"AddCamera", "", "ZoomFactor 3"}), kLWS6, kEnd},
      {"null cut off", Lines({"AddNullObject Empty", "ObjectMotion"}), kLWS6, kEnd},
      {"object channel 9", Lines(join({object}, motion("ObjectMotion", "Channel 9"))), kLWS6,
       "Can't Get Channel 9 Motion In box.lwo"},
      {"light channel count 10", Lines(join({light, "LightName Key Light"}, {"LightMotion", "NumChannels 10"})), kLWS6,
       "Can't Get Channel 10 Motion In key light"},
      {"camera channel -1", Lines(join({"AddCamera"}, motion("CameraMotion", "Channel -1"))), kLWS6,
       "Can't Get Channel 4294967295 Motion"},
      {"null channel 12", Lines(join({"AddNullObject Null (1)"}, motion("ObjectMotion", "Channel 12"))), kLWS6,
       "Can't Get Channel 12 Motion In Null (1)"},
      {"bone channel 9",
       Lines(join(join({object, "", "BoneFalloffType 1", "AddBone A"}, motion("BoneMotion", "Channel 9")),
                  {"ParentItem 4000", "Shadow", ""})),
       kLWS6,
       "Can't Get Channel 9 Motion In Bone"},
      {"nameless light, null and weight map",
       Lines({light, "LightName", "", "LightType 1", "", "AddNullObject", "", "", object, "", "BoneFalloffType 1",
              "AddBone A", "BoneWeightMapName", "ParentItem", "Shadow", ""}),
       nullptr, ""},
      {"item lines with too few fields",
       Lines({light, "ItemActive", "", "LightType", "LightColor", "LightIntensity", "TargetItem", "LensFlare ", "", "AddCamera",
              "", "ZoomFactor", "PivotRotation", "", object, "", "PivotPosition", "ObjectDissolve", "ShadowOptions", ""}),
       nullptr, ""},
  };
}

TEST(LWSMalformedSceneTest, EveryDamagedSceneLoadsOrStopsWithItsMessage) {
  std::vector<Damaged> rows = SceneFaults();
  for (Damaged& row : ItemFaults()) rows.push_back(std::move(row));
  for (const Damaged& row : rows) {
    SCOPED_TRACE(row.name);
    ExpectLoadOutcome(row.text, row.caption, row.message);
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
