#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingEngineLog.h"
#include "core/CharacterClasses.h"
#include "core/Tokenizer.h"

namespace {

std::vector<std::string> Tokens(CTokenizer& tokenizer) {
  std::vector<std::string> tokens;
  for (int i = 0; i < tokenizer.GetNumberOfTokens(); ++i) tokens.push_back(tokenizer.GetToken(i));
  return tokens;
}

std::vector<std::string> Split(std::string line, int caseMode = 0) {
  CRecordingEngineLog log;
  CTokenizer tokenizer(&log);
  EXPECT_EQ(tokenizer.Tokenize(line.data(), caseMode), 1);
  return Tokens(tokenizer);
}

using TokenList = std::vector<std::string>;

}  // namespace

TEST(TokenizerTest, SplitsLinesIntoWordsNumbersAndPunctuation) {
  struct Case {
    const char* line;
    TokenList tokens;
  } cases[] = {
      {"", {}},
      {" \t\r  ", {}},
      {"width=1.5e3", {"width", "=", "1", ".", "5", "e3"}},
      {"-3", {"-", "3"}},
      {"a_b9 _9x", {"a_b9", "_9", "x"}},
      {"1WEIGHTS", {"1", "WEIGHTS"}},
      {"name = \"two words\"", {"name", "=", "\"", "two", "words", "\""}},
      {"first\nsecond", {"first"}},
      {"a\x80\xff"
       "b",
       {"a", "b"}},
      {"x`y{z}~_", {"x", "`", "y", "{", "z", "}", "~", "_"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Split(c.line), c.tokens) << "line: " << c.line;
}

TEST(TokenizerTest, CaseModesChangeTheCallersTextInPlace) {
  CRecordingEngineLog log;
  CTokenizer tokenizer(&log);
  std::string lower = "Width = TRUE";
  tokenizer.Tokenize(lower.data(), CTokenizer::kCaseLower);
  EXPECT_EQ(lower, "width = true");
  EXPECT_EQ(Tokens(tokenizer), (TokenList{"width", "=", "true"}));

  std::string upper = "set x";
  tokenizer.Tokenize(upper.data(), CTokenizer::kCaseUpper);
  EXPECT_EQ(upper, "SET X");

  std::string kept = "MiXed";
  tokenizer.Tokenize(kept.data(), 0);
  EXPECT_EQ(kept, "MiXed");
}

TEST(TokenizerTest, KeepsTokensOf255CharactersAndDropsLongerOnesWithAnError) {
  CRecordingEngineLog log;
  CTokenizer tokenizer(&log);
  std::string longest(255, 'a');
  std::string tooLong(256, 'b');
  std::string line = longest + " " + tooLong + " tail";
  tokenizer.Tokenize(line.data(), 0);
  ASSERT_EQ(tokenizer.GetNumberOfTokens(), 2);
  EXPECT_EQ(std::string(tokenizer.GetToken(0)), longest);
  EXPECT_STREQ(tokenizer.GetToken(1), "tail");
  EXPECT_EQ(log.TextAt(2), "Can't Add Token, B'coz Its Lenght Is To Long\n");
}

TEST(TokenizerTest, StopsAt256TokensAndBoundsGetToken) {
  CRecordingEngineLog log;
  CTokenizer tokenizer(&log);
  std::string line;
  for (int i = 0; i < 300; ++i) line += "t" + std::to_string(i) + " ";
  tokenizer.Tokenize(line.data(), 0);
  ASSERT_EQ(tokenizer.GetNumberOfTokens(), CTokenizer::kMaxTokens);
  EXPECT_STREQ(tokenizer.GetToken(255), "t255");
  EXPECT_STREQ(tokenizer.GetToken(256), "");
  EXPECT_STREQ(tokenizer.GetToken(-1), "");
  EXPECT_EQ(log.entries.size(), 1u);
}

TEST(TokenizerTest, ANewLineReplacesThePreviousTokens) {
  CRecordingEngineLog log;
  CTokenizer tokenizer(&log);
  std::string first = "one two three";
  std::string second = "four";
  tokenizer.Tokenize(first.data(), 0);
  tokenizer.Tokenize(second.data(), 0);
  EXPECT_EQ(Tokens(tokenizer), (TokenList{"four"}));
  EXPECT_STREQ(tokenizer.GetToken(1), "");
}

TEST(CharacterClassesTest, PunctuationIsAsciiPunctuationExceptTheUnderscore) {
  std::string punctuation;
  for (int c = 0; c < 256; ++c)
    if (IsPunctuationCharacter(static_cast<unsigned char>(c))) punctuation += static_cast<char>(c);
  EXPECT_EQ(punctuation, "!\"#$%&'()*+,-./:;<=>?@[\\]^`{|}~");
}
