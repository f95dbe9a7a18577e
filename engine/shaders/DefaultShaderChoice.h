#pragma once
// The default shader of a scene, mesh or surface that names none of its own: a scene gets a
// rendering profile, a mesh or surface one of the fixed default files of the shader directory and
// the parameter names its conditional lines test. The choice is made from plain facts gathered
// from the object, so the rules can be read (and checked) apart from the scene graph.
#include <string>
#include <vector>

#include "windef.h"

class CMesh;
class CSettings;
class CSurface;

// Settings count as off only when present with the value 0.
struct DefaultShaderSettings {
  bool shadowsOff = false;
  bool reflectionsOff = false;
  bool refractionsOff = false;
  bool fullEffectsOff = false;
  bool geForce2 = false;  // the device's selected scheme
};

struct MeshShaderFacts {
  bool bones = false;
  bool morph = false;
  bool allNormal = false;
  bool specular = false;
  bool transparent = false;
  bool opaque = false;
  bool anyUV = false;
  bool twoUV = false;
  bool canCastShadowVolume = false;
  bool fresnel = false;
  bool refraction = false;
  bool cubeReflection = false;
  bool planeReflection = false;
  bool plainReflection = false;
};

struct SurfaceShaderFacts {
  bool specular = false;
  bool transparent = false;
  bool uv1 = false;
  bool alphaChannel = false;
  bool uv2 = false;
  WORD color1Opacity = 0;
  bool clipValueNotOne = false;
  bool materialTexture1 = false;
  bool materialTexture2 = false;
  bool luminosity = false;
  bool refraction = false;
  bool fresnel = false;
  bool translucency = false;
  bool cubeReflection = false;
  bool planeReflection = false;
  bool plainReflection = false;
  bool normalMap = false;
};

// A file relative to the shader directory (empty: none) and its parameter names in order.
struct DefaultShader {
  std::string file;
  std::vector<std::string> parameters;
};

class CDefaultShaderChoice {
 public:
  static DefaultShaderSettings ReadSettings(CSettings* settings, DWORD selectedScheme);
  // The profile of a scene of lighting models 1 to 3; false for any other model.
  static bool SceneProfile(UINT lightingModel, bool anyShadowCaster,
                           const DefaultShaderSettings& settings, UINT* profile);
  // Lighting model 1 takes the per-vertex rules, any other the per-pixel ones (model 4 is
  // refused before this is asked).
  static DefaultShader ForMesh(UINT lightingModel, const MeshShaderFacts& facts,
                               const DefaultShaderSettings& settings);
  static DefaultShader ForSurface(UINT lightingModel, const SurfaceShaderFacts& facts,
                                  const DefaultShaderSettings& settings);

  static MeshShaderFacts GatherMesh(CMesh& mesh);
  static SurfaceShaderFacts GatherSurface(CSurface& surface);
};
