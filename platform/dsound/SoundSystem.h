#pragma once
// Process-wide sound settings shared by DirectSound and waveOut: the list of output devices and
// the GUIDs they are known by, the capabilities DirectSound reports, and the faults a test has
// asked for.
#include <string>
#include <vector>

#include "dsound.h"

class CSoundSystem {
 public:
  // The output devices: a test's list when it set one, else OpenAL's.
  static std::vector<std::string> OutputNames();
  static void SetOutputNames(const std::vector<std::string>* names);

  // A device's GUID is derived from its name, so it stays the same between enumerations.
  static GUID GuidOf(const std::string& name);
  // The device name of a GUID: empty for null or the default playback GUID; false when no
  // output device has this GUID.
  static bool NameOfGuid(LPCGUID guid, std::string& name);

  static DSCAPS Caps();
  static void SetCaps(const DSCAPS* caps);

  static void FailNextLock();
  // True once after FailNextLock.
  static bool TakeLockFailure();
  static void FailNextRestore();
  // True once after FailNextRestore.
  static bool TakeRestoreFailure();
};
