#pragma once
// A LightWave object file held whole in memory and read with its big-endian primitives (U1, U2,
// U4, F4, ID4, the variable-length index VX and the padded string S0).
//
// Every read stays inside the innermost region entered (a chunk or sub-chunk whose length was
// checked against what is left of the region around it) and never beyond the file: a read
// that does not fit fails and consumes nothing. A length from the file can therefore neither
// make a reader leave its chunk nor run past the end of the data.
#include <cstring>
#include <string_view>
#include <vector>

#include "windef.h"

class VFSFile;

// A chunk identifier as one number: the four characters, first one most significant.
constexpr UINT LWOID(const char (&id)[5]) {
  return UINT(BYTE(id[0])) << 24 | UINT(BYTE(id[1])) << 16 | UINT(BYTE(id[2])) << 8 |
         UINT(BYTE(id[3]));
}

class LWOStream {
 public:
  // A region being read, as Enter leaves it for Leave.
  struct Region {
    UINT end;
    UINT outerEnd;
  };
  // Where reading stands: the position and the innermost region's end. Readers that look
  // elsewhere in the file (envelopes found by index) come back to it with Restore.
  struct Mark {
    UINT position;
    UINT end;
  };

  // Takes the whole file: from its current position to the end. False when the file gives
  // fewer bytes than its length; the stream is then empty.
  bool Load(VFSFile* file);
  // Takes bytes already in memory.
  void Assign(std::vector<BYTE> bytes);

  UINT Length() const { return static_cast<UINT>(m_data.size()); }
  UINT Tell() const { return m_position; }
  // Bytes left in the innermost region.
  UINT Left() const { return m_end - m_position; }
  // Moves to `position` and leaves every region; false, with nothing changed, past the end.
  bool Seek(UINT position);
  Mark Save() const { return {m_position, m_end}; }
  void Restore(const Mark& mark) {
    m_position = mark.position;
    m_end = mark.end;
  }
  bool Skip(UINT bytes);

  // Enters the next `length` bytes as a region; false when they are not left in the current
  // one. Leave moves to the region's end, whatever was read of it, and restores the outer one.
  bool Enter(UINT length, Region& region);
  void Leave(const Region& region);

  bool ReadU1(BYTE& value) {
    if (Left() < 1) return false;
    value = m_data[m_position++];
    return true;
  }
  bool ReadU2(WORD& value) {
    if (Left() < 2) return false;
    const BYTE* p = &m_data[m_position];
    value = WORD(p[0] << 8 | p[1]);
    m_position += 2;
    return true;
  }
  bool ReadU4(UINT& value) {
    if (Left() < 4) return false;
    const BYTE* p = &m_data[m_position];
    value = UINT(p[0]) << 24 | UINT(p[1]) << 16 | UINT(p[2]) << 8 | UINT(p[3]);
    m_position += 4;
    return true;
  }
  bool ReadF4(float& value) {
    UINT bits;
    if (!ReadU4(bits)) return false;
    std::memcpy(&value, &bits, sizeof value);
    return true;
  }
  bool ReadID4(UINT& id) { return ReadU4(id); }
  // Two bytes, or four when the first is 0xFF (a 24-bit index in the other three).
  bool ReadVX(UINT& value) {
    if (Left() < 2) return false;
    const BYTE* p = &m_data[m_position];
    if (p[0] != 0xFF) {
      value = UINT(p[0]) << 8 | p[1];
      m_position += 2;
      return true;
    }
    if (Left() < 4) return false;
    value = UINT(p[1]) << 16 | UINT(p[2]) << 8 | p[3];
    m_position += 4;
    return true;
  }
  // The characters before the next zero byte, which must lie in the region, followed by a pad
  // byte when the zero makes the count odd; the text views the stream's data.
  bool ReadS0(std::string_view& text);
  // Reads a U4 (SkipChunk) or U2 (SkipSubChunk) length and skips that many bytes, which must be
  // left in the region.
  bool SkipChunk();
  bool SkipSubChunk();

 private:
  std::vector<BYTE> m_data;
  UINT m_position = 0;
  UINT m_end = 0;  // end of the innermost region
};
