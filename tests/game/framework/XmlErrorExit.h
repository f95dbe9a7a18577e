#pragma once
// A broken XML file read before the engine exists ends the program: code 1, through the exit
// hook, after its one message box.
#include <gtest/gtest.h>

#include <functional>

#include "ProcessExitCatcher.h"

inline void ExpectXmlErrorExit(const std::function<void()>& load) {
  ProcessExitCatcher catcher;
  try {
    load();
    ADD_FAILURE() << "the program went on";
  } catch (const ProcessExited& exited) {
    EXPECT_EQ(exited.code, 1u);
  }
  ASSERT_EQ(catcher.Boxes().size(), 1u);
  EXPECT_EQ(catcher.Boxes()[0].caption, "Vantor - XML Error");
  EXPECT_EQ(catcher.Boxes()[0].text,
            "Error loading XML data file\nLook into log file for more informations");
}
