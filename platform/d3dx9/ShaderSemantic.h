#pragma once
// Direct3D 9 vertex-data usages by name, as assembly declarations ("dcl_texcoord1") and HLSL
// semantics ("TEXCOORD1") write them.
#include <string>

#include "d3d9.h"

class CShaderSemantic {
 public:
  // "TEXCOORD3" (any letter case) as D3DDECLUSAGE_* and index; `rest` gets what follows the
  // index ("_centroid" of "texcoord3_centroid"). False for a name that is no usage, or for an
  // index above 15.
  static bool Parse(const std::string& text, UINT* usage, UINT* index, std::string* rest);
};
