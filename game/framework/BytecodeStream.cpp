#include "framework/BytecodeStream.h"

#include "zkplatform/ZkPaths.h"

using namespace AngelScript;

CBytecodeStream::CBytecodeStream(const char* szFileName, const char* szMode)
    : m_strFileName(szFileName), m_pFile(ZkFileOpen(szFileName, szMode)) {}

CBytecodeStream::~CBytecodeStream() { Close(); }

bool CBytecodeStream::Close() {
  if (!m_pFile) return true;
  const bool bClosed = fclose(m_pFile) == 0;
  m_pFile = nullptr;
  return bClosed;
}

int CBytecodeStream::Read(void* pData, asUINT nSize) {
  if (nSize == 0) return asSUCCESS;
  if (!m_pFile || !pData || fread(pData, nSize, 1, m_pFile) != 1) return asERROR;
  return asSUCCESS;
}

int CBytecodeStream::Write(const void* pData, asUINT nSize) {
  if (nSize == 0) return asSUCCESS;
  if (!m_pFile || !pData || fwrite(pData, nSize, 1, m_pFile) != 1) return asERROR;
  return asSUCCESS;
}
