#include "lightwave/LWSObjectReader.h"


#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "core/FileNames.h"
#include "lightwave/LWOReader.h"
#include "lightwave/LWSEnvelopeReader.h"
#include "lightwave/LWSFields.h"
#include "lightwave/LWSImport.h"
#include "lightwave/LWSLineReader.h"
#include "scene/Bone.h"
#include "scene/LWOImportBuffer.h"
#include "scene/LWSSceneBuffer.h"
#include "scene/Scene.h"

namespace {

constexpr const char* kBonesSource = "Bones";
constexpr const char* kBonesTitle = "Error While Loading LWS";
constexpr const char* kLwoTitle = "Error While Loading LWO";
constexpr float kDegreesToRadians = 0.017453292f;

CVector3 ReadVector(LWSFields& fields, float scale = 1.0f) {
  const float x = fields.Float() * scale;
  const float y = fields.Float() * scale;
  const float z = fields.Float() * scale;
  return CVector3(x, y, z);
}

}  // namespace

UINT LWSObjectReader::LoadObjectLayer() {
  LWOImportBuffer& object = m_import.object;
  object.Reset();
  object.StartSceneObject();

  // The path is the third field (after the key and the layer); its file name is kept, lower
  // case. A line holds at most 127 characters, so the name always fits its field.
  LWSFields fields(m_file.Line());
  fields.Next();
  char path[LWSLineReader::kLineSize];
  CopyName(path, fields.Next());
  char* name = GetBaseFileName(path);
  LowerCase(name);
  CopyName(object.fileName, name);

  m_file.ReadBlock(
      [&] {
        if (m_file.Begins("ObjectMotion")) m_envelopes.ReadMotion(object.motion, object.fileName);
      },
      [&] { ReadObjectKey(); });

  LWOReader(m_import.objectReader).Load(m_import.scene.directory, 1);
  RequireCreated(m_import.target.CreateSceneMesh(object));
  return 1;
}

void LWSObjectReader::ReadObjectKey() {
  LWOImportBuffer& object = m_import.object;
  const char* line = m_file.Line();
  LWSFields fields(line);
  if (m_file.Begins("PivotPosition")) {
    object.pivotPosition = ReadVector(fields);
  } else if (m_file.Begins("PivotRotation")) {
    object.pivotRotation = LWSEnvelopeReader::ReadPivotRotation(line, object.motion);
  } else if (m_file.Begins("ParentItem")) {
    LWSEnvelopeReader::ParseItemID(fields.Next(), object.parentItem[0], object.parentItem[1]);
  } else if (m_file.Begins("ObjectDissolve")) {
    const bool enveloped = m_file.Begins("ObjectDissolve (envelope)");
    fields.Next();
    m_envelopes.ReadValue(object.dissolve, enveloped, fields.Next());
  } else if (m_file.Begins("MorphAmount")) {
    object.morphEnabled = 1;
    if (!m_file.Begins("MorphAmount (envelope)"))
      FatalErrorWithTitle(kLwsTitle, "Only Enveloped Morphing Is Supported");
    object.morphMotion.SetNumberOfChannels(1);
    m_envelopes.ReadEnvelope(*object.morphMotion.GetChannel(0));
  } else if (m_file.Begins("MorphTarget")) {
    object.morphEnabled = 1;
    object.morphTarget = fields.Int();
  } else if (m_file.Begins("ShadowOptions")) {
    object.shadowOptions = static_cast<WORD>(fields.Int());
  } else if (m_file.Begins("UnseenByRays")) {
    object.seenByRays = fields.Int() == 1 ? 0 : 1;
  } else if (m_file.Begins("UnseenByCamera")) {
    object.seenByCamera = fields.Int() == 1 ? 0 : 1;
  } else if (m_file.Begins("Bone") || m_file.Begins("AddBone")) {
    ReadBones();
  }
}

UINT LWSObjectReader::CountBones() {
  const LONG start = m_file.Tell();
  UINT count = 0;
  if (!m_file.Begins("Shadow")) {
    do {
      m_file.ReadLine();
      if (m_file.Begins("AddBone")) ++count;
    } while (!m_file.Begins("Shadow"));
  }
  m_file.Seek(start);
  LogTo(m_import.log, kBonesSource, CEngineLog::kLevelInfo, "  - Bones Num: %i\n", static_cast<int>(count));
  return count;
}

