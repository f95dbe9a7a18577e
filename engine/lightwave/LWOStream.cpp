#include "LWOStream.h"

#include <cstdio>

#include "ZKDXInterface.h"

bool LWOStream::Load(VFSFile* file) {
  Assign({});
  if (file == nullptr || file->Seek(0, SEEK_END) != 0) return false;
  const LONG length = file->Tell();
  if (length < 0 || file->Seek(0, SEEK_SET) != 0) return false;
  std::vector<BYTE> bytes(static_cast<size_t>(length));
  if (length > 0 && file->Read(bytes.data(), static_cast<UINT>(length), 1) != 1) return false;
  Assign(std::move(bytes));
  return true;
}

void LWOStream::Assign(std::vector<BYTE> bytes) {
  m_data = std::move(bytes);
  m_position = 0;
  m_end = Length();
}

bool LWOStream::Seek(UINT position) {
  if (position > Length()) return false;
  m_position = position;
  m_end = Length();
  return true;
}

bool LWOStream::Skip(UINT bytes) {
  if (bytes > Left()) return false;
  m_position += bytes;
  return true;
}

bool LWOStream::Enter(UINT length, Region& region) {
  if (length > Left()) return false;
  region = {m_position + length, m_end};
  m_end = region.end;
  return true;
}

void LWOStream::Leave(const Region& region) {
  m_position = region.end;
  m_end = region.outerEnd;
}

bool LWOStream::ReadS0(std::string_view& text) {
  if (Left() == 0) return false;
  const BYTE* start = m_data.data() + m_position;
  const void* zero = std::memchr(start, 0, Left());
  if (zero == nullptr) return false;
  const UINT length = static_cast<UINT>(static_cast<const BYTE*>(zero) - start);
  // The text and its zero byte take an even number of bytes, with the pad when needed.
  const UINT size = (length + 2) & ~1u;
  if (size > Left()) return false;
  text = std::string_view(reinterpret_cast<const char*>(start), length);
  m_position += size;
  return true;
}

bool LWOStream::SkipChunk() {
  UINT length;
  return ReadU4(length) && Skip(length);
}

bool LWOStream::SkipSubChunk() {
  WORD length;
  return ReadU2(length) && Skip(length);
}
