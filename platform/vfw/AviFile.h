#pragma once
// An open AVI file: its description (AVIFILEINFOA) and the lookup of its streams by type.
#include <memory>
#include <string>

#include "vfw.h"

class CAviInput;

class CAviFile {
 public:
  ~CAviFile();
  CAviFile(const CAviFile&) = delete;
  CAviFile& operator=(const CAviFile&) = delete;

  // Opens `name` (a Windows-style path); null with an AVIERR_* code in `result`.
  static std::unique_ptr<CAviFile> Open(const char* name, HRESULT& result);

  ULONG AddRef() { return ++m_references; }
  // The references left; the owner deletes the file at 0.
  ULONG Release() { return --m_references; }

  const AVIFILEINFOA& Info() const { return m_info; }
  const std::string& Path() const { return m_path; }
  CAviInput& Input() const { return *m_input; }
  // The container's index of the `number`-th stream of `type` (streamtypeVIDEO, streamtypeAUDIO,
  // 0 for any), or -1.
  int FindStream(DWORD type, LONG number) const;

 private:
  CAviFile() = default;

  std::string m_path;
  std::unique_ptr<CAviInput> m_input;
  ULONG m_references = 1;
  AVIFILEINFOA m_info{};
};
