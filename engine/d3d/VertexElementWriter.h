#pragma once
// Writes vertices into one stream's layout: each element converted from the engine's 88-byte
// vertex by its usage, usage index and type. A combination it cannot convert ends the process.
#include "ZKDXRecords.h"
#include "d3d9.h"

struct CVertexStream;

class CVertexElementWriter {
 public:
  // `second` (may be null) holds `secondCount` vertices: the source of index-1 positions and
  // normals. `name` names the buffer in the fatal texts.
  CVertexElementWriter(const Vertex* vertices, const Vertex* second, UINT secondCount,
                       const char* name)
      : m_pVertices(vertices), m_pSecond(second), m_dwSecondCount(secondCount), m_szName(name) {}

  // Every element is checked first, so a refused layout writes nothing.
  void Check(const CVertexStream& stream) const;
  // The stream's vertex count of records, stride apart, from `target` on.
  void Write(const CVertexStream& stream, BYTE* target) const;

 private:
  void WriteElement(const D3DVERTEXELEMENT9& element, UINT vertex, BYTE* target) const;
  // The index-1 source of a vertex; a vertex past the second array reads zeros.
  const Vertex& Second(UINT vertex) const;
  [[noreturn]] void Refuse(const char* format) const;

  const Vertex* m_pVertices;
  const Vertex* m_pSecond;
  UINT m_dwSecondCount;
  const char* m_szName;
};
