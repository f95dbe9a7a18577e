#pragma once
// What the declaration bank and the vertex-buffer bank both read from element lists: the end
// marker, the element count, the byte size of an element type, and element equality.
#include "d3d9.h"

// The longest element list Direct3D 9 takes, end marker not counted.
constexpr UINT kMaxVertexElements = MAXD3DDECLLENGTH;
// GetVertexElementCount's answer for a list without an end marker within the limit.
constexpr UINT kNoEndMarker = ~0u;

// Only Stream, Offset and Type mark the end; Method, Usage and UsageIndex are not looked at.
bool IsEndMarker(const D3DVERTEXELEMENT9& element);
// The elements before the end marker, or kNoEndMarker when none follows the first
// kMaxVertexElements (a script's list may lack it).
UINT GetVertexElementCount(const D3DVERTEXELEMENT9* elements);
// Bytes of one element of `type`; 0 for the types that are not sized (USHORT2N, USHORT4N,
// UNUSED, and anything unknown).
UINT GetVertexElementSize(BYTE type);
// Method, Offset, Type, Usage and UsageIndex equal, and Stream too unless `ignoreStream`.
bool VertexElementsEqual(const D3DVERTEXELEMENT9& a, const D3DVERTEXELEMENT9& b,
                         bool ignoreStream = false);
// Equal counts and every element equal in order.
bool VertexElementListsEqual(const D3DVERTEXELEMENT9* a, UINT countA, const D3DVERTEXELEMENT9* b,
                             UINT countB, bool ignoreStream = false);
