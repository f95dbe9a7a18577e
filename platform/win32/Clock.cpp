#include <atomic>
#include <chrono>

#include "zkplatform/ZkClock.h"
#include "zktest/ZkTestClock.h"

namespace {

std::atomic<bool> g_manual{false};
std::atomic<uint64_t> g_manualNow{0};

uint64_t RealMicroseconds() {
  using namespace std::chrono;
  static const steady_clock::time_point start = steady_clock::now();
  return duration_cast<microseconds>(steady_clock::now() - start).count();
}

}  // namespace

uint64_t ZkClockMicroseconds() {
  return g_manual.load(std::memory_order_acquire) ? g_manualNow.load(std::memory_order_acquire)
                                                  : RealMicroseconds();
}

void ZkTestClockSetManual(uint64_t microseconds) {
  g_manualNow.store(microseconds, std::memory_order_release);
  g_manual.store(true, std::memory_order_release);
}

void ZkTestClockAdvance(uint64_t microseconds) {
  g_manualNow.fetch_add(microseconds, std::memory_order_acq_rel);
}

void ZkTestClockSetReal() { g_manual.store(false, std::memory_order_release); }

bool ZkTestClockIsManual() { return g_manual.load(std::memory_order_acquire); }
