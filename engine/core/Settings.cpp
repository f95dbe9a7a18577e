#include "core/Settings.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "core/CharacterClasses.h"
#include "core/EngineLog.h"
#include "core/SettingEntry.h"
#include "core/Tokenizer.h"
#include "zkplatform/ZkPaths.h"

namespace {

const char kSource[] = "ZK3DSettings";
const char kOverrideFileName[] = "override.zk";

// Reads one line into `line` (CSettingEntry::kMaxText + 1 bytes), without its line end. A longer
// line keeps its first characters and the rest is read past, so that it never passes for a
// line of its own. Returns false at the end of the file.
bool ReadLine(FILE* file, char* line, bool* tooLong) {
  constexpr int kLineSize = CSettingEntry::kMaxText + 1;
  std::memset(line, 0, kLineSize);
  *tooLong = false;
  if (!fgets(line, kLineSize, file)) return false;
  size_t length = std::strlen(line);
  bool ended = length > 0 && line[length - 1] == '\n';
  if (!ended) {
    int next = fgetc(file);
    if (next == '\r') next = fgetc(file);
    if (next != '\n' && next != EOF) {
      *tooLong = true;
      while (next != '\n' && next != EOF) next = fgetc(file);
    }
  }
  while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r'))
    line[--length] = '\0';
  return true;
}

int ClampToInt(long long value) {
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

// A value read from the text behind "=".
struct OverrideValue {
  int type = CSettingEntry::kUnset;
  int integer = 0;
  float real = 0.0f;
  std::string text;
};

// Reads the value text: t... and f... are 1 and 0, a quoted string keeps the case it was written
// in (so it is taken from `original`, the line as it stood before lowering), a number with a
// point or an exponent is a float, anything else a signed whole number (0 when it is none, as
// the runtime's atol reads it). False for a quoted string without its closing quote.
bool ReadValue(const char* value, const char* original, OverrideValue* result) {
  if (*value == '"') {
    const char* text = original + 1;
    const char* close = std::strchr(text, '"');
    if (!close) return false;
    result->type = CSettingEntry::kString;
    result->text.assign(text, close);
    return true;
  }
  if (*value == 't' || *value == 'f') {
    result->type = CSettingEntry::kInteger;
    result->integer = *value == 't' ? 1 : 0;
    return true;
  }
  const char* digits = value + (*value == '-' || *value == '+');
  const char* digitsEnd = digits;
  while (IsDigitCharacter(*digitsEnd)) ++digitsEnd;
  bool wholePart = digitsEnd > digits;
  if ((*digitsEnd == '.' && (wholePart || IsDigitCharacter(digitsEnd[1]))) ||
      (*digitsEnd == 'e' && wholePart)) {
    result->type = CSettingEntry::kFloat;
    result->real = std::strtof(value, nullptr);
    return true;
  }
  char* integerEnd = nullptr;
  long long integer = std::strtoll(value, &integerEnd, 10);
  result->type = CSettingEntry::kInteger;
  result->integer = integerEnd == value ? 0 : ClampToInt(integer);
  return true;
}

}  // namespace

CSettings::~CSettings() {
  while (m_first) {
    CSettingEntry* next = m_first->GetNext();
    delete m_first;
    m_first = next;
  }
}

CSettingEntry* CSettings::AddSetting(const char* name) {
  if (!name) return nullptr;
  if (CSettingEntry* existing = GetSetting(name)) return existing;
  CSettingEntry* entry = new CSettingEntry(name);
  if (!m_first) {
    m_first = entry;
    return entry;
  }
  CSettingEntry* last = m_first;
  while (last->GetNext()) last = last->GetNext();
  last->SetNext(entry);
  entry->SetPrevious(last);
  return entry;
}

void CSettings::RemoveSetting(CSettingEntry* entry) {
  for (CSettingEntry* current = m_first; current; current = current->GetNext()) {
    if (current != entry) continue;
    CSettingEntry* previous = entry->GetPrevious();
    CSettingEntry* next = entry->GetNext();
    if (previous)
      previous->SetNext(next);
    else
      m_first = next;
    if (next) next->SetPrevious(previous);
    delete entry;
    return;
  }
}

CSettingEntry* CSettings::GetSetting(const char* name) {
  if (!name) return nullptr;
  // Names are stored cut to their field, so the name asked for is compared cut the same way.
  char wanted[CSettingEntry::kMaxText + 1];
  CSettingEntry::CopyText(wanted, name);
  for (CSettingEntry* entry = m_first; entry; entry = entry->GetNext())
    if (std::strcmp(entry->GetName(), wanted) == 0) return entry;
  return nullptr;
}

CSettingEntry* CSettings::GetFirstSetting() { return m_first; }

void CSettings::LoadOverrideFile(const char* folder, CEngineLog* log) {
  if (!log) log = CEngineLog::Instance();
  std::string shownFolder;
  if (folder) {
    shownFolder = folder;
  } else {
    std::error_code error;
    shownFolder = std::filesystem::current_path(error).string();
  }
  log->Log(kSource, __LINE__, CEngineLog::kLevelInfo,
           "- Loading Override File (override.zk) From: %s\n", shownFolder.c_str());

  std::string path = folder ? std::string(folder) + "\\" + kOverrideFileName : kOverrideFileName;
  FILE* file = ZkFileOpen(path.c_str(), "r");
  if (!file) {
    log->Log(kSource, __LINE__, CEngineLog::kLevelInfo, "  - no file found\n");
    return;
  }

  CTokenizer tokenizer(log);
  char line[CSettingEntry::kMaxText + 1];
  bool tooLong = false;
  for (int lineNumber = 1; ReadLine(file, line, &tooLong); ++lineNumber) {
    if (tooLong)
      log->Log(
          kSource, __LINE__, CEngineLog::kLevelError,
          "WARNING!!! - Override File Line %i Is Longer Than %i Characters, The Rest Is Ignored\n",
          lineNumber, CSettingEntry::kMaxText);
    ApplyOverrideLine(line, &tokenizer);
  }
  fclose(file);

  LogSettings(log);
}

void CSettings::ApplyOverrideLine(char* line, CTokenizer* tokenizer) {
  char original[CSettingEntry::kMaxText + 1];
  std::memcpy(original, line, sizeof original);
  tokenizer->Tokenize(line, CTokenizer::kCaseLower);
  if (tokenizer->GetNumberOfTokens() < 3 || tokenizer->GetToken(1)[0] != '=') return;

  // The value is the text behind the "=" that follows the name.
  const char* name = tokenizer->GetToken(0);
  const char* equals = std::strchr(std::strstr(line, name) + std::strlen(name), '=');
  if (!equals) return;
  const char* value = equals + 1;
  while (*value == ' ' || *value == '\t') ++value;

  OverrideValue parsed;
  if (!ReadValue(value, original + (value - line), &parsed)) return;
  CSettingEntry* entry = AddSetting(name);
  switch (parsed.type) {
    case CSettingEntry::kString: entry->SetString(parsed.text.c_str()); break;
    case CSettingEntry::kFloat: entry->SetFloat(parsed.real); break;
    default: entry->SetInt(parsed.integer); break;
  }
}

void CSettings::LogSettings(CEngineLog* log) {
  log->Log(kSource, __LINE__, CEngineLog::kLevelInfo, "  - Settings Found:\n");
  for (CSettingEntry* entry = m_first; entry; entry = entry->GetNext()) {
    switch (entry->GetType()) {
      case CSettingEntry::kInteger:
        log->Log(kSource, __LINE__, CEngineLog::kLevelInfo, "    - %s: %i\n", entry->GetName(),
                 entry->GetInt());
        break;
      case CSettingEntry::kFloat:
        log->Log(kSource, __LINE__, CEngineLog::kLevelInfo, "    - %s: %f\n", entry->GetName(),
                 static_cast<double>(entry->GetFloat()));
        break;
      case CSettingEntry::kString:
        log->Log(kSource, __LINE__, CEngineLog::kLevelInfo, "    - %s: %s\n", entry->GetName(),
                 entry->GetString());
        break;
      default:
        log->Log(kSource, __LINE__, CEngineLog::kLevelInfo, "    - %s: \n", entry->GetName());
        break;
    }
  }
}
