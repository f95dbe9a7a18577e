#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "AviWriter.h"
#include "TempDir.h"
#include "vfw.h"

namespace {

constexpr int kWidth = 64, kHeight = 48, kFps = 10, kFrames = 12, kRate = 8000;

// 0x00RRGGBB of the pixel at `at` (blue, green, red order, as DIBs store it).
uint32_t Colour(const BYTE* at) { return uint32_t{at[2]} << 16 | uint32_t{at[1]} << 8 | at[0]; }

::testing::AssertionResult Near(uint32_t actual, uint32_t expected, int tolerance) {
  for (int shift : {0, 8, 16}) {
    const int a = actual >> shift & 0xFF, e = expected >> shift & 0xFF;
    if (std::abs(a - e) > tolerance)
      return ::testing::AssertionFailure()
             << std::hex << "0x" << actual << " is not near 0x" << expected;
  }
  return ::testing::AssertionSuccess();
}

// Checks the packed DIB of frame `n`: its header, and that its last row holds the top of the
// picture (bottom-up rows).
void ExpectFrame(const void* dib, int n, int tolerance) {
  ASSERT_NE(dib, nullptr) << "frame " << n;
  const auto* header = static_cast<const BITMAPINFOHEADER*>(dib);
  EXPECT_EQ(header->biSize, 40u);
  EXPECT_EQ(header->biWidth, kWidth);
  EXPECT_EQ(header->biHeight, kHeight);
  EXPECT_EQ(header->biBitCount, 24);
  EXPECT_EQ(header->biCompression, static_cast<DWORD>(BI_RGB));
  const BYTE* bits = static_cast<const BYTE*>(dib) + header->biSize + header->biClrUsed * 4;
  const size_t stride = (kWidth * 3 + 3) & ~3;
  EXPECT_TRUE(Near(Colour(bits + 5 * 3), AviWriter::BottomColour(n), tolerance)) << "frame " << n;
  EXPECT_TRUE(
      Near(Colour(bits + (kHeight - 1) * stride + 60 * 3), AviWriter::TopColour(n), tolerance))
      << "frame " << n;
}

TEST(VfwTest, VideoIsReadFrameByFrameWithItsSizesAndTimes) {
  const struct {
    AviWriter::Video codec;
    int tolerance;
  } cases[] = {{AviWriter::Video::Raw, 0}, {AviWriter::Video::Mjpeg, 12}};
  TempDir dir;
  AVIFileInit();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.codec == AviWriter::Video::Raw ? "raw" : "mjpeg");
    AviWriter(kWidth, kHeight, kFps).WithVideo(c.codec).Write(dir / "Intro.avi", kFrames);

    PAVIFILE file = nullptr;
    // Mapped like every platform path: backslashes and any letter case.
    ASSERT_EQ(AVIFileOpenA(&file, (dir.Path() + "\\INTRO.AVI").c_str(), OF_READ, nullptr),
              AVIERR_OK);
    AVIFILEINFOA fileInfo{};
    ASSERT_EQ(AVIFileInfoA(file, &fileInfo, sizeof fileInfo), AVIERR_OK);
    EXPECT_EQ(fileInfo.dwStreams, 1u);
    EXPECT_EQ(fileInfo.dwWidth, static_cast<DWORD>(kWidth));
    EXPECT_EQ(fileInfo.dwHeight, static_cast<DWORD>(kHeight));
    EXPECT_EQ(fileInfo.dwLength, static_cast<DWORD>(kFrames));
    EXPECT_GT(std::strlen(fileInfo.szFileType), 0u);

    PAVISTREAM video = nullptr;
    ASSERT_EQ(AVIFileGetStream(file, &video, streamtypeVIDEO, 0), AVIERR_OK);
    AVISTREAMINFOA info{};
    ASSERT_EQ(AVIStreamInfoA(video, &info, sizeof info), AVIERR_OK);
    EXPECT_EQ(info.fccType, streamtypeVIDEO);
    EXPECT_EQ(info.rcFrame.right - info.rcFrame.left, kWidth);
    EXPECT_EQ(info.rcFrame.bottom - info.rcFrame.top, kHeight);
    EXPECT_EQ(info.dwRate / info.dwScale, static_cast<DWORD>(kFps));
    EXPECT_EQ(AVIStreamStart(video), 0);
    EXPECT_EQ(AVIStreamLength(video), kFrames);
    EXPECT_EQ(AVIStreamSampleToTime(video, kFrames), 1200);
    EXPECT_EQ(AVIStreamSampleToTime(video, 1), 100);
    EXPECT_EQ(AVIStreamTimeToSample(video, 250), 2);

