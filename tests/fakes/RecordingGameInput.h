#pragma once
// The engine's input devices and settings as the game reaches them, recording what the game
// hands them. A test may take the mouse or the keyboard away (null) to stand for a machine
// without one.
#include <string>
#include <utility>
#include <vector>

#include "ZKDXInterface.h"

class CRecordingMouse final : public CMouseInterface {
 public:
  void SetCallback(MouseActionCallback fn) override { callback = fn; }
  UINT SetActionMapper(const ActionPair* pairs, UINT count) override {
    actions.assign(pairs, pairs + count);
    return 1;
  }
  void SetCentreLock(UINT lock) override { centreLock = static_cast<int>(lock); }
  void SetSensitivity(float value) override { sensitivity = value; }
  void ShowCursor(UINT show) override { cursorShown = static_cast<int>(show); }

  MouseActionCallback callback = nullptr;
  std::vector<ActionPair> actions;
  int centreLock = -1;
  float sensitivity = -1.0f;
  int cursorShown = -1;
};

class CRecordingKeyboard final : public CKeyboardInterface {
 public:
  void SetCallback(KeyActionCallback fn) override { callback = fn; }
  void SetCharCallback(KeyCharCallback fn) override { charCallback = fn; }
  UINT SetActionMapper(const ActionPair* pairs, UINT count) override {
    actions.assign(pairs, pairs + count);
    return 1;
  }

  KeyActionCallback callback = nullptr;
  KeyCharCallback charCallback = nullptr;
  std::vector<ActionPair> actions;
};

class CRecordingInputControllers final : public CInputControllersInterface {
 public:
  CMouseInterface* GetMouse() override { return mouse; }
  CKeyboardInterface* GetKeyboard() override { return keyboard; }

  CRecordingMouse theMouse;
  CRecordingKeyboard theKeyboard;
  CRecordingMouse* mouse = &theMouse;
  CRecordingKeyboard* keyboard = &theKeyboard;
};

class CRecordingSettingEntry final : public CSettingEntryInterface {
 public:
  void SetInt(int v) override { type = kInteger, intValue = v; }
  void SetFloat(float v) override { type = kFloat, floatValue = v; }
  int SetString(const char* text) override {
    type = kString, text_ = text ? text : "";
    return static_cast<int>(text_.size());
  }
  int GetType() override { return type; }
  int GetInt() override { return type == kInteger ? intValue : 0; }
  float GetFloat() override { return type == kFloat ? floatValue : 0.0f; }
  const char* GetString() override { return type == kString ? text_.c_str() : nullptr; }

  int type = kUnset;
  int intValue = 0;
  float floatValue = 0.0f;
  std::string text_;
};

class CRecordingSettings final : public CSettingsInterface {
 public:
  CSettingEntryInterface* AddSetting(const char* name) override {
    if (!name) return nullptr;
    for (auto& [entryName, entry] : entries)
      if (entryName == name) return &entry;
    entries.emplace_back(name, CRecordingSettingEntry());
    return &entries.back().second;
  }
  // Entries by name; a vector that never reallocates under a test (reserved).
  CRecordingSettings() { entries.reserve(64); }
  CRecordingSettingEntry* Find(const std::string& name) {
    for (auto& [entryName, entry] : entries)
      if (entryName == name) return &entry;
    return nullptr;
  }
  std::vector<std::pair<std::string, CRecordingSettingEntry>> entries;
};
