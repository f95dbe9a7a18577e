#include <gtest/gtest.h>

#include "CursorFile.h"
#include "CursorFileWriter.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

const uint8_t* PixelAt(const CursorImage& image, int x, int y) {
  return &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
}

TEST(CursorFileTest, MonochromeCursorKeepsRowOrderMaskAndHotSpot) {
  CursorImage image;
  std::string error;
  ASSERT_TRUE(CursorFile::Decode(Bytes(CursorFileWriter::Monochrome(4, 3, 2, 1)), image, error))
      << error;
  EXPECT_EQ(image.width, 4);
  EXPECT_EQ(image.height, 3);
  EXPECT_EQ(image.hotX, 2);
  EXPECT_EQ(image.hotY, 1);
  EXPECT_EQ(PixelAt(image, 0, 0)[3], 0);    // masked column
  EXPECT_EQ(PixelAt(image, 1, 0)[0], 255);  // white, top row
  EXPECT_EQ(PixelAt(image, 1, 0)[3], 255);
  EXPECT_EQ(PixelAt(image, 1, 2)[0], 0);  // black, bottom row
  EXPECT_EQ(PixelAt(image, 1, 2)[3], 255);
}

TEST(CursorFileTest, TrueColorUsesItsAlphaOrElseTheMask) {
  const std::vector<uint8_t> rgba = {10, 20, 30, 128, 40, 50, 60, 255};
  CursorImage image;
  std::string error;
  ASSERT_TRUE(CursorFile::Decode(
      Bytes(CursorFileWriter::TrueColor(2, 1, 0, 0, rgba, {false, false})), image, error));
  EXPECT_EQ(std::vector<uint8_t>(image.rgba.begin(), image.rgba.end()), rgba);

  const std::vector<uint8_t> noAlpha = {10, 20, 30, 0, 40, 50, 60, 0};
  ASSERT_TRUE(CursorFile::Decode(
      Bytes(CursorFileWriter::TrueColor(2, 1, 0, 0, noAlpha, {true, false})), image, error));
  EXPECT_EQ(PixelAt(image, 0, 0)[3], 0);
  EXPECT_EQ(PixelAt(image, 1, 0)[3], 255);
}

TEST(CursorFileTest, MalformedFilesAreRefusedWithAReason) {
  const std::string good = CursorFileWriter::Monochrome(4, 4, 0, 0);
  std::string wrongType = good;
  wrongType[2] = 1;  // an icon, not a cursor
  std::string farOffset = good;
  farOffset[18] = 0x7F;  // image offset beyond the end
  std::string png = good;
  png.replace(22, 4, "\x89PNG");
  std::string deep = good;
  deep[22 + 14] = 16;  // 16 bits per pixel
  std::string wide = good;
  wide[22 + 5] = 0x10;  // width 4096
  std::string hugePalette = good;
  hugePalette[22 + 33] = 0x10;  // 4096 palette entries
  const std::string cases[] = {
      "",   good.substr(0, 21), good.substr(0, good.size() - 1), wrongType, farOffset, png, deep,
      wide, hugePalette};
  for (const std::string& bytes : cases) {
    CursorImage image;
    std::string error;
    EXPECT_FALSE(CursorFile::Decode(Bytes(bytes), image, error)) << bytes.size();
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
