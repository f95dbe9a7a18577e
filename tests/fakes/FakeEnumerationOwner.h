#pragma once
// Stands in for the renderer an adapter's enumeration asks for the scheme records and the
// device settings; counts the questions so a test can see the record asked.
#include "d3d/D3D9EnumerationOwner.h"
#include "d3d/DeviceSettings.h"
#include "d3d/RenderingSchemes.h"

class FakeEnumerationOwner final : public CD3D9EnumerationOwner {
 public:
  FakeEnumerationOwner() { schemes.Build(nullptr, 0, nullptr); }

  DWORD GetNumberOfSchemes() override { return schemes.GetNumberOfSchemes(); }
  const RenderingScheme* GetScheme(DWORD index) override {
    ++schemeQuestions;
    return schemes.GetScheme(index);
  }
  const DeviceSettings* GetDeviceSettings() override { return settings; }

  CRenderingSchemes schemes;
  const DeviceSettings* settings = nullptr;
  int schemeQuestions = 0;
};
