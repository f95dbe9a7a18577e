#include "core/SettingEntry.h"

#include <cstring>

CSettingEntry::CSettingEntry(const char* name) { CopyText(m_name, name); }

int CSettingEntry::CopyText(char* field, const char* text) {
  size_t length = text ? strnlen(text, kMaxText) : 0;
  if (length) std::memcpy(field, text, length);
  field[length] = '\0';
  return static_cast<int>(length);
}

void CSettingEntry::SetInt(int value) {
  if (m_locked) return;
  m_integer = value;
  m_type = kInteger;
}

void CSettingEntry::SetFloat(float value) {
  if (m_locked) return;
  m_float = value;
  m_type = kFloat;
}

int CSettingEntry::SetString(const char* text) {
  if (m_locked) return 0;
  m_type = kString;
  return CopyText(m_string, text);
}

int CSettingEntry::GetType() { return m_type; }
int CSettingEntry::GetInt() { return m_type == kInteger ? m_integer : 0; }
float CSettingEntry::GetFloat() { return m_type == kFloat ? m_float : 0.0f; }
const char* CSettingEntry::GetString() { return m_type == kString ? m_string : nullptr; }

int CSettingEntry::Lock(unsigned key) {
  if (m_locked) return 0;
  m_lockKey = key;
  m_locked = 1;
  return 1;
}

int CSettingEntry::Unlock(unsigned key) {
  if (!m_locked) return 1;
  if (key != m_lockKey) return 0;
  m_lockKey = 0;
  m_locked = 0;
  return 1;
}

const char* CSettingEntry::GetName() { return m_name; }
CSettingEntry* CSettingEntry::GetNext() { return m_next; }
void CSettingEntry::SetNext(CSettingEntry* entry) { m_next = entry; }
CSettingEntry* CSettingEntry::GetPrevious() { return m_previous; }
void CSettingEntry::SetPrevious(CSettingEntry* entry) { m_previous = entry; }
