#pragma once
// The scene and object reader: the fourteen exporters that write and read the engine's chunked
// files, made once at engine start-up and kept for the life of the engine. Exporters reach
// their siblings through it (the light writer hands its motion to the motion exporter, the
// motion exporter each channel to the channel exporter).
#include <memory>

#include "windef.h"

class CD3D9RendererInterface;
class CEngineLog;
class CZKOBoundingBoxExporter;
class CZKOMeshExporter;
class CZKOShadowVolumeExporter;
class CZKOSurfaceExporter;
class CZKSBoneExporter;
class CZKSCameraExporter;
class CZKSChannelEnvelopeExporter;
class CZKSEnvelopeExporter;
class CZKSKeyExporter;
class CZKSLightExporter;
class CZKSMeshExporter;
class CZKSMotionExporter;
class CZKSNullExporter;
class CZKSSceneExporter;

class CZKReader {
 public:
  // `ok` comes back true when every exporter was made; the engine stops with "Can't Init ZK
  // Reader" otherwise.
  CZKReader(CD3D9RendererInterface* renderer, CEngineLog* log, bool& ok);
  ~CZKReader();
  CZKReader(const CZKReader&) = delete;
  CZKReader& operator=(const CZKReader&) = delete;

  CZKOBoundingBoxExporter* GetBoundingBoxExporter() const { return m_pBoundingBox.get(); }
  CZKOSurfaceExporter* GetSurfaceExporter() const { return m_pSurface.get(); }
  CZKOMeshExporter* GetObjectExporter() const { return m_pObject.get(); }
  CZKOShadowVolumeExporter* GetShadowVolumeExporter() const { return m_pShadowVolume.get(); }
  CZKSKeyExporter* GetKeyExporter() const { return m_pKey.get(); }
  CZKSChannelEnvelopeExporter* GetChannelEnvelopeExporter() const {
    return m_pChannelEnvelope.get();
  }
  CZKSEnvelopeExporter* GetEnvelopeExporter() const { return m_pEnvelope.get(); }
  CZKSMotionExporter* GetMotionExporter() const { return m_pMotion.get(); }
  CZKSBoneExporter* GetBoneExporter() const { return m_pBone.get(); }
  CZKSMeshExporter* GetMeshExporter() const { return m_pMesh.get(); }
  CZKSNullExporter* GetNullExporter() const { return m_pNull.get(); }
  CZKSLightExporter* GetLightExporter() const { return m_pLight.get(); }
  CZKSCameraExporter* GetCameraExporter() const { return m_pCamera.get(); }
  CZKSSceneExporter* GetSceneExporter() const { return m_pScene.get(); }

 private:
  // Makes one exporter.
  template <class Exporter>
  void Create(std::unique_ptr<Exporter>& slot);

  CEngineLog* m_pLog;
  CD3D9RendererInterface* m_pRenderer;
  // In creation order.
  std::unique_ptr<CZKOBoundingBoxExporter> m_pBoundingBox;
  std::unique_ptr<CZKOSurfaceExporter> m_pSurface;
  std::unique_ptr<CZKOMeshExporter> m_pObject;
  std::unique_ptr<CZKOShadowVolumeExporter> m_pShadowVolume;
  std::unique_ptr<CZKSKeyExporter> m_pKey;
  std::unique_ptr<CZKSChannelEnvelopeExporter> m_pChannelEnvelope;
  std::unique_ptr<CZKSEnvelopeExporter> m_pEnvelope;
  std::unique_ptr<CZKSMotionExporter> m_pMotion;
  std::unique_ptr<CZKSBoneExporter> m_pBone;
  std::unique_ptr<CZKSMeshExporter> m_pMesh;
  std::unique_ptr<CZKSNullExporter> m_pNull;
  std::unique_ptr<CZKSLightExporter> m_pLight;
  std::unique_ptr<CZKSCameraExporter> m_pCamera;
  std::unique_ptr<CZKSSceneExporter> m_pScene;
};
