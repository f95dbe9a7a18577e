#pragma once
// Direct3D 9 value types, enumerations and records, with their documented values and layouts.
#include "windef.h"

typedef DWORD D3DCOLOR;
#define D3DCOLOR_ARGB(a, r, g, b) \
  ((D3DCOLOR)((((a)&0xff) << 24) | (((r)&0xff) << 16) | (((g)&0xff) << 8) | ((b)&0xff)))
#define D3DCOLOR_RGBA(r, g, b, a) D3DCOLOR_ARGB(a, r, g, b)
#define D3DCOLOR_XRGB(r, g, b) D3DCOLOR_ARGB(0xff, r, g, b)

typedef struct _D3DVECTOR {
  float x;
  float y;
  float z;
} D3DVECTOR;

typedef struct _D3DCOLORVALUE {
  float r;
  float g;
  float b;
  float a;
} D3DCOLORVALUE;

typedef struct _D3DMATRIX {
  union {
    struct {
      float _11, _12, _13, _14;
      float _21, _22, _23, _24;
      float _31, _32, _33, _34;
      float _41, _42, _43, _44;
    };
    float m[4][4];
  };
} D3DMATRIX;

static_assert(sizeof(D3DVECTOR) == 12);
static_assert(sizeof(D3DCOLORVALUE) == 16);
static_assert(sizeof(D3DMATRIX) == 64);
