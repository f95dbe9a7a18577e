#include <gtest/gtest.h>

#include "d3d9.h"
#include "dxerr9.h"

namespace {

TEST(ErrorTextTest, NamesAndDescribesResultCodes) {
  struct {
    HRESULT code;
    const char* name;
    const char* description;
  } cases[] = {
      {D3D_OK, "S_OK", "The function completed successfully"},
      {D3DERR_INVALIDCALL, "D3DERR_INVALIDCALL", "Invalid call"},
      {D3DERR_DEVICELOST, "D3DERR_DEVICELOST", "Device lost"},
      {D3DERR_DEVICENOTRESET, "D3DERR_DEVICENOTRESET", "Device not reset"},
      {D3DERR_NOTAVAILABLE, "D3DERR_NOTAVAILABLE", "Not available"},
      {D3DERR_OUTOFVIDEOMEMORY, "D3DERR_OUTOFVIDEOMEMORY", "Out of video memory"},
      {D3DERR_WASSTILLDRAWING, "D3DERR_WASSTILLDRAWING", "Was Still Drawing"},
      {E_OUTOFMEMORY, "E_OUTOFMEMORY", "Ran out of memory"},
      {static_cast<HRESULT>(0x8007001E), "DIERR_INPUTLOST", "Access to the input device has been lost"},
      {static_cast<HRESULT>(0x88780096), "DSERR_BUFFERLOST", "The buffer memory has been lost"},
      {static_cast<HRESULT>(0x8BADF00D), "Unknown", "n/a"},
  };
  for (const auto& c : cases) {
    EXPECT_STREQ(c.name, DXGetErrorString9(c.code));
    EXPECT_STREQ(c.description, DXGetErrorDescription9(c.code));
  }
  // The documented encodings of the codes themselves.
  EXPECT_EQ(static_cast<HRESULT>(0x8876086C), D3DERR_INVALIDCALL);
  EXPECT_EQ(static_cast<HRESULT>(0x88760868), D3DERR_DEVICELOST);
  EXPECT_EQ(static_cast<HRESULT>(0x8876021C), D3DERR_WASSTILLDRAWING);
}

}  // namespace
