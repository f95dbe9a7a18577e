#include "DrawDib.h"

extern "C" {
#include <libswscale/swscale.h>
}
#include <cstdint>
#include <cstdlib>

#include "DibSection.h"

namespace {

bool Inside(int x, int y, int dx, int dy, const BITMAPINFOHEADER& picture) {
  const int64_t width = picture.biWidth, height = std::abs(picture.biHeight);
  return x >= 0 && y >= 0 && dx > 0 && dy > 0 && x + int64_t{dx} <= width &&
         y + int64_t{dy} <= height;
}

// The address of pixel (x, y), counted from the top-left, and the step to the row below.
uint8_t* PixelAt(const BITMAPINFOHEADER& picture, const void* bits, int x, int y, int& step) {
  const int64_t stride = static_cast<int64_t>(CDibSection::Stride(picture));
  const int64_t height = std::abs(picture.biHeight);
  const bool bottomUp = picture.biHeight > 0;
  const int64_t row = bottomUp ? height - 1 - y : y;
  step = static_cast<int>(bottomUp ? -stride : stride);
  return static_cast<uint8_t*>(const_cast<void*>(bits)) + row * stride +
         int64_t{x} * (picture.biBitCount / 8);
}

AVPixelFormat PixelFormat(const BITMAPINFOHEADER& picture, bool target) {
  if (picture.biBitCount == 24) return AV_PIX_FMT_BGR24;
  // The fourth byte of a 32-bit DIB is unused as a source; written, it is opaque alpha.
  return target ? AV_PIX_FMT_BGRA : AV_PIX_FMT_BGR0;
}

}  // namespace

CDrawDib::~CDrawDib() { sws_freeContext(m_scaler); }

bool CDrawDib::Draw(CDibSection& target, int xDst, int yDst, int dxDst, int dyDst,
                    const BITMAPINFOHEADER& source, const void* bits, int xSrc, int ySrc, int dxSrc,
                    int dySrc) {
  if (!CDibSection::IsSupported(source) || !bits) return false;
  if (dxSrc == -1) dxSrc = source.biWidth - xSrc;
  if (dySrc == -1) dySrc = std::abs(source.biHeight) - ySrc;
  if (dxDst == -1) dxDst = dxSrc;
  if (dyDst == -1) dyDst = dySrc;
  const BITMAPINFOHEADER& picture = target.Header();
  if (!Inside(xSrc, ySrc, dxSrc, dySrc, source) || !Inside(xDst, yDst, dxDst, dyDst, picture))
    return false;
  m_scaler =
      sws_getCachedContext(m_scaler, dxSrc, dySrc, PixelFormat(source, false), dxDst, dyDst,
                           PixelFormat(picture, true), SWS_BILINEAR, nullptr, nullptr, nullptr);
  if (!m_scaler) return false;
  int sourceStep, targetStep;
  const uint8_t* from[4] = {PixelAt(source, bits, xSrc, ySrc, sourceStep)};
  uint8_t* to[4] = {PixelAt(picture, target.Bits(), xDst, yDst, targetStep)};
  const int fromSteps[4] = {sourceStep};
  const int toSteps[4] = {targetStep};
  return sws_scale(m_scaler, from, fromSteps, 0, dySrc, to, toSteps) == dyDst;
}
