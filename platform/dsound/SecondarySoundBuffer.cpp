#include "SecondarySoundBuffer.h"

#include <algorithm>
#include <new>

#include "DirectSound8.h"
#include "DirectSoundFormat.h"
#include "OpenALOutput.h"
#include "Sound3DBuffer.h"
#include "SoundGain.h"
#include "SoundSystem.h"
#include "zkplatform/ZkClock.h"

namespace {

constexpr DWORD kLocationFlags = DSBCAPS_LOCHARDWARE | DSBCAPS_LOCSOFTWARE;
// A pump that fell this far behind skips ahead rather than queueing minutes of sound.
constexpr uint64_t kMaxFeedSeconds = 10;

bool HardwareAvailable(bool positional) {
  const DSCAPS caps = CSoundSystem::Caps();
  return caps.dwMaxHwMixingAllBuffers > 0 && (!positional || caps.dwMaxHw3DAllBuffers > 0);
}

HRESULT ValidateDescription(const DSBUFFERDESC& desc) {
  const DWORD flags = desc.dwFlags;
  if (!desc.lpwfxFormat) return DSERR_INVALIDPARAM;
  if ((flags & kLocationFlags) == kLocationFlags) return DSERR_INVALIDPARAM;
  if ((flags & DSBCAPS_LOCDEFER) && (flags & kLocationFlags)) return DSERR_INVALIDPARAM;
  if ((flags & DSBCAPS_CTRL3D) && (flags & DSBCAPS_CTRLPAN)) return DSERR_INVALIDPARAM;
  if (flags & DSBCAPS_CTRLFX) return DSERR_CONTROLUNAVAIL;
  if (desc.dwBufferBytes < DSBSIZE_MIN || desc.dwBufferBytes > DSBSIZE_MAX) return DSERR_INVALIDPARAM;
  if (const HRESULT invalid = FormatCheckResult(*desc.lpwfxFormat); FAILED(invalid)) return invalid;
  if (desc.dwBufferBytes < desc.lpwfxFormat->nBlockAlign) return DSERR_INVALIDPARAM;
  // Positioned sound is mono sound.
  if ((flags & DSBCAPS_CTRL3D) && desc.lpwfxFormat->nChannels != 1) return DSERR_INVALIDPARAM;
  if ((flags & DSBCAPS_LOCHARDWARE) && !HardwareAvailable(flags & DSBCAPS_CTRL3D))
    return DSERR_ALLOCATED;
  return DS_OK;
}

}  // namespace

HRESULT CSecondarySoundBuffer::Create(CDirectSound8* device, const DSBUFFERDESC& desc,
                                      IDirectSoundBuffer** out) {
  if (const HRESULT invalid = ValidateDescription(desc); FAILED(invalid)) return invalid;
  WAVEFORMATEX format = *desc.lpwfxFormat;
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  format.cbSize = 0;
  std::shared_ptr<CSoundRing> ring;
  try {
    // Starts as silence: 8-bit samples are unsigned around 128.
    ring = std::make_shared<CSoundRing>(desc.dwBufferBytes, format.wBitsPerSample == 8 ? 0x80 : 0);
  } catch (const std::bad_alloc&) {
    return DSERR_OUTOFMEMORY;
  }
  return Publish(new (std::nothrow) CSecondarySoundBuffer(device, desc.dwFlags, format, ring), out);
}

HRESULT CSecondarySoundBuffer::Duplicate(CDirectSound8* device, IDirectSoundBuffer** out) {
  auto* copy = new (std::nothrow) CSecondarySoundBuffer(device, m_flags, m_format, m_ring);
  if (copy) {
    std::lock_guard lock(m_mutex);
    copy->m_volume = m_volume;
    copy->m_pan = m_pan;
    copy->m_cursor.SetRate(0, m_cursor.Rate());
  }
  return Publish(copy, out);
}

HRESULT CSecondarySoundBuffer::Publish(CSecondarySoundBuffer* buffer, IDirectSoundBuffer** out) {
  if (!buffer) return DSERR_OUTOFMEMORY;
  // Only once it is whole may the output's pump feed from it.
  buffer->m_device->Output().AddVoice(buffer);
  *out = buffer;
  return DS_OK;
}

CSecondarySoundBuffer::CSecondarySoundBuffer(CDirectSound8* device, DWORD flags,
                                             const WAVEFORMATEX& format,
                                             std::shared_ptr<CSoundRing> ring)
    : m_device(device),
      m_flags(flags),
      m_format(format),
      m_pcm(format),
      m_ring(std::move(ring)),
      m_cursor(static_cast<uint32_t>(m_ring->Size() / format.nBlockAlign), format.nSamplesPerSec) {
  m_device->AddRef();
  if (m_flags & DSBCAPS_CTRL3D) m_3d = std::make_unique<CSound3DBuffer>(this, m_device);
  if (!(m_flags & DSBCAPS_LOCDEFER))
    m_location = (m_flags & DSBCAPS_LOCHARDWARE) ? DSBCAPS_LOCHARDWARE : DSBCAPS_LOCSOFTWARE;
}

