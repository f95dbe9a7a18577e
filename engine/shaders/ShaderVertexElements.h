#pragma once
// One element of a vertex-element list as shader lines write it:
//   <stream, offset, TYPE, METHOD, USAGE, usage index>
// with the keywords of the Direct3D enumerations of the same names.
#include "d3d9types.h"

class CTokenizer;

// Reads the element whose "<" is token `first` of the tokenizer's line into `element`; *next
// is the token after its ">". False for a missing separator, a number out of its field's range
// or an unknown keyword.
bool ReadVertexElement(CTokenizer* tokenizer, int first, D3DVERTEXELEMENT9* element, int* next);
