#pragma once
// Reads chunks of the engine's scene and object files through a VFSFile, never beyond the
// payload of the innermost chunk being read.
//
// The reader keeps the end of every open payload. A read that would cross the innermost end
// fails like a read past the end of the file, so a size or count taken from the file can never
// make a reader leave its container, and a run of sub-chunks stops at the container's end
// instead of reading a tag beyond it. Files inside archives need this: their reads are not
// bounded by the member's length.
//
// The reader keeps its own position: while it lives, the file is read only through it.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>

#include "windef.h"

class CEngineLog;
class VFSFile;

// Four tag bytes, compared byte for byte; Text() gives them NUL-terminated for messages.
struct ChunkTag {
  char bytes[5] = {};
  bool Is(const char* tag) const;
  const char* Text() const { return bytes; }
};

// Where a container's messages go: the log, the reading exporter's source name, the line the
// container's reader stands at and the texts that fill the "%s" in its messages (a scene or mesh
// name, then for messages with two the name of the part being read; messages with fewer ignore
// them). Every container message is an error (level 2).
struct ChunkReport {
  CEngineLog* log;
  const char* source;
  int line;
  const char* subject = "";
  const char* detail = "";
  void Error(const char* format) const;
};

class CChunkReader {
 public:
  // A sub-chunk a container knows: its tag, its reader (called after the tag, so at the size
  // word) and the message logged when the reader fails (none when null: the reader logged
  // its own).
  struct Rule {
    const char* tag;
    std::function<bool(CChunkReader&)> read;
    const char* failure;
  };

  // Keeps reads inside one payload while it lives; the outer limit comes back when it goes.
  class Payload {
   public:
    // Fits() is false, and nothing is limited, when `size` bytes are not left in the
    // enclosing payload.
    Payload(CChunkReader& reader, uint64_t size);
    ~Payload();
    Payload(const Payload&) = delete;
    Payload& operator=(const Payload&) = delete;
    bool Fits() const { return m_fits; }
    // Every byte of the payload has been read.
    bool Finished() const { return m_reader.m_position == m_end; }

   private:
    CChunkReader& m_reader;
    uint64_t m_end;
    uint64_t m_outerEnd;
    bool m_fits;
  };

  // Starts at the file's current position; the file's length is the outermost limit.
  explicit CChunkReader(VFSFile* file);

  VFSFile* File() const { return m_pFile; }
  uint64_t Position() const { return m_position; }
  uint64_t BytesLeft() const { return m_end - m_position; }
  bool AtEnd() const { return m_position == m_end; }

  // Fields, little-endian. False when the bytes are not left in the payload or the file
  // delivers nothing; the target is then unchanged.
  bool Tag(ChunkTag& tag);
  bool U32(uint32_t& value);
  bool I32(int32_t& value);
  bool U16(uint16_t& value);
  bool F32(float& value);
  bool Bytes(void* buffer, size_t size);
  // A fixed-width text field; the last byte of the buffer is always NUL afterwards.
  bool Text(char* buffer, size_t width);

  // Consumes the next tag when it is `tag`; otherwise leaves the position where it was. False
  // also when fewer than 4 bytes are left: a run of one tag ends with its payload.
  bool NextTagIs(const char* tag);
  // Moves forward by `bytes` inside the payload.
  bool Skip(uint64_t bytes);
  // Reads a chunk's size word and skips its payload (after its tag was read).
  bool SkipChunk();

  // A fixed-size chunk, after its tag: reads the size and, when it is `size`, has `fields`
  // read the payload, which must take exactly `size` bytes. A wrong size logs
  // `incorrectSize`; a failed read fails without a message.
  template <class Fields>
  bool FixedChunk(UINT size, const ChunkReport& report, const char* incorrectSize,
                  Fields&& fields) {
    uint32_t stored = 0;
    if (!U32(stored)) return false;
    if (stored != size) {
      report.Error(incorrectSize);
      return false;
    }
    Payload payload(*this, size);
    return payload.Fits() && fields() && payload.Finished();
  }

  // A chunk whose payload is exactly one nested chunk that reads its own tag (an envelope
  // inside "AINT", "RANG", "DISL", ...), after the outer tag: reads the size and has `nested`
  // read the payload, which must take exactly that size. Fails without a message: the
  // container that holds the chunk logs it.
  template <class Nested>
  bool WrappedChunk(Nested&& nested) {
    uint32_t size = 0;
    if (!U32(size)) return false;
    Payload payload(*this, size);
    return payload.Fits() && nested() && payload.Finished();
  }

  // The loop of every container, after its tag: reads the size, then sub-chunks until the
  // payload ends. A known tag goes to its rule (the first that matches); the rule's failure
  // message is logged when it fails. Unknown tags are skipped by their size. A size that
  // does not fit the enclosing payload, a sub-chunk or a tag that crosses the end logs
  // `incorrectSize`. A failed read of a size or tag fails without a message.
  bool Container(std::initializer_list<Rule> rules, const ChunkReport& report,
                 const char* incorrectSize);
  // The same over a payload whose size was read already (a file's body, after its header).
  bool SubChunks(uint64_t size, std::initializer_list<Rule> rules, const ChunkReport& report,
                 const char* incorrectSize);

 private:
  bool Raw(void* buffer, size_t size);
  bool SeekTo(uint64_t position);

  VFSFile* m_pFile;
  uint64_t m_position;
  uint64_t m_end;  // the end of the innermost open payload
};
