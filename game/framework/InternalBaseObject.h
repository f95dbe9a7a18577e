#pragma once
// The root of every framework object: a process-wide object id, an intrusive reference count and
// an entry in the one list of live objects. Objects are made, held and released on the main thread
// only, so nothing here is locked.
#include <windef.h>

#include <cstddef>
#include <list>

class TInternalBaseObject;

// The id the next object takes. Ids start at 0 and are never given twice in a run.
extern DWORD g_dwNextObjectID;
// Objects constructed and not yet destroyed; written to the game log at exit.
extern int g_nObjectsAlive;
// Every live object, in construction order. Objects may be built while the program starts, before
// this file's globals are set up in the order of translation units, so the list behind the name is
// made on first use and lives to the very end.
extern std::list<TInternalBaseObject*>& g_lstAllObjects;

class TInternalBaseObject {
 public:
  TInternalBaseObject();
  virtual ~TInternalBaseObject();
  TInternalBaseObject(const TInternalBaseObject&) = delete;
  TInternalBaseObject& operator=(const TInternalBaseObject&) = delete;

  // The size of the most derived class that reports one.
  virtual size_t GetClassSize() const = 0;

  DWORD GetID() const { return m_dwObjectID; }
  int GetRefCount() const { return m_nRefCount; }

  void AddRef() { ++m_nRefCount; }
  // Drops one reference; when fewer than one remain the object leaves the list and is deleted.
  // The count is signed, so releasing an object nobody held destroys it too. Only objects made
  // with new may be released.
  void Release();

 private:
  void Unlist();

  int m_nRefCount = 0;
  DWORD m_dwObjectID;
  // The object's own entry in g_lstAllObjects, so that leaving the list costs nothing.
  std::list<TInternalBaseObject*>::iterator m_itListEntry;
  bool m_bListed = false;
};
