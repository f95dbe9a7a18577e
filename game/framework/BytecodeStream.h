#pragma once
// A compiled module's cache file as the script library reads and writes it. A file that did not
// open and a short read or write are reported to the library as errors, so that a truncated
// cache is refused instead of read past its end.
#include <angelscript.h>

#include <cstdio>
#include <string>

class CBytecodeStream : public AngelScript::asIBinaryStream {
 public:
  // `szMode` is "rb" or "wb"; the name is a game path (backslashes, any case).
  CBytecodeStream(const char* szFileName, const char* szMode);
  ~CBytecodeStream() override;
  CBytecodeStream(const CBytecodeStream&) = delete;
  CBytecodeStream& operator=(const CBytecodeStream&) = delete;

  int Read(void* pData, AngelScript::asUINT nSize) override;
  int Write(const void* pData, AngelScript::asUINT nSize) override;

  bool IsOpen() const { return m_pFile != nullptr; }
  // Closes the file; false when buffered data could not be written.
  bool Close();

 private:
  std::string m_strFileName;
  FILE* m_pFile = nullptr;
};
