#pragma once
// DrawDib: stretches a rectangle of a DIB onto a rectangle of a DIB section, converting between
// 24 and 32 bits and between bottom-up and top-down rows.
#include "wingdi.h"

struct SwsContext;
class CDibSection;

class CDrawDib {
 public:
  CDrawDib() = default;
  ~CDrawDib();
  CDrawDib(const CDrawDib&) = delete;
  CDrawDib& operator=(const CDrawDib&) = delete;

  // Rectangles are in pixels from the top-left of each picture. False, drawing nothing, when
  // either rectangle is empty or leaves its picture, or the source is not a supported DIB.
  bool Draw(CDibSection& target, int xDst, int yDst, int dxDst, int dyDst,
            const BITMAPINFOHEADER& source, const void* bits, int xSrc, int ySrc, int dxSrc,
            int dySrc);

 private:
  SwsContext* m_scaler = nullptr;
};
