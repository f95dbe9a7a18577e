#include "NullBackend.h"

bool CNullBackend::Initialize(HWND, UINT, UINT) { return true; }
void CNullBackend::Configure(UINT, UINT, bool) {}
uintptr_t CNullBackend::CreateTexture(bool, const SFormatInfo&, UINT, UINT, UINT) { return m_nextName++; }
void CNullBackend::UploadTextureLevel(uintptr_t, bool, UINT, UINT, const SFormatInfo&, UINT, UINT, const void*,
                                      UINT) {}
void CNullBackend::GenerateMipmaps(uintptr_t, bool) {}
void CNullBackend::DestroyTexture(uintptr_t) {}
uintptr_t CNullBackend::CreateDepthBuffer(const SFormatInfo&, UINT, UINT) { return m_nextName++; }
void CNullBackend::DestroyDepthBuffer(uintptr_t) {}
uintptr_t CNullBackend::CreateBuffer(UINT) { return m_nextName++; }
void CNullBackend::UploadBuffer(uintptr_t, UINT, UINT, const void*) {}
void CNullBackend::DestroyBuffer(uintptr_t) {}
void CNullBackend::Clear(const CDeviceState&, const SClearCall&) {}
void CNullBackend::Draw(const CDeviceState&, const SDrawCall&) {}
// No pixels are kept, so a read leaves the destination as it was.
bool CNullBackend::ReadTarget(const STargetRef&, void*, UINT) { return true; }
void CNullBackend::CopyTarget(const STargetRef&, const RECT&, const STargetRef&, const RECT&, bool) {}
// Nothing is shown, so a capture stays empty.
void CNullBackend::Present(const STargetRef&, ScreenPixels*) {}
