#include "SurfaceBits.h"

#include "PixelFormat.h"

CSurfaceBits::CSurfaceBits(D3DFORMAT format, UINT width, UINT height)
    : m_format(format), m_width(width), m_height(height) {
  const CPixelFormat* pixelFormat = CPixelFormat::Find(format);
  m_pitch = pixelFormat ? pixelFormat->RowPitch(width) : 0;
  m_bytes.resize(pixelFormat ? pixelFormat->SurfaceSize(width, height) : 0);
}

CImage CSurfaceBits::Decode() const {
  CImage image(m_width, m_height);
  if (const CPixelFormat* pixelFormat = CPixelFormat::Find(m_format))
    pixelFormat->Decode(Bytes(), m_pitch, m_width, m_height, image.Texels());
  return image;
}
