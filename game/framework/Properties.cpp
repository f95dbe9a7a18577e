#include "framework/Properties.h"

#include "framework/Logger.h"

size_t geCProperties::GetClassSize() const { return sizeof(geCProperties); }

void geCProperties::Register(const char* szName) {
  if (!szName || IsRegistred(szName)) return;
  m_mapProperties.emplace(szName, geCVariant());
  g_GameLogger.Log("\t- Registering property name '%s'\n", szName);
}

bool geCProperties::IsRegistred(const char* szName) const { return Find(szName) != nullptr; }

void geCProperties::Set(const char* szName, const geCVariant& value) {
  if (!szName) return;
  auto found = m_mapProperties.find(std::string_view(szName));
  if (found != m_mapProperties.end()) found->second = value;
}

void geCProperties::RegisterAndSet(const char* szName, const geCVariant& value) {
  Register(szName);
  Set(szName, value);
}

void geCProperties::Insert(const char* szName, const geCVariant& value) {
  if (szName) m_mapProperties.emplace(szName, value);
}

geCVariant geCProperties::Get(const char* szName) const {
  const geCVariant* stored = Find(szName);
  return stored ? *stored : geCVariant();
}

const geCVariant* geCProperties::Find(const char* szName) const {
  if (!szName) return nullptr;
  auto found = m_mapProperties.find(std::string_view(szName));
  return found != m_mapProperties.end() ? &found->second : nullptr;
}

std::string geCProperties::GetString(const char* szName) const { return Get(szName).AsString(); }

bool geCProperties::GetBoolean(const char* szName) const { return Get(szName).AsBool(); }

int geCProperties::GetInteger(const char* szName) const { return Get(szName).AsInt(); }

float geCProperties::GetFloat(const char* szName) const { return Get(szName).AsFloat(); }
