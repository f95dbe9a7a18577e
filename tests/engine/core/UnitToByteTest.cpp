#include "core/UnitToByte.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(UnitToByte, ScalesTruncatesAndHoldsEveryValueToAByte) {
  const float inf = std::numeric_limits<float>::infinity();
  const struct {
    float channel;
    std::uint32_t byte;
  } cases[] = {{0.0f, 0},     {0.5f, 127},   {1.0f, 255},  {-0.25f, 0},  {2.0f, 255},
               {2.0e7f, 255}, {-2.0e7f, 0},  {inf, 255},   {-inf, 0},    {std::nanf(""), 0}};
  for (const auto& c : cases) EXPECT_EQ(UnitToByte(c.channel), c.byte) << c.channel;
}
