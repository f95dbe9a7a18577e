#include "shaders/ShaderVertexElements.h"

#include <charconv>
#include <cstring>
#include <iterator>

#include "core/Tokenizer.h"
#include "shaders/ShaderFileLines.h"

namespace {

struct ElementKeyword {
  const char* szKeyword;
  BYTE byValue;
};

constexpr ElementKeyword kTypes[] = {
    {"FLOAT1", 0},     {"FLOAT2", 1},     {"FLOAT3", 2},     {"FLOAT4", 3},
    {"D3DCOLOR", 4},   {"UBYTE4", 5},     {"SHORT2", 6},     {"SHORT4", 7},
    {"UBYTE4N", 8},    {"SHORT2N", 9},    {"SHORT4N", 10},   {"UDEC3", 13},
    {"DEC3N", 14},     {"FLOAT16_2", 15}, {"FLOAT16_4", 16}, {"UNUSED", 17},
};
constexpr ElementKeyword kMethods[] = {
    {"DEFAULT", 0}, {"PARTIALU", 1}, {"PARTIALV", 2},         {"CROSSUV", 3},
    {"UV", 4},      {"LOOKUP", 5},   {"LOOKUPPRESAMPLED", 6},
};
constexpr ElementKeyword kUsages[] = {
    {"POSITIONT", 9}, {"POSITION", 0},  {"BLENDWEIGHT", 1}, {"BLENDINDICES", 2},
    {"NORMAL", 3},    {"PSIZE", 4},     {"TEXCOORD", 5},    {"TANGENT", 6},
    {"BINORMAL", 7},  {"TESSFACTOR", 8}, {"COLOR", 10},     {"FOG", 11},
    {"DEPTH", 12},    {"SAMPLE", 13},
};

// The longest keyword the word begins with: "UBYTE4N" is not "UBYTE4", "FLOAT16_2" not
// "FLOAT1".
template <size_t N>
bool FindKeyword(const char* word, const ElementKeyword (&keywords)[N], BYTE* value) {
  size_t longest = 0;
  for (const ElementKeyword& keyword : keywords) {
    const size_t length = std::strlen(keyword.szKeyword);
    if (length > longest && CShaderFileLines::BeginsWith(word, keyword.szKeyword)) {
      longest = length;
      *value = keyword.byValue;
    }
  }
  return longest > 0;
}

template <class T>
bool ReadNumber(const char* word, unsigned limit, T* value) {
  unsigned parsed = 0;
  const char* end = word + std::strlen(word);
  const auto [stop, error] = std::from_chars(word, end, parsed);
  if (error != std::errc() || stop != end || stop == word || parsed > limit) return false;
  *value = static_cast<T>(parsed);
  return true;
}

}  // namespace

bool ReadVertexElement(CTokenizer* tokenizer, int first, D3DVERTEXELEMENT9* element, int* next) {
  auto word = [&](int field) { return tokenizer->GetToken(first + 1 + 2 * field); };
  // Fields stand at every second token, a comma between them and ">" after the last.
  for (int field = 0; field < 5; ++field)
    if (std::strcmp(tokenizer->GetToken(first + 2 + 2 * field), ",") != 0) return false;
  if (std::strcmp(tokenizer->GetToken(first + 12), ">") != 0) return false;
  *next = first + 13;
  // A stream of 0xFF is the end marker's.
  return ReadNumber(word(0), 0xFE, &element->Stream) && ReadNumber(word(1), 0xFFFF, &element->Offset) &&
         FindKeyword(word(2), kTypes, &element->Type) &&
         FindKeyword(word(3), kMethods, &element->Method) &&
         FindKeyword(word(4), kUsages, &element->Usage) &&
         ReadNumber(word(5), 0xFF, &element->UsageIndex);
}
