#pragma once
// A sound server test on the platform's DirectSound: two test output devices besides the
// primary one, rendering into the loopback output, the manual clock, and the server's log written into a temporary folder that the
// engine context names as the log folder.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "EngineContextScope.h"
#include "TempDir.h"
#include "ZKDXGlobals.h"
#include "sound/SoundLog.h"
#include "sound/Tonaris.h"
#include "zktest/ZkTestClock.h"
#include "zktest/ZkTestSound.h"

class SoundServerFixture : public ::testing::Test {
 protected:
  static inline HWND const kWindow = reinterpret_cast<HWND>(0x1);
  static constexpr const char* kDevices[] = {"Speakers", "Headphones"};

  void SetUp() override {
    ZkTestClockSetManual(1'000'000);
    ZkTestSoundSetDevices(kDevices, 2);
    ZkTestSoundUseLoopback(true);
    m_descriptor.szLogDirectory = m_folder.Path().c_str();
    m_context->pDescriptor = &m_descriptor;
  }

  void TearDown() override {
    // Servers go first: each waits for its refill thread.
    m_servers.clear();
    GetSoundLog()->Close();
    ZkTestSoundUseLoopback(false);
    ZkTestSoundSetCaps(nullptr);
    ZkTestSoundSetDevices(nullptr, 0);
    ZkTestClockSetReal();
  }

  template <typename Server = CTonaris>
  Server* MakeServer(UINT useLogs = 1, HWND window = kWindow) {
    auto* server = new Server(window, 0, useLogs);
    m_servers.emplace_back(server);
    return server;
  }

  // The capabilities of a card with `mixing` hardware buffers and `mixing3D` hardware 3D ones.
  static DSCAPS Caps(DWORD mixing, DWORD mixing3D) {
    DSCAPS caps = {};
    caps.dwPrimaryBuffers = 1;
    caps.dwMaxHwMixingAllBuffers = mixing;
    caps.dwMaxHw3DAllBuffers = mixing3D;
    return caps;
  }

  static TonarisConfig Config(DWORD flags, DWORD least = 16, DWORD least3D = 16,
                              DWORD device = 0xFFFFFFFF) {
    return TonarisConfig{sizeof(TonarisConfig), device, flags, least, least3D};
  }

  // A log line: the source label padded to its column, then the message.
  static std::string Line(const std::string& source, const std::string& message) {
    return source + std::string(CSoundLog::kSourceWidth - source.size(), ' ') + message;
  }

  std::string LogPath() const { return m_folder / "Tonaris.Log"; }
  static std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }
  std::string LogText() const { return ReadFile(LogPath()); }
  // The log after its banner, which ends with the first empty line.
  std::string LogBody() const {
    const std::string text = LogText();
    const size_t end = text.find("\n\n");
    return end == std::string::npos ? std::string() : text.substr(end + 2);
  }

  TempDir m_folder;
  EngineContextScope m_context;
  ApplicationDescriptor m_descriptor = {};
  std::vector<std::unique_ptr<CTonaris>> m_servers;
};
