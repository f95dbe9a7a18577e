#include "D3DTestControl.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "AdapterProfile.h"

namespace {

// ZK_D3D_BACKEND=null in the environment makes a whole program run without rasterising.
ZkTestD3DBackend DefaultBackend() {
  const char* chosen = getenv("ZK_D3D_BACKEND");
  return chosen && strcmp(chosen, "null") == 0 ? ZK_D3D_BACKEND_NULL : ZK_D3D_BACKEND_GL;
}

}  // namespace

CD3DTestControl& CD3DTestControl::Instance() {
  static CD3DTestControl control;
  return control;
}

CD3DTestControl::CD3DTestControl() : m_backend(DefaultBackend()) {}

void CD3DTestControl::Reset() {
  m_backend = DefaultBackend();
  m_createDeviceFailure = S_OK;
  m_resetFailure = S_OK;
  m_indexLockFailure = S_OK;
  m_textureCreationFailure = S_OK;
  m_stillDrawing = 0;
  m_lossHeld = false;
  m_logging = true;
  ClearCalls();
}

bool CD3DTestControl::TakePresentStillDrawing() {
  UINT count = m_stillDrawing.load();
  while (count > 0) {
    if (m_stillDrawing.compare_exchange_weak(count, count - 1)) return true;
  }
  return false;
}

void CD3DTestControl::Log(const char* format, ...) {
  if (!m_logging.load(std::memory_order_relaxed)) return;
  char line[256];
  va_list args;
  va_start(args, format);
  vsnprintf(line, sizeof line, format, args);
  va_end(args);
  std::lock_guard<std::mutex> lock(m_logLock);
  // The log is for tests; a long-running game must not grow it without bound.
  if (m_calls.size() >= 100000) m_calls.erase(m_calls.begin(), m_calls.begin() + 50000);
  m_calls.emplace_back(line);
}

size_t CD3DTestControl::CallCount() {
  std::lock_guard<std::mutex> lock(m_logLock);
  return m_calls.size();
}

const char* CD3DTestControl::Call(size_t index) {
  std::lock_guard<std::mutex> lock(m_logLock);
  return index < m_calls.size() ? m_calls[index].c_str() : nullptr;
}

size_t CD3DTestControl::CountCalls(const char* method) {
  std::lock_guard<std::mutex> lock(m_logLock);
  size_t length = strlen(method);
  size_t count = 0;
  for (const std::string& call : m_calls)
    if (call.compare(0, length, method) == 0 && (call.size() == length || call[length] == '(')) ++count;
  return count;
}

void CD3DTestControl::ClearCalls() {
  std::lock_guard<std::mutex> lock(m_logLock);
  m_calls.clear();
}

ZKAPI void ZkTestD3DResetControl() {
  CD3DTestControl::Instance().Reset();
  CAdapterProfile::UseReal();
  CAdapterProfile::UseSecondAdapter(nullptr);
}
ZKAPI void ZkTestD3DLogCalls(bool on) { CD3DTestControl::Instance().SetLogging(on); }
ZKAPI void ZkTestD3DSetBackend(ZkTestD3DBackend backend) { CD3DTestControl::Instance().SetBackend(backend); }
ZKAPI ZkTestD3DBackend ZkTestD3DGetBackend() { return CD3DTestControl::Instance().Backend(); }
ZKAPI void ZkTestD3DSetAdapterProfile(const ZkTestD3DAdapterProfile* profile) {
  if (profile)
    CAdapterProfile::UseTestProfile(*profile);
  else
    CAdapterProfile::UseReal();
}
ZKAPI void ZkTestD3DSetSecondAdapterProfile(const ZkTestD3DAdapterProfile* profile) {
  CAdapterProfile::UseSecondAdapter(profile);
}
ZKAPI void ZkTestD3DGetRealAdapterProfile(ZkTestD3DAdapterProfile* profile) {
  if (profile) CAdapterProfile::Real().Describe(profile);
}
ZKAPI void ZkTestD3DFailNextCreateDevice(HRESULT result) {
  CD3DTestControl::Instance().FailNextCreateDevice(result);
}
ZKAPI void ZkTestD3DLoseDevice() { CD3DTestControl::Instance().LoseDevices(); }
ZKAPI void ZkTestD3DHoldDeviceLost(bool held) { CD3DTestControl::Instance().HoldDeviceLost(held); }
ZKAPI void ZkTestD3DFailNextReset(HRESULT result) { CD3DTestControl::Instance().FailNextReset(result); }
ZKAPI void ZkTestD3DFailNextIndexBufferLock(HRESULT result) {
  CD3DTestControl::Instance().FailNextIndexBufferLock(result);
}
ZKAPI void ZkTestD3DFailNextTextureCreation(HRESULT result) {
  CD3DTestControl::Instance().FailNextTextureCreation(result);
}
ZKAPI void ZkTestD3DPresentStillDrawing(UINT count) { CD3DTestControl::Instance().SetPresentStillDrawing(count); }
ZKAPI size_t ZkTestD3DCallCount() { return CD3DTestControl::Instance().CallCount(); }
ZKAPI const char* ZkTestD3DCall(size_t index) { return CD3DTestControl::Instance().Call(index); }
ZKAPI size_t ZkTestD3DCountCalls(const char* method) {
  return method ? CD3DTestControl::Instance().CountCalls(method) : 0;
}
ZKAPI void ZkTestD3DClearCalls() { CD3DTestControl::Instance().ClearCalls(); }
ZKAPI size_t ZkTestD3DLiveObjects() { return CD3DTestControl::Instance().LiveObjects(); }
