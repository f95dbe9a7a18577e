#pragma once
// The part every mesh, camera, null and light shares: the owning scene, the type word, the
// link in the scene's single object list, the matrices and their explicit overrides, the parent
// link, the reference count, user data and the render-target tables.
//
// Each kind derives from this class and from its own interface (see TWorldObject); the engine
// hands out the interface part only.
#include <memory>

#include "scene/UpdateGuard.h"
#include "ZKDXInterface.h"

class CEngineLog;
class CMotionInterface;
class CRenderTargetInterface;
class CScene;
struct CUpdateInputs;

class CWorldObject {
 public:
  static constexpr UINT kRenderTargets = 4;

  CWorldObject(CScene* scene, void* rendererContext, CEngineLog* log, UINT type, UINT guardMode);
  virtual ~CWorldObject();
  CWorldObject(const CWorldObject&) = delete;
  CWorldObject& operator=(const CWorldObject&) = delete;

  // The object behind an interface the engine handed out; null for anything else.
  static CWorldObject* FromInterface(CWorldObjectInterface* object);
  // Only objects of the four known kinds are handed out.
  static bool IsKnownType(UINT type);

  // --- what each kind implements ---
  // Brings the object up to date for the frame and returns its world matrix.
  virtual CMatrix* GetMatrix(float frame) = 0;
  virtual CMatrix* GetRotationMatrix(float frame) = 0;
  // The world matrix the object would have at the frame, parents included, without changing it.
  virtual void MotionToMatrix(CMatrix* out, float frame) = 0;
  // The frame of the last completed hierarchy pass, or -1.0 after a matrix pass.
  virtual float GetFrame() = 0;
  virtual void SetFrame(float frame, UINT recurse) = 0;
  // The parent's interface when the object has a parent of a known kind.
  virtual CWorldObjectInterface* GetParentObject(UINT ignored);
  virtual CWorldObjectInterface* GetInterface() = 0;
  virtual const char* GetWorldObjectName() = 0;
  virtual void GetUpdateInputs(CUpdateInputs* inputs) = 0;

  // --- list, guard and counting ---
  UINT GetWorldObjectType() const { return m_dwType; }
  CWorldObject* GetNext() const { return m_pNext; }
  void SetNextWorldObject(CWorldObject* next) { m_pNext = next; }
  // The next object's interface when it is of a known kind.
  CWorldObjectInterface* GetNextInterface() const;
  CUpdateGuard* GetGuard() const { return m_pGuard.get(); }
  CScene* GetOwnerScene() const { return m_pScene; }
  // Another scene took the object over (scenes merging); the list links are that scene's.
  void MoveToScene(CScene* scene) { m_pScene = scene; }
  // The scene went away while this object still had references: nothing links them any more.
  virtual void DetachFromScene();
  UINT GetReferenceCount() const { return m_dwReferenceCount; }
  void AddReference() { ++m_dwReferenceCount; }
  // At zero (or when already at zero) the object leaves its scene and is destroyed.
  void ReleaseReference();

  // --- parent ---
  // Refuses the object itself and any object that already has this one among its parents
  // (each logged); null clears the link; an object of an unknown kind leaves it unchanged.
  void SetParent(CWorldObjectInterface* parent);
  CWorldObject* GetParent() const { return m_pParent; }
  UINT GetParentType() const { return m_dwParentType; }
  // Whether `object` is reached by walking up the parent links from this object.
  bool HasAmongParents(const CWorldObject* object) const;

