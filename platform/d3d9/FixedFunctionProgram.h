#pragma once
// Builds the GLSL program that does what Direct3D's fixed-function pipeline does for the current
// state: transforms, lighting, texture-coordinate generation and transforms, the texture-stage
// combiner, specular and fog. The key holds exactly the state that changes the program's code;
// everything numeric is a uniform, so few programs serve a whole scene. A shader program from
// the shader translation can replace either half: it reads the same attribute locations.
#include <cstdint>
#include <string>

#include "DeviceState.h"

class CVertexDeclaration9;

enum ETextureKind : uint8_t { TEXTURE_NONE = 0, TEXTURE_2D = 1, TEXTURE_CUBE = 2 };

struct SStageKey {
  uint8_t colorOp, colorArg[3], alphaOp, alphaArg[3];  // args 0, 1, 2 with their modifiers
  uint8_t resultArg;
  uint8_t texCoordIndex;
  uint8_t texGen;           // D3DTSS_TCI_* >> 16
  uint8_t transformCount;   // D3DTTFF count (0: no transform)
  uint8_t projected;
  uint8_t texture;          // ETextureKind
  uint8_t inputComponents;  // components of the vertex's coordinate set
};

struct SFixedFunctionKey {
  uint8_t vertexShader;  // a shader program does the vertex half: no fixed-function varyings
  uint8_t pixelShader;   // a shader program does the pixel half: coordinates for every stage
  uint8_t preTransformed;
  uint8_t hasNormal, hasColor0, hasColor1;
  uint8_t lighting;
  uint8_t lightCount;
  uint8_t lightTypes[kMaxActiveLights];
  uint8_t localViewer, normalizeNormals, specular;
  uint8_t diffuseSource, ambientSource, specularSource, emissiveSource;  // 0 material, 1 colour 0, 2 colour 1
  uint8_t fogMode;  // D3DFOG_* used, 0 for none
  uint8_t fogTable;   // per pixel from depth
  uint8_t fogFromSpecular;  // the vertex's specular alpha is the fog factor
  uint8_t rangeFog;
  uint8_t stageCount;
  SStageKey stages[kMaxStages];
};

class CFixedFunctionProgram {
 public:
  // The key for the state; a zeroed struct first so the padding compares equal.
  static SFixedFunctionKey BuildKey(const CDeviceState& state, const CVertexDeclaration9& declaration,
                                    const ETextureKind* textureKinds, bool vertexShader, bool pixelShader);
  static std::string VertexSource(const SFixedFunctionKey& key);
  static std::string FragmentSource(const SFixedFunctionKey& key);
  static std::string KeyBytes(const SFixedFunctionKey& key);
  // GLSL of DeviceClipPosition(clip), the fix-ups every vertex program's position gets (flip to
  // the upside-down targets, the half-pixel rule); it reads `uniform vec4 u_viewport`.
  static const char* ClipPositionFunction();
};