    PGETFRAME frames = AVIStreamGetFrameOpen(video, nullptr);
    ASSERT_NE(frames, nullptr);
    for (int n = 0; n < kFrames; ++n) ExpectFrame(AVIStreamGetFrame(frames, n), n, c.tolerance);
    // Back, far ahead, the same frame twice.
    for (int n : {5, 2, 2, 11, 0, 9}) ExpectFrame(AVIStreamGetFrame(frames, n), n, c.tolerance);
    EXPECT_EQ(AVIStreamGetFrame(frames, kFrames), nullptr);
    EXPECT_EQ(AVIStreamGetFrame(frames, -1), nullptr);

    EXPECT_EQ(AVIStreamGetFrameClose(frames), AVIERR_OK);
    EXPECT_EQ(AVIStreamRelease(video), 0u);
    EXPECT_EQ(AVIFileRelease(file), 0u);
  }
  AVIFileExit();
}

TEST(VfwTest, SoundIsDeliveredAsPcmInTheFormatTheStreamReports) {
  const struct {
    AviWriter::Sound sound;
    WORD channels, bits;
    bool exact;  // PCM tracks come back byte for byte; compressed ones only as long
  } cases[] = {
      {AviWriter::Sound::Pcm16Stereo, 2, 16, true},
      {AviWriter::Sound::Pcm8Mono, 1, 8, true},
      {AviWriter::Sound::Mp2Stereo, 2, 16, false},
  };
  TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bits * 10 + c.channels);
    AviWriter writer(kWidth, kHeight, kFps);
    writer.WithSound(c.sound, c.exact ? kRate : 32000);
    writer.Write(dir / "s.avi", kFrames);
    const std::string expected = writer.SoundBytes(kFrames);

    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, (dir / "s.avi").c_str(), OF_READ, nullptr), AVIERR_OK);
    PAVISTREAM sound = nullptr;
    ASSERT_EQ(AVIFileGetStream(file, &sound, streamtypeAUDIO, 0), AVIERR_OK);
    LONG formatSize = 0;
    ASSERT_EQ(AVIStreamReadFormat(sound, AVIStreamStart(sound), nullptr, &formatSize), AVIERR_OK);
    ASSERT_EQ(formatSize, static_cast<LONG>(sizeof(WAVEFORMATEX)));
    WAVEFORMATEX format{};
    ASSERT_EQ(AVIStreamReadFormat(sound, 0, &format, &formatSize), AVIERR_OK);
    EXPECT_EQ(format.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(format.nChannels, c.channels);
    EXPECT_EQ(format.wBitsPerSample, c.bits);
    EXPECT_EQ(format.nBlockAlign, c.channels * c.bits / 8);
    EXPECT_EQ(format.nAvgBytesPerSec, format.nSamplesPerSec * format.nBlockAlign);

    const LONG length = AVIStreamLength(sound);
    LONG bytes = 0, samples = 0;
    ASSERT_EQ(AVIStreamRead(sound, 0, length, nullptr, 0, &bytes, &samples), AVIERR_OK);
    EXPECT_EQ(samples, length);
    EXPECT_EQ(bytes, length * format.nBlockAlign);
    std::string data(static_cast<size_t>(bytes), '\0');
    ASSERT_EQ(AVIStreamRead(sound, 0, length, data.data(), bytes, &bytes, &samples), AVIERR_OK);
    if (c.exact) {
      EXPECT_EQ(format.nSamplesPerSec, static_cast<DWORD>(kRate));
      EXPECT_EQ(data, expected);
      EXPECT_EQ(AVIStreamSampleToTime(sound, length), 1200);
    } else {
      // The encoder pads its last frame and adds its delay: a frame of samples either way.
      EXPECT_NEAR(length, kFrames * 32000 / kFps, 2 * 1152);
    }
    // A buffer smaller than one sample, and a start past the end.
    EXPECT_EQ(AVIStreamRead(sound, 0, 1, data.data(), format.nBlockAlign - 1, &bytes, &samples),
              AVIERR_BUFFERTOOSMALL);
    EXPECT_EQ(AVIStreamRead(sound, length + 1, 1, data.data(), bytes, &bytes, &samples),
              AVIERR_BADPARAM);
    AVIStreamRelease(sound);
    AVIFileRelease(file);
  }
}

