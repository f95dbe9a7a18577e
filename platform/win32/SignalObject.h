#pragma once
// A waitable flag: an event, and the end of a thread. An auto-reset signal lets one waiter
// through and clears itself; a manual-reset one stays set until reset.
#include "KernelObject.h"

class SignalObject : public KernelObject {
 public:
  SignalObject(bool manualReset, bool initiallySignalled);

  void Set();
  void Reset();
  DWORD Wait(DWORD milliseconds) override;

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  const bool m_manualReset;
  bool m_signalled;
};
