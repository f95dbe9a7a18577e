#pragma once
// A mesh's bounding box in its own space: one record for a rigid mesh, one record per distinct
// key time for a mesh deformed by bones. The record for the mesh's matrix frame answers the
// box questions: transformed and axis-aligned boxes, visibility through a clip matrix, ray
// probes and box overlap.
#include <memory>
#include <vector>

#include "ZKDXInterface.h"
#include "spatial/MeshBoundVolumeOwner.h"

class CMeshBoundVolume final : public CMeshBoundVolumeInterface {
 public:
  // One box record, in the mesh's own space.
  struct Record {
    float fTime = 0.0f;  // the key time; read only when there are several records
    CVector3 vecMin, vecMax, vecCentre, vecExtents;
    CVector4 vecCorners[8];
  };

  // Probe flag: test every face of the box, also those turned away from the ray's origin.
  static constexpr UINT kProbeAllFaces = 0x10;

  // The owner may be null (a volume that belongs to no mesh yet).
  explicit CMeshBoundVolume(std::unique_ptr<CMeshBoundVolumeOwner> owner);
  ~CMeshBoundVolume() = default;
  CMeshBoundVolume(const CMeshBoundVolume&) = delete;
  CMeshBoundVolume& operator=(const CMeshBoundVolume&) = delete;

  // --- CMeshBoundVolumeInterface ---
  CVector3* TransformAABB(CMatrix* matrix) override;
  CVector4* GetAABBPoints() override { return m_vecAlignedPoints; }
  CVector3* GetAABBPosition(CVector3* out) override;
  CVector3* GetAABBExtents(CVector3* out) override;
  CVector3* GetAABBMax(CVector3* out) override;
  CVector3* GetAABBMin(CVector3* out) override;
  BYTE CheckVisibility(CMatrix& matrix) override;
  void GetMinTransformed(CVector3* out) override;
  void GetMaxTransformed(CVector3* out) override;
  void GetMin(CVector3* out) override;
  void GetMax(CVector3* out) override;
  UINT CheckAAIntersection(CRay& ray, float* distance, UINT unused) override;
  UINT CheckOOIntersection(CRay& ray, float* distance, UINT flags, UINT worldSpace) override;
  // Null while there is no record.
  CVector4* GetPoints() override;
  CVector4* GetTransformedPoints() override { return m_vecTransformedPoints; }
  void GetPosition(CVector3* out) override;
  CVector3* GetTransformedPosition(CVector3* out) override;
  void GetExtents(CVector3* out) override;
  UINT CheckAACollision(CMeshBoundVolumeInterface* other, CMatrix& otherMatrix) override;
  CVector3* GetTransformedExtents(CVector3* out) override;
  CMeshInterface* GetOwnerMesh() override;

  // --- engine side ---
  // Builds the records from the owner's vertices (and bones). A mesh without vertices is
  // fatal.
  void Calculate();
  void TransformBox(CMatrix* matrix);
  // The box of the current record transformed by the matrix, along the world's axes.
  void DrawBox(CD3D9RendererInterface* renderer, CMatrix* matrix);
  // The current record's box placed by the matrix.
  void DrawFrameBox(CD3D9RendererInterface* renderer, CMatrix* matrix);
  // A new volume with this one's records and transformed box, for the new owner.
  UINT Copy(CMeshBoundVolume** out, std::unique_ptr<CMeshBoundVolumeOwner> newOwner);

  // The object file's records: several records must come in ascending time order.
  void SetRecords(std::vector<Record> records);
  UINT GetNumberOfRecords() const { return static_cast<UINT>(m_Records.size()); }
  // Null for an index at or above the record count.
  const Record* GetRecord(UINT index) const;

 private:
  // The record for the owner's matrix frame, or null when there are no records.
  const Record* CurrentRecord() const;
  static Record RecordFromPositions(const std::vector<CVector3>& positions, float time);
  void CalculateRigid(const Vertex* vertices, UINT count);
  void CalculateBoned(const Vertex* vertices, UINT count, const std::vector<float>& times);
  std::vector<float> CollectKeyTimes();
  const char* OwnerName();

  std::unique_ptr<CMeshBoundVolumeOwner> m_pOwner;
  CVector4 m_vecTransformedPoints[8];
  CVector4 m_vecAlignedPoints[8];
  std::vector<Record> m_Records;
  CVector3 m_vecTransformedPosition;
  CVector3 m_vecTransformedExtents;
  CVector3 m_vecAlignedPosition;
  CVector3 m_vecAlignedExtents;
  CVector3 m_vecAlignedMin;
  CVector3 m_vecAlignedMax;
};
