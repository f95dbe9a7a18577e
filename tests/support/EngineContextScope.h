#pragma once
// Keeps the engine's one context as it was before a test and puts it back afterwards, so that
// tests may set its fields freely.
#include "core/EngineContext.h"

class EngineContextScope {
 public:
  EngineContextScope() : m_saved(*GetEngineContext()) {}
  ~EngineContextScope() { *GetEngineContext() = m_saved; }
  EngineContextScope(const EngineContextScope&) = delete;
  EngineContextScope& operator=(const EngineContextScope&) = delete;

  CEngineContext* operator->() const { return GetEngineContext(); }

 private:
  CEngineContext m_saved;
};
