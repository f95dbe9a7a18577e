// Sound files loaded as the game loads them: the input written as a file of the kind
// ZK_FUZZ_SOUND names ("ogg", "mp3" or "wav", each a target of its own) and loaded by the sound
// server. Ogg and MP3 play as a streamed sound (and Ogg also as a whole-file one), moved once
// and refilled a quarter second at a time on the manual clock; wave files play as a sound with
// pan, volume and frequency controls and as a 3D sound placed in the scene, after which the
// voice cache is emptied so that the next input is read again. The server (without logs) is
// made once for the process on OpenAL Soft's null output.
#include <string_view>

#include "FuzzHarness.h"
#include "ReleasingPtr.h"
#include "TonarisInterface.h"
#include "ZKDXGlobals.h"
#include "sound/SoundObject.h"
#include "sound/Tonaris.h"
#include "sound/VoiceManager.h"
#include "zktest/ZkTestClock.h"

#ifndef ZK_FUZZ_SOUND
#error "ZK_FUZZ_SOUND names the sound kind"
#endif

namespace {

constexpr std::string_view kKind = ZK_FUZZ_SOUND;
constexpr char kFile[] = "fuzz." ZK_FUZZ_SOUND;
constexpr UINT kStreamed = CSoundObject::kFlagVolume;
constexpr UINT kWholeFile = kStreamed | CSoundObject::kFlagStatic;
constexpr UINT kWaveControls =
    CSoundObject::kFlagPan | CSoundObject::kFlagVolume | CSoundObject::kFlagFrequency;
constexpr UINT kWave3D = CSoundObject::kFlag3D | CSoundObject::kFlagVolume;
constexpr uint64_t kStepMicroseconds = 250'000;
// Two seconds: the first refills decode past every header and through the first blocks, and
// the move sends the decoder back; decoding on to the end of a long input adds nothing.
constexpr int kMostSteps = 8;

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

void Play(CTonaris* server, UINT flags) {
  TonarisStream* loaded = nullptr;
  if (!server->LoadStream(kFile, &loaded, flags)) return;
  ReleasingPtr<TonarisStream> sound(loaded);
  if (flags & CSoundObject::kFlag3D) {
    sound->SetPosition(3.0f, 0.0f, -2.0f);
    sound->SetMinDistance(1.0f);
    sound->SetConeAngles(90, 180);
    server->Apply();
  } else {
    sound->SetPan(-2000);
    sound->SetFrequency(22050);
  }
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
    if (kKind == "wav") {
      Play(server, kWaveControls);
      Play(server, kWave3D);
    } else {
      Play(server, kStreamed);
      if (kKind == "ogg") Play(server, kWholeFile);
    }
  });
  // Also after a fatal stop: a voice that loaded stays cached until this.
  if (CVoiceManager* voices = server->GetVoiceManager()) voices->ReleaseVoices();
  return 0;
}
