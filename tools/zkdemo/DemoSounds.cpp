#include "DemoSounds.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "DemoFile.h"
#include "OggWriter.h"
#include "WaveWriter.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

int16_t Sample(double value) {
  const double clamped = value > 1.0 ? 1.0 : (value < -1.0 ? -1.0 : value);
  return static_cast<int16_t>(std::lround(clamped * 32000.0));
}

std::string Wave(const std::vector<int16_t>& stereo) {
  return WaveWriter(2, DemoSounds::kRate, 16).Samples(stereo).Bytes();
}

}  // namespace

std::vector<int16_t> DemoSounds::Melody(const std::vector<int>& notes, float beatSeconds) {
  const size_t beat = static_cast<size_t>(beatSeconds * kRate);
  const size_t ramp = kRate / 100;  // 10 ms in and out, so that notes and the loop join cleanly
  std::vector<int16_t> samples;
  samples.reserve(notes.size() * beat * 2);
  for (int note : notes) {
    const double frequency = 220.0 * std::pow(2.0, note / 12.0);
    for (size_t i = 0; i < beat; ++i) {
      const double envelope =
          std::min({1.0, static_cast<double>(i) / ramp, static_cast<double>(beat - i) / ramp});
      const double t = static_cast<double>(i) / kRate;
      const double tone =
          std::sin(2 * kPi * frequency * t) + 0.3 * std::sin(4 * kPi * frequency * t);
      const int16_t value = Sample(0.35 * envelope * tone);
      samples.push_back(value);
      samples.push_back(value);
    }
  }
  return samples;
}

std::vector<int16_t> DemoSounds::Thump(float seconds) {
  const size_t count = static_cast<size_t>(seconds * kRate);
  std::vector<int16_t> samples;
  uint32_t seed = 12345;
  double filtered = 0.0;
  for (size_t i = 0; i < count; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const double noise = static_cast<double>(seed >> 8) / (1u << 24) * 2.0 - 1.0;
    filtered += (noise - filtered) * 0.08;
    const double decay = std::exp(-6.0 * static_cast<double>(i) / count);
    const int16_t value = Sample(2.5 * filtered * decay);
    samples.push_back(value);
    samples.push_back(value);
  }
  return samples;
}

std::vector<int16_t> DemoSounds::Beeps() { return Melody({15, 22}, 0.12f); }

bool DemoSounds::Write(const std::string& folder) {
  const std::filesystem::path root = std::filesystem::path(folder) / "sounds";
  const std::vector<int16_t> menu = Melody({0, 4, 7, 12, 7, 4, 0, -5}, 0.5f);
  const std::vector<int16_t> level = Melody({0, 3, 7, 10, 12, 10, 7, 3, 5, 8, 12, 8}, 0.4f);
  bool written = WriteDemoFile(root / "menu_music.wav", Wave(menu));
  written =
      WriteDemoFile(root / "menu_music.ogg", OggWriter(2, kRate).Samples(menu).Bytes()) && written;
  written = WriteDemoFile(root / "level_music.wav", Wave(level)) && written;
  written = WriteDemoFile(root / "level_music.ogg", OggWriter(2, kRate).Samples(level).Bytes()) &&
            written;
  written = WriteDemoFile(root / "push.wav", Wave(Thump(0.35f))) && written;
  return WriteDemoFile(root / "plug.wav", Wave(Beeps())) && written;
}
