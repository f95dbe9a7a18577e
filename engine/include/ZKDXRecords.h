#pragma once
// Plain records shared by meshes, surfaces, the file readers and writers, import, collision
// and scripts. Records without pointers keep their documented layout byte for byte (checked
// below); records holding pointers keep their fields in order and are as large as the
// compiler makes them. Files are never read or written by copying these structures.
#include <cstddef>
#include <cstring>

#include "ZKDXMath.h"
#include "windef.h"

class CTextureInterface;

// Bone number of an empty influence; its weight is always 0.
constexpr WORD VERTEX_NO_BONE = 0xFFFF;

struct Vertex {
  CVector3 vecPosition;
  float fWeights[4];
  WORD wBonesIndices[4];
  CVector3 vecNormal;
  CVector3 vecTangent;
  CVector3 vecBiNormal;
  // Two u values then two v values: set 0 is (fTU[0], fTV[0]), set 1 is (fTU[1], fTV[1]).
  float fTU[2];
  float fTV[2];
};

struct Face {
  CVector3 vecNormal;
  WORD wIndex1;
  WORD wIndex2;
  WORD wIndex3;
  // Edges 1-2, 2-3 and 3-1 of the face.
  WORD wEdge1;
  WORD wEdge2;
  WORD wEdge3;
  // Scratch marks for geometry builders; 0 when a face is built. The shadow-volume builder sets
  // the second once it has emitted the face.
  BYTE cWorkingMark1;
  BYTE cWorkingMark2;
  WORD wFaceIndex;
};

struct Edge {
  // Point into a face array: a copied face array leaves copied edges pointing at the old faces,
  // while the face numbers stay valid.
  Face* pOwner1;
  Face* pOwner2;  // null when only one face uses the edge
  WORD wIndex1;
  WORD wIndex2;
  WORD wFace1;
  WORD wFace2;
  DWORD dwOvershared;  // 1 when a third face shares the edge
};

struct TrianglePair {
  DWORD dwIdOne;  // face number in the first mesh
  DWORD dwIdTwo;  // face number in the second mesh
};

struct ColorByte {
  BYTE cRed;
  BYTE cGreen;
  BYTE cBlue;
  BYTE cReserved;
};

// Bit of SurfaceTexture::wFlags that makes an image sequence loop.
constexpr WORD SURFACE_TEXTURE_LOOP = 0x100;
// SurfaceTexture::dwSourceKind of an image sequence; any other value is a single image.
constexpr DWORD SURFACE_TEXTURE_SEQUENCE = 1;

// One texture slot of a surface.
struct SurfaceTexture {
  CTextureInterface* pTextureImage;  // the image in use; for a sequence the current frame
  CTextureInterface** pFrames;       // the frames of a sequence; null for a single image
  CMatrix mtxMatrix;
  WORD wFlags;
  WORD wOpacity;
  float fOpacityValue;
  DWORD dwSourceKind;
  LONG lFirstFrame;
  LONG lFrameLimit;  // the sequence shows frame numbers up to this minus 1
  DWORD dwSequenceParameter;
  DWORD dwNumberOfFrames;

  void Clear() {
    pTextureImage = nullptr;
    pFrames = nullptr;
    mtxMatrix.SetIdentity();
    wFlags = 0;
    wOpacity = 0;
    std::memset(&fOpacityValue, 0,
                sizeof(SurfaceTexture) - offsetof(SurfaceTexture, fOpacityValue));
  }

  // Whether two slots show the same thing. Two empty slots are equal; an empty and a filled
  // one differ. A single image is equal only to the same non-null image, so a cleared record
  // differs even from itself. The texture matrix is not compared.
  static bool IsEqual(const SurfaceTexture* a, const SurfaceTexture* b) {
    if (a == nullptr || b == nullptr) return a == b;
    if (a->dwSourceKind != b->dwSourceKind) return false;
    if (a->dwSourceKind == SURFACE_TEXTURE_SEQUENCE) {
      if (a->dwNumberOfFrames != b->dwNumberOfFrames || a->lFirstFrame != b->lFirstFrame ||
          a->lFrameLimit != b->lFrameLimit || a->dwSequenceParameter != b->dwSequenceParameter)
        return false;
      if (a->pFrames == nullptr || b->pFrames == nullptr) return false;
      for (DWORD i = 0; i < a->dwNumberOfFrames; ++i)
        if (a->pFrames[i] != b->pFrames[i]) return false;
    } else if (a->pTextureImage == nullptr || a->pTextureImage != b->pTextureImage) {
      return false;
    }
    return a->wOpacity == b->wOpacity && a->wFlags == b->wFlags &&
           a->fOpacityValue == b->fOpacityValue;
  }
};

// The grey images that one texture packs into its red, green, blue and alpha channels, and a
// constant for each channel.
struct MaterialTexture1 {
  const char* szDiffuseInRed;
  const char* szSpecularGlossInGreen;
  const char* szSpecularExpInBlue;
  const char* szReflectionInAlpha;
  BYTE DiffuseValueInRed;
  BYTE SpecularGlossValueInGreeen;
  BYTE SpecularExpValueInBlue;
  BYTE ReflectionValueInAlpha;
};

struct MaterialTexture2 {
  const char* szTranslucencyInRed;
  const char* szFresnelExponentInGreen;
  const char* szRefractionInBlue;
  const char* szLuminosityInAlpha;
  BYTE TranslucencyValueInRed;
  BYTE FresnelExponentValueInGreen;
  BYTE RefractionValueInBlue;
  BYTE LuminosityValueInAlpha;
};

// One named parameter handed with a shader's name to CreateShader. The name lives inside the
// record so that the record stays 64 bytes and pointer-free; it is always zero-terminated.
struct ShaderParameter {
  DWORD dwValue;
  DWORD dwDynamicID;
  char szParameterName[56];
};

static_assert(sizeof(Vertex) == 88);
static_assert(offsetof(Vertex, fWeights) == 12 && offsetof(Vertex, wBonesIndices) == 28 &&
              offsetof(Vertex, vecNormal) == 36 && offsetof(Vertex, vecTangent) == 48 &&
              offsetof(Vertex, vecBiNormal) == 60 && offsetof(Vertex, fTU) == 72 &&
              offsetof(Vertex, fTV) == 80);
static_assert(sizeof(Face) == 28);
static_assert(offsetof(Face, wIndex1) == 12 && offsetof(Face, wEdge1) == 18 &&
              offsetof(Face, cWorkingMark1) == 24 && offsetof(Face, wFaceIndex) == 26);
static_assert(sizeof(TrianglePair) == 8);
static_assert(sizeof(ColorByte) == 4);
static_assert(sizeof(ShaderParameter) == 64 && offsetof(ShaderParameter, szParameterName) == 8);
// The pointer records keep their fields in order; only the pointers widen.
static_assert(offsetof(Edge, wIndex1) == 2 * sizeof(void*));
static_assert(offsetof(SurfaceTexture, mtxMatrix) == 2 * sizeof(void*));
static_assert(offsetof(MaterialTexture1, DiffuseValueInRed) == 4 * sizeof(void*));
static_assert(offsetof(MaterialTexture2, TranslucencyValueInRed) == 4 * sizeof(void*));
