// The game's OpenAL output on OpenAL Soft's null output, and a device that cannot open.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "LogFolder.h"
#include "ProbeProcess.h"
#include "cpelto/OpenAL.h"

namespace {

class OpenALTest : public LogFolder {
 protected:
  void SetUp() override {
    LogFolder::SetUp();
    // A core made earlier in this program may hold the device; each test opens its own.
    delete COpenAL::GetInstance();
    m_openAL = new COpenAL();
  }
  void TearDown() override {
    delete m_openAL;
    LogFolder::TearDown();
  }
  std::string Log() const { return Read("GameEngine.log"); }

  COpenAL* m_openAL = nullptr;
};

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

TEST_F(OpenALTest, OpensTheNullOutputAndLogsIt) {
  EXPECT_EQ(COpenAL::GetInstance(), m_openAL);
  EXPECT_NE(m_openAL->GetDevice(), nullptr);
  EXPECT_NE(m_openAL->GetContext(), nullptr);
  // The device's name is the library's to choose.
  const std::string log = Log();
  const std::string head = "O p e n  A L - Init...\n - Open AL Version 1.1\n - Using device '";
  ASSERT_EQ(log.substr(0, head.size()), head);
  EXPECT_GT(log.size(), head.size() + 3);
  EXPECT_EQ(log.substr(log.size() - 3), "'.\n");
  EXPECT_EQ(log.find('\n', head.size()), log.size() - 1) << "one line for the device, no more";
}

TEST_F(OpenALTest, StreamsPlayAndErrorsAreOnlyLogged) {
  // A tenth of a second of a 16-bit stereo ramp.
  std::vector<int16_t> samples(2 * 2205);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>(i * 7);
  const size_t before = Log().size();
  OpenALStream stream = CreateOpenALStream(kOpenALFormatStereo16, samples.data(),
                                           static_cast<int32_t>(samples.size() * 2), 22050);
  samples.assign(samples.size(), 0);  // the buffer holds its own copy
  PlayOpenALStream(stream);
  PlayOpenALStream(stream);  // restarts
  EXPECT_NE(stream.source, 0u);
  EXPECT_NE(stream.buffer, 0u);
  EXPECT_EQ(stream.format, kOpenALFormatStereo16);
  EXPECT_EQ(Log().substr(before),
            "OPENAL: Created source = " + std::to_string(stream.source) + "\n");

  // An unknown format fails in the buffer only; the stream is still made and playable.
  const size_t beforeBad = Log().size();
  OpenALStream bad = CreateOpenALStream(0x7777, samples.data(), 8, 22050);
  PlayOpenALStream(bad);
  EXPECT_EQ(Log().substr(beforeBad), "OpenAL Error : 40962\nOPENAL: Created source = " +
                                         std::to_string(bad.source) + "\n");
  EXPECT_NE(bad.source, stream.source);

  // A record never filled is refused with its source's number.
  const size_t beforeEmpty = Log().size();
  PlayOpenALStream(OpenALStream{9, 0, 0});
  EXPECT_EQ(Log().substr(beforeEmpty), "OpenAL Error : Can't play stream, invalid stream9\n");
}

TEST_F(OpenALTest, NoUsableOutputEndsTheProgramWithMinusOne) {
  ProbeProcess probe(ZK_OPENAL_PROBE, {}, {"ALSOFT_DRIVERS=no-such-output"});
  EXPECT_EQ(probe.ReadLine(), "exit 4294967295");
  EXPECT_EQ(probe.ReadLine(), "");  // nothing after the device failed
  EXPECT_EQ(probe.Finish(), 255);
  const std::string log = Log();
  EXPECT_PRED2(Contains, log,
               "O p e n  A L - Init...\nERROR: can't initialize OpenAL default device \n");
  EXPECT_FALSE(Contains(log, "Open AL Version"));
}
