#pragma once
// The process-wide test settings of the Direct3D stand-in and the log of device calls.
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "zktest/ZkTestD3D.h"

class CD3DTestControl {
 public:
  static CD3DTestControl& Instance();

  void Reset();
  ZkTestD3DBackend Backend() const { return m_backend; }
  void SetBackend(ZkTestD3DBackend backend) { m_backend = backend; }

  // Injected results: each Take returns the pending result once (S_OK when none).
  void FailNextCreateDevice(HRESULT hr) { m_createDeviceFailure = hr; }
  HRESULT TakeCreateDeviceFailure() { return m_createDeviceFailure.exchange(S_OK); }
  void FailNextReset(HRESULT hr) { m_resetFailure = hr; }
  HRESULT TakeResetFailure() { return m_resetFailure.exchange(S_OK); }
  void FailNextIndexBufferLock(HRESULT hr) { m_indexLockFailure = hr; }
  HRESULT TakeIndexBufferLockFailure() { return m_indexLockFailure.exchange(S_OK); }
  void FailNextTextureCreation(HRESULT hr) { m_textureCreationFailure = hr; }
  HRESULT TakeTextureCreationFailure() { return m_textureCreationFailure.exchange(S_OK); }
  void SetPresentStillDrawing(UINT count) { m_stillDrawing = count; }
  bool TakePresentStillDrawing();
  // Devices compare this against what they saw last to learn they were lost.
  void LoseDevices() { ++m_lossGeneration; }
  UINT LossGeneration() const { return m_lossGeneration; }
  void HoldDeviceLost(bool held) { m_lossHeld = held; }
  bool DeviceLossHeld() const { return m_lossHeld; }

  // Device calls are logged only once a test asked for the log: a game that never does pays
  // nothing per call.
  void SetLogging(bool on) { m_logging = on; }
  void Log(const char* format, ...) __attribute__((format(printf, 2, 3)));
  size_t CallCount();
  const char* Call(size_t index);
  size_t CountCalls(const char* method);
  void ClearCalls();

  void ObjectCreated() { ++m_liveObjects; }
  void ObjectDestroyed() { --m_liveObjects; }
  size_t LiveObjects() const { return m_liveObjects; }

 private:
  CD3DTestControl();
  ZkTestD3DBackend m_backend;
  std::atomic<HRESULT> m_createDeviceFailure{S_OK};
  std::atomic<HRESULT> m_resetFailure{S_OK};
  std::atomic<HRESULT> m_indexLockFailure{S_OK};
  std::atomic<HRESULT> m_textureCreationFailure{S_OK};
  std::atomic<UINT> m_stillDrawing{0};
  std::atomic<UINT> m_lossGeneration{0};
  std::atomic<bool> m_lossHeld{false};
  std::atomic<size_t> m_liveObjects{0};
  std::atomic<bool> m_logging{false};
  std::mutex m_logLock;
  std::vector<std::string> m_calls;
};
