#pragma once
// The command suites' fixture: the engine's own command classes compiling in a mesh shader of
// a scene, against recording program banks and the recording renderer, on a device of the
// scheme a test chooses.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FakeEnumerationOwner.h"
#include "FakeLightSpatial.h"
#include "RecordingProgramBanks.h"
#include "ShaderFixture.h"
#include "TestScene.h"
#include "d3d/D3D9Enumeration.h"
#include "d3d9.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Mesh.h"

// "NAME=value" for each record, "/id" added for light counts.
inline std::string Describe(const std::vector<ShaderParameter>& parameters) {
  std::string text;
  for (const ShaderParameter& p : parameters) {
    if (!text.empty()) text += " ";
    text += std::string(p.szParameterName, strnlen(p.szParameterName, 56)) + "=" +
            std::to_string(p.dwValue);
    if (p.dwDynamicID != 0) text += "/" + std::to_string(p.dwDynamicID);
  }
  return text;
}

class ShaderProgramCommandFixture : public ShaderFixture {
 protected:
  ShaderProgramCommandFixture() {
    lines = CShaderLineTable();
    context->ports.lightSpatial.Set(&lightSpatial);
    renderer.vertexShaderStorage = &vertexBank;
    renderer.pixelShaderStorage = &pixelBank;
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    enumeration = std::make_unique<CD3D9Enumeration>(nullptr, d3d, 0, &owner);
    renderer.enumeration = enumeration.get();
    mesh = new CMesh(&renderer, &log, scene, 0);
    scene->AppendWorldObject(mesh);
  }
  // A light of the scene that no camera sees unless it is distant (it has no volume).
  CLight* AddLight(WORD type) {
    auto* light = new CLight(&renderer, &log, scene);
    scene->AppendWorldObject(light);
    light->SetType(type);
    return light;
  }
  // Makes the scene's first camera active and fills its visible-light list.
  CCamera* AddCamera() {
    auto* camera = new CCamera(&renderer, &log, scene);
    scene->AppendWorldObject(camera);
    scene->RebuildCameraArray();
    scene->SetActiveCamera(0);
    camera->ClearVisibleLights();
    camera->CollectVisibleLights(0.0f);
    return camera;
  }
  // A light the camera sees (a point or spot light gets a volume that shows).
  CLight* AddVisibleLight(WORD type) {
    CLight* light = AddLight(type);
    light->FinishLoaded();
    return light;
  }

  ~ShaderProgramCommandFixture() override {
    scene->Release();
    enumeration.reset();
    d3d->Release();
  }

  // Compiles `line` as the one line of a mesh shader "PerVertex\test.ssh" whose technique is
  // written for `technique` on a device of `device` (both scheme bits), the shader made with
  // parameters of these names (values 0). The pass, or null when the line was refused.
  CShaderPass* CompileLine(const std::string& line, DWORD technique = ZK_SCHEME_GEFORCEFX,
                           DWORD device = ZK_SCHEME_GEFORCEFX,
                           const std::vector<std::string>& names = {}) {
    static const std::pair<DWORD, const char*> kTargets[] = {
        {ZK_SCHEME_GEFORCE2, "GEFORCE2"},     {ZK_SCHEME_GEFORCE4, "GEFORCE4"},
        {ZK_SCHEME_RADEON9700, "RADEON9700"}, {ZK_SCHEME_GEFORCEFX, "GEFORCEFX"},
        {ZK_SCHEME_RADEONX800, "RADEONX800"},
    };
    const char* written = "";
    for (const auto& [scheme, word] : kTargets)
      if (scheme == technique) written = word;
    Library(technique, 0x1FE);
    enumeration->SetSelectedScheme(device);
    log.entries.clear();
    folder.Write("PerVertex/test.ssh", Technique(Pass("MAIN", line + "\n"), written));
    std::vector<ShaderParameter> parameters(names.size());
    for (size_t i = 0; i < names.size(); ++i)
      std::snprintf(parameters[i].szParameterName, 56, "%s", names[i].c_str());
    CShader* shader = library->CreateShader("PerVertex\\test.ssh", target != nullptr ? target : mesh,
                                            targetKind,
                                            parameters.empty() ? nullptr : parameters.data(),
                                            static_cast<UINT>(parameters.size()));
    return shader != nullptr ? shader->GetPass(0) : nullptr;
  }

  std::vector<std::string> calls;
  RecordingVertexProgramBank vertexBank{calls, "vertex"};
  RecordingPixelProgramBank pixelBank{calls, "pixel"};
  FakeEnumerationOwner owner;
  FakeLightSpatial lightSpatial;
  // What CompileLine compiles for: the mesh unless a test says otherwise.
  void* target = nullptr;
  UINT targetKind = SHADER_TARGET_MESH;
  IDirect3D9* d3d = nullptr;
  std::unique_ptr<CD3D9Enumeration> enumeration;
  TestScene* scene = new TestScene(&renderer, &log);
  CMesh* mesh = nullptr;
};
