// The three standard data formats. A device recognises its own format as a whole, so the
// formats carry their sizes and no object table.
#include "dinput.h"

namespace {

constexpr DWORD kAxesAreAbsolute = 0x00000001;  // DIDF_ABSAXIS
constexpr DWORD kAxesAreRelative = 0x00000002;  // DIDF_RELAXIS

}  // namespace

const DIDATAFORMAT c_dfDIKeyboard = {sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), 0, 256, 0,
                                     nullptr};
const DIDATAFORMAT c_dfDIMouse2 = {sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT),
                                   kAxesAreRelative, sizeof(DIMOUSESTATE2), 0, nullptr};
const DIDATAFORMAT c_dfDIJoystick2 = {sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT),
                                      kAxesAreAbsolute, sizeof(DIJOYSTATE2), 0, nullptr};
