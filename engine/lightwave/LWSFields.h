#pragma once
// The fields of one line of a LightWave scene file: a key, then fields separated by blanks.
// Numbers are read as decimal text, skipping leading blanks and stopping at the first character
// that is not part of the number ("2.5" read as an integer is 2). A line with fewer fields than
// its reader asks for gives 0 for a missing number and an empty text for a missing text: the
// scanner never moves past the line's terminator.
#include <cstddef>

#include "core/CopyName.h"
#include "windef.h"

constexpr const char* kLwsSource = "Lws6";
constexpr const char* kLwsTitle = "Error While Loading LWS6";

// The first blank at or after `from`, or the terminator when no blank comes first.
const char* NextField(const char* from);

// `line` from its `column`th character (counted from 0), or its terminator when it is shorter.
const char* Column(const char* line, UINT column);

// Lower-cases the text in place.
void LowerCase(char* text);

// The text after the line's first blank, up to its line end ("AddNullObject Null (1)" names
// "Null (1)"); a line without a blank names nothing. Gives the text and its length.
const char* ItemName(const char* line, std::size_t& length);

// Copies the name of an item line into a fixed field, cut to the field.
template <std::size_t N>
void CopyItemName(char (&field)[N], const char* line) {
  std::size_t length = 0;
  const char* name = ItemName(line, length);
  CopyName(field, name, length);
}

class LWSFields {
 public:
  // Scans the fields that follow the word starting at `word` (a key at the line's start, or an
  // indented word such as "Key").
  explicit LWSFields(const char* word) : m_from(*word != '\0' ? word + 1 : word) {}

  // The text of the next field (after its blank), or the terminator when there is none.
  const char* Next();
  int Int() { return ReadInt(Next()); }
  float Float() { return ReadFloat(Next()); }

  // A number that does not fit is held to the type's range.
  static int ReadInt(const char* text);
  static float ReadFloat(const char* text);

 private:
  const char* m_from;
};
