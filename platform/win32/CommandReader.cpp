#include "CommandReader.h"

#include <SDL2/SDL_events.h>
#include <fcntl.h>
#include <stb_image_write.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "WindowTable.h"
#include "winuser.h"
#include "zkplatform/ZkClock.h"
#include "zktest/ZkTestCommands.h"
#include "zktest/ZkTestD3D.h"
#include "zktest/ZkTestInput.h"

namespace {

enum class Verb { Key, Tap, Text, Mouse, Button, Wheel, Close, Frames, Wait, Screenshot };

struct Syntax {
  const char* name;
  Verb verb;
  const char* arguments;  // one letter each: n a number in [low, high], d "down" or "up"; r the rest
  long low;
  long high;
  const char* usage;
};

// The wheel's delta (120 a notch) travels as a signed 16-bit value.
constexpr long kMaxNotches = std::numeric_limits<SHORT>::max() / WHEEL_DELTA;

constexpr Syntax kCommands[] = {
    {"key", Verb::Key, "nd", 0, 255, "key <dik> down|up"},
    {"tap", Verb::Tap, "n", 0, 255, "tap <dik>"},
    {"text", Verb::Text, "r", 0, 0, "text <utf8>"},
    {"mouse", Verb::Mouse, "nn", std::numeric_limits<SHORT>::min(), std::numeric_limits<SHORT>::max(),
     "mouse <x> <y>"},
    {"button", Verb::Button, "nd", 0, 2, "button <0|1|2> down|up"},
    {"wheel", Verb::Wheel, "n", -kMaxNotches, kMaxNotches, "wheel <notches>"},
    {"close", Verb::Close, "", 0, 0, "close"},
    {"frames", Verb::Frames, "n", 0, 1000000000, "frames <n>"},
    {"wait", Verb::Wait, "n", 0, 1000000000, "wait <ms>"},
    {"screenshot", Verb::Screenshot, "r", 0, 0, "screenshot <file.png>"},
};

struct Command {
  Verb verb = Verb::Close;
  long numbers[2] = {};
  bool down = false;
  std::string rest;
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string Trimmed(const std::string& line) {
  size_t first = 0, end = line.size();
  while (first < end && IsBlank(line[first])) ++first;
  while (end > first && IsBlank(line[end - 1])) --end;
  return line.substr(first, end - first);
}

// The word starting at `at`, which moves past it and the blanks after it.
std::string NextWord(const std::string& line, size_t& at) {
  const size_t start = at;
  while (at < line.size() && !IsBlank(line[at])) ++at;
  const std::string word = line.substr(start, at - start);
  while (at < line.size() && IsBlank(line[at])) ++at;
  return word;
}

// Decimal, or hexadecimal after "0x" as key codes are usually written.
bool ParseNumber(const std::string& word, long low, long high, long& value) {
  const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
  const char* first = word.data() + (hex ? 2 : 0);
  const char* last = word.data() + word.size();
  const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
  return error == std::errc() && end == last && first != last && value >= low && value <= high;
}

// The command on a trimmed, non-blank line; the reason in `error` when there is none.
bool Parse(const std::string& line, Command& command, std::string& error) {
  size_t at = 0;
  const std::string name = NextWord(line, at);
  const Syntax* syntax = nullptr;
  for (const Syntax& candidate : kCommands)
    if (name == candidate.name) syntax = &candidate;
  if (!syntax) {
    error = "unknown command";
    return false;
  }
  command.verb = syntax->verb;
  error = std::string("expects ") + syntax->usage;
  int number = 0;
  for (const char* argument = syntax->arguments; *argument; ++argument) {
    if (*argument == 'r') {
      command.rest = line.substr(at);
      at = line.size();
      if (command.rest.empty()) return false;
      continue;
    }
    const std::string word = NextWord(line, at);
    if (*argument == 'n' && !ParseNumber(word, syntax->low, syntax->high, command.numbers[number++]))
      return false;
    if (*argument == 'd') {
      if (word != "down" && word != "up") return false;
      command.down = word == "down";
    }
  }
  if (at != line.size()) return false;
  error.clear();
  return true;
}

// Typed text in pieces that each fit one text event, never cutting a character in two.
bool TypeText(HWND window, const std::string& text) {
  constexpr size_t kPiece = SDL_TEXTINPUTEVENT_TEXT_SIZE - 1;
  for (size_t at = 0; at < text.size();) {
    size_t end = std::min(text.size(), at + kPiece);
    while (end < text.size() && end > at && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    if (end == at || !ZkTestInputText(window, text.substr(at, end - at).c_str())) return false;
    at = end;
  }
  return true;
}

BOOL MovePointer(HWND window, int x, int y) {
  POINT cursor = {};
  GetCursorPos(&cursor);
  ScreenToClient(window, &cursor);
  return ZkTestInputMouseMove(window, x, y, x - cursor.x, y - cursor.y);
}

// Sends a window command; an empty result, or the reason it was refused.
std::string SendToWindow(const Command& command, HWND window) {
  const int first = static_cast<int>(command.numbers[0]);
  switch (command.verb) {
    case Verb::Key:
    case Verb::Tap:
      return ZkTestInputKey(window, static_cast<BYTE>(first), command.verb == Verb::Tap || command.down)
                 ? ""
                 : "no key has that code";
    case Verb::Text: return TypeText(window, command.rest) ? "" : "the window did not take it";
    case Verb::Mouse:
      return MovePointer(window, first, static_cast<int>(command.numbers[1])) ? "" : "the window did not take it";
    case Verb::Button:
      return ZkTestInputMouseButton(window, first, command.down, 1) ? "" : "the window did not take it";
    case Verb::Wheel: return ZkTestInputMouseWheel(window, first) ? "" : "the window did not take it";
    case Verb::Close: return ZkTestInputClose(window) ? "" : "the window did not take it";
    default: return "not a window command";
  }
}

// The window input goes to: the one with the focus, or else the newest, which is given it
// first. Null while there is no window.
HWND InputWindow() {
  WindowTable& table = WindowTable::Instance();
  if (HWND focused = table.Foreground()) return focused;
  HWND newest = table.Newest();
  if (newest) ZkTestInputFocus(newest, TRUE);
  return newest;
}

void Echo(const std::string& line, const std::string& refusal) {
  if (refusal.empty())
    std::fprintf(stderr, "zk-commands: %s\n", line.c_str());
  else
    std::fprintf(stderr, "zk-commands: %s refused: %s\n", line.c_str(), refusal.c_str());
}

void AppendBytes(void* context, void* data, int size) {
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  static_cast<std::vector<uint8_t>*>(context)->insert(static_cast<std::vector<uint8_t>*>(context)->end(), bytes,
                                                      bytes + size);
}

// Writes all of `bytes` to a new file; the reason when it fails (the file is then removed).
std::string WriteNewFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  // Non-blocking, so that a FIFO lying in the way fails instead of waiting for a reader.
  const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0644);
  if (file < 0) return std::strerror(errno);
  std::string failure;
  for (size_t written = 0; written < bytes.size() && failure.empty();) {
    const ssize_t count = write(file, bytes.data() + written, bytes.size() - written);
    if (count > 0)
      written += static_cast<size_t>(count);
    else if (count < 0 && errno != EINTR)
      failure = std::strerror(errno);
  }
  if (close(file) != 0 && failure.empty()) failure = std::strerror(errno);
  if (!failure.empty()) unlink(path.c_str());
  return failure;
}

}  // namespace

