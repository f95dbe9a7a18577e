#include "framework/Variant.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <type_traits>

namespace {

// atoi and atol as the game was built with them: 32 bits, saturating on overflow.
int32_t ParseInt32(const char* text) {
  long long value = std::strtoll(text, nullptr, 10);
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

// strtoul with a 32-bit unsigned long: a magnitude past 32 bits gives the largest value, and a
// minus sign negates modulo 2^32.
uint32_t ParseUnsigned32(const char* text) {
  while (std::isspace(static_cast<unsigned char>(*text))) ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  if (!std::isdigit(static_cast<unsigned char>(*text))) return 0;
  unsigned long long magnitude = std::strtoull(text, nullptr, 10);
  if (magnitude > std::numeric_limits<uint32_t>::max()) return std::numeric_limits<uint32_t>::max();
  uint32_t value = static_cast<uint32_t>(magnitude);
  return negative ? 0u - value : value;
}

// A floating value as an integer kind: truncated toward zero, held to the kind's range, NaN as 0.
template <class T>
T TruncatedTo(double value) {
  if (std::isnan(value)) return 0;
  if (value <= static_cast<double>(std::numeric_limits<T>::min()))
    return std::numeric_limits<T>::min();
  if (value >= static_cast<double>(std::numeric_limits<T>::max()))
    return std::numeric_limits<T>::max();
  return static_cast<T>(value);
}

}  // namespace

geCVariant::geCVariant(bool bValue) : m_nType(TYPE_BOOL) { Store<uint8_t>(bValue ? 1 : 0); }

geCVariant::geCVariant(int nValue) : m_nType(TYPE_INT) { Store<int32_t>(nValue); }

geCVariant::geCVariant(float fValue) : m_nType(TYPE_FLOAT) { Store<float>(fValue); }

geCVariant::geCVariant(const char* szText) : m_text(szText ? szText : ""), m_nType(TYPE_STRING) {}

geCVariant::geCVariant(const std::string& text) : m_text(text), m_nType(TYPE_STRING) {}

geCVariant::geCVariant(void* pValue) : m_nType(TYPE_POINTER) { Store<void*>(pValue); }

geCVariant::geCVariant(const geCVariant& other) { *this = other; }

geCVariant& geCVariant::operator=(const geCVariant& other) {
  if (this == &other) return *this;
  m_text.clear();
  if (other.m_nType == TYPE_STRING) {
    m_text = other.m_text;
    std::memset(m_value, 0, sizeof m_value);
  } else {
    std::memcpy(m_value, other.m_value, sizeof m_value);
  }
  m_nType = other.m_nType;
  return *this;
}

void geCVariant::ChangeType(uint8_t nTargetType) {
  if (m_nType == TYPE_POINTER) {
    Store<uint64_t>(0);
    m_nType = TYPE_EMPTY;
    return;
  }
  if (m_nType != TYPE_STRING) return;

  const char* text = m_text.c_str();
  switch (nTargetType) {
    case TYPE_CHAR:
    case TYPE_UCHAR: Store<uint8_t>(static_cast<uint8_t>(ParseInt32(text))); break;
    case TYPE_INT:
    case TYPE_UINT:
    case TYPE_LONG: Store<int32_t>(ParseInt32(text)); break;
    case TYPE_ULONG: Store<uint32_t>(ParseUnsigned32(text)); break;
    case TYPE_FLOAT: Store<float>(static_cast<float>(std::strtod(text, nullptr))); break;
    case TYPE_DOUBLE: Store<double>(std::strtod(text, nullptr)); break;
    case TYPE_POINTER: Store<uint64_t>(0); break;
    case TYPE_BOOL: Store<uint8_t>(ParseInt32(text) != 0 ? 1 : 0); break;
    default: return;  // empty, text and unknown tags change nothing
  }
  m_nType = nTargetType;
}

std::string geCVariant::AsString() {
  ChangeType(TYPE_STRING);
  return m_nType == TYPE_STRING ? m_text : std::string();
}

int64_t geCVariant::IntegralValue() const {
  switch (m_nType) {
    case TYPE_CHAR: return Load<int8_t>();
    case TYPE_UCHAR: return Load<uint8_t>();
    case TYPE_INT:
    case TYPE_LONG: return Load<int32_t>();
    case TYPE_UINT:
    case TYPE_ULONG: return Load<uint32_t>();
    case TYPE_BOOL: return Load<uint8_t>() != 0;
    default: return 0;  // empty, unconverted text, pointer
  }
}

template <class T>
T geCVariant::NumericValue() const {
  if (m_nType == TYPE_FLOAT || m_nType == TYPE_DOUBLE) {
    double value = m_nType == TYPE_FLOAT ? Load<float>() : Load<double>();
    if constexpr (std::is_same_v<T, bool>)
      return value != 0.0;
    else if constexpr (std::is_integral_v<T>)
      return TruncatedTo<T>(value);
    else
      return static_cast<T>(value);
  }
  int64_t value = IntegralValue();
  if constexpr (std::is_same_v<T, bool>)
    return value != 0;
  else
    return static_cast<T>(value);
}

template <class T>
T geCVariant::ReadAs(uint8_t nType) const {
  if (m_nType != TYPE_STRING) return NumericValue<T>();
  geCVariant parsed(*this);
  parsed.ChangeType(nType);
  return parsed.NumericValue<T>();
}

bool geCVariant::AsBool() const { return ReadAs<bool>(TYPE_BOOL); }

int geCVariant::AsInt() const { return ReadAs<int>(TYPE_INT); }

unsigned int geCVariant::AsUnsignedInt() const { return ReadAs<unsigned int>(TYPE_UINT); }

float geCVariant::AsFloat() const { return ReadAs<float>(TYPE_FLOAT); }

double geCVariant::AsDouble() const { return ReadAs<double>(TYPE_DOUBLE); }
