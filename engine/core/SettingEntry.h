#pragma once
// One named engine setting holding an integer, a float or a string. Entries form the doubly
// linked list of CSettings. A locked entry ignores every setter until it is unlocked with the
// key that locked it.
#include "ZKDXInterface.h"

class CSettingEntry : public CSettingEntryInterface {
 public:
  // Names and string values keep at most this many characters, always terminated.
  static constexpr int kMaxText = 255;

  explicit CSettingEntry(const char* name);
  CSettingEntry(const CSettingEntry&) = delete;
  CSettingEntry& operator=(const CSettingEntry&) = delete;

  void SetInt(int value) override;
  void SetFloat(float value) override;
  // Returns the number of characters stored (0 when locked).
  int SetString(const char* text) override;
  int GetType() override;
  // No conversion between types: a getter of another type gives 0, 0.0 or null.
  int GetInt() override;
  float GetFloat() override;
  const char* GetString() override;
  virtual int Lock(unsigned key);
  virtual int Unlock(unsigned key);
  virtual const char* GetName();
  virtual CSettingEntry* GetNext();
  virtual void SetNext(CSettingEntry* entry);
  virtual CSettingEntry* GetPrevious();
  virtual void SetPrevious(CSettingEntry* entry);
  // Last, so that the operations above keep their slots.
  virtual ~CSettingEntry() = default;

  // Copies at most kMaxText characters of `text` into `field` (kMaxText + 1 bytes) and
  // terminates it; returns the number copied.
  static int CopyText(char* field, const char* text);

 private:
  char m_name[kMaxText + 1] = {};
  char m_string[kMaxText + 1] = {};
  CSettingEntry* m_previous = nullptr;
  CSettingEntry* m_next = nullptr;
  int m_type = kUnset;
  int m_integer = 0;
  float m_float = 0.0f;
  unsigned m_lockKey = 0;
  int m_locked = 0;
};
