#include "shaders/ShaderCommandWords.h"

#include "core/Tokenizer.h"
#include "shaders/Shader.h"
#include "shaders/ShaderLibrary.h"
#include "shaders/ShaderPass.h"

CShaderCommandWords::CShaderCommandWords(CShaderPass* pass)
    : m_pTokenizer(pass->GetShader()->GetLibrary()->GetTokenizer()) {}

const char* CShaderCommandWords::Word(int index) const {
  const char* word = m_pTokenizer != nullptr ? m_pTokenizer->GetToken(index) : nullptr;
  return word != nullptr ? word : "";
}

UINT CShaderCommandWords::Number(int index) const {
  UINT value = 0;
  // A token is at most 255 characters; the value wraps as an unsigned word would.
  for (const char* c = Word(index); *c >= '0' && *c <= '9'; ++c)
    value = value * 10 + static_cast<UINT>(*c - '0');
  return value;
}
