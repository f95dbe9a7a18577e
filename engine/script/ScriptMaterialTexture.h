#pragma once
// A packed material texture as scripts describe it: four channel image names and four channel
// values, red, green, blue, alpha. The engine's record points at its names, which a script
// cannot fill, so scripts hold names of their own and the glue lends them for the call.
#include <string>

#include "ZKDXRecords.h"

struct ScriptMaterialTexture {
  std::string szNames[4];
  BYTE values[4] = {};

  // The engine record over these names; an empty name is a channel given by its value. Valid
  // while this object is unchanged.
  template <typename Record>
  Record ToEngine() const {
    const char* names[4];
    for (int i = 0; i < 4; ++i) names[i] = szNames[i].empty() ? nullptr : szNames[i].c_str();
    return Record{names[0], names[1], names[2], names[3],
                  values[0], values[1], values[2], values[3]};
  }
};
