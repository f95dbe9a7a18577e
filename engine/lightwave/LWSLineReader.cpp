#include "lightwave/LWSLineReader.h"

#include <cstdio>
#include <cstring>

#include "ZKDXInterface.h"
#include "core/FatalError.h"
#include "lightwave/LWSFields.h"

LWSLineReader::LWSLineReader(VFSFile* file, const char* path) : m_file(file), m_path(path) {
  m_file->Seek(0, SEEK_END);
  m_length = m_file->Tell();
  m_file->Seek(0, SEEK_SET);
}

LWSLineReader::~LWSLineReader() { m_file->Close(); }

void LWSLineReader::ReadLine() {
  if (m_file->Gets(m_line, kLineSize) == nullptr)
    FatalErrorWithTitle(kLwsTitle, "Unexpected End Of File: %s\n", m_path);
}

bool LWSLineReader::HasMore() { return m_file->Tell() < m_length; }

bool LWSLineReader::Begins(const char* key) const {
  return std::strncmp(m_line, key, std::strlen(key)) == 0;
}

void LWSLineReader::ReadBlock(const std::function<void()>& first,
                              const std::function<void()>& second,
                              const std::function<void()>& between) {
  while (!IsEmptyLine()) {
    ReadLine();
    first();
  }
  if (between) between();
  ReadLine();
  while (!IsEmptyLine()) {
    second();
    ReadLine();
  }
}

LONG LWSLineReader::Tell() { return m_file->Tell(); }

void LWSLineReader::Seek(LONG position) { m_file->Seek(position, SEEK_SET); }