  // --- explicit values: each sets its flag, and forces the guard only when the value changes ---
  void SetExplicitPosition(const CVector3& position);
  void SetExplicitRotation(const CVector3& rotation);
  void SetExplicitScale(const CVector3& scale);
  // Also counts as an explicit rotation.
  void SetExplicitQuaternion(float x, float y, float z, float w);
  // Clears the chosen flags and forces the guard.
  void ClearExplicitValues(bool position, bool rotation, bool scale, bool quaternion);
  bool HasExplicitPosition() const { return m_dwPositionSet != 0; }
  bool HasExplicitRotation() const { return m_dwRotationSet != 0; }
  bool HasExplicitScale() const { return m_dwScaleSet != 0; }
  bool HasExplicitQuaternion() const { return m_dwQuaternionSet != 0; }
  const CVector3& GetExplicitPosition() const { return m_vecExplicitPosition; }
  const CVector3& GetExplicitRotation() const { return m_vecExplicitRotation; }
  const CVector3& GetExplicitScale() const { return m_vecExplicitScale; }
  const float* GetExplicitQuaternion() const { return m_fExplicitQuaternion; }
  // The scale in use: the explicit one, else the motion's scale channels, else 1, 1, 1.
  CVector3 ScaleFrom(CMotionInterface& motion) const;

  // --- render targets (indices 0 to 3; others read null and store nothing) ---
  CRenderTargetInterface* GetRenderTarget(UINT index) const;
  UINT SetRenderTarget(UINT index, CRenderTargetInterface* target);
  CRenderTargetInterface* GetCubeRenderTarget(UINT index) const;
  UINT SetCubeRenderTarget(UINT index, CRenderTargetInterface* target);

  // --- plain values ---
  UINT SetTag(UINT tag) { return m_dwTag = tag; }
  UINT GetTag() const { return m_dwTag; }
  void GetUserDefinedData(void** data, UINT* value1, UINT* value2) const;
  void SetUserDefinedData(void* data, UINT value1, UINT value2);
  float GetFramePrepared() const { return m_fFramePrepared; }
  CMatrix* GetMatrixPointer() { return &m_mtxMatrix; }
  CMatrix* GetRotationMatrixPointer() { return &m_mtxRotationMatrix; }

 protected:
  // Carries a local placement into world space through the parent: the parent's matrix when it
  // is prepared at this frame, else its motion evaluated at the frame.
  void ApplyParentPlacement(CMatrix* placement, float frame);
  // SetFrame for kinds that can be pinned: -1 follows the frame asked for, any other frame pins
  // the object there; recurse 1 passes the setting on to the children.
  void PinOrFollowFrame(float frame, UINT recurse);
  // Frees a camera made for this object alone (a light's or mesh's own); the scene stops using
  // it first.
  void DeleteOwnCamera(CWorldObject* camera);

  UINT m_dwFollowFrame = 1;

  CScene* m_pScene;
  void* m_pRendererContext;
  CEngineLog* m_pLog;
  float m_fFrameSet = -1.0f;
  float m_fFramePrepared = -1.0f;
  CMatrix m_mtxMatrix;
  CMatrix m_mtxRotationMatrix;

 private:

  void GiveBackRenderTargets();

  CRenderTargetInterface* m_pRenderTargets[kRenderTargets] = {};
  CRenderTargetInterface* m_pCubeRenderTargets[kRenderTargets] = {};
  std::unique_ptr<CUpdateGuard> m_pGuard;
  UINT m_dwType;
  CWorldObject* m_pNext = nullptr;
  UINT m_dwTag = 0;
  void* m_pUserData = nullptr;
  UINT m_dwUserValue1 = 0;
  UINT m_dwUserValue2 = 0;
  CVector3 m_vecExplicitPosition;
  CVector3 m_vecExplicitRotation;
  CVector3 m_vecExplicitScale;
  float m_fExplicitQuaternion[4] = {0, 0, 0, 1};
  UINT m_dwReferenceCount = 1;  // the creator's reference
  UINT m_dwPositionSet = 0;
  UINT m_dwRotationSet = 0;
  UINT m_dwScaleSet = 0;
  UINT m_dwQuaternionSet = 0;
  CWorldObject* m_pParent = nullptr;
  UINT m_dwParentType = 0;
};
