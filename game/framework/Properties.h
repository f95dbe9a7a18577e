#pragma once
// A node's bag of named values. A class registers the names it understands; its XML element, its
// code and the scripts then set and read them. Setting a name that was never registered is
// ignored, and reading one gives an empty value.
#include <map>
#include <string>

#include "framework/BaseObject.h"
#include "framework/Variant.h"

class geCProperties : public geCBaseObject {
 public:
  size_t GetClassSize() const override;

  // Adds the name with an empty value and logs it; a name already there keeps its value.
  void Register(const char* szName);
  bool IsRegistred(const char* szName) const;
  // Replaces the value of a registered name; an unregistered name is ignored.
  void Set(const char* szName, const geCVariant& value);
  void RegisterAndSet(const char* szName, const geCVariant& value);
  // Adds the name with the value, unlogged; a name already there keeps its value.
  void Insert(const char* szName, const geCVariant& value);
  // A copy of the stored value, or an empty one for a name that is not registered.
  geCVariant Get(const char* szName) const;

  // Typed reads of a copy; the stored value keeps its kind.
  std::string GetString(const char* szName) const;
  bool GetBoolean(const char* szName) const;
  int GetInteger(const char* szName) const;
  float GetFloat(const char* szName) const;

  // Every property, in name order.
  const std::map<std::string, geCVariant, std::less<>>& GetAll() const { return m_mapProperties; }

 private:
  // The stored value of a name, or null; a null name is never registered.
  const geCVariant* Find(const char* szName) const;

  std::map<std::string, geCVariant, std::less<>> m_mapProperties;
};
