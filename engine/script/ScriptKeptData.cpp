#include "script/ScriptKeptData.h"

CScriptKeptData& CScriptKeptData::Instance() {
  static CScriptKeptData kept;
  return kept;
}

void CScriptKeptData::Keep(const void* storage, const void* object, std::shared_ptr<void> data) {
  if (object == nullptr) return;
  m_Kept.try_emplace({storage, object}, std::move(data));
}

void CScriptKeptData::Forget(const void* storage) {
  auto first = m_Kept.lower_bound({storage, nullptr});
  auto last = first;
  while (last != m_Kept.end() && last->first.first == storage) ++last;
  m_Kept.erase(first, last);
}

const void* CScriptKeptData::Find(const void* storage, const void* object) const {
  auto found = m_Kept.find({storage, object});
  return found != m_Kept.end() ? found->second.get() : nullptr;
}
