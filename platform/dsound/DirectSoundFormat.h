#pragma once
// Wave formats as the DirectSound buffers take and give them.
#include "PcmFormat.h"
#include "dsound.h"

inline HRESULT FormatCheckResult(const WAVEFORMATEX& format) {
  switch (CPcmFormat::Validate(format)) {
    case CPcmFormat::Check::Invalid: return DSERR_INVALIDPARAM;
    case CPcmFormat::Check::Unsupported: return DSERR_BADFORMAT;
    case CPcmFormat::Check::Valid: break;
  }
  return DS_OK;
}

// GetFormat: with no record, only the size it needs.
inline HRESULT CopyFormatOut(const WAVEFORMATEX& format, LPWAVEFORMATEX out, DWORD sizeAllocated,
                             LPDWORD sizeWritten) {
  if (!out) {
    if (!sizeWritten) return DSERR_INVALIDPARAM;
    *sizeWritten = sizeof(WAVEFORMATEX);
    return DS_OK;
  }
  if (sizeAllocated < sizeof(WAVEFORMATEX)) return DSERR_INVALIDPARAM;
  *out = format;
  if (sizeWritten) *sizeWritten = sizeof(WAVEFORMATEX);
  return DS_OK;
}
