#include "scene/Bone.h"

#include <cstring>

#include "core/CopyName.h"

namespace {
float ChannelValue(CMotion& motion, UINT channel) { return motion.GetChannel(channel)->GetValue(); }
}  // namespace

void CBone::Evaluate(float frame) {
  m_Motion.Evaluate(frame);

  m_mtxLocalCurrent.SetScale(ChannelValue(m_Motion, MOTION_SCALE_X),
                             ChannelValue(m_Motion, MOTION_SCALE_Y),
                             ChannelValue(m_Motion, MOTION_SCALE_Z));
  m_mtxLocalCurrent.RotateZ(ChannelValue(m_Motion, MOTION_BANK));
  m_mtxLocalCurrent.RotateX(ChannelValue(m_Motion, MOTION_PITCH));
  m_mtxLocalCurrent.RotateY(ChannelValue(m_Motion, MOTION_HEADING));
  m_mtxLocalCurrentRotation = m_mtxLocalCurrent;
  m_mtxLocalCurrent.Move(ChannelValue(m_Motion, MOTION_POSITION_X),
                         ChannelValue(m_Motion, MOTION_POSITION_Y),
                         ChannelValue(m_Motion, MOTION_POSITION_Z));

  m_mtxLocalRest.SetRotateZ(m_vecRestRotation.z);
  m_mtxLocalRest.RotateX(m_vecRestRotation.y);
  m_mtxLocalRest.RotateY(m_vecRestRotation.x);
  m_mtxLocalRestRotation = m_mtxLocalRest;
  m_mtxLocalRest.Move(m_vecRestPosition.x, m_vecRestPosition.y, m_vecRestPosition.z);

  m_mtxCurrent = m_mtxLocalCurrent;
  m_mtxCurrentRotation = m_mtxLocalCurrentRotation;
  m_mtxRest = m_mtxLocalRest;
  m_mtxRestRotation = m_mtxLocalRestRotation;
  m_fLastBuiltFrame = -1.0f;
  m_bBuilt = false;
}

CBone* CBone::ParentBone() const {
  return m_dwParentItemType == BONE_PARENT_ITEM_BONE ? m_pParent : nullptr;
}

void CBone::SetParent(UINT parentItemType, CBone* parent) {
  m_dwParentItemType = parentItemType;
  m_pParent = parent != this ? parent : nullptr;
}

void CBone::CopyFrom(const CBone& other) {
  if (&other == this) return;
  m_vecRestPosition = other.m_vecRestPosition;
  m_vecRestRotation = other.m_vecRestRotation;
  m_fLastBuiltFrame = other.m_fLastBuiltFrame;
  m_bBuilt = other.m_bBuilt;
  m_bBuilding = false;
  m_dwParentItemType = other.m_dwParentItemType;
  m_pParent = nullptr;
  other.m_Motion.CopyTo(m_Motion);
  m_mtxBone = other.m_mtxBone;
  m_mtxCurrent = other.m_mtxCurrent;
  m_mtxRest = other.m_mtxRest;
  m_mtxRestRotation = other.m_mtxRestRotation;
  m_mtxCurrentRotation = other.m_mtxCurrentRotation;
  m_mtxBoneRotation = other.m_mtxBoneRotation;
  m_mtxLocalCurrent = other.m_mtxLocalCurrent;
  m_mtxLocalRest = other.m_mtxLocalRest;
  m_mtxLocalRestRotation = other.m_mtxLocalRestRotation;
  m_mtxLocalCurrentRotation = other.m_mtxLocalCurrentRotation;
  m_dwFalloffType = other.m_dwFalloffType;
  std::memcpy(m_szName, other.m_szName, sizeof m_szName);
  std::memcpy(m_szWeightMapName, other.m_szWeightMapName, sizeof m_szWeightMapName);
  m_dwParentNumber = other.m_dwParentNumber;
  m_dwParentLinkType = other.m_dwParentLinkType;
  m_dwScaleByLength = other.m_dwScaleByLength;
  m_dwActive = other.m_dwActive;
  m_fStrength = other.m_fStrength;
  m_fRange = other.m_fRange;
  m_fRestLength = other.m_fRestLength;
  m_dwHasWeightMap = other.m_dwHasWeightMap;
}

void CBone::BuildMatrices(float frame) {
  if (m_bBuilt && frame == m_fLastBuiltFrame) return;
  CBone* parent = ParentBone();
  // A parent chain that loops back here (damaged data) is cut at this bone.
  if (parent != nullptr && !m_bBuilding) {
    m_bBuilding = true;
    m_mtxRest = m_mtxLocalRest * *parent->GetRestMatrix(frame);
    m_mtxCurrent = m_mtxLocalCurrent * *parent->GetCurrentMatrix(frame);
    m_mtxRestRotation = m_mtxLocalRestRotation * *parent->GetRestRotationMatrix(frame);
    m_mtxCurrentRotation = m_mtxLocalCurrentRotation * *parent->GetCurrentRotationMatrix(frame);
    m_bBuilding = false;
  } else {
    m_mtxRest = m_mtxLocalRest;
    m_mtxCurrent = m_mtxLocalCurrent;
    m_mtxRestRotation = m_mtxLocalRestRotation;
    m_mtxCurrentRotation = m_mtxLocalCurrentRotation;
  }
  m_mtxBone = MatrixInverse(m_mtxRest) * m_mtxCurrent;
  m_mtxBoneRotation = MatrixInverse(m_mtxRestRotation) * m_mtxCurrentRotation;
  m_fLastBuiltFrame = frame;
  m_bBuilt = true;
}

CMatrix* CBone::GetBoneMatrix(float frame) {
  BuildMatrices(frame);
  return &m_mtxBone;
}

CMatrix* CBone::GetRestMatrix(float frame) {
  BuildMatrices(frame);
  return &m_mtxRest;
}

CMatrix* CBone::GetCurrentMatrix(float frame) {
  BuildMatrices(frame);
  return &m_mtxCurrent;
}

CMatrix* CBone::GetBoneRotationMatrix(float frame) {
  BuildMatrices(frame);
  return &m_mtxBoneRotation;
}

CMatrix* CBone::GetCurrentRotationMatrix(float frame) {
  BuildMatrices(frame);
  return &m_mtxCurrentRotation;
}

CMatrix* CBone::GetRestRotationMatrix(float frame) {
  BuildMatrices(frame);
  return &m_mtxRestRotation;
}

void CBone::SetName(const char* name) { CopyName(m_szName, name); }

void CBone::SetWeightMapName(const char* name) { CopyName(m_szWeightMapName, name); }
