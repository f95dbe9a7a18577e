#include "scene/ChannelEnvelope.h"

#include <cmath>

#include "core/FatalError.h"
#include "scene/Key.h"

namespace {
const char kNoKey[] = "Can't Allocate Memory For Key";

constexpr float kOneThird = 0.33333334f;
constexpr float kBezierTolerance = 0.0001f;

struct WrappedTime {
  float time;
  double cycles;  // how many whole key ranges lie between the first key and the time
};

// Brings v into [lo, hi) by whole multiples of the key range, measured from lo so that a first
// key away from time 0 does not shift the phase.
WrappedTime WrapTime(float v, float lo, float hi) {
  const float range = hi - lo;
  if (range == 0.0f) return {lo, 0.0};
  const float fromFirst = v - lo;
  const double cycles = std::floor(static_cast<double>(fromFirst) / range);
  return {lo + (fromFirst - range * static_cast<float>(cycles)), cycles};
}

bool IsOddCycle(double cycles) { return std::fmod(cycles, 2.0) != 0.0; }

float OutgoingTangent(const CKey& key0, const CKey& key1) {
  const float delta = key1.Value() - key0.Value();
  const CKey* previous = key0.Prev();
  switch (key0.Shape()) {
    case KEY_SHAPE_TCB: {
      const float a = (1.0f - key0.Tension()) * (1.0f + key0.Continuity()) * (1.0f + key0.Bias());
      const float b = (1.0f - key0.Tension()) * (1.0f - key0.Continuity()) * (1.0f - key0.Bias());
      if (previous == nullptr) return 0.5f * (a + b) * delta;
      return ((key1.Time() - key0.Time()) / (key1.Time() - previous->Time())) *
             (a * (key0.Value() - previous->Value()) + b * delta);
    }
    case KEY_SHAPE_HERMITE:
    case KEY_SHAPE_BEZIER: {
      float tangent = key0.Param(1);
      if (previous != nullptr)
        tangent *= (key1.Time() - key0.Time()) / (key1.Time() - previous->Time());
      return tangent;
    }
    default:
      return 0.0f;
  }
}

float IncomingTangent(const CKey& key0, const CKey& key1) {
  const float delta = key1.Value() - key0.Value();
  const CKey* next = key1.Next();
  switch (key1.Shape()) {
    case KEY_SHAPE_TCB: {
      const float a = (1.0f - key1.Tension()) * (1.0f - key1.Continuity()) * (1.0f + key1.Bias());
      const float b = (1.0f - key1.Tension()) * (1.0f + key1.Continuity()) * (1.0f - key1.Bias());
      if (next == nullptr) return 0.5f * (a + b) * delta;
      return ((key1.Time() - key0.Time()) / (next->Time() - key0.Time())) *
             (b * (next->Value() - key1.Value()) + a * delta);
    }
    case KEY_SHAPE_HERMITE:
    case KEY_SHAPE_BEZIER: {
      float tangent = key1.Param(0);
      if (next != nullptr) tangent *= (key1.Time() - key0.Time()) / (next->Time() - key0.Time());
      return tangent;
    }
    case KEY_SHAPE_LINEAR:
      return delta / (key1.Time() - key0.Time());
    default:
      return 0.0f;
  }
}

// The cubic Bezier through four control values, in power form.
float Cubic(float p0, float p1, float p2, float p3, float s) {
  const float c = 3.0f * (p1 - p0);
  const float b = 3.0f * (p2 - p1) - c;
  const float a = p3 - p0 - c - b;
  return a * s * s * s + b * s * s + c * s + p0;
}

float Bez2Value(const CKey& key0, const CKey& key1, float time) {
  float outTime, outValue;
  if (key0.Shape() == KEY_SHAPE_BEZIER2D) {
    outTime = key0.Time() + key0.Param(2);
    outValue = key0.Value() + key0.Param(3);
  } else {
    outTime = key0.Time() + (key1.Time() - key0.Time()) * kOneThird;
    outValue = key0.Value() + OutgoingTangent(key0, key1) * kOneThird;
  }
  const float inTime = key1.Time() + key1.Param(0);
  const float inValue = key1.Value() + key1.Param(1);

  // Bisection for the curve parameter whose time is the wanted time. Large times cannot always
  // reach the tolerance in float, so the search also ends when the interval stops shrinking.
  float low = 0.0f, high = 1.0f;
  float s = low + (high - low) * 0.5f;
  float x = Cubic(key0.Time(), outTime, inTime, key1.Time(), s);
  while (std::fabs(time - x) > kBezierTolerance) {
    if (!(x > time))
      low = s;
    else
      high = s;
    const float middle = low + (high - low) * 0.5f;
    if (!(middle > low && middle < high)) break;
    s = middle;
    x = Cubic(key0.Time(), outTime, inTime, key1.Time(), s);
  }
  return Cubic(key0.Value(), outValue, inValue, key1.Value(), s);
}

// The linear behaviour before the first key. False when the first key's shape has no line, in
// which case the caller interpolates at the time as it is.
bool ExtrapolateBefore(const CKey& first, float time, float* value) {
  const CKey& second = *first.Next();
  switch (first.Shape()) {
    case KEY_SHAPE_TCB:
    case KEY_SHAPE_HERMITE:
    case KEY_SHAPE_BEZIER:
      *value = first.Value() + (time - first.Time()) * OutgoingTangent(first, second) /
                                   (second.Time() - first.Time());
      return true;
    case KEY_SHAPE_LINEAR:
      *value = second.Value() + (time - second.Time()) * (first.Value() - second.Value()) /
                                    (first.Time() - second.Time());
      return true;
    case KEY_SHAPE_STEPPED:
      *value = first.Value();
      return true;
    case KEY_SHAPE_BEZIER2D: {
      // Handles with no time extent give no slope; the key's value stands.
      const float run = first.Param(0) - first.Param(2);
      *value = run == 0.0f ? first.Value()
                           : first.Value() + (time - first.Time()) * (first.Param(1) - first.Param(3)) / run;
      return true;
    }
    default:
      return false;
  }
}

bool ExtrapolateAfter(const CKey& last, float time, float* value) {
  const CKey& previous = *last.Prev();
  switch (last.Shape()) {
    case KEY_SHAPE_TCB:
    case KEY_SHAPE_HERMITE:
    case KEY_SHAPE_BEZIER:
      *value = last.Value() + (time - last.Time()) * IncomingTangent(previous, last) /
                                  (last.Time() - previous.Time());
      return true;
    case KEY_SHAPE_LINEAR:
      *value = previous.Value() + (time - previous.Time()) * (last.Value() - previous.Value()) /
                                      (last.Time() - previous.Time());
      return true;
    case KEY_SHAPE_STEPPED:
      *value = last.Value();
      return true;
    case KEY_SHAPE_BEZIER2D: {
      const float run = last.Param(2) - last.Param(0);
      *value = run == 0.0f ? last.Value()
                           : last.Value() + (time - last.Time()) * (last.Param(3) - last.Param(1)) / run;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

CChannelEnvelope::~CChannelEnvelope() { FreeKeys(); }

void CChannelEnvelope::EvalEnvelope(float time) {
  if (m_pFirstKey == nullptr) {
    m_fValue = 0.0f;
    return;
  }
  const CKey& first = *m_pFirstKey;
  const CKey& last = *m_pLastKey;
  if (m_pFirstKey == m_pLastKey) {
    m_fValue = first.Value();
    return;
  }

  float offset = 0.0f;
  const bool before = time < first.Time();
  const bool after = time > last.Time();
  if (before || after) {
    const UINT behaviour = before ? m_dwPreBehaviour : m_dwPostBehaviour;
    switch (behaviour) {
      case BEHAVIOUR_RESET:
        m_fValue = 0.0f;
        return;
      case BEHAVIOUR_CONSTANT:
        m_fValue = before ? first.Value() : last.Value();
        return;
      case BEHAVIOUR_REPEAT:
        time = WrapTime(time, first.Time(), last.Time()).time;
        break;
      case BEHAVIOUR_OSCILLATE: {
        const WrappedTime wrapped = WrapTime(time, first.Time(), last.Time());
        // Odd cycles run backwards: mirror the time inside the key range.
        time = IsOddCycle(wrapped.cycles) ? first.Time() + last.Time() - wrapped.time
                                          : wrapped.time;
        break;
      }
      case BEHAVIOUR_OFFSET: {
        const WrappedTime wrapped = WrapTime(time, first.Time(), last.Time());
        time = wrapped.time;
        offset = static_cast<float>(wrapped.cycles) * (last.Value() - first.Value());
        break;
      }
      case BEHAVIOUR_LINEAR: {
        float value;
        if (before ? ExtrapolateBefore(first, time, &value) : ExtrapolateAfter(last, time, &value)) {
          m_fValue = value;
          return;
        }
        break;
      }
      default:
        break;
    }
  }

  // The interval that holds the time; a time not comparable with the keys ends on the last one.
  const CKey* key0 = m_pFirstKey;
  while (key0->Next() != nullptr && !(key0->Next()->Time() >= time)) key0 = key0->Next();
  const CKey* key1 = key0->Next();
  if (key1 == nullptr) {
    key1 = key0;
    key0 = key1->Prev() != nullptr ? key1->Prev() : key1;
  }
  if (time == key0->Time()) {
    m_fValue = key0->Value() + offset;
    return;
  }
  if (time == key1->Time()) {
    m_fValue = key1->Value() + offset;
    return;
  }

  const float u = (time - key0->Time()) / (key1->Time() - key0->Time());
  switch (key1->Shape()) {
    case KEY_SHAPE_TCB:
    case KEY_SHAPE_HERMITE:
    case KEY_SHAPE_BEZIER: {
      const float u2 = u * u, u3 = u2 * u;
      const float h2 = 3.0f * u2 - 2.0f * u3;
      const float h1 = 1.0f - h2;
      const float h3 = u3 - 2.0f * u2 + u;
      const float h4 = u3 - u2;
      m_fValue = h3 * OutgoingTangent(*key0, *key1) + h4 * IncomingTangent(*key0, *key1) +
                 h1 * key0->Value() + h2 * key1->Value() + offset;
      return;
    }
    case KEY_SHAPE_LINEAR:
      m_fValue = key0->Value() + u * (key1->Value() - key0->Value()) + offset;
      return;
    case KEY_SHAPE_STEPPED:
      m_fValue = key0->Value() + offset;
      return;
    case KEY_SHAPE_BEZIER2D:
      m_fValue = Bez2Value(*key0, *key1, time) + offset;
      return;
    default:
      m_fValue = offset;
      return;
  }
}

CKey* CChannelEnvelope::FindKey(float time) const {
  for (CKey* key = m_pFirstKey; key != nullptr; key = key->m_pNext)
    if (key->m_fTime == time) return key;
  return nullptr;
}

CKeyInterface* CChannelEnvelope::GetKey(float time) { return FindKey(time); }

CKeyInterface* CChannelEnvelope::GetKey(UINT index) {
  if (index >= m_dwNumberOfKeys) return nullptr;
  CKey* key = m_pFirstKey;
  for (UINT i = 0; i < index; ++i) key = key->m_pNext;
  return key;
}

UINT CChannelEnvelope::RemoveKey(CKeyInterface* key) {
  for (CKey* candidate = m_pFirstKey; candidate != nullptr; candidate = candidate->m_pNext)
    if (candidate == key) {
      Unlink(candidate);
      delete candidate;
      return 1;
    }
  return 0;
}

UINT CChannelEnvelope::RemoveKeyAtTime(float time) {
  CKey* key = FindKey(time);
  if (key == nullptr) return 0;
  Unlink(key);
  delete key;
  return 1;
}

UINT CChannelEnvelope::GetKeyData(float time, float* value, UINT* shape, float* tension,
                                  float* continuity, float* bias, float* param0, float* param1,
                                  float* param2, float* param3) {
  const CKey* key = FindKey(time);
  if (key == nullptr) return 0;
  if (value != nullptr) *value = key->m_fValue;
  if (shape != nullptr) *shape = key->m_dwShape;
  if (tension != nullptr) *tension = key->m_fTension;
  if (continuity != nullptr) *continuity = key->m_fContinuity;
  if (bias != nullptr) *bias = key->m_fBias;
  float* params[] = {param0, param1, param2, param3};
  for (int i = 0; i < 4; ++i)
    if (params[i] != nullptr) *params[i] = key->m_fParams[i];
  return 1;
}

UINT CChannelEnvelope::SetKeyData(float value, float time, UINT shape, float tension,
                                  float continuity, float bias, float param0, float param1,
                                  float param2, float param3) {
  CKey* key = FindKey(time);
  if (key == nullptr) return 0;
  key->SetFields(value, shape, tension, continuity, bias, param0, param1, param2, param3);
  return 1;
}

UINT CChannelEnvelope::AddKey(CKeyInterface* keyInterface) {
  CKey* key = dynamic_cast<CKey*>(keyInterface);
  if (key == nullptr || key->m_pOwner != nullptr) return 0;
  return InsertByTime(key) ? 1 : 0;
}

UINT CChannelEnvelope::AddKeyData(float value, float time, UINT shape, float tension,
                                  float continuity, float bias, float param0, float param1,
                                  float param2, float param3) {
  CKey* key = NewOrFatal<CKey>(kNoMemoryTitle, kNoKey, value, time, shape, tension, continuity,
                              bias, param0, param1, param2, param3);
  if (InsertByTime(key)) return 1;
  delete key;
  return 0;
}

CKeyInterface* CChannelEnvelope::CreateKey() { return NewOrFatal<CKey>(kNoMemoryTitle, kNoKey); }

UINT CChannelEnvelope::RemoveAllKeys() {
  FreeKeys();
  m_fValue = 0.0f;
  m_dwPreBehaviour = m_dwPostBehaviour = BEHAVIOUR_CONSTANT;
  return 1;
}

UINT CChannelEnvelope::CopyTo(CChannelEnvelope& target) const {
  if (&target == this) return 1;
  CKey* copyFirst = nullptr;
  CKey* copyLast = nullptr;
  for (const CKey* source = m_pFirstKey; source != nullptr; source = source->m_pNext) {
    CKey* copy = NewOrFatal<CKey>(kNoMemoryTitle, kNoKey, source->m_fValue, source->m_fTime,
                                  source->m_dwShape, source->m_fTension, source->m_fContinuity,
                                  source->m_fBias, source->m_fParams[0], source->m_fParams[1],
                                  source->m_fParams[2], source->m_fParams[3]);
    copy->m_pOwner = &target;
    copy->m_pPrev = copyLast;
    (copyLast != nullptr ? copyLast->m_pNext : copyFirst) = copy;
    copyLast = copy;
  }
  target.FreeKeys();
  target.m_pFirstKey = copyFirst;
  target.m_pLastKey = copyLast;
  target.m_dwNumberOfKeys = m_dwNumberOfKeys;
  target.m_fValue = m_fValue;
  target.m_dwPreBehaviour = m_dwPreBehaviour;
  target.m_dwPostBehaviour = m_dwPostBehaviour;
  return 1;
}

void CChannelEnvelope::Unlink(CKey* key) {
  (key->m_pPrev != nullptr ? key->m_pPrev->m_pNext : m_pFirstKey) = key->m_pNext;
  (key->m_pNext != nullptr ? key->m_pNext->m_pPrev : m_pLastKey) = key->m_pPrev;
  key->m_pPrev = key->m_pNext = nullptr;
  key->m_pOwner = nullptr;
  --m_dwNumberOfKeys;
}

void CChannelEnvelope::LinkAfter(CKey* key, CKey* previous) {
  CKey* next = previous != nullptr ? previous->m_pNext : m_pFirstKey;
  key->m_pPrev = previous;
  key->m_pNext = next;
  (previous != nullptr ? previous->m_pNext : m_pFirstKey) = key;
  (next != nullptr ? next->m_pPrev : m_pLastKey) = key;
  key->m_pOwner = this;
  ++m_dwNumberOfKeys;
}

bool CChannelEnvelope::InsertByTime(CKey* key) {
  if (m_pFirstKey == nullptr) {
    LinkAfter(key, nullptr);
    return true;
  }
  // Only keys strictly after a key of the list find a place: an equal time would break the
  // strict order, and the first key is never displaced.
  for (CKey* current = m_pFirstKey; current != nullptr; current = current->m_pNext) {
    if (!(current->m_fTime < key->m_fTime)) continue;
    if (current->m_pNext == nullptr || current->m_pNext->m_fTime > key->m_fTime) {
      LinkAfter(key, current);
      return true;
    }
  }
  return false;
}

void CChannelEnvelope::MoveKey(CKey* key, float time) {
  if (time == key->m_fTime) return;
  // A NaN time or one another key holds would leave no strict order to keep.
  if (std::isnan(time) || FindKey(time) != nullptr) return;
  Unlink(key);
  key->m_fTime = time;
  CKey* previous = nullptr;
  for (CKey* current = m_pFirstKey; current != nullptr && current->m_fTime < time;
       current = current->m_pNext)
    previous = current;
  LinkAfter(key, previous);
}

void CChannelEnvelope::FreeKeys() {
  CKey* key = m_pFirstKey;
  while (key != nullptr) {
    CKey* next = key->m_pNext;
    key->m_pOwner = nullptr;
    delete key;
    key = next;
  }
  m_pFirstKey = m_pLastKey = nullptr;
  m_dwNumberOfKeys = 0;
}
