#pragma once
// The engine's null world object (type word 4): a named, animated placement without geometry
// that other objects hang from. It may carry a line of script, run once after loading, and
// options that carry a sound stream and a sprite along with it.
#include <memory>

#include "scene/Motion.h"
#include "scene/NullOptions.h"
#include "scene/TWorldObject.h"

class CNullScriptHost;

class CNull final : public TWorldObject<CNullInterface> {
 public:
  static constexpr UINT kTextLength = 256;
  // The module that null scripts run in.
  static constexpr const char* kScriptModule = "ZeKorbConsole";

  // The scene link is the caller's to set.
  CNull(CD3D9RendererInterface* renderer, CEngineLog* log);
  // A null from imported data: the text before the first ";" of nameText is the name (lower
  // case), the rest the script.
  CNull(CD3D9RendererInterface* renderer, CEngineLog* log, const char* nameText);
  ~CNull() override;

  // The script storage that ApplyScript runs scripts through; null until it exists.
  static void SetScriptHost(CNullScriptHost* host);

  // --- world object ---
  CMatrix* GetMatrix(float frame) override;
  CMatrix* GetRotationMatrix(float frame) override;
  void MotionToMatrix(CMatrix* out, float frame) override;
  float GetFrame() override { return m_fHierarchyFrame; }
  void SetFrame(float frame, UINT recurse) override;
  const char* GetWorldObjectName() override { return m_szName; }
  void GetUpdateInputs(CUpdateInputs* inputs) override;
  void RemoveAdditionalTransformation() override;

  // --- CNullInterface ---
  using TWorldObject::GetParentObject;
  const char* GetName() override { return m_szName; }
  void SetName(const char* name) override;
  CNullOptionsInterface* GetNullOptions() override { return &m_Options; }
  void PrepareMatrices(float frame) override;
  void UpdateHierarchy(float frame) override;
  CMatrix* GetCurrentRotationMatrix() override { return &m_mtxRotationMatrix; }
  CMatrix* GetCurrentMatrix() override { return &m_mtxMatrix; }
  // flag 0: world position; 1: the local one (explicit or channels).
  void GetPosition(CVector3* out, UINT flag) override;
  // flag 1: the local heading, pitch, bank; 0: with the parents' added.
  void GetRotation(CVector3* out, UINT flag) override;
  void SetScale(const CVector3& scale) override { SetExplicitScale(scale); }
  // The scale the matrix pass uses.
  void GetScale(CVector3* out) override;
  CMotion* GetMotion(float frame) override;
  void SetRotation(const CVector3& rotation) override { SetExplicitRotation(rotation); }
  void SetAdditionalTransformation(float x, float y, float z, float w) override {
    SetExplicitQuaternion(x, y, z, w);
  }
  void SetPosition(const CVector3& position) override { SetExplicitPosition(position); }
  CWorldObjectInterface* GetParentObject() override { return GetParentObject(0); }
  // The null itself is refused with a warning and leaves it without a parent.
  void SetParentObject(CWorldObjectInterface* parent) override { SetParent(parent); }
  void GetUserDefinedData(void** data, UINT* value1, UINT* value2) override {
    CWorldObject::GetUserDefinedData(data, value1, value2);
  }
  void SetUserDefinedData(void* data, UINT value1, UINT value2) override {
    CWorldObject::SetUserDefinedData(data, value1, value2);
  }
  CSceneInterface* GetScene() override;
  CWorldObjectInterface* GetTopmostParent() override;
  UINT Clone(CNullInterface** clone) override;
  // Runs the script once: a script that fails is tried again at the next call. Returns 1.
  UINT ApplyScript() override;
  UINT StartOption() override;
  UINT SetTag(UINT tag) override { return CWorldObject::SetTag(tag); }

  // --- engine side ---
  // Whoever adds the null to a scene links it (the constructors leave it without one).
  void SetOwnerScene(CScene* scene) { m_pScene = scene; }
  const char* GetScript() const { return m_szScript; }
  UINT GetScriptApplied() const { return m_dwScriptApplied; }
  // The parent as the loaded scene numbers it, resolved after loading.
  void SetParentReference(UINT type, UINT number) {
    m_dwParentReferenceType = type;
    m_dwParentNumber = number;
  }
  UINT GetParentNumber() const { return m_dwParentNumber; }
  UINT GetParentReferenceType() const { return m_dwParentReferenceType; }
  // What the scene file stores, as it stands (no evaluation).
  CMotion* GetOwnMotion() { return &m_Motion; }
  void SetScript(const char* script);
  CNullOptions* GetOptions() { return &m_Options; }
  // The debug gizmo: three crossing lines of length 1.5 through the null's origin.
  void DrawAxes();

 private:
  // Scale, rotation and translation of the null's own placement at the evaluated motion.
  void LocalPlacement(CMatrix* world, CMatrix* rotation);
  void Log(int level, const char* format, ...) const __attribute__((format(printf, 3, 4)));

  char m_szName[kTextLength] = {};
  char m_szScript[kTextLength] = {};
  CNullOptions m_Options;
  UINT m_dwParentNumber = 0;
  UINT m_dwParentReferenceType = 0;
  float m_fHierarchyFrame = -1.0f;
  CMotion m_Motion;
  UINT m_dwScriptApplied = 0;
};
