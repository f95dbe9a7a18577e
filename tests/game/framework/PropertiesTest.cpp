#include <gtest/gtest.h>

#include <string>

#include "LogFolder.h"
#include "framework/Properties.h"

using PropertiesTest = LogFolder;

TEST_F(PropertiesTest, RegisteringTwiceLogsOnceAndKeepsTheValue) {
  geCProperties properties;
  properties.Register("RenderPriority");
  properties.Set("RenderPriority", 5);
  properties.Register("RenderPriority");
  properties.RegisterAndSet("Visible", true);
  EXPECT_TRUE(properties.IsRegistred("RenderPriority"));
  EXPECT_FALSE(properties.IsRegistred("renderpriority"));
  EXPECT_EQ(properties.GetInteger("RenderPriority"), 5);
  EXPECT_TRUE(properties.GetBoolean("Visible"));
  EXPECT_EQ(Read("GameEngine.log"),
            "\t- Registering property name 'RenderPriority'\n"
            "\t- Registering property name 'Visible'\n");
}

TEST_F(PropertiesTest, UnregisteredNamesAreIgnoredAndReadAsEmpty) {
  geCProperties properties;
  properties.Set("InitX", 3);
  properties.Set(nullptr, 3);
  properties.Register(nullptr);
  EXPECT_FALSE(properties.IsRegistred("InitX"));
  EXPECT_FALSE(properties.IsRegistred(nullptr));
  EXPECT_EQ(properties.Get("InitX").GetType(), geCVariant::TYPE_EMPTY);
  EXPECT_EQ(properties.GetInteger("InitX"), 0);
  EXPECT_FALSE(properties.GetBoolean(nullptr));
  EXPECT_EQ(properties.GetFloat("InitX"), 0.0f);
  EXPECT_EQ(properties.GetString("InitX"), "");
  EXPECT_FALSE(Exists("GameEngine.log"));
}

TEST_F(PropertiesTest, SetReplacesTextAndNumbersAlike) {
  geCProperties properties;
  properties.RegisterAndSet("Name", 7);
  properties.Set("Name", "GamePlayer");
  EXPECT_EQ(properties.Get("Name").GetType(), geCVariant::TYPE_STRING);
  EXPECT_EQ(properties.GetString("Name"), "GamePlayer");
  EXPECT_EQ(properties.GetInteger("Name"), 0);

  properties.Set("Name", 3);
  EXPECT_EQ(properties.Get("Name").GetType(), geCVariant::TYPE_INT);
  EXPECT_EQ(properties.GetString("Name"), "");
  EXPECT_EQ(properties.GetInteger("Name"), 3);
}

// Values from XML stay as written: reads convert a copy.
TEST_F(PropertiesTest, ConvertedReadsLeaveTheStoredText) {
  geCProperties properties;
  properties.RegisterAndSet("InitRotH", "90.5");
  EXPECT_EQ(properties.GetInteger("InitRotH"), 90);
  EXPECT_EQ(properties.GetFloat("InitRotH"), 90.5f);
  EXPECT_TRUE(properties.GetBoolean("InitRotH"));
  geCVariant copy = properties.Get("InitRotH");
  copy.ChangeType(geCVariant::TYPE_INT);
  EXPECT_EQ(properties.Get("InitRotH").GetType(), geCVariant::TYPE_STRING);
  EXPECT_EQ(properties.GetString("InitRotH"), "90.5");
}
