#pragma once
// Writes a sprite's vertices into its vertex layout, element by element, in one of the sprite's
// three spaces: object space (POSITION), screen space (POSITIONT scaled to the screen) and
// camera facing (POSITION already in view space). The layout is checked once per draw: an
// element the space cannot take is logged once, with the sprite's name, and left unwritten.
#include <vector>

#include "ZKDXRecords.h"
#include "d3d9.h"

class CEngineLog;

class CSpriteVertexWriter {
 public:
  enum Space { kObjectSpace, kScreenSpace, kCameraFacing };

  // The screen size and wide-screen factor matter in screen space only.
  struct Screen {
    float fWidth;
    float fHeight;
    float fWideScreenFactor;
  };

  // `elements` ends with the end marker; `name` is the sprite's. An element that does not lie
  // within `vertexSize` bytes is logged and left unwritten.
  CSpriteVertexWriter(CEngineLog* log, const char* name, const D3DVERTEXELEMENT9* elements,
                      UINT vertexSize, Space space, const Screen& screen);

  // One vertex at `target`; `position` is what the position element takes in object space and
  // when camera facing (the vertex's own position, or its corner in view space).
  void Write(const Vertex& vertex, const CVector3& position, BYTE* target) const;

 private:
  enum Kind {
    kSkip,
    kPosition3,
    kPosition4,
    kScreenPosition,
    kNormal,
    kTangent,
    kBinormal,
    kColor,
    kTexCoordPair,
    kZero1,
    kZero2,
    kZero3,
  };
  struct Element {
    WORD wOffset;
    Kind kind;
    BYTE cPair;  // the vertex's texture-coordinate pair a kTexCoordPair element takes
  };

  // What the element is written as, or kSkip after logging why it cannot be.
  Kind Classify(const D3DVERTEXELEMENT9& element, BYTE* pair) const;
  Kind Refuse(const char* format) const;

  CEngineLog* m_pLog;
  const char* m_szName;
  Space m_Space;
  Screen m_Screen;
  std::vector<Element> m_Elements;
};
