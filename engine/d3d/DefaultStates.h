#pragma once
// The engine's default state set: what the device starts from at creation and after a reset,
// and what the shading language returns to on request. Everything goes through the renderer's
// cached setters, so states already at their default cost no device call.
#include "windef.h"

class CEngineRenderer;

class CDefaultStates {
 public:
  enum Occasion {
    kOnRequest,       // lights, shaders and textures too, sampler addressing, material sources
    kDeviceCreation,  // render, stage and sampler states only
    kDeviceReset,     // as creation, with the reset's local viewer and anisotropic mip filter
  };

  static void Apply(CEngineRenderer& renderer, Occasion occasion);

 private:
  static void UnbindShadersAndTextures(CEngineRenderer& renderer);
  static void ApplyRenderStates(CEngineRenderer& renderer, Occasion occasion);
  static void ApplyStageStates(CEngineRenderer& renderer, Occasion occasion, UINT stages);
  static void ApplySamplerFilters(CEngineRenderer& renderer, Occasion occasion, UINT stages);
};