CommandReader& CommandReader::Instance() {
  static CommandReader reader;
  return reader;
}

void CommandReader::Poll() {
  // In a normal run this is the whole cost of the reader.
  if (m_started.load(std::memory_order_acquire) && !m_reading.load(std::memory_order_acquire)) return;
  std::lock_guard<std::mutex> guard(m_lock);
  if (!m_started) {
    m_started = true;
    const char* path = std::getenv("ZK_COMMANDS");
    if (path && *path) OpenLocked(path);
  }
  while (m_reading && !Holding()) {
    if (m_tapHeld) {
      ZkTestInputKey(m_tapWindow, m_tapKey, FALSE);
      m_tapHeld = false;
    }
    std::string line;
    bool overlong = false;
    if (!m_lineWaitingForWindow.empty())
      line.swap(m_lineWaitingForWindow);
    else if (!m_source.NextLine(line, overlong))
      return;
    if (overlong) {
      Echo(line + "...", "longer than " + std::to_string(CommandSource::kMaxLineBytes) + " bytes");
      continue;
    }
    const Outcome outcome = Run(line);
    if (outcome == Outcome::WaitForWindow) m_lineWaitingForWindow = line;
    if (outcome != Outcome::Done) return;
  }
}

bool CommandReader::Open(const char* path) {
  std::lock_guard<std::mutex> guard(m_lock);
  ResetLocked();
  OpenLocked(path);
  return m_reading;
}

void CommandReader::OpenLocked(const char* path) {
  std::string error;
  m_reading = m_source.Open(path, error);
  if (!m_reading) std::fprintf(stderr, "zk-commands: cannot read %s: %s\n", path, error.c_str());
}

void CommandReader::Feed(const char* text) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_started = true;
  m_source.Append(text);
  m_reading = true;
}

