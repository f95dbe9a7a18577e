#pragma once
// Runs a test in a fresh working folder with the game's logs switched on and starting empty, as
// when the program starts, and reads back what they wrote.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "TempDir.h"
#include "WorkingFolderScope.h"
#include "framework/Logger.h"

class LogFolder : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_scope.Entered());
    geCLogger::SetLoggingEnabled(true);
    geCLogger::SetFirstWrite(true);
  }
  void TearDown() override { geCLogger::SetLoggingEnabled(false); }

  bool Exists(const std::string& relative) const {
    return std::filesystem::exists(m_folder / relative);
  }
  std::string Read(const std::string& relative) const {
    std::ifstream in(m_folder / relative, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  TempDir m_folder;
  WorkingFolderScope m_scope{m_folder.Path()};
};
