#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "framework/Variant.h"

namespace {

struct ChangeCase {
  const char* name;
  geCVariant from;
  uint8_t target;
  uint8_t type;   // the tag afterwards
  double value;   // the value afterwards, read in its own kind
};

int dummy;

}  // namespace

TEST(Variant, ChangeTypeParsesTextAndEmptiesPointers) {
  const ChangeCase cases[] = {
      {"digits then letters", "12abc", geCVariant::TYPE_INT, geCVariant::TYPE_INT, 12},
      {"letters", "abc", geCVariant::TYPE_INT, geCVariant::TYPE_INT, 0},
      {"space and sign", " -7", geCVariant::TYPE_INT, geCVariant::TYPE_INT, -7},
      {"empty text", "", geCVariant::TYPE_LONG, geCVariant::TYPE_LONG, 0},
      {"low 8 bits", "300", geCVariant::TYPE_UCHAR, geCVariant::TYPE_UCHAR, 44},
      {"signed char", "200", geCVariant::TYPE_CHAR, geCVariant::TYPE_CHAR, -56},
      {"bool from 2.5", "2.5", geCVariant::TYPE_BOOL, geCVariant::TYPE_BOOL, 1},
      {"bool from 0.9", "0.9", geCVariant::TYPE_BOOL, geCVariant::TYPE_BOOL, 0},
      {"bool from a word", "true", geCVariant::TYPE_BOOL, geCVariant::TYPE_BOOL, 0},
      {"int past 32 bits", "99999999999", geCVariant::TYPE_INT, geCVariant::TYPE_INT, 2147483647},
      {"unsigned from atoi", "-1", geCVariant::TYPE_UINT, geCVariant::TYPE_UINT, 4294967295.0},
      {"unsigned long negated", "-1", geCVariant::TYPE_ULONG, geCVariant::TYPE_ULONG,
       4294967295.0},
      {"unsigned long past 32 bits", "4294967296", geCVariant::TYPE_ULONG,
       geCVariant::TYPE_ULONG, 4294967295.0},
      {"unsigned long of a word", "-x", geCVariant::TYPE_ULONG, geCVariant::TYPE_ULONG, 0},
      {"float", " 1.5e3xyz", geCVariant::TYPE_FLOAT, geCVariant::TYPE_FLOAT, 1500},
      {"double", "0.1", geCVariant::TYPE_DOUBLE, geCVariant::TYPE_DOUBLE, 0.1},
      {"text to pointer", "1234", geCVariant::TYPE_POINTER, geCVariant::TYPE_POINTER, 0},
      {"text to empty", "5", geCVariant::TYPE_EMPTY, geCVariant::TYPE_STRING, 0},
      {"text to unknown tag", "5", 12, geCVariant::TYPE_STRING, 0},
      {"pointer to int", geCVariant(&dummy), geCVariant::TYPE_INT, geCVariant::TYPE_EMPTY, 0},
      {"pointer to text", geCVariant(&dummy), geCVariant::TYPE_STRING, geCVariant::TYPE_EMPTY, 0},
      {"pointer to pointer", geCVariant(&dummy), geCVariant::TYPE_POINTER,
       geCVariant::TYPE_EMPTY, 0},
      {"int to text", 5, geCVariant::TYPE_STRING, geCVariant::TYPE_INT, 5},
      {"int to float", 5, geCVariant::TYPE_FLOAT, geCVariant::TYPE_INT, 5},
      {"bool to int", true, geCVariant::TYPE_INT, geCVariant::TYPE_BOOL, 1},
  };
  for (const ChangeCase& c : cases) {
    geCVariant variant = c.from;
    variant.ChangeType(c.target);
    EXPECT_EQ(variant.GetType(), c.type) << c.name;
    if (c.type != geCVariant::TYPE_STRING) {
      EXPECT_EQ(variant.AsDouble(), c.value) << c.name;
    }
  }
}

TEST(Variant, AsStringGivesTextOnly) {
  geCVariant text("800");
  EXPECT_EQ(text.AsString(), "800");

  geCVariant number(5);
  EXPECT_EQ(number.AsString(), "");
  EXPECT_EQ(number.GetType(), geCVariant::TYPE_INT);

  geCVariant pointer(&dummy);
  EXPECT_EQ(pointer.AsString(), "");
  EXPECT_EQ(pointer.GetType(), geCVariant::TYPE_EMPTY);

  // Converted text no longer holds text, though it parsed from it.
  geCVariant parsed("12");
  parsed.ChangeType(geCVariant::TYPE_INT);
  EXPECT_EQ(parsed.AsString(), "");
  EXPECT_EQ(geCVariant(static_cast<const char*>(nullptr)).AsString(), "");
}

// A typed read of another numeric kind converts the number; reading its raw bytes would give,
// for an int read as a float, a denormal.
TEST(Variant, TypedReadsConvertBetweenNumericKinds) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(geCVariant(5).AsFloat(), 5.0f);
  EXPECT_EQ(geCVariant(-3).AsDouble(), -3.0);
  EXPECT_EQ(geCVariant(-1).AsUnsignedInt(), 4294967295u);
  EXPECT_EQ(geCVariant(2.75f).AsInt(), 2);
  EXPECT_EQ(geCVariant(-2.75f).AsInt(), -2);
  EXPECT_EQ(geCVariant(3e9f).AsInt(), 2147483647);
  EXPECT_EQ(geCVariant(-3e9f).AsInt(), -2147483647 - 1);
  EXPECT_EQ(geCVariant(-1.5f).AsUnsignedInt(), 0u);
  EXPECT_EQ(geCVariant(nan).AsInt(), 0);
  EXPECT_TRUE(geCVariant(0.25f).AsBool());
  EXPECT_FALSE(geCVariant(0.0f).AsBool());
  EXPECT_TRUE(geCVariant(7).AsBool());
  EXPECT_EQ(geCVariant(true).AsFloat(), 1.0f);
  EXPECT_EQ(geCVariant(false).AsInt(), 0);

  // Text still parses as the kind asked for, and a pointer still reads as empty.
  EXPECT_EQ(geCVariant("2.5").AsInt(), 2);
  EXPECT_EQ(geCVariant("2.5").AsFloat(), 2.5f);
  EXPECT_FALSE(geCVariant("0.9").AsBool());
  EXPECT_EQ(geCVariant(&dummy).AsInt(), 0);
  EXPECT_FALSE(geCVariant(&dummy).AsBool());
  EXPECT_EQ(geCVariant().AsFloat(), 0.0f);
}

TEST(Variant, CopiesCarryTextOnlyFromText) {
  geCVariant text("abc");
  geCVariant copy(text);
  EXPECT_EQ(copy.GetType(), geCVariant::TYPE_STRING);
  EXPECT_EQ(copy.AsString(), "abc");

  // Text converted to a number copies as that number alone.
  geCVariant parsed("42");
  parsed.ChangeType(geCVariant::TYPE_INT);
  geCVariant number(parsed);
  EXPECT_EQ(number.GetType(), geCVariant::TYPE_INT);
  EXPECT_EQ(number.AsInt(), 42);
  number.ChangeType(geCVariant::TYPE_STRING);
  EXPECT_EQ(number.GetType(), geCVariant::TYPE_INT);

  geCVariant assigned("xyz");
  assigned = geCVariant(2.5f);
  EXPECT_EQ(assigned.GetType(), geCVariant::TYPE_FLOAT);
  EXPECT_EQ(assigned.AsFloat(), 2.5f);
  EXPECT_EQ(assigned.AsString(), "");
  assigned = text;
  assigned = assigned;
  EXPECT_EQ(assigned.AsString(), "abc");
}
