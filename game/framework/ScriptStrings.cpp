#include "framework/ScriptStrings.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "framework/EngineGlobals.h"
#include "framework/ScriptHost.h"
#include "framework/ScriptIndex.h"
#include "script/bstr.h"

using namespace AngelScript;

namespace {

constexpr const char* kOutOfRange = "Out of range";

// The byte at `nIndex`, or null with the script exception "Out of range".
uint8_t* ByteAddress(bstr* pText, int nIndex) {
  if (nIndex < 0 || static_cast<size_t>(nIndex) >= pText->size()) {
    if (asIScriptContext* pContext = asGetActiveContext()) pContext->SetException(kOutOfRange);
    return nullptr;
  }
  return reinterpret_cast<uint8_t*>(pText->data()) + nIndex;
}

uint8_t ByteAt(int nIndex, bstr* pText) {
  const uint8_t* pByte = ByteAddress(pText, nIndex);
  return pByte ? *pByte : 0;
}

uint8_t& ByteIndex(int nIndex, bstr* pText) {
  // Once the exception is set the script stops before it uses the byte; the spare one only
  // keeps the reference valid.
  static thread_local uint8_t s_nSpare;
  uint8_t* pByte = ByteAddress(pText, nIndex);
  return pByte ? *pByte : s_nSpare;
}

// A start past the end gives the empty text rather than reading outside it.
bstr Substr(const bstr& text, asUINT nStart, asUINT nCount) {
  if (nStart >= text.size()) return bstr();
  return text.substr(nStart, nCount);
}

// Both texts' containment test: 1 when `what` occurs in `text`.
int Contains(const bstr& text, const bstr& what) { return text.find(what) != bstr::npos ? 1 : 0; }
int ContainsByValue(bstr text, bstr what) { return Contains(text, what); }

template <class T>
bstr Format(const char* szFormat, T value) {
  char text[64];
  snprintf(text, sizeof text, szFormat, value);
  return text;
}
bstr FormatBits(uint32_t nValue) { return Format("%X", nValue); }
bstr FormatInt(int nValue) { return Format("%d", nValue); }
bstr FormatUint(asUINT nValue) { return Format("%u", nValue); }
bstr FormatFloat(float fValue) { return Format("%#6g", static_cast<double>(fValue)); }
bstr FormatDouble(double dValue) { return Format("%#6g", dValue); }

void BitsFromUint(asUINT nValue, uint32_t* pBits) { *pBits = nValue; }

// bstr and string are both std::string underneath: either converts to the other by copying.
bstr CopyText(const bstr* pText) { return *pText; }

// Keeps the first failure and logs every one.
class CFirstFailure {
 public:
  void operator()(int nResult) {
    LogASRegisterError(nResult);
    if (nResult < 0 && m_nFirst == 0) m_nFirst = nResult;
  }
  int Result() const { return m_nFirst; }

 private:
  int m_nFirst = 0;
};

}  // namespace

int geRegisterScriptStrings() {
  asIScriptEngine* engine = g_pScriptEngine;
  CFirstFailure check;
  constexpr asDWORD kObjLast = asCALL_CDECL_OBJLAST;
  constexpr asDWORD kObjFirst = asCALL_CDECL_OBJFIRST;

  if (geAddScriptIndexType("bstr", "")) check(RegisterBstr(engine));
  check(geRegisterObjectMethod("bstr", "uint8 ByteAt(int)", kObjLast, "", asFUNCTION(ByteAt)));
  check(engine->RegisterObjectMethod("bstr", "uint8 &opIndex(int)", asFUNCTION(ByteIndex),
                                     kObjLast));

  // A 32-bit value type: a `uint` converts to it through its one constructor.
  check(engine->RegisterObjectType("bits", sizeof(uint32_t),
                                   asOBJ_VALUE | asOBJ_POD | asOBJ_APP_PRIMITIVE));
  check(engine->RegisterObjectBehaviour("bits", asBEHAVE_CONSTRUCT, "void f(uint)",
                                        asFUNCTION(BitsFromUint), kObjLast));

  check(geRegisterGlobalFunction("bstr bstrSubstr(bstr &in, uint, uint)", asCALL_CDECL, "",
                                 asFUNCTION(Substr)));
  check(geRegisterGlobalFunction("int  bstrStrStr(bstr &in, bstr &in)", asCALL_CDECL,
                                 "return 1 if fount one string in another,otherwise return 0",
                                 asFUNCTION(Contains)));
  check(geRegisterGlobalFunction("int  bstrCompare(bstr s1, bstr s2)", asCALL_CDECL,
                                 "like strcmp in C/C++", asFUNCTION(ContainsByValue)));
  check(geRegisterGlobalFunction("bstr bstrFormat(bits)", asCALL_CDECL, "",
                                 asFUNCTION(FormatBits)));
  check(geRegisterGlobalFunction("bstr bstrFormat(int)", asCALL_CDECL, "", asFUNCTION(FormatInt)));
  check(geRegisterGlobalFunction("bstr bstrFormat(uint)", asCALL_CDECL, "",
                                 asFUNCTION(FormatUint)));
  check(geRegisterGlobalFunction("bstr bstrFormat(float)", asCALL_CDECL, "",
                                 asFUNCTION(FormatFloat)));
  check(geRegisterGlobalFunction("bstr bstrFormat(double)", asCALL_CDECL, "",
                                 asFUNCTION(FormatDouble)));

  check(RegisterStdStringType(engine, "string"));
  check(engine->RegisterObjectMethod("string", "bstr opImplConv() const", asFUNCTION(CopyText),
                                     kObjFirst));
  check(engine->RegisterObjectMethod("bstr", "string opImplConv() const", asFUNCTION(CopyText),
                                     kObjFirst));
  return check.Result();
}