void CommandReader::Reset() {
  std::lock_guard<std::mutex> guard(m_lock);
  ResetLocked();
}

void CommandReader::ResetLocked() {
  m_started = true;
  m_reading = false;
  m_source.Close();
  m_lineWaitingForWindow.clear();
  m_resumeAtFrame = 0;
  m_resumeAtMicroseconds = 0;
  m_screenshotFile.clear();
  if (m_tapHeld) ZkTestInputKey(m_tapWindow, m_tapKey, FALSE);
  m_tapHeld = false;
}

bool CommandReader::Holding() const {
  return m_framesPresented < m_resumeAtFrame || ZkClockMicroseconds() < m_resumeAtMicroseconds ||
         !m_screenshotFile.empty();
}

CommandReader::Outcome CommandReader::Run(const std::string& text) {
  const std::string line = Trimmed(text);
  if (line.empty() || line[0] == '#') return Outcome::Done;
  Command command;
  std::string refusal;
  if (!Parse(line, command, refusal)) {
    Echo(line, refusal);
    return Outcome::Done;
  }
  switch (command.verb) {
    case Verb::Frames: m_resumeAtFrame = m_framesPresented + command.numbers[0]; break;
    case Verb::Wait:
      m_resumeAtMicroseconds = ZkClockMicroseconds() + static_cast<uint64_t>(command.numbers[0]) * 1000;
      break;
    case Verb::Screenshot:
      if (ZkTestD3DGetBackend() == ZK_D3D_BACKEND_NULL)
        refusal = "the null back end draws nothing";
      else
        m_screenshotFile = command.rest[0] == '/' ? command.rest : m_source.Folder() + "/" + command.rest;
      break;
    default: {
      HWND window = InputWindow();
      if (!window) return Outcome::WaitForWindow;
      refusal = SendToWindow(command, window);
      if (command.verb == Verb::Tap && refusal.empty()) {
        m_tapHeld = true;
        m_tapWindow = window;
        m_tapKey = static_cast<BYTE>(command.numbers[0]);
        m_resumeAtFrame = m_framesPresented + 1;
      }
    }
  }
  Echo(line, refusal);
  // Moves and buttons are measured from where the cursor is, which the pump updates only when
  // it translates the move.
  return command.verb == Verb::Mouse && refusal.empty() ? Outcome::EndOfPass : Outcome::Done;
}

bool CommandReader::ScreenshotDue() {
  if (!m_reading.load(std::memory_order_acquire)) return false;
  std::lock_guard<std::mutex> guard(m_lock);
  return !m_screenshotFile.empty();
}

void CommandReader::FramePresented(const ScreenPixels* shown) {
  std::string file;
  {
    std::lock_guard<std::mutex> guard(m_lock);
    ++m_framesPresented;
    if (!shown || m_screenshotFile.empty()) return;
    file = m_screenshotFile;
  }
  // Written without the lock: the pump need not wait for the disk to find that it must wait.
  const std::string failure = WriteScreenshot(*shown, file);
  if (!failure.empty()) std::fprintf(stderr, "zk-commands: screenshot %s failed: %s\n", file.c_str(), failure.c_str());
  std::lock_guard<std::mutex> guard(m_lock);
  if (m_screenshotFile == file) m_screenshotFile.clear();
}

std::string CommandReader::WriteScreenshot(const ScreenPixels& shown, const std::string& file) {
  const size_t rowBytes = static_cast<size_t>(shown.width) * 4;
  if (shown.width == 0 || shown.height == 0 || shown.rgba.size() != rowBytes * shown.height ||
      rowBytes > static_cast<size_t>(std::numeric_limits<int>::max()))
    return "the picture could not be read back";
  std::vector<uint8_t> png;
  if (!stbi_write_png_to_func(AppendBytes, &png, static_cast<int>(shown.width), static_cast<int>(shown.height), 4,
                              shown.rgba.data(), static_cast<int>(rowBytes)))
    return "the picture could not be encoded";
  // A reader waiting for the file sees it appear whole or not at all.
  const std::string temporary = file + ".partial";
  std::string failure = WriteNewFile(temporary, png);
  if (failure.empty() && rename(temporary.c_str(), file.c_str()) != 0) {
    failure = std::strerror(errno);
    unlink(temporary.c_str());
  }
  return failure;
}

BOOL ZkTestCommandsOpen(const char* path) {
  return path && CommandReader::Instance().Open(path) ? TRUE : FALSE;
}

void ZkTestCommandsFeed(const char* text) {
  if (text) CommandReader::Instance().Feed(text);
}

void ZkTestCommandsReset() { CommandReader::Instance().Reset(); }
