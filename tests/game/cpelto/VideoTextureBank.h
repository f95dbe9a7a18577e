#pragma once
// A texture bank for videos: sized textures backed by in-memory Direct3D textures with padded
// rows (so a copy that ignores the pitch shows up), with a reference of the bank's own and one
// standing for the engine's, so a test sees whether the owner released what is not its own.
// Texture files are not its business.
#include <memory>
#include <string>
#include <vector>

#include "FakeEngineTexture.h"
#include "FakeTexture.h"
#include "NullTextureStorage.h"

// A Direct3D texture that keeps the flags of every lock but the test's own read-only ones.
class CWriteLockedFakeTexture final : public CFakeTexture {
 public:
  using CFakeTexture::CFakeTexture;
  HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override {
    if (!(flags & D3DLOCK_READONLY)) writeLockFlags.push_back(flags);
    return CFakeTexture::LockRect(level, locked, rect, flags);
  }
  std::vector<DWORD> writeLockFlags;
};

// One sized texture the bank made: the engine texture its owner sees, and the Direct3D texture
// behind it.
class FakeVideoTexture {
 public:
  FakeVideoTexture(const char* szName, D3DFORMAT format, UINT nSize)
      : d3d(new CWriteLockedFakeTexture(format, nSize, nSize, 1, D3DUSAGE_DYNAMIC,
                                        D3DPOOL_DEFAULT)) {
    d3d->AddRef();  // the bank's
    engine.fileName = szName ? szName : "";
    engine.width = engine.height = nSize;
    engine.format = format;
    engine.d3dTexture = d3d;
  }
  // The reference the owner may give up goes too, when it did not.
  ~FakeVideoTexture() {
    if (OwnerReferences() > 0) d3d->Release();
    d3d->Release();
  }
  FakeVideoTexture(const FakeVideoTexture&) = delete;
  FakeVideoTexture& operator=(const FakeVideoTexture&) = delete;

  // The texel at (x, y) as 0xAARRGGBB, read through the pitch.
  DWORD Texel(UINT x, UINT y) {
    D3DLOCKED_RECT locked;
    if (FAILED(d3d->LockRect(0, &locked, nullptr, D3DLOCK_READONLY))) return 0xDEADBEEF;
    const BYTE* at = static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch + x * 4;
    const DWORD texel = DWORD{at[3]} << 24 | DWORD{at[2]} << 16 | DWORD{at[1]} << 8 | at[0];
    d3d->UnlockRect(0);
    return texel;
  }
  // References on the Direct3D texture besides the bank's.
  ULONG OwnerReferences() const { return d3d->References() - 1; }

  FakeEngineTexture engine;
  CWriteLockedFakeTexture* d3d;
};

class FakeVideoTextureBank final : public NullTextureStorage {
 public:
  std::vector<std::unique_ptr<FakeVideoTexture>> made;
  // Every sized request as "name format width height levels dynamic".
  std::vector<std::string> requests;

  FakeVideoTexture* Last() const { return made.empty() ? nullptr : made.back().get(); }

  using NullTextureStorage::CreateTexture;
  // Square textures only: videos ask for no other.
  CTextureInterface* CreateTexture(const char* name, D3DFORMAT format, UINT width, UINT height,
                                   UINT levels, UINT dynamic) override {
    requests.push_back(std::string(name ? name : "(null)") + " " +
                       std::to_string(static_cast<int>(format)) + " " + std::to_string(width) +
                       " " + std::to_string(height) + " " + std::to_string(levels) + " " +
                       std::to_string(dynamic));
    if (width != height) return nullptr;
    made.push_back(std::make_unique<FakeVideoTexture>(name, format, width));
    return &made.back()->engine;
  }
  UINT LoadAllTextures() override { return 1; }
  UINT GetNumberOfTextures() override { return static_cast<UINT>(made.size()); }
};
