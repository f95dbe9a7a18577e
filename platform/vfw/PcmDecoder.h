#pragma once
// Decodes a whole sound stream of an AVI file into PCM: 8- or 16-bit PCM streams keep their
// format, anything else becomes 16-bit; more than two channels are mixed down to stereo.
#include <string>
#include <vector>

#include "mmreg.h"
#include "windows.h"

class CPcmDecoder {
 public:
  // Decodes stream `index` of the AVI file at `path`; AVIERR_* on failure.
  static HRESULT Decode(const std::string& path, int index, WAVEFORMATEX& format,
                        std::vector<BYTE>& pcm);
};
