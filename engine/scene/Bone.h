#pragma once
// One bone of a mesh's skeleton: turns its motion and its rest pose into the matrices that
// skin the mesh's vertices. A bone whose parent is another bone works in its parent's space.
#include "scene/Motion.h"
#include "ZKDXMath.h"
#include "windef.h"

// LightWave's item type of a parent that is a bone.
constexpr UINT BONE_PARENT_ITEM_BONE = 4;
// The most bones one mesh holds.
constexpr UINT MAX_BONES = 64;

class CBone final {
 public:
  CBone() = default;
  CBone(const CBone&) = delete;
  CBone& operator=(const CBone&) = delete;

  // Evaluates the motion and rebuilds the bone's own current and rest matrices; the next
  // build, at any frame, brings them into the parent's space.
  virtual void Evaluate(float frame);
  // Builds the bone and bone rotation matrices unless they are already built for the frame.
  virtual void BuildMatrices(float frame);
  // Each getter builds first when the frame is not the one last built. Rest and current
  // matrices are in the skeleton's space (the parent chain applied).
  virtual CMatrix* GetBoneMatrix(float frame);
  virtual CMatrix* GetRestMatrix(float frame);
  virtual CMatrix* GetCurrentMatrix(float frame);
  virtual CMatrix* GetBoneRotationMatrix(float frame);
  virtual CMatrix* GetCurrentRotationMatrix(float frame);
  virtual CMatrix* GetRestRotationMatrix(float frame);

  CMotion* GetMotion() { return &m_Motion; }
  void SetFalloffType(UINT falloffType) { m_dwFalloffType = falloffType; }
  UINT GetFalloffType() const { return m_dwFalloffType; }
  void SetRestPosition(const CVector3& position) { m_vecRestPosition = position; }
  // Heading, pitch and bank in radians.
  void SetRestRotation(const CVector3& rotation) { m_vecRestRotation = rotation; }
  // The parent counts only with the item type of a bone; a bone cannot be its own parent.
  void SetParent(UINT parentItemType, CBone* parent);
  CBone* GetParent() const { return m_pParent; }
  UINT GetParentItemType() const { return m_dwParentItemType; }
  // Takes over every value of the other bone (names, rest data, strength, flags, the parent's
  // number and kind), its motion and matrices; the parent pointer is the caller's to set, since
  // it points into the other bone's skeleton.
  void CopyFrom(const CBone& other);

  // --- values the scene file keeps ---
  static constexpr UINT kNameLength = 256;
  const char* GetName() const { return m_szName; }
  // Cut to the field; null empties it.
  void SetName(const char* name);
  const CVector3& GetRestPosition() const { return m_vecRestPosition; }
  const CVector3& GetRestRotation() const { return m_vecRestRotation; }
  // The parent as the file numbers it (bone number, item type), linked by the mesh.
  void SetParentLink(UINT number, UINT itemType) {
    m_dwParentNumber = number;
    m_dwParentLinkType = itemType;
  }
  UINT GetParentNumber() const { return m_dwParentNumber; }
  UINT GetParentLinkType() const { return m_dwParentLinkType; }
  UINT GetScaleByLength() const { return m_dwScaleByLength; }
  void SetScaleByLength(UINT scale) { m_dwScaleByLength = scale; }
  UINT GetActive() const { return m_dwActive; }
  void SetActive(UINT active) { m_dwActive = active; }
  float GetStrength() const { return m_fStrength; }
  void SetStrength(float strength) { m_fStrength = strength; }
  float GetRange() const { return m_fRange; }
  void SetRange(float range) { m_fRange = range; }
  float GetRestLength() const { return m_fRestLength; }
  void SetRestLength(float length) { m_fRestLength = length; }
  // The weight map of the object whose weights the bone moves its vertices by.
  const char* GetWeightMapName() const { return m_szWeightMapName; }
  // Cut to the field; null empties it.
  void SetWeightMapName(const char* name);
  UINT GetHasWeightMap() const { return m_dwHasWeightMap; }
  void SetHasWeightMap(UINT hasWeightMap) { m_dwHasWeightMap = hasWeightMap; }

 private:
  CBone* ParentBone() const;

  CVector3 m_vecRestPosition;
  CVector3 m_vecRestRotation;  // heading, pitch, bank
  float m_fLastBuiltFrame = 0.0f;
  bool m_bBuilt = true;      // false after Evaluate, whatever frame the build then asks for
  bool m_bBuilding = false;  // breaks parent cycles from damaged data
  UINT m_dwParentItemType = 0;
  CBone* m_pParent = nullptr;
  CMotion m_Motion;
  CMatrix m_mtxBone = CMatrix::Identity();
  CMatrix m_mtxCurrent = CMatrix::Identity();
  CMatrix m_mtxRest = CMatrix::Identity();
  CMatrix m_mtxRestRotation = CMatrix::Identity();
  CMatrix m_mtxCurrentRotation = CMatrix::Identity();
  CMatrix m_mtxBoneRotation = CMatrix::Identity();
  // The bone's own matrices from the last evaluation, before the parent chain is applied; each
  // build starts from these so that building twice never applies the parent twice.
  CMatrix m_mtxLocalCurrent = CMatrix::Identity();
  CMatrix m_mtxLocalRest = CMatrix::Identity();
  CMatrix m_mtxLocalRestRotation = CMatrix::Identity();
  CMatrix m_mtxLocalCurrentRotation = CMatrix::Identity();
  UINT m_dwFalloffType = 0;
  char m_szName[kNameLength] = {};
  UINT m_dwParentNumber = 0;
  UINT m_dwParentLinkType = 0;
  UINT m_dwScaleByLength = 0;
  UINT m_dwActive = 0;
  float m_fStrength = 0.0f;
  float m_fRange = 0.0f;
  float m_fRestLength = 0.0f;
  char m_szWeightMapName[kNameLength] = {};
  UINT m_dwHasWeightMap = 0;
};
