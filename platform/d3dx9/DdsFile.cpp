#include "DdsFile.h"

#include <algorithm>

#include "PixelFormat.h"

namespace {

constexpr size_t kHeaderSize = 128;  // "DDS " and the 124-byte description
constexpr UINT kMaxDimension = 16384;
constexpr UINT kMaxDepth = 2048;

// Description flags.
constexpr DWORD DDSD_CAPS = 0x1, DDSD_HEIGHT = 0x2, DDSD_WIDTH = 0x4, DDSD_PITCH = 0x8, DDSD_PIXELFORMAT = 0x1000,
                DDSD_MIPMAPCOUNT = 0x20000, DDSD_LINEARSIZE = 0x80000, DDSD_DEPTH = 0x800000;
// Pixel-format flags.
constexpr DWORD DDPF_ALPHAPIXELS = 0x1, DDPF_ALPHA = 0x2, DDPF_FOURCC = 0x4, DDPF_RGB = 0x40, DDPF_LUMINANCE = 0x20000,
                DDPF_BUMPDUDV = 0x80000;
constexpr DWORD DDSCAPS_COMPLEX = 0x8, DDSCAPS_TEXTURE = 0x1000, DDSCAPS_MIPMAP = 0x400000;
constexpr DWORD DDSCAPS2_CUBEMAP = 0x200, DDSCAPS2_ALLFACES = 0xfc00, DDSCAPS2_VOLUME = 0x200000;

DWORD ReadDword(const BYTE* p) { return (DWORD)p[0] | (DWORD)p[1] << 8 | (DWORD)p[2] << 16 | (DWORD)p[3] << 24; }

void WriteDword(BYTE* p, DWORD value) {
  for (int i = 0; i < 4; ++i) p[i] = (BYTE)(value >> (8 * i));
}

DWORD Mask(const CPixelFormat::Channel& channel) {
  return channel.bits ? (DWORD)(((1ull << channel.bits) - 1) << channel.shift) : 0;
}

// How a format is described in a DDS pixel-format record.
struct DdsPixelFormat {
  DWORD flags = 0, fourCC = 0, bitCount = 0, red = 0, green = 0, blue = 0, alpha = 0;
};

DdsPixelFormat Describe(const CPixelFormat& format) {
  DdsPixelFormat d;
  // Compressed, float and 64-bit formats go by a code: DXTn, or the format's own number.
  if (format.IsCompressed() || format.GetEncoding() == CPixelFormat::Encoding::Float || format.ElementBytes() > 4) {
    d.flags = DDPF_FOURCC;
    d.fourCC = (DWORD)format.Format();
    return d;
  }
  d.bitCount = format.BitsPerTexel();
  d.red = Mask(format.Red());
  d.green = Mask(format.Green());
  d.blue = Mask(format.Blue());
  d.alpha = Mask(format.Alpha());
  if (format.IsLuminance())
    d.flags = DDPF_LUMINANCE;
  else if (format.GetEncoding() == CPixelFormat::Encoding::Snorm)
    d.flags = DDPF_BUMPDUDV;
  else if (!d.red && !d.green && !d.blue)
    d.flags = DDPF_ALPHA;
  else
    d.flags = DDPF_RGB;
  if (d.alpha && d.flags != DDPF_ALPHA) d.flags |= DDPF_ALPHAPIXELS;
  return d;
}

// The format a DDS pixel-format record describes, or D3DFMT_UNKNOWN.
D3DFORMAT Identify(const DdsPixelFormat& file) {
  if (file.flags & DDPF_FOURCC) {
    const CPixelFormat* format = CPixelFormat::Find((D3DFORMAT)file.fourCC);
    return format && Describe(*format).flags == DDPF_FOURCC ? format->Format() : D3DFMT_UNKNOWN;
  }
  constexpr DWORD kClasses = DDPF_RGB | DDPF_LUMINANCE | DDPF_ALPHA | DDPF_BUMPDUDV;
  DWORD fileAlpha = (file.flags & (DDPF_ALPHAPIXELS | DDPF_ALPHA)) ? file.alpha : 0;
  for (D3DFORMAT candidate :
       {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_R8G8B8, D3DFMT_A8B8G8R8, D3DFMT_X8B8G8R8, D3DFMT_R5G6B5,
        D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4, D3DFMT_X4R4G4B4, D3DFMT_A2R10G10B10, D3DFMT_A2B10G10R10,
        D3DFMT_G16R16, D3DFMT_A8, D3DFMT_L8, D3DFMT_A8L8, D3DFMT_L16, D3DFMT_V8U8}) {
    DdsPixelFormat d = Describe(*CPixelFormat::Find(candidate));
    if ((file.flags & kClasses) == (d.flags & kClasses) && file.bitCount == d.bitCount && file.red == d.red &&
        file.green == d.green && file.blue == d.blue && fileAlpha == d.alpha)
      return candidate;
  }
  return D3DFMT_UNKNOWN;
}

UINT FullChainLength(UINT largest) {
  UINT levels = 1;
  while (largest > 1) {
    largest /= 2;
    ++levels;
  }
  return levels;
}

}  // namespace

