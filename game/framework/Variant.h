#pragma once
// A small tagged value: a text, or one number, boolean or pointer. Values read from the game's
// XML arrive as text and are converted only when read, on a copy, so the text as written stays.
#include <cstdint>
#include <cstring>
#include <string>

class geCVariant {
 public:
  // The type tags. ChangeType takes any tag value; text is not parsed for one it does not know.
  enum EType : uint8_t {
    TYPE_EMPTY = 0,
    TYPE_CHAR = 1,
    TYPE_UCHAR = 2,
    TYPE_INT = 3,
    TYPE_UINT = 4,
    TYPE_LONG = 5,
    TYPE_ULONG = 6,
    TYPE_FLOAT = 7,
    TYPE_DOUBLE = 8,
    TYPE_STRING = 9,
    TYPE_POINTER = 10,
    TYPE_BOOL = 11,
  };

  geCVariant() = default;
  geCVariant(bool bValue);
  geCVariant(int nValue);
  geCVariant(float fValue);
  geCVariant(const char* szText);  // null is the empty text
  geCVariant(const std::string& text);
  explicit geCVariant(void* pValue);
  // A copy carries the text only when the source holds text, else only its value and tag.
  geCVariant(const geCVariant& other);
  geCVariant& operator=(const geCVariant& other);
  virtual ~geCVariant() = default;

  uint8_t GetType() const { return m_nType; }

  // Converts in place. Only text converts: it is parsed as a number of the target kind (and
  // kept); a pointer becomes empty whatever the target; numbers never change kind.
  void ChangeType(uint8_t nTargetType);
  // Changes the type to text and gives the text: empty for anything that does not hold text.
  std::string AsString();

  // Typed reads, on a copy converted to the kind asked for. A number of another kind is
  // converted to the kind asked for (floating values truncate toward zero and saturate);
  // empty and pointer variants read as 0 and false.
  bool AsBool() const;
  int AsInt() const;
  unsigned int AsUnsignedInt() const;
  float AsFloat() const;
  double AsDouble() const;

 private:
  template <class T>
  void Store(T value) {
    std::memset(m_value, 0, sizeof m_value);
    std::memcpy(m_value, &value, sizeof value);
  }
  template <class T>
  T Load() const {
    T value;
    std::memcpy(&value, m_value, sizeof value);
    return value;
  }
  template <class T>
  T ReadAs(uint8_t nType) const;
  // The held number in the kind asked for; empty, text and pointer give 0.
  template <class T>
  T NumericValue() const;
  int64_t IntegralValue() const;

  alignas(8) unsigned char m_value[8] = {};
  std::string m_text;
  uint8_t m_nType = TYPE_EMPTY;
};
