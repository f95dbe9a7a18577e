#pragma once
// Adapter profiles of the card families the engine classes, for the platform's test adapter.
// A card starts as a shader-model 3.0 part that passes every check; each family takes away
// what its generation lacks, and a test may change any field before it applies the card.
#include <vector>

#include "d3d9.h"
#include "zktest/ZkTestD3D.h"

struct TestCard {
  D3DADAPTER_IDENTIFIER9 identifier = {};
  D3DCAPS9 caps = {};
  std::vector<D3DFORMAT> textureFormats;
  std::vector<D3DFORMAT> cubeTextureFormats;
  std::vector<D3DFORMAT> renderTargetFormats;
  std::vector<D3DFORMAT> depthStencilFormats;
  std::vector<D3DFORMAT> vertexTextureFormats;
  std::vector<D3DDISPLAYMODE> modes;

  // Hands the card to the platform's adapter, or adds it as a second adapter; the platform
  // copies it.
  void Apply() const;
  void ApplyAsSecondAdapter() const;
  // The card as the platform's profile; the lists point into the card.
  ZkTestD3DAdapterProfile Profile() const;
  void SetShaderVersions(int vsMajor, int vsMinor, int psMajor, int psMinor);
  static void Remove(std::vector<D3DFORMAT>& formats, D3DFORMAT format);
  // Removes the format from every list.
  void RemoveEverywhere(D3DFORMAT format);
};

TestCard ShaderModel3Card();   // GeForce6800 class
TestCard ShaderModel2Card();   // Radeon9700 class: no flow control, short pixel shaders
TestCard ShaderModel2aCard();  // GeForceFX class: Radeon9700's demands and GeForceFX's
TestCard ShaderModel14Card();  // Radeon8500 class
TestCard ShaderModel11Card();  // GeForce3 class
TestCard NoDxtCard();          // shader model 2 without any compressed format
TestCard SmallTexturesCard();  // fails the checks: 1024-texel textures

// Puts the real adapter back at the end of a test.
struct TestCardScope {
  ~TestCardScope();
};
