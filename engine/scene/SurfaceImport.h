#pragma once
// Builds a surface from an imported LightWave surface: the index list and its buffer, the
// material from the channel values, the texture records from the channel images, the flag
// word and the envelopes, each step described in the log. The import cannot be half taken,
// so every failure is fatal.
#include "scene/Surface.h"

struct LWOSurface;
struct LWOSurfaceChannel;

class CSurfaceImport {
 public:
  CSurfaceImport(CSurface& surface, const LWOSurface& imported, const char* objectName);
  CSurfaceImport(const CSurfaceImport&) = delete;
  CSurfaceImport& operator=(const CSurfaceImport&) = delete;

  void Build();

 private:
  // Where a reflection or refraction map comes from: the flag bits of each mode and the name
  // the log gives the map.
  struct MapModes {
    CSurface::Slot slot;
    WORD reflective;
    WORD sphericalGenerated;
    WORD cubeGenerated;
    WORD stillCube;
    WORD stillSpherical;
    const char* kind;
  };

  void Log(const char* format, ...) const __attribute__((format(printf, 2, 3)));
  [[noreturn]] void Fail(const char* format, ...) const __attribute__((format(printf, 2, 3)));

  const LWOSurfaceChannel& Channel(UINT index) const;
  float Opacity() const;
  bool HasEnvelopes() const;
  bool HasColorImage() const;
  bool HasAlpha() const;
  bool UsesMaterialTextures() const;

  void CopyIndices();
  void BuildMaterial();
  void LogMaterial() const;
  void BuildColor0();
  void BuildColor0Sequence(SurfaceTexture& record);
  void BuildColor1();
  void BuildMaterialTexture(CSurface::Slot slot);
  void BuildNormal();
  void SetFlags();
  void SetMapMode(const MapModes& modes, UINT channel);
  void BuildEnvelopes();

  // A cleared record in the slot; fatal with the text (and the surface name) when there is no
  // memory for it.
  SurfaceTexture& NewRecord(CSurface::Slot slot, const char* allocationFailure);
  // A texture from the image (and its alpha image when one is given); fatal when it cannot be
  // loaded.
  CTextureInterface* LoadTexture(const char* image, const char* alpha, UINT normalMap);

  CSurface& m_Surface;
  const LWOSurface& m_Imported;
  const char* m_szObjectName;
};