CSecondarySoundBuffer::~CSecondarySoundBuffer() {
  m_device->Output().RemoveVoice(this);
  m_3d.reset();
  m_device->Release();
}

HRESULT CSecondarySoundBuffer::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (riid == IID_IUnknown || riid == IID_IDirectSoundBuffer || riid == IID_IDirectSoundBuffer8) {
    AddRef();
    *object = static_cast<IDirectSoundBuffer8*>(this);
    return S_OK;
  }
  if (riid == IID_IDirectSound3DBuffer && m_3d) {
    AddRef();
    *object = static_cast<IDirectSound3DBuffer*>(m_3d.get());
    return S_OK;
  }
  return E_NOINTERFACE;
}

HRESULT CSecondarySoundBuffer::GetCaps(LPDSBCAPS caps) {
  if (!caps || caps->dwSize != sizeof(DSBCAPS)) return DSERR_INVALIDPARAM;
  std::lock_guard lock(m_mutex);
  caps->dwFlags = m_flags | m_location;
  caps->dwBufferBytes = Size();
  caps->dwUnlockTransferRate = 0;
  caps->dwPlayCpuOverhead = 0;
  return DS_OK;
}

DWORD CSecondarySoundBuffer::PlayCursorLocked(uint64_t now) const {
  return m_cursor.Frame(now) * m_pcm.BlockAlign();
}

DWORD CSecondarySoundBuffer::WriteCursorLocked(uint64_t now) const {
  if (!m_cursor.IsPlaying(now)) return PlayCursorLocked(now);
  const uint64_t frames = m_cursor.Frames();
  const uint64_t lead = std::min<uint64_t>(
      COpenALOutput::kRealLeadMicros * m_cursor.Rate() / 1000000u, frames - 1);
  return static_cast<DWORD>((m_cursor.Frame(now) + lead) % frames * m_pcm.BlockAlign());
}

HRESULT CSecondarySoundBuffer::GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) {
  if (!playCursor && !writeCursor) return DSERR_INVALIDPARAM;
  std::lock_guard lock(m_mutex);
  const uint64_t now = ZkClockMicroseconds();
  if (playCursor) *playCursor = PlayCursorLocked(now);
  if (writeCursor) *writeCursor = WriteCursorLocked(now);
  return DS_OK;
}

HRESULT CSecondarySoundBuffer::GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated,
                                         LPDWORD sizeWritten) {
  return CopyFormatOut(m_format, format, sizeAllocated, sizeWritten);
}

