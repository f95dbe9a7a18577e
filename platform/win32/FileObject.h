#pragma once
// An open file made by CreateFileA; the descriptor closes with the last handle.
#include "KernelObject.h"

class FileObject : public KernelObject {
 public:
  explicit FileObject(int descriptor) : m_descriptor(descriptor) {}
  ~FileObject() override;
  FileObject(const FileObject&) = delete;
  FileObject& operator=(const FileObject&) = delete;

  int Descriptor() const { return m_descriptor; }

 private:
  const int m_descriptor;
};
