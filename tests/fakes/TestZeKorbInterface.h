#pragma once
// The engine's top interface as the game's tests see it. Every call is recorded by name. The
// file system, timers and channel envelopes are the engine's own (the file system reads loose
// files from the working folder, timers run on the platform's clock, which tests may set by
// hand); every other slot fails the test when called, until a test or a later fake overrides it.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "RecordingAllocator.h"
#include "RecordingEngineLog.h"
#include "ZKDXInterface.h"
#include "core/Timer.h"
#include "scene/ChannelEnvelope.h"
#include "vfs/VirtualFileSystem.h"

class CTestZeKorbInterface : public CZeKorbD3DInterface {
 public:
  virtual ~CTestZeKorbInterface() = default;

  // Names of the operations called, in order.
  std::vector<std::string> calls;
  // Texts of CriticalError and ErrorMessage, formatted.
  std::vector<std::string> errors;

  CVirtualFileSystemInterface* GetVFSInterface() override {
    Record("GetVFSInterface");
    // The engine has one file system for the life of the process; it outlives every test.
    static CRecordingEngineLog s_log;
    static CRecordingAllocator s_allocator;
    return CreateVirtualFileSystem(&s_log, &s_allocator, nullptr);
  }
  CTimerInterface* CreateTimer() override {
    Record("CreateTimer");
    return new CTimer();
  }

  UINT Init(ZeKorbConfig*) override { return Unset("Init"), 0; }
  CD3D9Enumeration* GetAdapterEnumeration() override {
    return Unset("GetAdapterEnumeration"), nullptr;
  }
  void AddScene(CSceneInterface** scene) override {
    Unset("AddScene");
    if (scene) *scene = nullptr;
  }
  void LoadScene(CSceneInterface** scene, const char*, UINT, UINT, SceneShaderChooser,
                 MeshShaderChooser, SurfaceShaderChooser) override {
    Unset("LoadScene");
    if (scene) *scene = nullptr;
  }
  CEngineLog* GetLogInterface() override { return Unset("GetLogInterface"), nullptr; }
  CD3D9RendererInterface* GetD3DRendererInterface() override {
    return Unset("GetD3DRendererInterface"), nullptr;
  }
  ZeKorbConfig* GetConfiguration() override { return Unset("GetConfiguration"), nullptr; }
  void CriticalError(const char* title, const char* format, ...) override {
    va_list args;
    va_start(args, format);
    KeepError(title, format, args);
    va_end(args);
    Unset("CriticalError");
  }
  int ErrorMessage(const char* title, const char* format, ...) override {
    va_list args;
    va_start(args, format);
    KeepError(title, format, args);
    va_end(args);
    return Unset("ErrorMessage"), 0;
  }
  void CloseZeKorb() override { Unset("CloseZeKorb"); }
  UINT SaveSceneToZKS(CSceneInterface*, UINT) override { return Unset("SaveSceneToZKS"), 0; }
  CSceneInterface* GetActiveScene() override { return Unset("GetActiveScene"), nullptr; }
  void SetActiveScene(CSceneInterface*) override { Unset("SetActiveScene"); }
  TonarisInterface* GetTonarisInterface() override {
    return Unset("GetTonarisInterface"), nullptr;
  }
  void PrintText(float, float, const char*, UINT) override { Unset("PrintText"); }
  int RegisterConsoleFunction(ConsoleFunction*) override {
    return Unset("RegisterConsoleFunction"), 0;
  }
  UINT ChangeConfiguration(ZeKorbConfig*) override { return Unset("ChangeConfiguration"), 0; }
  // The engine's own channel, owned by the caller.
  CChannelEnvelopeInterface* CreateChannelEnvelope() override {
    Record("CreateChannelEnvelope");
    return new CChannelEnvelope();
  }
  CScriptStorage* GetScriptStorage() override { return Unset("GetScriptStorage"), nullptr; }
  CInputControllersInterface* GetInputControllersInterface() override {
    return Unset("GetInputControllersInterface"), nullptr;
  }
  CProfiler* GetProfiler() override { return Unset("GetProfiler"), nullptr; }
  CSettingsInterface* GetSettingsInterface() override { return Unset("GetSettingsInterface"), nullptr; }
  ZKAllocatorInterface* GetAllocatorInterface() override {
    return Unset("GetAllocatorInterface"), nullptr;
  }
  HWND GetWindowHandle() override { return Unset("GetWindowHandle"), nullptr; }
  CEnvelopeInterface* CreateEnvelope() override { return Unset("CreateEnvelope"), nullptr; }
  CTokenizer* CreateTokenizer() override { return Unset("CreateTokenizer"), nullptr; }
  CTimerInterface* GetEngineTimer() override { return Unset("GetEngineTimer"), nullptr; }
  CConsole* GetConsoleInterface() override { return Unset("GetConsoleInterface"), nullptr; }
  CParticleEmiterFactory* GetParticleEmiterFactory() override {
    return Unset("GetParticleEmiterFactory"), nullptr;
  }

 protected:
  void Record(const char* name) { calls.emplace_back(name); }
  // A slot no test has given a behaviour: recorded, and the test fails.
  void Unset(const char* name) {
    Record(name);
    ADD_FAILURE() << "the game called the engine's " << name << ", which this test does not serve";
  }

 private:
  void KeepError(const char* title, const char* format, va_list args) {
    char text[1024];
    vsnprintf(text, sizeof text, format ? format : "", args);
    errors.push_back(std::string(title ? title : "") + ": " + text);
  }
};