bool CDdsFile::HasSignature(const BYTE* data, size_t size) {
  return size >= 4 && data[0] == 'D' && data[1] == 'D' && data[2] == 'S' && data[3] == ' ';
}

HRESULT CDdsFile::Read(const BYTE* data, size_t size, D3DXIMAGE_INFO* info, std::vector<CSurfaceBits>* surfaces) {
  if (!HasSignature(data, size) || size < kHeaderSize) return D3DXERR_INVALIDDATA;
  const BYTE* h = data + 4;
  if (ReadDword(h) != 124 || ReadDword(h + 72) != 32) return D3DXERR_INVALIDDATA;
  DWORD flags = ReadDword(h + 4);
  UINT height = ReadDword(h + 8), width = ReadDword(h + 12), depth = ReadDword(h + 20);
  UINT levels = ReadDword(h + 24);
  DdsPixelFormat pf;
  pf.flags = ReadDword(h + 76);
  pf.fourCC = ReadDword(h + 80);
  pf.bitCount = ReadDword(h + 84);
  pf.red = ReadDword(h + 88);
  pf.green = ReadDword(h + 92);
  pf.blue = ReadDword(h + 96);
  pf.alpha = ReadDword(h + 100);
  DWORD caps = ReadDword(h + 104), caps2 = ReadDword(h + 108);

  D3DFORMAT format = Identify(pf);
  const CPixelFormat* pixelFormat = CPixelFormat::Find(format);
  if (!pixelFormat) return D3DXERR_INVALIDDATA;
  bool cube = (caps2 & DDSCAPS2_CUBEMAP) != 0;
  bool volume = (caps2 & DDSCAPS2_VOLUME) != 0 && (flags & DDSD_DEPTH) != 0;
  if (!volume) depth = 1;
  if (width == 0 || height == 0 || width > kMaxDimension || height > kMaxDimension || depth == 0 || depth > kMaxDepth)
    return D3DXERR_INVALIDDATA;
  // A cube file must hold all six square faces; volumes cannot be compressed here.
  if (cube && ((caps2 & DDSCAPS2_ALLFACES) != DDSCAPS2_ALLFACES || width != height || volume))
    return D3DXERR_INVALIDDATA;
  if (volume && pixelFormat->IsCompressed()) return D3DXERR_INVALIDDATA;
  // Some writers leave out the count's flag but mark the file as mipmapped.
  if (!(flags & DDSD_MIPMAPCOUNT) && !(caps & DDSCAPS_MIPMAP)) levels = 1;
  if (levels == 0) levels = 1;
  if (levels > FullChainLength(std::max({width, height, depth}))) return D3DXERR_INVALIDDATA;

  // Check that every level of every face is there before taking any of them.
  UINT faces = cube ? 6 : 1;
  uint64_t faceBytes = 0;
  for (UINT level = 0; level < levels; ++level)
    faceBytes += (uint64_t)pixelFormat->SurfaceSize(std::max(1u, width >> level), std::max(1u, height >> level)) *
                 std::max(1u, depth >> level);
  if (faceBytes * faces > size - kHeaderSize) return D3DXERR_INVALIDDATA;

  if (info) {
    info->Width = width;
    info->Height = height;
    info->Depth = depth;
    info->MipLevels = levels;
    info->Format = format;
    info->ResourceType = cube ? D3DRTYPE_CUBETEXTURE : volume ? D3DRTYPE_VOLUMETEXTURE : D3DRTYPE_TEXTURE;
    info->ImageFileFormat = D3DXIFF_DDS;
  }
  if (!surfaces) return D3D_OK;
  surfaces->clear();
  const BYTE* cursor = data + kHeaderSize;
  for (UINT face = 0; face < faces; ++face)
    for (UINT level = 0; level < (volume ? 1u : levels); ++level) {
      CSurfaceBits bits(format, std::max(1u, width >> level), std::max(1u, height >> level));
      std::copy_n(cursor, bits.Size(), bits.Bytes());
      cursor += bits.Size();
      surfaces->push_back(std::move(bits));
    }
  return D3D_OK;
}

