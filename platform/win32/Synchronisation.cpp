// Handles in general, waits, events, mutexes (with the lock files of named ones) and critical
// sections.
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <string>

#include "HandleTable.h"
#include "LastError.h"
#include "MutexObject.h"
#include "SignalObject.h"
#include "zktest/ZkTestKernel.h"

namespace {

bool IsPseudoHandle(HANDLE handle) {
  const intptr_t value = reinterpret_cast<intptr_t>(handle);
  return value == -1 || value == -2;  // GetCurrentProcess, GetCurrentThread
}

std::mutex g_namedMutex;
std::map<std::string, std::weak_ptr<MutexObject>> g_namedMutexes;
std::string g_lockFolder;  // empty: the default

std::string LockFolder() {
  if (!g_lockFolder.empty()) return g_lockFolder;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return runtime && *runtime ? runtime : "/tmp";
}

// The lock file of a mutex name: the name with every character a file name cannot safely hold
// replaced, so that "Global\\Name" stays one file in the lock folder.
std::string LockFilePath(const std::string& name) {
  std::string file = name;
  for (char& c : file) {
    const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '_' || c == '.';
    if (!safe) c = '_';
  }
  return LockFolder() + "/" + file + ".lock";
}

// Takes the lock of a name between processes. Returns the descriptor holding it, or -1; `held`
// says whether another process holds it.
int TakeNameLock(const std::string& name, bool& heldElsewhere) {
  heldElsewhere = false;
  const std::string path = LockFilePath(name);
  // Close-on-exec: a program we start must not keep our single-instance lock alive.
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    std::fprintf(stderr,
                 "CreateMutexA: cannot open the lock file %s; the name \"%s\" is not "
                 "exclusive between processes\n",
                 path.c_str(), name.c_str());
    return -1;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) return fd;
  heldElsewhere = errno == EWOULDBLOCK;
  if (!heldElsewhere)
    std::fprintf(stderr,
                 "CreateMutexA: cannot lock %s; the name \"%s\" is not exclusive between "
                 "processes\n",
                 path.c_str(), name.c_str());
  close(fd);
  return -1;
}

pthread_mutex_t* SystemMutex(LPCRITICAL_SECTION section) {
  static_assert(sizeof(pthread_mutex_t) <= sizeof(section->Opaque));
  static_assert(alignof(pthread_mutex_t) <= alignof(CRITICAL_SECTION));
  return reinterpret_cast<pthread_mutex_t*>(section->Opaque);
}

}  // namespace

BOOL CloseHandle(HANDLE hObject) {
  if (IsPseudoHandle(hObject)) return TRUE;
  if (!HandleTable::Instance().Remove(hObject)) return FailWith(ERROR_INVALID_HANDLE);
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  auto object = HandleTable::Instance().Find(hHandle);
  if (!object) {
    FailWith(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  return object->Wait(dwMilliseconds);
}

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES, BOOL bManualReset, BOOL bInitialState, LPCSTR) {
  SetLastError(ERROR_SUCCESS);
  return HandleTable::Instance().Add(
      std::make_shared<SignalObject>(bManualReset != FALSE, bInitialState != FALSE));
}

BOOL SetEvent(HANDLE hEvent) {
  auto event = HandleTable::Instance().FindAs<SignalObject>(hEvent);
  if (!event) return FailWith(ERROR_INVALID_HANDLE);
  event->Set();
  return TRUE;
}

BOOL ResetEvent(HANDLE hEvent) {
  auto event = HandleTable::Instance().FindAs<SignalObject>(hEvent);
  if (!event) return FailWith(ERROR_INVALID_HANDLE);
  event->Reset();
  return TRUE;
}

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL bInitialOwner, LPCSTR lpName) {
  if (!lpName || !*lpName) {
    auto mutex = std::make_shared<MutexObject>(-1);
    if (bInitialOwner) mutex->Wait(INFINITE);
    SetLastError(ERROR_SUCCESS);
    return HandleTable::Instance().Add(mutex);
  }
  const std::string name(lpName);
  if (name.size() >= MAX_PATH) {
    FailWith(ERROR_FILENAME_EXCED_RANGE);
    return nullptr;
  }
  std::lock_guard<std::mutex> lock(g_namedMutex);
  if (auto existing = g_namedMutexes[name].lock()) {
    HANDLE handle = HandleTable::Instance().Add(existing);
    SetLastError(ERROR_ALREADY_EXISTS);  // the initial owner is ignored, as on the original
    return handle;
  }
  bool heldElsewhere = false;
  const int lockFile = TakeNameLock(name, heldElsewhere);
  auto mutex = std::make_shared<MutexObject>(lockFile);
  if (bInitialOwner && !heldElsewhere) mutex->Wait(INFINITE);
  if (!heldElsewhere) g_namedMutexes[name] = mutex;
  HANDLE handle = HandleTable::Instance().Add(mutex);
  SetLastError(heldElsewhere ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

BOOL ReleaseMutex(HANDLE hMutex) {
  auto mutex = HandleTable::Instance().FindAs<MutexObject>(hMutex);
  if (!mutex) return FailWith(ERROR_INVALID_HANDLE);
  if (!mutex->Release()) return FailWith(ERROR_NOT_OWNER);
  return TRUE;
}

void ZkTestSetLockFolder(const char* folder) {
  std::lock_guard<std::mutex> lock(g_namedMutex);
  g_lockFolder = folder ? folder : "";
}

void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(new (lpCriticalSection->Opaque) pthread_mutex_t, &attributes);
  pthread_mutexattr_destroy(&attributes);
}

BOOL InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION lpCriticalSection, DWORD) {
  InitializeCriticalSection(lpCriticalSection);
  return TRUE;
}

void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  pthread_mutex_lock(SystemMutex(lpCriticalSection));
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  return pthread_mutex_trylock(SystemMutex(lpCriticalSection)) == 0;
}

void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  pthread_mutex_unlock(SystemMutex(lpCriticalSection));
}

void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  pthread_mutex_destroy(SystemMutex(lpCriticalSection));
}
