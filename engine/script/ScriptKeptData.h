#pragma once
// Copies of script data that an engine object goes on pointing at after the call that made it
// (a sprite's texture slots, a vertex buffer's second vertex array): a script's array dies
// with the script's variable, so the bindings hand the engine a copy and keep it here for as
// long as the object's storage lives.
//
// A storage may hand back an object it made earlier instead of a new one; that object uses
// what it was given then, so the new copy is dropped.
#include <map>
#include <memory>
#include <utility>

class CScriptKeptData {
 public:
  static CScriptKeptData& Instance();

  // Keeps `data` for `object` of `storage`, unless the object is null or already has data kept.
  void Keep(const void* storage, const void* object, std::shared_ptr<void> data);
  // The storage and its objects are gone; so is what was kept for them.
  void Forget(const void* storage);
  // What is kept for the object, or null.
  const void* Find(const void* storage, const void* object) const;

 private:
  std::map<std::pair<const void*, const void*>, std::shared_ptr<void>> m_Kept;
};
