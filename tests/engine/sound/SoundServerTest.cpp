#include <filesystem>

#include "SoundServerFixture.h"
#include "WorkingFolderScope.h"

namespace {

const std::string kFunctions = "QmrSoundFunctions";
const std::string kDirectSound = "QmrSoundDSound";

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

using SoundServerTest = SoundServerFixture;

TEST_F(SoundServerTest, ConfigOfAnotherSizeIsRefusedBeforeAnythingOpens) {
  for (DWORD size : {19u, 24u}) {
    SCOPED_TRACE(size);
    CTonaris* server = MakeServer();
    TonarisConfig config = Config(2);
    config.dwSize = size;
    EXPECT_EQ(server->Init(&config), 0u);
    const std::string expected = "- Configurations Structure Incorrect Size (" +
                                 std::to_string(size) + " - 20)\n";
    EXPECT_TRUE(Contains(LogBody(), Line(kFunctions, expected))) << LogBody();
    EXPECT_FALSE(Contains(LogBody(), "- Creating DSound Interface"));
    EXPECT_EQ(server->GetDirectSound(), nullptr);
    EXPECT_EQ(config.dwDeviceIndex, 0xFFFFFFFFu);  // nothing written back
    EXPECT_EQ(server->Play(), 0u);
  }
  EXPECT_EQ(MakeServer()->Init(nullptr), 0u);
}

TEST_F(SoundServerTest, DefaultDeviceAndLeastCountsAreWrittenBack) {
  CTonaris* server = MakeServer();
  TonarisConfig config = Config(2, 0, 0);
  ASSERT_EQ(server->Init(&config), 1u);
  EXPECT_EQ(config.dwDeviceIndex, 0u);
  EXPECT_EQ(config.dwBufferCount1, 8u);
  EXPECT_EQ(config.dwBufferCount2, 8u);
  const WAVEFORMATEX& format = server->GetOutputFormat();
  EXPECT_EQ(format.wFormatTag, WAVE_FORMAT_PCM);
  EXPECT_EQ(format.nChannels, 2);
  EXPECT_EQ(format.nSamplesPerSec, 44100u);
  EXPECT_EQ(format.nAvgBytesPerSec, 176400u);
  EXPECT_EQ(format.nBlockAlign, 4);
  EXPECT_EQ(format.wBitsPerSample, 16);
  EXPECT_EQ(format.cbSize, 0);
}

struct PrimaryCase {
  const char* name;
  DWORD configFlags;
  DWORD hwMixing, hw3D;  // what the card reports
  DWORD expectedFlags;
  UINT software;
};

TEST_F(SoundServerTest, PrimaryBufferFlagsAndTheMixingDecision) {
  const PrimaryCase cases[] = {
      {"no 3D", 0, 32, 32, 0x4001, 0},
      {"3D with enough hardware", 2, 32, 32, 0x4011, 0},
      {"3D short of hardware 3D buffers", 2, 32, 4, 0x4019, 1},
      {"software forced", 1, 32, 32, 0x4009, 1},
      {"4 hardware buffers against 16", 0, 4, 32, 0x4009, 1},
      {"the game's config on a software card", 2, 0, 0, 0x4019, 1},
  };
  for (const PrimaryCase& c : cases) {
    SCOPED_TRACE(c.name);
    const DSCAPS caps = Caps(c.hwMixing, c.hw3D);
    ZkTestSoundSetCaps(&caps);
    CTonaris* server = MakeServer();
    TonarisConfig config = Config(c.configFlags);
    ASSERT_EQ(server->Init(&config), 1u);
    EXPECT_EQ(server->GetPrimaryBufferFlags(), c.expectedFlags);
    EXPECT_EQ(server->IsSoftwareMixing(), c.software);
    server->Deinit();
  }
}

TEST_F(SoundServerTest, DeviceTableAndItsQueries) {
  const std::string longName(200, 'n');
  const char* names[] = {"Speakers", longName.c_str()};
  ZkTestSoundSetDevices(names, 2);
  DSCAPS caps = Caps(32, 16);
  caps.dwFreeHwMixingStreamingBuffers = 11;
  caps.dwFreeHwMixingStaticBuffers = 12;
  caps.dwFreeHw3DStreamingBuffers = 13;
  caps.dwFreeHw3DStaticBuffers = 14;
  caps.dwFreeHwMemBytes = 15000;
  ZkTestSoundSetCaps(&caps);
  CTonaris* server = MakeServer();

  ASSERT_EQ(server->GetNumberOfDevices(), 3u);
  EXPECT_STREQ(server->GetDeviceName(0), "Primary Sound Driver");
  EXPECT_STREQ(server->GetDeviceName(1), "Speakers");
  EXPECT_EQ(server->GetDeviceName(2), longName.substr(0, 123));
  EXPECT_EQ(server->GetDeviceFreeHwStreamingBuffers(1), 11u);
  EXPECT_EQ(server->GetDeviceFreeHwStaticBuffers(1), 12u);
  EXPECT_EQ(server->GetDeviceFreeHw3DStreamingBuffers(2), 13u);
  EXPECT_EQ(server->GetDeviceFreeHw3DStaticBuffers(2), 14u);
  EXPECT_EQ(server->GetDeviceFreeHwMemory(0), 15000u);
  EXPECT_EQ(server->GetDeviceCapsValid(0), 1u);

  // An index past the table answers nothing, and Init refuses it.
  EXPECT_EQ(server->GetDeviceName(3), nullptr);
  EXPECT_EQ(server->GetDeviceCapsValid(3), 0u);
  EXPECT_EQ(server->GetDeviceFreeHwMemory(0xFFFFFFFF), 0u);
  TonarisConfig config = Config(2, 16, 16, 3);
  EXPECT_EQ(server->Init(&config), 0u);
  EXPECT_TRUE(Contains(LogBody(), Line(kFunctions, "- Incorrect Device Index (3 - 3)\n")));
  EXPECT_EQ(server->GetDirectSound(), nullptr);
}

TEST_F(SoundServerTest, CardWithoutPrimaryBuffersKeepsItsCapsInvalid) {
  const DSCAPS caps = {};
  ZkTestSoundSetCaps(&caps);
  CTonaris* server = MakeServer();
  EXPECT_EQ(server->GetDeviceCapsValid(1), 0u);
  EXPECT_TRUE(Contains(LogBody(), Line(kFunctions, "No Primary Buffers For Speakers\n")));
}

TEST_F(SoundServerTest, DeviceThatCannotBeOpenedIsOnlyLogged) {
  // Outside the loopback output, OpenAL's null driver has no device of these names.
  ZkTestSoundUseLoopback(false);
  CTonaris* server = MakeServer();
  ASSERT_EQ(server->GetNumberOfDevices(), 3u);
  EXPECT_EQ(server->GetDeviceCapsValid(0), 1u);
  EXPECT_EQ(server->GetDeviceCapsValid(1), 0u);
  EXPECT_STREQ(server->GetDeviceName(1), "Speakers");
  EXPECT_TRUE(Contains(LogBody(), Line(kFunctions, "Can't Initialize DSound For Speakers\n"
                                                   "DSERR_NODRIVER - No sound driver is available") +
                                      Line(kFunctions, "Can't Initialize DSound For Headphones")))
      << LogBody();
}

TEST_F(SoundServerTest, GoldenLogOfStartAndShutdown) {
  CTonaris* server = MakeServer();
  TonarisConfig config = Config(2);
  ASSERT_EQ(server->Init(&config), 1u);
  ASSERT_EQ(server->Deinit(), 1u);

  const std::string text = LogText();
  EXPECT_EQ(text.rfind("Tonaris Sound Server (v0.2 - Beta Built)\n", 0), 0u) << text;
  EXPECT_TRUE(Contains(text, "\nStarting Debug File: "));
  EXPECT_TRUE(Contains(text, "\n- OS: WinNT ("));

  const std::string expected =
      Line(kFunctions, "- Using DSound\n") + Line(kFunctions, "- Found Devices:\n") +
      Line(kFunctions, "  - Primary Sound Driver\n") + Line(kFunctions, "  - Speakers\n") +
      Line(kFunctions, "  - Headphones\n") +
      Line(kDirectSound, "- Creating DSound Interface...\n") + Line(kDirectSound, "  - DONE\n") +
      Line(kDirectSound, "- Setting Cooperative Level...\n") + Line(kDirectSound, "  - DONE\n") +
      Line(kDirectSound, "- Creating Primary Sound Buffer...\n") +
      Line(kDirectSound, "  - DONE\n") +
      Line(kDirectSound, "- Setting Primary Sound Buffer's Format...\n") +
      Line(kDirectSound, "  - DONE\n") + Line(kDirectSound, "- Creating Sound Thread...\n") +
      Line(kDirectSound, "  - DONE\n") + Line(kFunctions, "- Deinitializing\n") +
      Line("Thread", "- DSound Thread Exited\n") +
      "\n\n----- Tonaris Debugger Closed Successfully -----\n";
  EXPECT_EQ(LogBody(), expected);
}

TEST_F(SoundServerTest, CooperativeLevelFailureWithoutAnyWindow) {
  CTonaris* server = MakeServer(1, nullptr);
  TonarisConfig config = Config(2);
  EXPECT_EQ(server->Init(&config), 0u);
  EXPECT_TRUE(Contains(LogBody(), Line(kDirectSound, "- Setting Cooperative Level...\n") +
                                      Line(kDirectSound, "FAILED\nERROR! - E_INVALIDARG - ")))
      << LogBody();
  EXPECT_EQ(server->GetDirectSound(), nullptr);
  EXPECT_EQ(server->Play(), 0u);
}

TEST_F(SoundServerTest, LogLabelsAreCutAndPaddedAndMessagesBounded) {
  CSoundLog* log = GetSoundLog();
  log->Open(1);
  ASSERT_TRUE(log->IsEnabled());
  const std::string banner = LogText();
  log->Write("A source label longer than thirty-two characters", "cut\n");
  log->Write("", "empty\n");
  log->Write("Short", "%s-%i\n", "padded", 7);
  log->Write("Long", "%s", std::string(5000, 'x').c_str());
  log->Close();
  EXPECT_FALSE(log->IsEnabled());
  log->Write("After", "ignored\n");

  const std::string expected = std::string("A source label longer than thirt") + "cut\n" +
                               Line("", "empty\n") + Line("Short", "padded-7\n") +
                               Line("Long", std::string(1024, 'x')) +
                               "\n\n----- Tonaris Debugger Closed Successfully -----\n";
  EXPECT_EQ(LogText(), banner + expected);
}

TEST_F(SoundServerTest, NoLogFileWithUseLogsZero) {
  CTonaris* server = MakeServer(0);
  TonarisConfig config = Config(2);
  ASSERT_EQ(server->Init(&config), 1u);
  server->LoadStream("music.ogg", nullptr, 4);
  ASSERT_EQ(server->Deinit(), 1u);
  EXPECT_TRUE(std::filesystem::is_empty(m_folder.Path()));
}

TEST_F(SoundServerTest, WithoutLogFolderTheLogGoesToTheCurrentFolder) {
  m_context->pDescriptor = nullptr;
  WorkingFolderScope here(m_folder.Path());
  ASSERT_TRUE(here.Entered());
  MakeServer();
  GetSoundLog()->Close();
  EXPECT_FALSE(std::filesystem::exists(LogPath()));
  const std::string text = ReadFile(m_folder / "TonarisDebug.txt");
  EXPECT_TRUE(Contains(text, Line(kFunctions, "- Using DSound\n")));
  EXPECT_TRUE(Contains(text, "----- Tonaris Debugger Closed Successfully -----\n"));
}

TEST_F(SoundServerTest, ListenerAndApplyRefuseWithoutA3DPrimaryBuffer) {
  CTonaris* server = MakeServer();
  // Before Init there is no primary buffer at all.
  EXPECT_EQ(server->GetListenerInterface(), nullptr);
  TonarisConfig config = Config(0);
  ASSERT_EQ(server->Init(&config), 1u);
  EXPECT_EQ(server->GetListenerInterface(), nullptr);
  EXPECT_EQ(server->Apply(), 0u);
  const std::string body = LogBody();
  EXPECT_TRUE(Contains(body, Line("QMRSoundFunctions",
                                  "ERROR! - Can't Obtain Listener's Interface\n(E_NOINTERFACE - ")))
      << body;
  EXPECT_TRUE(Contains(body, Line("QMRSoundFunctions", "ERROR! - Listener Interface Is NULL\n")));
}

TEST_F(SoundServerTest, DirectSoundModeAnswersOfVolumeAndFactors) {
  CTonaris* server = MakeServer();
  TonarisConfig config = Config(2);
  ASSERT_EQ(server->Init(&config), 1u);
  EXPECT_EQ(server->GetGlobalVolume(), 0xFFFFFFFFu);
  server->SetGlobalVolume(0x12341234);
  EXPECT_EQ(server->GetGlobalVolume(), 0xFFFFFFFFu);
  EXPECT_EQ(server->GetDistanceFactor(), 1.0f);
  EXPECT_EQ(server->GetDopplerFactor(), 1.0f);
  EXPECT_EQ(server->GetRolloffFactor(), 1.0f);
  EXPECT_EQ(server->SetDistanceFactor(2.0f), 0u);
  EXPECT_EQ(server->SetDopplerFactor(2.0f), 0u);
  EXPECT_EQ(server->SetRolloffFactor(2.0f), 0u);
  EXPECT_EQ(server->GetDistanceFactor(), 1.0f);
}

TEST_F(SoundServerTest, DeinitJoinsTheThreadBeforeClosingTheLog) {
  CTonaris* server = MakeServer();
  EXPECT_EQ(server->Deinit(), 0u);  // not initialised yet
  TonarisConfig config = Config(2);
  ASSERT_EQ(server->Init(&config), 1u);
  ASSERT_EQ(server->Deinit(), 1u);
  // The thread's last line lies before the closing line: it ended before the log closed.
  const std::string text = LogText();
  const size_t exited = text.find("- DSound Thread Exited\n");
  ASSERT_NE(exited, std::string::npos);
  EXPECT_LT(exited, text.find("----- Tonaris Debugger Closed Successfully -----"));
  EXPECT_EQ(server->UpdateStreams(), 0u);
  EXPECT_EQ(server->Play(), 0u);
  EXPECT_EQ(server->Deinit(), 0u);
}

TEST_F(SoundServerTest, FactoryMakesADirectSoundServer) {
  TonarisInterface* made = nullptr;
  EXPECT_EQ(CreateTonarisInterface(kWindow, 1, 1, &made), 1u);
  ASSERT_NE(made, nullptr);
  m_servers.emplace_back(static_cast<CTonaris*>(made));
  EXPECT_EQ(m_servers.back()->IsWaveOutMode(), 0u);
  EXPECT_TRUE(Contains(LogBody(), Line(kFunctions, "- Using DSound\n")));
  TonarisConfig config = Config(2);
  EXPECT_EQ(made->Init(&config), 1u);
}

TEST_F(SoundServerTest, WaveOutModeListsTheWaveOutDevices) {
  auto* server = new CTonaris(kWindow, 1, 1);
  m_servers.emplace_back(server);
  EXPECT_EQ(server->IsWaveOutMode(), 1u);
  const UINT count = waveOutGetNumDevs();
  ASSERT_EQ(server->GetNumberOfDevices(), count);
  std::string expected = Line(kFunctions, "- Using WaveOut\n") + Line(kFunctions, "- Found Devices:\n");
  for (UINT i = 0; i < count; ++i) {
    WAVEOUTCAPSA caps = {};
    ASSERT_EQ(waveOutGetDevCapsA(i, &caps, sizeof caps), MMSYSERR_NOERROR);
    EXPECT_STREQ(server->GetDeviceName(i), caps.szPname);
    expected += Line(kFunctions, std::string("  - ") + caps.szPname + "\n");
  }
  EXPECT_EQ(LogBody(), expected);
  EXPECT_EQ(server->GetGlobalVolume(), 0xFFFFFFFFu);  // no waveOut device is open
}
