#include "ImageFile.h"

#include <stb_image.h>
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "DdsFile.h"
#include "zkplatform/ZkPaths.h"
#include "zkplatform/ZkResources.h"

namespace {

constexpr UINT kMaxDimension = 16384;
constexpr long kMaxFileSize = 512L * 1024 * 1024;

bool StartsWith(const BYTE* data, size_t size, const char* magic, size_t length) {
  return size >= length && std::memcmp(data, magic, length) == 0;
}

// stb_image decodes what it can of a cut-off JPEG without complaint; a complete one ends its
// last scan with an end-of-image marker, which the entropy-coded data can never contain.
bool JpegIsComplete(const BYTE* data, size_t size) {
  size_t lastScan = 0;
  for (size_t i = 0; i + 1 < size; ++i)
    if (data[i] == 0xff && data[i + 1] == 0xda) lastScan = i;
  for (size_t i = size; i-- > lastScan + 1;)
    if (data[i - 1] == 0xff && data[i] == 0xd9) return lastScan != 0;
  return false;
}

uint32_t Be32(const BYTE* p) {
  return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

// stb_image reads zeros past the end of a deflate stream that does not end, and a damaged code
// table can turn those into copies that repeat until its output outgrows memory. So the
// compressed data of the IDAT chunks must end there, inflating to no more than a few times
// what the image's rows take (interlacing adds filter bytes, never doubles them). Only the end
// of the stream counts, not its checksum, which stb_image does not check either.
bool PngDataEnds(const BYTE* data, size_t size) {
  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return false;
  const std::unique_ptr<z_stream, int (*)(z_streamp)> owner(&stream, inflateEnd);
  uint64_t most = 0;
  bool headerSeen = false;
  size_t zlibHeader = 2;  // "CgBI" files store bare deflate data
  int status = Z_OK;
  BYTE scratch[16384];
  for (size_t at = 8; at + 12 <= size && status != Z_STREAM_END; ) {
    const uint32_t length = Be32(data + at);
    if (length > size - at - 12) return false;
    const BYTE* type = data + at + 4;
    const BYTE* body = data + at + 8;
    at += 12 + size_t(length);
    if (std::memcmp(type, "IEND", 4) == 0) break;
    if (std::memcmp(type, "CgBI", 4) == 0) zlibHeader = 0;
    if (std::memcmp(type, "IHDR", 4) == 0 && length >= 13) {
      const uint64_t width = Be32(body), height = Be32(body + 4), depth = body[8];
      const uint64_t channels = body[9] == 2 ? 3 : body[9] == 4 ? 2 : body[9] == 6 ? 4 : 1;
      most = 8 * height * (1 + (width * channels * depth + 7) / 8) + 4096;
      headerSeen = true;
    }
    if (std::memcmp(type, "IDAT", 4) != 0) continue;
    if (!headerSeen) return false;
    const size_t skipped = std::min<size_t>(zlibHeader, length);
    zlibHeader -= skipped;
    stream.next_in = const_cast<BYTE*>(body + skipped);
    stream.avail_in = uInt(length - skipped);
    do {
      stream.next_out = scratch;
      stream.avail_out = sizeof scratch;
      status = inflate(&stream, Z_NO_FLUSH);
      if (status == Z_BUF_ERROR) status = Z_OK;  // wants the next chunk
      if (status != Z_OK && status != Z_STREAM_END) return false;
      if (stream.total_out > most) return false;
    } while (status == Z_OK && (stream.avail_in > 0 || stream.avail_out == 0));
  }
  return status == Z_STREAM_END;
}

// A PNG ends with its IEND chunk and that chunk's checksum, and its compressed data ends too.
bool PngIsComplete(const BYTE* data, size_t size) {
  for (size_t i = size >= 8 ? size - 7 : 0; i-- > 8;)
    if (std::memcmp(data + i, "IEND", 4) == 0) return PngDataEnds(data, size);
  return false;
}

// TGA has no signature; accept only headers with a known image type and depth.
bool LooksLikeTga(const BYTE* data, size_t size) {
  if (size < 18) return false;
  BYTE colourMapType = data[1], imageType = data[2], depth = data[16];
  bool knownType =
      imageType == 1 || imageType == 2 || imageType == 3 || imageType == 9 || imageType == 10 || imageType == 11;
  bool knownDepth = depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
  return colourMapType <= 1 && knownType && knownDepth;
}

uint32_t Le16(const BYTE* p) { return (uint32_t)p[0] | (uint32_t)p[1] << 8; }
uint32_t Le32(const BYTE* p) { return Le16(p) | Le16(p + 2) << 16; }

// stb_image reads past the end of a BMP or TGA as zeros; these make sure the texels are there.
bool BmpIsComplete(const BYTE* data, size_t size) {
  if (size < 26) return false;
  uint64_t offset = Le32(data + 10), headerSize = Le32(data + 14);
  uint64_t width, height, bits, compression = 0;
  if (headerSize == 12) {
    width = Le16(data + 18);
    height = Le16(data + 20);
    bits = Le16(data + 24);
  } else {
    if (size < 34) return false;
    int32_t signedWidth = (int32_t)Le32(data + 18), signedHeight = (int32_t)Le32(data + 22);
    width = (uint64_t)std::abs((int64_t)signedWidth);
    height = (uint64_t)std::abs((int64_t)signedHeight);
    bits = Le16(data + 28);
    compression = Le32(data + 30);
  }
  if (compression != 0 && compression != 3) return true;  // run-length coded: stb_image checks it
  uint64_t stride = (width * bits + 31) / 32 * 4;
  return offset + stride * height <= size;
}

bool TgaIsComplete(const BYTE* data, size_t size) {
  uint64_t mapLength = data[1] ? Le16(data + 5) * (uint64_t)((data[7] + 7) / 8) : 0;
  uint64_t texels = (uint64_t)Le16(data + 12) * Le16(data + 14), texelBytes = (data[16] + 7) / 8;
  uint64_t at = 18 + data[0] + mapLength;
  if (data[2] < 9) return at + texels * texelBytes <= size;
  // Run-length packets: a header byte, then one texel repeated or up to 128 literal texels.
  for (uint64_t done = 0; done < texels;) {
    if (at >= size) return false;
    uint64_t count = (data[at] & 0x7fu) + 1;
    at += 1 + ((data[at] & 0x80u) ? texelBytes : count * texelBytes);
    done += count;
  }
  return at <= size;
}

}  // namespace

HRESULT CImageFile::Parse(const void* data, size_t size, bool infoOnly) {
  m_info = {};
  m_surfaces.clear();
  if (!data || size == 0) return D3DXERR_INVALIDDATA;
  const BYTE* bytes = static_cast<const BYTE*>(data);
  if (CDdsFile::HasSignature(bytes, size))
    return CDdsFile::Read(bytes, size, &m_info, infoOnly ? nullptr : &m_surfaces);
  return ParseWithStb(bytes, size, infoOnly);
}

HRESULT CImageFile::ParseWithStb(const BYTE* data, size_t size, bool infoOnly) {
  D3DXIMAGE_FILEFORMAT kind;
  if (StartsWith(data, size, "\x89PNG\r\n\x1a\n", 8))
    kind = D3DXIFF_PNG;
  else if (StartsWith(data, size, "\xff\xd8\xff", 3))
    kind = D3DXIFF_JPG;
  else if (StartsWith(data, size, "BM", 2))
    kind = D3DXIFF_BMP;
  else if (LooksLikeTga(data, size))
    kind = D3DXIFF_TGA;
  else
    return D3DXERR_INVALIDDATA;
  if (size > INT_MAX) return D3DXERR_INVALIDDATA;
  bool complete = kind == D3DXIFF_PNG   ? PngIsComplete(data, size)
                  : kind == D3DXIFF_JPG ? JpegIsComplete(data, size)
                  : kind == D3DXIFF_BMP ? BmpIsComplete(data, size)
                  : kind == D3DXIFF_TGA ? TgaIsComplete(data, size)
                                        : true;
  if (!complete) return D3DXERR_INVALIDDATA;

  int width = 0, height = 0, components = 0;
  if (!stbi_info_from_memory(data, (int)size, &width, &height, &components) || width <= 0 || height <= 0 ||
      (UINT)width > kMaxDimension || (UINT)height > kMaxDimension)
    return D3DXERR_INVALIDDATA;
  static const D3DFORMAT kByComponents[] = {D3DFMT_UNKNOWN, D3DFMT_L8, D3DFMT_A8L8, D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8};
  D3DXIMAGE_INFO info{(UINT)width,
                      (UINT)height,
                      1,
                      1,
                      components >= 1 && components <= 4 ? kByComponents[components] : D3DFMT_A8R8G8B8,
                      D3DRTYPE_TEXTURE,
                      kind};
  if (!infoOnly) {
    // Decode to R, G, B, A bytes and store them as A8R8G8B8 (B, G, R, A in memory).
    std::unique_ptr<stbi_uc, void (*)(void*)> rgba(
        stbi_load_from_memory(data, (int)size, &width, &height, &components, 4), stbi_image_free);
    if (!rgba || (UINT)width != info.Width || (UINT)height != info.Height) return D3DXERR_INVALIDDATA;
    CSurfaceBits bits(D3DFMT_A8R8G8B8, info.Width, info.Height);
    const stbi_uc* in = rgba.get();
    BYTE* out = bits.Bytes();
    for (size_t i = 0; i < (size_t)width * height; ++i, in += 4, out += 4) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
      out[3] = in[3];
    }
    m_surfaces.push_back(std::move(bits));
  }
  m_info = info;
  return D3D_OK;
}

HRESULT CImageFile::ReadFile(const char* path, std::vector<BYTE>* bytes) {
  if (!path) return D3DERR_INVALIDCALL;
  std::unique_ptr<FILE, int (*)(FILE*)> file(ZkFileOpen(path, "rb"), fclose);
  if (!file) return D3DXERR_INVALIDDATA;
  if (std::fseek(file.get(), 0, SEEK_END) != 0) return D3DXERR_INVALIDDATA;
  long length = std::ftell(file.get());
  if (length <= 0 || length > kMaxFileSize || std::fseek(file.get(), 0, SEEK_SET) != 0) return D3DXERR_INVALIDDATA;
  bytes->resize((size_t)length);
  if (std::fread(bytes->data(), 1, bytes->size(), file.get()) != bytes->size()) return D3DXERR_INVALIDDATA;
  return D3D_OK;
}

HRESULT CImageFile::FindResource(HMODULE module, const char* name, const void** data, size_t* size) {
  if (!name) return D3DERR_INVALIDCALL;
  *data = ZkFindResource(module, name, size);
  return *data ? D3D_OK : D3DXERR_INVALIDDATA;
}
