#pragma once
// The engine's named settings, in the order they were added. Filled at pre-initialisation from
// the override file "override.zk"; the engine reads the keys it knows, the game adds its own.
#include "ZKDXInterface.h"
#include "core/SettingEntry.h"

class CEngineLog;
class CTokenizer;

class CSettings : public CSettingsInterface {
 public:
  CSettings() = default;
  CSettings(const CSettings&) = delete;
  CSettings& operator=(const CSettings&) = delete;

  // The entry of that name (names compared exactly), or a new one appended to the list; null
  // for a null name.
  CSettingEntry* AddSetting(const char* name) override;
  // Unlinks and deletes the entry; an entry that is not in this list is left alone.
  virtual void RemoveSetting(CSettingEntry* entry);
  virtual CSettingEntry* GetSetting(const char* name);
  virtual CSettingEntry* GetFirstSetting();
  // Last, so that the operations above keep their slots.
  virtual ~CSettings();

  // Reads "override.zk" from `folder`, or from the current folder when `folder` is null. One
  // setting a line: a name, "=" and a value, the value being t... (1), f... (0), a signed
  // whole number, a number with a point or an exponent (a float), or a quoted string. Names
  // are folded to lower case; a later line of the same name overrides an earlier one. Lines
  // that do not match are skipped.
  void LoadOverrideFile(const char* folder, CEngineLog* log);

 private:
  void ApplyOverrideLine(char* line, CTokenizer* tokenizer);
  void LogSettings(CEngineLog* log);

  CSettingEntry* m_first = nullptr;
};
