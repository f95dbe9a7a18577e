#pragma once
// The character classes the tokenizer splits lines by. Characters are read as unsigned bytes so
// that text above 127 is never mistaken for a letter or a digit.

// ASCII punctuation except the underscore: each such character is a token of its own.
constexpr bool IsPunctuationCharacter(unsigned char c) {
  return (c >= 33 && c <= 47) || (c >= 58 && c <= 64) || (c >= 91 && c <= 94) || c == 96 ||
         (c >= 123 && c <= 126);
}

constexpr bool IsDigitCharacter(unsigned char c) { return c >= '0' && c <= '9'; }

constexpr bool IsLetterCharacter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A number token starts with a digit or an underscore and goes on over those only.
constexpr bool IsNumberCharacter(unsigned char c) { return IsDigitCharacter(c) || c == '_'; }

// A word token starts with a letter and goes on over letters, digits and underscores.
constexpr bool IsWordCharacter(unsigned char c) {
  return IsLetterCharacter(c) || IsNumberCharacter(c);
}

// A zero byte or a line feed ends the line; nothing after it is read.
constexpr bool IsLineEndCharacter(unsigned char c) { return c == 0 || c == '\n'; }
