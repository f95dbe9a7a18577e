#pragma once
// The application core started in-process on the stand-in engine library, whose export hands
// out a recording test top interface; a fresh working folder holds the game tree and the logs,
// the platform clock is manual, and exits and message boxes are caught.
#include <angelscript.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>

#include "GameTestZeKorbInterface.h"
#include "LogFolder.h"
#include "ProcessExitCatcher.h"
#include "framework/EngineGlobals.h"
#include "framework/GameCore.h"
#include "framework/NodeFactory.h"
#include "zktest/ZkTestClock.h"

class CTestGameCore : public geCGameCore {
 public:
  CTestGameCore() : geCGameCore(nullptr, "-window", 5) { UseStandIn("with_export"); }
  void UseStandIn(const std::string& variant) {
    m_strLibrary = std::string(ZK_ENGINE_STAND_IN_DIR) + "/" + variant + "/ZeKorb.dll";
    m_szEngineLibrary = m_strLibrary.c_str();
  }

  // Runs after the framework's frame step of every pass; its result is the pass's.
  std::function<bool(CTestGameCore&)> onFrame;
  int frames = 0;

  bool ProcessFrame() override {
    geCGameCore::ProcessFrame();
    ++frames;
    return onFrame ? onFrame(*this) : true;
  }
  std::vector<std::pair<DWORD, DWORD>> received;  // receiver, message id
  // As the constructor does: the next frame resets the input.
  void RequestInputReset() { m_dwInputResetRequest = 1; }
  void ProcessMessage(geMessage* message) override {
    received.emplace_back(message->ReceiverID, message->MessageID);
  }

 private:
  std::string m_strLibrary;
};

class GameCoreTest : public LogFolder {
 protected:
  void SetUp() override {
    LogFolder::SetUp();
    ZkTestClockSetManual(0);
    CGameTestZeKorbInterface::Served() = &m_engine;
    m_savedTypes.swap(g_mapNodeFactory);
  }
  void TearDown() override {
    DestroyCore();
    g_pZeKorb = nullptr;
    CGameTestZeKorbInterface::Served() = nullptr;
    CGameTestZeKorbInterface::LastDescriptor() = nullptr;
    m_savedTypes.swap(g_mapNodeFactory);
    ZkTestClockSetReal();
    LogFolder::TearDown();
  }

  void WriteConfig(const std::string& xml) {
    std::filesystem::create_directories(std::filesystem::path(m_folder.Path()) / "cfg");
    std::ofstream(std::filesystem::path(m_folder.Path()) / "cfg" / "config.xml") << xml;
  }
  // A game tree whose vGameEngine section holds these Param elements.
  void WriteSettings(const std::string& params) {
    WriteConfig("<vGameEngine>" + params + "</vGameEngine>");
  }
  CTestGameCore& MakeCore() {
    m_core = new CTestGameCore();
    m_core->AddRef();
    return *m_core;
  }
  CTestGameCore& StartCore() {
    MakeCore().Initialise();
    return *m_core;
  }
  // The core leaves the script engine to the program's end; each test core here frees its own,
  // and the next core starts as a new program would, before any engine was loaded.
  void DestroyCore() {
    if (m_core) m_core->Release();
    m_core = nullptr;
    g_pZeKorb = nullptr;
    if (g_pScriptEngine) g_pScriptEngine->ShutDownAndRelease();
    g_pScriptEngine = nullptr;
  }
  std::string Log() const { return Read("GameEngine.log"); }

  CGameTestZeKorbInterface m_engine;
  CTestGameCore* m_core = nullptr;
  std::map<std::string, geNodeCreator, std::less<>> m_savedTypes;
};
