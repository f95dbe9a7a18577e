// Sound files loaded as the game's music is: the input written as a file of the kind
// ZK_FUZZ_SOUND names ("ogg" or "mp3", each a target of its own), loaded by the sound server as
// a streamed sound (and, for Ogg, as a whole-file one), played, moved once, and refilled a
// quarter second at a time on the manual clock until it ends. The server (without logs) is made
// once for the process on OpenAL Soft's null output.
#include <string_view>

#include "FuzzHarness.h"
#include "ReleasingPtr.h"
#include "TonarisInterface.h"
#include "ZKDXGlobals.h"
#include "sound/Tonaris.h"
#include "zktest/ZkTestClock.h"

#ifndef ZK_FUZZ_SOUND
#error "ZK_FUZZ_SOUND names the sound kind"
#endif

namespace {

constexpr char kFile[] = "fuzz." ZK_FUZZ_SOUND;
constexpr UINT kStreamed = 4;
constexpr UINT kWholeFile = 64;
constexpr uint64_t kStepMicroseconds = 250'000;
// A minute of sound: far more than a few kilobytes of input decode to, unless the sound never
// reports its end.
constexpr int kMostSteps = 240;

CTonaris* Server() {
  static CTonaris* const server = [] {
    ZkTestClockSetManual(1'000'000);
    auto* made = new CTonaris(reinterpret_cast<HWND>(0x1), 0, 0);
    TonarisConfig config{sizeof(TonarisConfig), 0xFFFFFFFF, 0, 16, 16};
    if (made->Init(&config) != 1) __builtin_trap();
    return made;
  }();
  return server;
}

void PlayToTheEnd(CTonaris* server, UINT flags) {
  TonarisStream* loaded = nullptr;
  if (!server->LoadStream(kFile, &loaded, flags)) return;
  ReleasingPtr<TonarisStream> sound(loaded);
  sound->Play();
  for (int step = 0; step < kMostSteps && sound->GetIsPlayed(); ++step) {
    if (step == 1) sound->SetPositionInSeconds(0.25);
    ZkTestClockAdvance(kStepMicroseconds);
    server->UpdateStreams();
  }
  sound->Stop();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzHarness& harness = FuzzHarness::Instance();
  CTonaris* server = Server();
  harness.WriteFile(kFile, data, size);
  harness.Run([&] {
    PlayToTheEnd(server, kStreamed);
    if (std::string_view(ZK_FUZZ_SOUND) == "ogg") PlayToTheEnd(server, kStreamed | kWholeFile);
  });
  return 0;
}
