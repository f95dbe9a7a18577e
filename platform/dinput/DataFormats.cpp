// The three standard data formats. A device recognises its own format as a whole, so the
// formats carry their sizes and no object table.
#include "dinput.h"

namespace {

constexpr DWORD kAxesAreAbsolute = 0x00000001;  // DIDF_ABSAXIS
constexpr DWORD kAxesAreRelative = 0x00000002;  // DIDF_RELAXIS

constexpr DIDATAFORMAT StandardFormat(DWORD flags, DWORD dataSize) {
  return {sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), flags, dataSize, 0, nullptr};
}

}  // namespace

const DIDATAFORMAT c_dfDIKeyboard = StandardFormat(0, 256);
const DIDATAFORMAT c_dfDIMouse2 = StandardFormat(kAxesAreRelative, sizeof(DIMOUSESTATE2));
const DIDATAFORMAT c_dfDIJoystick2 = StandardFormat(kAxesAreAbsolute, sizeof(DIJOYSTATE2));
