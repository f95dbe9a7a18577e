#include "ShaderSemantic.h"

#include <cctype>

bool CShaderSemantic::Parse(const std::string& text, UINT* usage, UINT* index, std::string* rest) {
  // In D3DDECLUSAGE order.
  static const char* const kNames[] = {"POSITION", "BLENDWEIGHT", "BLENDINDICES", "NORMAL",    "PSIZE",
                                       "TEXCOORD", "TANGENT",     "BINORMAL",     "TESSFACTOR", "POSITIONT",
                                       "COLOR",    "FOG",         "DEPTH",        "SAMPLE"};
  size_t at = 0;
  std::string name;
  for (; at < text.size() && isalpha(static_cast<unsigned char>(text[at])); ++at)
    name += static_cast<char>(toupper(static_cast<unsigned char>(text[at])));
  UINT number = 0;
  const size_t digits = at;
  for (; at < text.size() && isdigit(static_cast<unsigned char>(text[at])) && at - digits < 3; ++at)
    number = number * 10 + static_cast<UINT>(text[at] - '0');
  if (number > 15) return false;
  for (UINT u = 0; u < sizeof kNames / sizeof kNames[0]; ++u)
    if (name == kNames[u]) {
      *usage = u;
      *index = number;
      *rest = text.substr(at);
      return true;
    }
  return false;
}
