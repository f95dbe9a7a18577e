#include "DemoMedia.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "AviWriter.h"
#include "CursorFileWriter.h"
#include "DemoFile.h"

std::string DemoMedia::Cursor() {
  const int size = kCursorSize;
  std::vector<uint8_t> rgba(static_cast<size_t>(size) * size * 4, 0);
  std::vector<bool> transparent(static_cast<size_t>(size) * size, true);
  // The arrow: rows grow one pixel wider down to two thirds of the height, then a tail.
  auto inside = [&](int x, int y) {
    if (y < size * 2 / 3) return x <= y / 2 + 1 && x <= y;
    return x >= y / 4 && x <= y / 4 + 3 && y < size - 2;
  };
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      if (!inside(x, y)) continue;
      const bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) ||
                        !inside(x, y + 1) || x == 0;
      uint8_t* pixel = &rgba[(static_cast<size_t>(y) * size + x) * 4];
      const uint8_t shade = edge ? 0 : 255;
      pixel[0] = pixel[1] = pixel[2] = shade;
      pixel[3] = 255;
      transparent[static_cast<size_t>(y) * size + x] = false;
    }
  return CursorFileWriter::TrueColor(size, size, 0, 0, rgba, transparent);
}

bool DemoMedia::Write(const std::string& folder) {
  const std::filesystem::path root(folder);
  bool written = WriteDemoFile(root / "cursors/arrow.cur", Cursor());
  const std::filesystem::path video = root / "menu/intro.avi";
  std::filesystem::create_directories(video.parent_path());
  try {
    AviWriter(kVideoWidth, kVideoHeight, kVideoFramesPerSecond)
        .WithVideo(AviWriter::Video::Raw)
        .WithSound(AviWriter::Sound::Pcm16Stereo, 22050)
        .Write(video.string(), kVideoFrames);
  } catch (const std::runtime_error& error) {
    std::fprintf(stderr, "zkdemo: cannot write %s: %s\n", video.string().c_str(), error.what());
    written = false;
  }
  return written;
}
