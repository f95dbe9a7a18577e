#pragma once
// A scene as the built-in passes see it, laid out by the test: an active camera (or none), its
// visible meshes and lights, each light's values, lit meshes and shadow volumes, and sprite
// slots. It appends to the list it is given, in call order, "set camera", "light <name>" for
// each current light, "<mesh> <pass> <kind>" for each mesh pass and "sprite <slot>".
#include <string>
#include <utility>
#include <vector>

#include "shaders/BuiltInPassScene.h"

class RecordingBuiltInPassScene final : public CBuiltInPassScene {
 public:
  struct Mesh {
    explicit Mesh(std::string meshName) : name(std::move(meshName)) {}
    std::string name;
    bool nested = false;
  };
  struct Light {
    Light(std::string lightName, WORD lightType) : name(std::move(lightName)), type(lightType) {}
    std::string name;
    WORD type = 0;
    D3DLIGHT9 properties = {};
    CVector3 direction, position;
    std::vector<Mesh*> lit, volumes;
  };

  explicit RecordingBuiltInPassScene(std::vector<std::string>& log) : calls(log) {}

  std::vector<std::string>& calls;
  bool camera = true;
  CVector3 cameraPosition;
  std::vector<Mesh*> visibleMeshes;
  std::vector<Light*> visibleLights;
  std::vector<bool> spriteSlots;  // false: an empty slot
  Light* currentLight = nullptr;

  const char* GetName() override { return "scene"; }
  bool HasActiveCamera() override { return camera; }
  void SetCamera() override { calls.push_back("set camera"); }
  CVector3 GetCameraPosition() override { return cameraPosition; }
  UINT GetNumberOfVisibleMeshes() override { return static_cast<UINT>(visibleMeshes.size()); }
  Object GetVisibleMesh(UINT index) override { return visibleMeshes.at(index); }
  UINT GetNumberOfVisibleLights() override { return static_cast<UINT>(visibleLights.size()); }
  Object GetVisibleLight(UINT index) override { return visibleLights.at(index); }
  WORD GetLightType(Object light) override { return L(light)->type; }
  D3DLIGHT9 GetLightProperties(Object light) override { return L(light)->properties; }
  CVector3 GetLightDirection(Object light) override { return L(light)->direction; }
  CVector3 GetLightPosition(Object light) override { return L(light)->position; }
  UINT GetNumberOfLitMeshes(Object light) override {
    return static_cast<UINT>(L(light)->lit.size());
  }
  Object GetLitMesh(Object light, UINT index) override { return L(light)->lit.at(index); }
  UINT GetNumberOfShadowVolumes(Object light) override {
    return static_cast<UINT>(L(light)->volumes.size());
  }
  Object GetShadowVolume(Object light, UINT index) override {
    return L(light)->volumes.at(index);
  }
  void SetCurrentLight(Object light) override {
    currentLight = L(light);
    calls.push_back("light " + currentLight->name);
  }
  UINT IsNestedMesh(Object mesh) override { return static_cast<Mesh*>(mesh)->nested ? 1 : 0; }
  void RenderMesh(Object mesh, const char* passName, UINT passKind) override {
    calls.push_back(static_cast<Mesh*>(mesh)->name + " " + passName + " " +
                    std::to_string(passKind));
  }
  UINT GetNumberOfSprites() override { return static_cast<UINT>(spriteSlots.size()); }
  void DrawSprite(UINT index) override {
    if (spriteSlots.at(index)) calls.push_back("sprite " + std::to_string(index));
  }

 private:
  static Light* L(Object light) { return static_cast<Light*>(light); }
};