HRESULT CDdsFile::Write(D3DRESOURCETYPE type, UINT levels, const std::vector<CSurfaceBits>& surfaces,
                        std::vector<BYTE>* file) {
  UINT faces = type == D3DRTYPE_CUBETEXTURE ? 6 : 1;
  if ((type != D3DRTYPE_TEXTURE && type != D3DRTYPE_CUBETEXTURE) || levels == 0 || surfaces.size() != faces * levels)
    return D3DERR_INVALIDCALL;
  const CSurfaceBits& top = surfaces.front();
  const CPixelFormat* pixelFormat = CPixelFormat::Find(top.Format());
  if (!pixelFormat) return D3DERR_INVALIDCALL;
  DdsPixelFormat pf = Describe(*pixelFormat);

  std::vector<BYTE> header(kHeaderSize, 0);
  std::copy_n("DDS ", 4, header.begin());
  BYTE* h = header.data() + 4;
  DWORD flags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT |
                (pixelFormat->IsCompressed() ? DDSD_LINEARSIZE : DDSD_PITCH) | (levels > 1 ? DDSD_MIPMAPCOUNT : 0);
  WriteDword(h, 124);
  WriteDword(h + 4, flags);
  WriteDword(h + 8, top.Height());
  WriteDword(h + 12, top.Width());
  WriteDword(h + 16, (DWORD)(pixelFormat->IsCompressed() ? top.Size() : top.Pitch()));
  WriteDword(h + 24, levels);
  WriteDword(h + 72, 32);
  WriteDword(h + 76, pf.flags);
  WriteDword(h + 80, pf.fourCC);
  WriteDword(h + 84, pf.bitCount);
  WriteDword(h + 88, pf.red);
  WriteDword(h + 92, pf.green);
  WriteDword(h + 96, pf.blue);
  WriteDword(h + 100, pf.alpha);
  WriteDword(h + 104, DDSCAPS_TEXTURE | (levels > 1 ? DDSCAPS_COMPLEX | DDSCAPS_MIPMAP : 0) |
                          (faces == 6 ? DDSCAPS_COMPLEX : 0));
  WriteDword(h + 108, faces == 6 ? DDSCAPS2_CUBEMAP | DDSCAPS2_ALLFACES : 0);

  *file = std::move(header);
  for (const CSurfaceBits& surface : surfaces) {
    if (surface.Format() != top.Format()) return D3DERR_INVALIDCALL;
    file->insert(file->end(), surface.Bytes(), surface.Bytes() + surface.Size());
  }
  return D3D_OK;
}