void LWSObjectReader::ReadBones() {
  LWOImportBuffer& object = m_import.object;
  UINT falloff = 1;
  if (m_file.Begins("BoneFalloffType")) falloff = static_cast<UINT>(LWSFields(m_file.Line()).Int());
  const UINT count = CountBones();
  if (count > LWOImportBuffer::kMaxSceneBones)
    FatalErrorWithTitle(kBonesTitle, "Too Many Bones, Change MAX_BONES Const");
  if (count == 0) FatalErrorWithTitle(kBonesTitle, "Bones Number == 0");
  object.hasBones = 1;

  UINT loaded = 0;
  m_file.ReadLine();
  while (!m_file.Begins("Shadow")) {
    if (m_file.Begins("AddBone")) {
      // A bone's lines run to its ParentItem line, which may lie past a Shadow line and so
      // past the bones counted: the table is never written past its end.
      if (loaded == LWOImportBuffer::kMaxSceneBones)
        FatalErrorWithTitle(kBonesTitle, "Too Many Bones, Change MAX_BONES Const");
      LoadBone(object.bones[loaded]);
      object.bones[loaded].SetFalloffType(falloff);
      ++loaded;
    }
    m_file.ReadLine();
  }
  object.boneCount = loaded;
}

UINT LWSObjectReader::LoadBone(CBone& bone) {
  LogTo(m_import.log, kBonesSource, CEngineLog::kLevelInfo, "  - Loading Bone\n");
  bone.SetRestLength(0.0f);
  bone.SetRange(0.0f);
  bone.SetParentLink(0, 0);
  bone.SetParent(0, nullptr);
  bone.SetStrength(0.0f);
  bone.SetScaleByLength(0);
  ImportName name = {};
  CopyItemName(name, m_file.Line());
  bone.SetName(name);
  LogTo(m_import.log, kBonesSource, CEngineLog::kLevelInfo, "    - Bone's Name: %s\n", bone.GetName());
  do {
    m_file.ReadLine();
    ReadBoneKey(bone);
  } while (!m_file.Begins("ParentItem"));
  return 1;
}

void LWSObjectReader::ReadBoneKey(CBone& bone) {
  CEngineLog* log = m_import.log;
  const auto info = CEngineLog::kLevelInfo;
  LWSFields fields(m_file.Line());
  if (m_file.Begins("BoneActive")) {
    bone.SetActive(static_cast<UINT>(fields.Int()));
  } else if (m_file.Begins("BoneRestPosition")) {
    bone.SetRestPosition(ReadVector(fields));
    const CVector3& p = bone.GetRestPosition();
    LogTo(log, kBonesSource, info, "    - BoneRestPosition: %f, %f, %f\n", p.x, p.y, p.z);
  } else if (m_file.Begins("BoneRestDirection")) {
    bone.SetRestRotation(ReadVector(fields, kDegreesToRadians));
    const CVector3& r = bone.GetRestRotation();
    LogTo(log, kBonesSource, info, "    - BoneRestDirection: %f, %f, %f\n", r.x, r.y, r.z);
  } else if (m_file.Begins("BoneRestLength")) {
    bone.SetRestLength(fields.Float());
    LogTo(log, kBonesSource, info, "    - Bone Rest Length: %f\n", bone.GetRestLength());
  } else if (m_file.Begins("BoneStrength")) {
    bone.SetStrength(fields.Float());
    LogTo(log, kBonesSource, info, "    - Bone Rest Strength: %f\n", bone.GetStrength());
  } else if (m_file.Begins("ScaleBoneStrength")) {
    bone.SetScaleByLength(static_cast<UINT>(fields.Int()));
    LogTo(log, kBonesSource, info, "    - Bone Scale By Length: %i\n", static_cast<int>(bone.GetScaleByLength()));
  } else if (m_file.Begins("BoneMotion")) {
    m_envelopes.ReadMotion(*bone.GetMotion(), "Bone");
  } else if (m_file.Begins("ParentItem")) {
    UINT kind = 0, index = 0;
    LWSEnvelopeReader::ParseBoneItemID(fields.Next(), kind, index);
    bone.SetParentLink(index, kind);
    LogTo(log, kBonesSource, info, "    - Bone ParentNum: %i, ParentType: %i\n", static_cast<int>(index),
          static_cast<int>(kind));
  } else if (m_file.Begins("BoneWeightMapName")) {
    bone.SetHasWeightMap(1);
    ImportName map = {};
    CopyItemName(map, m_file.Line());
    bone.SetWeightMapName(map);
    LogTo(log, kBonesSource, info, "    - WeightMap Name: %s\n", bone.GetWeightMapName());
  } else if (m_file.Begins("BoneWeightMapOnly")) {
    if (fields.Int() != 1)
      FatalErrorWithTitle(kLwoTitle,
                          "If Using WeightMaps It's Necessary To Check WeightMapOnly In Bones Properties");
  } else if (m_file.Begins("BoneNormalization")) {
    if (fields.Int() != 1) FatalErrorWithTitle(kLwoTitle, "Bones Need To Have Marked Normalization Flag");
  }
}
