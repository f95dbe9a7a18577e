// The override file ("override.zk") read by the settings loader from the working folder, and
// the tokenizer that splits its lines (the console and the shader library use it too) on every
// line of the input in each case mode. Tokens must stay within their table and their slots.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzHarness.h"
#include "RecordingEngineLog.h"
#include "core/Settings.h"
#include "core/Tokenizer.h"

namespace {

void TokenizeLines(const uint8_t* data, size_t size, CEngineLog* log) {
  CTokenizer tokenizer(log);
  const std::string text(reinterpret_cast<const char*>(data), size);
  size_t start = 0;
  for (int mode = 0; start <= text.size(); ++mode) {
    const size_t end = std::min(text.find('\n', start), text.size());
    std::string line = text.substr(start, end - start);
    tokenizer.Tokenize(line.data(), mode % 3);
    const int count = tokenizer.GetNumberOfTokens();
    if (count < 0 || count > CTokenizer::kMaxTokens) std::abort();
    for (int i = 0; i < count; ++i)
      if (std::strlen(tokenizer.GetToken(i)) > size_t(CTokenizer::kMaxTokenLength)) std::abort();
    if (tokenizer.GetToken(count)[0] != '\0' || tokenizer.GetToken(-1)[0] != '\0') std::abort();
    start = end + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzHarness& harness = FuzzHarness::Instance();
  harness.WriteFile("override.zk", data, size);
  harness.Run([&] {
    CRecordingEngineLog log;
    CSettings settings;
    settings.LoadOverrideFile(nullptr, &log);
    TokenizeLines(data, size, &log);
  });
  return 0;
}