TEST(VfwTest, OpenFailuresGiveTheDocumentedErrors) {
  TempDir dir;
  dir.Write("text.avi", "RIFF this is not a video at all, only some words");
  AviWriter(kWidth, kHeight, kFps).Write(dir / "good.avi", 2);
  const struct {
    std::string path;
    UINT mode;
    HRESULT expected;
  } cases[] = {
      {dir / "missing.avi", OF_READ, AVIERR_FILEOPEN},
      {dir.Path(), OF_READ, AVIERR_FILEOPEN},
      {dir / "text.avi", OF_READ, AVIERR_BADFORMAT},
      {dir / "good.avi", OF_WRITE, AVIERR_READONLY},
  };
  for (const auto& c : cases) {
    PAVIFILE file = reinterpret_cast<PAVIFILE>(1);
    EXPECT_EQ(AVIFileOpenA(&file, c.path.c_str(), c.mode, nullptr), c.expected) << c.path;
    EXPECT_EQ(file, nullptr) << c.path;
  }
  EXPECT_EQ(AVIERR_BADFORMAT, static_cast<HRESULT>(0x80044066));
  EXPECT_EQ(AVIERR_FILEOPEN, static_cast<HRESULT>(0x8004406F));
}

TEST(VfwTest, MissingStreamsAndStaleHandlesAreRefused) {
  TempDir dir;
  AviWriter(kWidth, kHeight, kFps).Write(dir / "silent.avi", 2);
  PAVIFILE file = nullptr;
  ASSERT_EQ(AVIFileOpenA(&file, (dir / "silent.avi").c_str(), OF_READ, nullptr), AVIERR_OK);
  PAVISTREAM stream = reinterpret_cast<PAVISTREAM>(1);
  EXPECT_EQ(AVIFileGetStream(file, &stream, streamtypeAUDIO, 0), AVIERR_NODATA);
  EXPECT_EQ(stream, nullptr);
  EXPECT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 1), AVIERR_NODATA);
  ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
  // The stream and its decoder outlive the file they came from.
  EXPECT_EQ(AVIFileRelease(file), 0u);
  PGETFRAME frames = AVIStreamGetFrameOpen(stream, nullptr);
  EXPECT_EQ(AVIStreamRelease(stream), 1u) << "the decoder holds the stream";
  ExpectFrame(AVIStreamGetFrame(frames, 1), 1, 0);
  EXPECT_EQ(AVIStreamGetFrameClose(frames), AVIERR_OK);

  AVIFILEINFOA info;
  EXPECT_EQ(AVIFileInfoA(file, &info, sizeof info), AVIERR_BADHANDLE);
  EXPECT_EQ(AVIStreamLength(stream), -1);
  EXPECT_EQ(AVIStreamGetFrame(frames, 0), nullptr);
  EXPECT_EQ(AVIStreamGetFrameClose(frames), AVIERR_BADHANDLE);
}

TEST(VfwTest, TruncatedFileGivesTheFramesItHasAndNoMore) {
  TempDir dir;
  AviWriter(kWidth, kHeight, kFps).Write(dir / "whole.avi", kFrames);
  std::ifstream whole(dir / "whole.avi", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(whole)),
                          std::istreambuf_iterator<char>());
  dir.Write("cut.avi", bytes.substr(0, bytes.size() / 2));

  PAVIFILE file = nullptr;
  ASSERT_EQ(AVIFileOpenA(&file, (dir / "cut.avi").c_str(), OF_READ, nullptr), AVIERR_OK);
  PAVISTREAM video = nullptr;
  ASSERT_EQ(AVIFileGetStream(file, &video, streamtypeVIDEO, 0), AVIERR_OK);
  PGETFRAME frames = AVIStreamGetFrameOpen(
      video, reinterpret_cast<LPBITMAPINFOHEADER>(AVIGETFRAMEF_BESTDISPLAYFMT));
  ASSERT_NE(frames, nullptr);
  ExpectFrame(AVIStreamGetFrame(frames, 0), 0, 0);
  EXPECT_EQ(AVIStreamGetFrame(frames, kFrames - 1), nullptr) << "past what the file holds";
  EXPECT_EQ(AVIStreamGetFrame(frames, kFrames - 1), nullptr) << "asked again at the end";
  ExpectFrame(AVIStreamGetFrame(frames, 1), 1, 0);
  AVIStreamGetFrameClose(frames);
  AVIStreamRelease(video);
  AVIFileRelease(file);
}

