#pragma once
// Where an index buffer's indices live on the device: a range of the bank's main buffer (linked
// with its neighbours in increasing start order), the bank's dynamic buffer, or a Direct3D buffer
// of its own. One per index buffer, made and freed with it.
#include "d3d9.h"

struct IndexAllocation {
  IDirect3DIndexBuffer9* pBuffer = nullptr;  // null while the indices are on no buffer
  IndexAllocation* pNext = nullptr;
  IndexAllocation* pPrevious = nullptr;
  UINT dwStart = 0;  // in indices
  UINT dwNumberOfIndices = 0;
  UINT dwLastUsed = 0;  // frame number of the last Set
  UINT dwResident = 0;  // 1: pBuffer holds the current indices
  // 1: pBuffer is the allocation's own (released with it). Said outright: after a device loss the
  // bank's new main buffer may sit where the old one was, so an address proves nothing.
  UINT dwOwnBuffer = 0;
};
