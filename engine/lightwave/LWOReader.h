#pragma once
// Reads one LightWave object file (LWO2) through the virtual file system into the import
// buffer of its state. It takes a narrow subset of the format: one layer, one triangle list,
// surface tags, two-dimensional UV maps, still images and image sequences. What lies outside is
// skipped with a warning in the log, or stops the program through the fatal-error routine: a
// malformed file is never half loaded. Every length, count and index from the file is checked
// against the chunk it stands in and the table it goes to before it is used.
#include <string_view>

#include "scene/ImportName.h"
#include "LWOReaderState.h"
#include "scene/LWORecords.h"
#include "windef.h"

class LWOImportBuffer;

class LWOReader {
 public:
  explicit LWOReader(LWOReaderState& state) : m_state(state) {}
  LWOReader(const LWOReader&) = delete;
  LWOReader& operator=(const LWOReader&) = delete;

  // Reads the object named by the buffer's fileName: "%sObjects\%s" of the directory and the
  // name for an object of a scene (`fromScene` 1), else "%s%s". The caller has reset the
  // buffer. Returns 1; every failure is fatal.
  UINT Load(const char* directory, UINT fromScene);

 private:
  void ReadHeader();
  void ReadChunks();
  void ReadTags();
  void ReadLayer();
  void ReadPoints();
  void ReadPolygons();
  void ReadPolygonTags();
  void ReadClip();
  void ReadImageSequence(LWOClip& clip);
  void ReadVertexMap();
  void ReadWeightMap(const std::string_view& name);
  // Indices whose tables may come after them in the file, checked once every chunk is read.
  void CheckIndices() const;

  // Reads a chunk's U4 length and enters the chunk; a length that is not left in the file is
  // fatal.
  LWOStream::Region EnterChunk();
  void EnterChunk(UINT length, LWOStream::Region& region);
  // "%stextures\%s" of the lower-cased texture directory and the lower-cased file-name part of
  // `path`, into `field`.
  void MakeTexturePath(ImportName& field, const std::string_view& path);
  // Copies a name from the file into its field; a name that does not fit is fatal.
  void CopyName(ImportName& field, const std::string_view& text, const char* what) const;
  [[noreturn]] void Corrupt() const;

  LWOReaderState& m_state;
  bool m_polygonTagsRead = false;
};

// The part of `path` after its last separator ('\', '/', ':' and every character below 45 or
// from 127 up), with its whole extension; the whole path when it has no separator.
const char* GetFileNameWithExtension(const char* path);

// Lower-cases `name` and every stored UV map name in place and returns the index of the stored
// name equal to it, appending it when there is none. A full table or a name that does not fit
// its field is fatal.
UINT FindOrAddUVMap(LWOImportBuffer& buffer, char* name);

// Sorts the object by the transparency of its surfaces (opacity below 1 or an opacity image):
// none, all, or both kinds.
void ClassifyTransparency(LWOImportBuffer& buffer);