// The menu's sequence: a frame of the video stretched into a square top-down 32-bit DIB section.
TEST(VfwTest, FrameIsStretchedIntoATopDownDibSection) {
  TempDir dir;
  AviWriter(kWidth, kHeight, kFps).Write(dir / "menu.avi", 3);
  PAVIFILE file = nullptr;
  ASSERT_EQ(AVIFileOpenA(&file, (dir / "menu.avi").c_str(), OF_READ, nullptr), AVIERR_OK);
  PAVISTREAM video = nullptr;
  ASSERT_EQ(AVIFileGetStream(file, &video, streamtypeVIDEO, 0), AVIERR_OK);
  PGETFRAME frames = AVIStreamGetFrameOpen(video, nullptr);
  ASSERT_NE(frames, nullptr);

  constexpr int kSize = 128;
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = kSize;
  header.biHeight = -kSize;
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  HDRAWDIB drawDib = DrawDibOpen();
  HDC dc = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                    &bits, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  ASSERT_NE(bits, nullptr);
  EXPECT_EQ(SelectObject(dc, bitmap), nullptr);

  auto* frame = static_cast<BITMAPINFOHEADER*>(AVIStreamGetFrame(frames, 2));
  ASSERT_NE(frame, nullptr);
  const BYTE* frameBits = reinterpret_cast<BYTE*>(frame) + frame->biSize + frame->biClrUsed * 4;
  ASSERT_TRUE(DrawDibDraw(drawDib, dc, 0, 0, kSize, kSize, frame, const_cast<BYTE*>(frameBits), 0,
                          0, kWidth, kHeight, 0));
  const BYTE* pixels = static_cast<const BYTE*>(bits);
  const BYTE* topLeft = pixels;
  const BYTE* bottomRight = pixels + (kSize - 1) * kSize * 4 + (kSize - 1) * 4;
  EXPECT_TRUE(Near(Colour(topLeft), AviWriter::TopColour(2), 0));
  EXPECT_TRUE(Near(Colour(bottomRight), AviWriter::BottomColour(2), 0));
  EXPECT_EQ(topLeft[3], 0xFF) << "opaque";

  // A rectangle outside either picture draws nothing.
  std::memset(bits, 0, kSize * kSize * 4);
  EXPECT_FALSE(
      DrawDibDraw(drawDib, dc, 1, 0, kSize, kSize, frame, nullptr, 0, 0, kWidth, kHeight, 0));
  EXPECT_FALSE(
      DrawDibDraw(drawDib, dc, 0, 0, kSize, kSize, frame, nullptr, 0, 1, kWidth, kHeight, 0));
  EXPECT_EQ(Colour(topLeft), 0u);
  // Null bits: the pixels follow the header, as in a packed DIB. Into the top-left quarter only.
  ASSERT_TRUE(
      DrawDibDraw(drawDib, dc, 0, 0, kSize / 2, kSize / 2, frame, nullptr, 0, 0, -1, -1, 0));
  EXPECT_TRUE(Near(Colour(topLeft), AviWriter::TopColour(2), 0));
  EXPECT_EQ(Colour(bottomRight), 0u);

  EXPECT_FALSE(DeleteObject(bitmap)) << "still selected";
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_FALSE(DeleteObject(bitmap));
  EXPECT_TRUE(DrawDibClose(drawDib));
  AVIStreamGetFrameClose(frames);
  AVIStreamRelease(video);
  AVIFileRelease(file);
}

TEST(VfwTest, UnsupportedDibSectionsAreRefused) {
  const struct {
    LONG width, height;
    WORD bits;
    DWORD compression;
  } cases[] = {{16, 16, 8, BI_RGB},
               {16, 16, 32, BI_BITFIELDS},
               {0, 16, 32, BI_RGB},
               {16, 0, 32, BI_RGB},
               {100000, 16, 32, BI_RGB}};
  for (const auto& c : cases) {
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof(BITMAPINFOHEADER), c.width, c.height, 1, c.bits, c.compression, 0, 0, 0, 0, 0};
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr)
        << c.width;
    EXPECT_EQ(bits, nullptr);
  }
}

}  // namespace
