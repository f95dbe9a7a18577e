#include "console/ConsoleOutputStream.h"

#include <cstring>
#include <string>

#include "console/Console.h"
#include "console/ConsoleLine.h"

void CConsoleOutputStream::Write(const char* text) {
  if (text == nullptr) text = "";
  size_t left = std::strlen(text);
  for (;;) {
    const size_t take = left < kLineLength ? left : kLineLength;
    ConsoleLine* line = m_console.NextOutputLine();
    std::memcpy(line->szText, text, take);
    line->szText[take] = '\0';
    text += take;
    left -= take;
    if (take < kLineLength) return;
  }
}

void CConsoleOutputStream::Line(const char* text) {
  Write((std::string(text ? text : "") + "\n").c_str());
}
