#pragma once
// The test top interface serving what the game's application core asks at start-up and per
// frame: it records the engine's Init with the block it was given, adds no real archive, hands
// out a recording renderer, recording input devices and settings, keeps the texts handed to its
// text entry, and answers configuration changes as a test says. Its loadable form is the
// stand-in engine library, whose export hands out the interface that
// CGameTestZeKorbInterface::Served() names.
#include <cstring>
#include <string>
#include <vector>

#include "RecordingGameInput.h"
#include "RecordingRenderer.h"
#include "TestZeKorbInterface.h"

class CGameTestZeKorbInterface : public CTestZeKorbInterface {
 public:
  CGameTestZeKorbInterface() { memset(&configuration, 0, sizeof configuration); }

  // What the stand-in library's export returns, and the descriptor it was given.
  static CZeKorbD3DInterface*& Served() {
    static CZeKorbD3DInterface* served = nullptr;
    return served;
  }
  static ApplicationDescriptor*& LastDescriptor() {
    static ApplicationDescriptor* descriptor = nullptr;
    return descriptor;
  }

  UINT Init(ZeKorbConfig* config) override {
    Record("Init");
    initConfig = config;
    if (config) configuration = *config;
    return 1;
  }
  CVirtualFileSystemInterface* GetVFSInterface() override {
    Record("GetVFSInterface");
    return &disks;
  }
  void LoadScene(CSceneInterface** scene, const char* name, UINT mode, UINT, SceneShaderChooser,
                 MeshShaderChooser, SurfaceShaderChooser) override {
    Record("LoadScene");
    sceneName = name ? name : "", sceneMode = mode;
    if (scene) *scene = nullptr;
  }
  CD3D9RendererInterface* GetD3DRendererInterface() override { return &renderer; }
  ZeKorbConfig* GetConfiguration() override { return &configuration; }
  void CloseZeKorb() override { Record("CloseZeKorb"); }
  TonarisInterface* GetTonarisInterface() override {
    Record("GetTonarisInterface");
    return nullptr;
  }
  UINT ChangeConfiguration(ZeKorbConfig* config) override {
    Record("ChangeConfiguration");
    if (!acceptConfiguration || !config) return 0;
    configuration.wWidth = config->wWidth;
    configuration.wHeight = config->wHeight;
    return 1;
  }
  CInputControllersInterface* GetInputControllersInterface() override { return &input; }
  // The engine's text entry draws nothing; the texts handed to it are kept.
  struct PrintedText {
    float x, y;
    std::string text;
    UINT length;
  };
  std::vector<PrintedText> printed;
  void PrintText(float x, float y, const char* text, UINT length) override {
    printed.push_back({x, y, text ? text : "", length});
  }
  CSettingsInterface* GetSettingsInterface() override {
    Record("GetSettingsInterface");
    return &settings;
  }
  // Real timers on the platform clock that count their own deletion.
  class CCountedTimer final : public CTimer {
   public:
    explicit CCountedTimer(int* freed) : m_freed(freed) {}
    ~CCountedTimer() override { ++*m_freed; }

   private:
    int* m_freed;
  };
  CTimerInterface* CreateTimer() override {
    Record("CreateTimer");
    ++timersMade;
    return new CCountedTimer(&timersFreed);
  }

  // Mounts as the file system saw them: name, kind and password.
  class CDisks final : public CVirtualFileSystemInterface {
   public:
    struct Mount {
      std::string name;
      UINT kind;
      std::string password;
    };
    std::vector<Mount> mounts;
    UINT AddVirtualDisk(const char* name, UINT kind, UINT, UINT, const char* password) override {
      mounts.push_back({name ? name : "", kind, password ? password : "(null)"});
      return 1;
    }
    UINT CloseVirtualDisk(const char*) override { return 0; }
    UINT GetNumberOfVirtualDisks() override { return static_cast<UINT>(mounts.size()); }
    UINT LocateNormalFile(const char*) override { return 0; }
    UINT LocateShaderFile(const char*) override { return 0; }
    VFSFile* OpenNormalFile(const char*, const char*) override { return nullptr; }
    VFSFile* OpenShaderFile(const char*, const char*) override { return nullptr; }
    UINT Deinitialize() override { return 1; }
  };

  CDisks disks;
  RecordingRenderer renderer;
  CRecordingInputControllers input;
  CRecordingSettings settings;
  ZeKorbConfig configuration;
  ZeKorbConfig* initConfig = nullptr;
  std::string sceneName;
  UINT sceneMode = 0;
  bool acceptConfiguration = true;
  int timersMade = 0;
  int timersFreed = 0;
};
