#pragma once
// The game's core started in-process on the stand-in engine library: the engine's file system
// reads the test's folder, the renderer hands out a counting texture bank, exits and message
// boxes are caught, and the game's script engine knows the types the core's events pass plus
// `Note(int)` and `LevelsNow()`, which record what scripts saw (a note is also a game-log line,
// so its place among the start-up's lines shows), and `LoadListedLevel(uint)`, a script's level
// request by list index.
#include <angelscript.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "FakeSurfaceBanks.h"
#include "GameTestZeKorbInterface.h"
#include "LogFolder.h"
#include "ProcessExitCatcher.h"
#include "cpelto/PeltoCore.h"
#include "framework/BaseNode.h"
#include "framework/NodeFactory.h"
#include "framework/ScriptHost.h"
#include "zktest/ZkTestClock.h"

// The game test's top interface whose file system opens the loose files of the working folder
// and mounts nothing.
class CPeltoTestZeKorbInterface : public CGameTestZeKorbInterface {
 public:
  CPeltoTestZeKorbInterface() { renderer.textureStorage = &textures; }

  CVirtualFileSystemInterface* GetVFSInterface() override {
    m_files.pReal = CTestZeKorbInterface::GetVFSInterface();
    return &m_files;
  }

  // The game's input devices and its cursor confinement use this window.
  HWND GetWindowHandle() override { return window; }

  FakeTextureStorage textures;
  HWND window = nullptr;
  const std::vector<std::string>& Mounts() const { return m_files.mounts; }

 private:
  class CLooseFiles final : public CVirtualFileSystemInterface {
   public:
    // Mounts nothing; records each request as "name kind a b password".
    UINT AddVirtualDisk(const char* name, UINT kind, UINT a, UINT b, const char* pwd) override {
      mounts.push_back(std::string(name ? name : "(null)") + " " + std::to_string(kind) + " " +
                       std::to_string(a) + " " + std::to_string(b) + " " + (pwd ? pwd : "(null)"));
      return 1;
    }
    std::vector<std::string> mounts;
    UINT CloseVirtualDisk(const char*) override { return 0; }
    UINT GetNumberOfVirtualDisks() override { return 0; }
    UINT LocateNormalFile(const char* name) override { return pReal->LocateNormalFile(name); }
    UINT LocateShaderFile(const char* name) override { return pReal->LocateShaderFile(name); }
    VFSFile* OpenNormalFile(const char* name, const char* mode) override {
      return pReal->OpenNormalFile(name, mode);
    }
    VFSFile* OpenShaderFile(const char* name, const char* mode) override {
      return pReal->OpenShaderFile(name, mode);
    }
    UINT Deinitialize() override { return 1; }
    CVirtualFileSystemInterface* pReal = nullptr;
  };
  CLooseFiles m_files;
};

class CTestPeltoCore : public CPeltoCore {
 public:
  CTestPeltoCore() : CPeltoCore(nullptr, "-window", 5) {
    m_strLibrary = std::string(ZK_ENGINE_STAND_IN_DIR) + "/with_export/ZeKorb.dll";
    m_szEngineLibrary = m_strLibrary.c_str();
  }
  void RegisterScriptInterface() override;
  // As the framework's constructor does: the next frame resets the input.
  void RequestInputReset() { m_dwInputResetRequest = 1; }

  static inline std::vector<int>* s_pNotes = nullptr;

 private:
  std::string m_strLibrary;
};

class PeltoCoreTest : public LogFolder {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The level setup's Game element with `attributes` and `children`.
  void WriteLevelSetup(const std::string& attributes, const std::string& children) {
    m_folder.Write("game/config/level_setup.xml",
                   "<Game " + attributes + ">" + children + "</Game>");
  }
  // A level folder whose config.xml holds `xml`.
  void WriteLevel(const std::string& folder, const std::string& xml) {
    m_folder.Write("game/levels/" + folder + "/config.xml", xml);
  }
  CTestPeltoCore& StartCore();
  // Starts a core whose start-up must end the program with exit code 1 after one message box,
  // and returns that box.
  ZkTestMessageBox StartCoreExpectingExit();
  // Ends the core, then the script engine, as the program's end does.
  void DestroyCore();

  std::string GameLog() const { return Read("GameEngine.log"); }
  std::string ScriptLog() const { return Read("AngelScript.log"); }
  static bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }
  // Every part found in `text`, each after the one before it.
  static void ExpectInOrder(const std::string& text, const std::vector<std::string>& parts);

  CPeltoTestZeKorbInterface m_engine;
  CTestPeltoCore* m_core = nullptr;
  std::vector<int> m_notes;
  int m_alive = 0;

 private:
  std::map<std::string, geNodeCreator, std::less<>> m_savedTypes;
  geCScriptHost m_host;
};
