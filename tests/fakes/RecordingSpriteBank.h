#pragma once
// A sprite bank that records every sprite it is asked for and hands out fake sprites with the
// number of quads asked for, or nothing while `refuse` is set.
#include <memory>
#include <string>
#include <vector>

#include "FakeSprite.h"
#include "ZeKorbD3DHeader.h"

class RecordingSpriteBank final : public CSpriteStorageInterface {
 public:
  struct Request {
    std::string name;
    UINT quadCount;
    D3DVERTEXELEMENT9* elements;
    SurfaceTexture** surfaceTextures;
    UINT textureCount;
    CMaterialInterface* material;
    UINT orientationFlags;
    UINT reuse;
  };

  CSpriteInterface* CreateSprite(const char* name, UINT quadCount, D3DVERTEXELEMENT9* elements,
                                 SurfaceTexture** surfaceTextures, UINT textureCount,
                                 CMaterialInterface* material, UINT orientationFlags, UINT reuse,
                                 UINT) override {
    requests.push_back({name ? name : "", quadCount, elements, surfaceTextures, textureCount,
                        material, orientationFlags, reuse});
    if (refuse) return nullptr;
    sprites.push_back(std::make_unique<FakeSprite>(name ? name : "", quadCount));
    sprites.back()->orientationFlags = orientationFlags;
    return sprites.back().get();
  }
  CSpriteInterface* GetSpriteByName(const char*, UINT) override { return nullptr; }
  UINT Draw() override { return 0; }

  std::vector<Request> requests;
  std::vector<std::unique_ptr<FakeSprite>> sprites;
  bool refuse = false;
};
