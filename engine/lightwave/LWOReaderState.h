#pragma once
// What the object reader and its chunk readers share while one object file is read: the buffer
// being filled, the texture base directory clip names are made under, the file itself, the
// positions of the chunks that later readers go back to, and the counter that numbers the
// maps the processing makes up for projected textures.
#include "scene/ImportName.h"
#include "LWOStream.h"
#include "windef.h"

class LWOImportBuffer;

class LWOReaderState {
 public:
  // Projected maps are numbered from here, clear of every UV map index of a file.
  static constexpr UINT kFirstProjectedMap = 100000;

  explicit LWOReaderState(LWOImportBuffer& buffer) : m_buffer(&buffer) {}
  LWOReaderState(const LWOReaderState&) = delete;
  LWOReaderState& operator=(const LWOReaderState&) = delete;

  LWOImportBuffer& Buffer() const { return *m_buffer; }
  // The folder the "textures" folder of clips lies in, ending in its separator; false, with the
  // directory left as it was, when it does not fit its field.
  bool SetTextureDirectory(const char* directory);
  // Lower-cased in place on first use, as clip names are.
  char* TextureDirectory() { return m_textureDirectory; }

  // Forgets what the last file left: positions, polygon chunk count, layer, map counter.
  void StartFile();

  LWOStream file;
  // Positions in the file, 0 until the chunk is met: after the first VMAP's and VMAD's
  // identifiers, and at the first ENVL's identifier.
  UINT firstVMAP = 0;
  UINT firstVMAD = 0;
  UINT firstENVL = 0;
  UINT polsCount = 0;  // POLS chunks seen, read or not
  UINT layerSeen = 0;
  UINT nextProjectedMap = kFirstProjectedMap;
  // Envelope key times in the file are seconds; keys are kept in frames of the scene. A scene
  // that states its rate sets it; it is not reset between files.
  float framesPerSecond = kDefaultFramesPerSecond;
  static constexpr float kDefaultFramesPerSecond = 30.0f;

 private:
  LWOImportBuffer* m_buffer;
  ImportName m_textureDirectory = {};
};