HRESULT CSecondarySoundBuffer::GetVolume(LPLONG volume) {
  if (!volume) return DSERR_INVALIDPARAM;
  if (!(m_flags & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
  std::lock_guard lock(m_mutex);
  *volume = m_volume;
  return DS_OK;
}

HRESULT CSecondarySoundBuffer::SetVolume(LONG volume) {
  if (!(m_flags & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
  if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
  std::lock_guard lock(m_mutex);
  m_volume = volume;
  return DS_OK;
}

HRESULT CSecondarySoundBuffer::GetPan(LPLONG pan) {
  if (!pan) return DSERR_INVALIDPARAM;
  if (!(m_flags & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
  std::lock_guard lock(m_mutex);
  *pan = m_pan;
  return DS_OK;
}

HRESULT CSecondarySoundBuffer::SetPan(LONG pan) {
  if (!(m_flags & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
  if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
  std::lock_guard lock(m_mutex);
  m_pan = pan;
  return DS_OK;
}

HRESULT CSecondarySoundBuffer::GetFrequency(LPDWORD frequency) {
  if (!frequency) return DSERR_INVALIDPARAM;
  if (!(m_flags & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
  std::lock_guard lock(m_mutex);
  *frequency = m_cursor.Rate();
  return DS_OK;
}

HRESULT CSecondarySoundBuffer::SetFrequency(DWORD frequency) {
  if (!(m_flags & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
  if (frequency == DSBFREQUENCY_ORIGINAL) frequency = m_format.nSamplesPerSec;
  if (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX) return DSERR_INVALIDPARAM;
  std::lock_guard lock(m_mutex);
  if (frequency == m_cursor.Rate()) return DS_OK;
  m_cursor.SetRate(ZkClockMicroseconds(), frequency);
  JumpedLocked();
  return DS_OK;
}

HRESULT CSecondarySoundBuffer::GetStatus(LPDWORD status) {
  if (!status) return DSERR_INVALIDPARAM;
  std::lock_guard lock(m_mutex);
  if (m_lost) {
    *status = DSBSTATUS_BUFFERLOST;
    return DS_OK;
  }
  DWORD result = 0;
  if (m_cursor.IsPlaying(ZkClockMicroseconds())) {
    result |= DSBSTATUS_PLAYING;
    if (m_cursor.IsLooping()) result |= DSBSTATUS_LOOPING;
  }
  if (m_location == DSBCAPS_LOCHARDWARE) result |= DSBSTATUS_LOCHARDWARE;
  if (m_location == DSBCAPS_LOCSOFTWARE) result |= DSBSTATUS_LOCSOFTWARE;
  *status = result;
  return DS_OK;
}

HRESULT CSecondarySoundBuffer::Lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD bytes1,
                                    LPVOID* audio2, LPDWORD bytes2, DWORD flags) {
  if (!audio1 || !bytes1 || (audio2 && !bytes2)) return DSERR_INVALIDPARAM;
  std::lock_guard lock(m_mutex);
  if (CSoundSystem::TakeLockFailure()) {
    // As when another program takes the sound card: the buffer stops and must be restored.
    m_lost = true;
    m_cursor.Stop(ZkClockMicroseconds());
    JumpedLocked();
  }
  if (m_lost) return DSERR_BUFFERLOST;
  const DWORD size = Size();
  if (flags & DSBLOCK_FROMWRITECURSOR) offset = WriteCursorLocked(ZkClockMicroseconds());
  if (flags & DSBLOCK_ENTIREBUFFER) bytes = size;
  if (offset >= size || bytes == 0 || bytes > size) return DSERR_INVALIDPARAM;

  const DWORD first = std::min(bytes, size - offset);
  // Without a second pointer the region stops at the end of the buffer.
  const DWORD wrapped = audio2 ? bytes - first : 0;
  LockedRegion region{offset, {}, {}};
  try {
    region.first.resize(first);
    region.wrapped.resize(wrapped);
  } catch (const std::bad_alloc&) {
    return DSERR_OUTOFMEMORY;
  }
  // What the program does not overwrite keeps what the ring held.
  m_ring->CopyOut(offset, region.first.data(), first);
  m_ring->CopyOut(0, region.wrapped.data(), wrapped);
  LockedRegion& held = m_locked.emplace_back(std::move(region));
  *audio1 = held.first.data();
  *bytes1 = first;
  if (audio2) {
    *audio2 = wrapped ? held.wrapped.data() : nullptr;
    *bytes2 = wrapped;
  }
  return DS_OK;
}

HRESULT CSecondarySoundBuffer::Unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2) {
  std::lock_guard lock(m_mutex);
  auto region = std::find_if(m_locked.begin(), m_locked.end(), [audio1](const LockedRegion& r) {
    return r.first.data() == audio1;
  });
  if (!audio1 || region == m_locked.end()) return DSERR_INVALIDPARAM;
  const bool wrappedMatches = region->wrapped.empty()
                                  ? !audio2 && bytes2 == 0
                                  : (audio2 == region->wrapped.data() || (!audio2 && bytes2 == 0));
  if (bytes1 > region->first.size() || bytes2 > region->wrapped.size() || !wrappedMatches)
    return DSERR_INVALIDPARAM;
  // Only the bytes the program says it wrote go back into the ring.
  m_ring->CopyIn(region->offset, region->first.data(), bytes1);
  m_ring->CopyIn(0, region->wrapped.data(), bytes2);
  m_locked.erase(region);
  return DS_OK;
}

HRESULT CSecondarySoundBuffer::TakeLocationLocked(DWORD playFlags) {
  const DWORD wanted = playFlags & (DSBPLAY_LOCHARDWARE | DSBPLAY_LOCSOFTWARE);
  if (wanted == (DSBPLAY_LOCHARDWARE | DSBPLAY_LOCSOFTWARE)) return DSERR_INVALIDPARAM;
  if (wanted == DSBPLAY_LOCHARDWARE) {
    if (!HardwareAvailable(m_3d != nullptr)) return DSERR_ALLOCATED;
    m_location = DSBCAPS_LOCHARDWARE;
  } else if (wanted == DSBPLAY_LOCSOFTWARE || m_location == 0) {
    m_location = DSBCAPS_LOCSOFTWARE;
  }
  return DS_OK;
}

HRESULT CSecondarySoundBuffer::AcquireResources(DWORD flags, DWORD effectCount, LPDWORD) {
  // There are no effects to report on, and only deferred buffers acquire late.
  if (effectCount != 0) return DSERR_INVALIDPARAM;
  if (!(m_flags & DSBCAPS_LOCDEFER)) return DSERR_INVALIDCALL;
  std::lock_guard lock(m_mutex);
  return TakeLocationLocked(flags);
}

HRESULT CSecondarySoundBuffer::Play(DWORD reserved, DWORD priority, DWORD flags) {
  if (reserved != 0) return DSERR_INVALIDPARAM;
  constexpr DWORD kDeferredOnly = DSBPLAY_LOCHARDWARE | DSBPLAY_LOCSOFTWARE |
                                  DSBPLAY_TERMINATEBY_TIME | DSBPLAY_TERMINATEBY_DISTANCE |
                                  DSBPLAY_TERMINATEBY_PRIORITY;
  const bool deferred = m_flags & DSBCAPS_LOCDEFER;
  if (!deferred && (priority != 0 || (flags & kDeferredOnly))) return DSERR_INVALIDPARAM;
  std::lock_guard lock(m_mutex);
  if (m_lost) return DSERR_BUFFERLOST;
  if (deferred) {
    if (const HRESULT taken = TakeLocationLocked(flags); FAILED(taken)) return taken;
  }
  const uint64_t now = ZkClockMicroseconds();
  const bool looping = flags & DSBPLAY_LOOPING;
  // Playing a playing buffer again goes on where it is.
  if (m_cursor.IsPlaying(now) && m_cursor.IsLooping() == looping) return DS_OK;
  m_cursor.Play(now, looping);
  JumpedLocked();
  return DS_OK;
}

HRESULT CSecondarySoundBuffer::Stop() {
  std::lock_guard lock(m_mutex);
  m_cursor.Stop(ZkClockMicroseconds());
  JumpedLocked();
  // A deferred buffer gives its voice back when it stops.
  if (m_flags & DSBCAPS_LOCDEFER) m_location = 0;
  return DS_OK;
}

HRESULT CSecondarySoundBuffer::SetCurrentPosition(DWORD position) {
  std::lock_guard lock(m_mutex);
  if (position >= Size()) return DSERR_INVALIDPARAM;
  m_cursor.SetFrame(ZkClockMicroseconds(), position / m_pcm.BlockAlign());
  JumpedLocked();
  return DS_OK;
}

HRESULT CSecondarySoundBuffer::SetFormat(LPCWAVEFORMATEX) {
  // A secondary buffer's format is fixed at creation.
  return DSERR_INVALIDCALL;
}

HRESULT CSecondarySoundBuffer::Restore() {
  std::lock_guard lock(m_mutex);
  // As when the sound card is still taken by another program.
  if (CSoundSystem::TakeRestoreFailure()) return DSERR_BUFFERLOST;
  // The data is kept, so the program may rewrite it or not.
  m_lost = false;
  return DS_OK;
}

void CSecondarySoundBuffer::JumpedLocked() {
  ++m_generation;
  m_fedFrames = 0;
}

void CSecondarySoundBuffer::Feed(uint64_t now, uint64_t leadMicros, SoundVoiceFeed& feed) {
  std::lock_guard lock(m_mutex);
  feed.generation = m_generation;
  feed.playing = m_cursor.IsPlaying(now);
  feed.rate = m_cursor.Rate();
  feed.gain = GainOfHundredthsDb(m_volume);
  feed.channels = m_3d ? 1 : 2;
  feed.positional = false;
  if (m_3d) {
    std::lock_guard settings(m_device->Settings3DMutex());
    m_3d->FillFeedLocked(feed);
    feed.rolloff = m_device->Listener().AppliedRolloffLocked();
  }

  const uint64_t due = m_cursor.FramesSinceAnchor(now + leadMicros);
  if (due <= m_fedFrames) return;
  const uint64_t most = kMaxFeedSeconds * m_cursor.Rate();
  if (due - m_fedFrames > most) m_fedFrames = due - most;
  const float left = m_pan > 0 ? GainOfHundredthsDb(-m_pan) : 1.0f;
  const float right = m_pan < 0 ? GainOfHundredthsDb(m_pan) : 1.0f;
  std::unique_lock ring = m_ring->Hold();
  const uint8_t* data = m_ring->HeldBytes();
  feed.samples.reserve((due - m_fedFrames) * feed.channels);
  for (uint64_t n = m_fedFrames; n < due; ++n) {
    const uint32_t frame = m_cursor.FrameAfterAnchor(n);
    m_pcm.AppendFrame(data + static_cast<size_t>(frame) * m_pcm.BlockAlign(), feed.channels, left,
                      right, feed.samples);
  }
  m_fedFrames = due;
}
