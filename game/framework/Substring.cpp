#include "framework/Substring.h"

std::string GetSubstring(const std::string& strText, DWORD dwNum, BYTE ch) {
  std::string strField;
  DWORD dwEnded = 0;
  for (const char c : strText) {
    if (c == '\n' || c == '\r' || c == '\0') break;
    if (static_cast<BYTE>(c) != ch) {
      strField += c;
      continue;
    }
    if (dwEnded == dwNum) return strField;
    strField.clear();
    ++dwEnded;
  }
  return dwEnded == dwNum ? strField : std::string();
}
