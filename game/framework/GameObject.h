#pragma once
// The node that brings engine content into the node tree: it owns an engine scene (or lends its
// meshes to an ancestor's scene), lists the scene's meshes and nulls, plays the scene's
// animation on a timer of its own that follows the game's pause, loads the sounds of its XML
// element, and draws its scene when the frame's render list reaches it.
#include <map>
#include <string>
#include <vector>

#include "framework/AnimationsManager.h"
#include "framework/BaseNode.h"

class CMeshInterface;
class CNullInterface;
class CSceneInterface;
class CTimerInterface;
class CWorldObjectInterface;
class TonarisStream;

class geCGameObject : public geCBaseNode {
 public:
  // Flag word values of game objects.
  static constexpr DWORD kFlagNotMergeWithParent = 0x400;
  static constexpr DWORD kFlagWithShaders = 0x800;
  static constexpr DWORD kFlagNoScenePasses = 0x1000;
  static constexpr DWORD kFlagClearDepth = 0x2000;
  static constexpr DWORD kFlagNoRenderList = 0x4000;

  explicit geCGameObject(geCBaseNode* pParent);
  ~geCGameObject() override;

  size_t GetClassSize() const override;
  const char* GetClassName() const override;
  bool IsKindOf(const char* szClassName) const override;
  void RegisterProperties() override;
  void Configure(TiXmlElement* pElement) override;
  void Update(geSUpdateArgument* pArg) override;
  void Process(geSUpdateArgument* pArg) override;
  using geCBaseNode::Disable;
  using geCBaseNode::Enable;
  // 0 shows or hides the meshes while the logic runs on; any other value switches the logic
  // of the subtree while the meshes stay as they are. Either way the timer follows.
  DWORD Enable(DWORD val) override;
  DWORD Disable(DWORD val) override;
  // Draws the own scene; the caller's clear flags are not used.
  void Render(DWORD dwClearFlags) override;
  virtual void LoadSceneFromPointer(CSceneInterface* pScene);
  virtual void LoadMeshFromPointer(CMeshInterface* pMesh);
  // A scene or a single mesh, chosen by a case-sensitive search for the extension.
  virtual void LoadFileByExtension(const char* szPath);

  void LoadSceneFile(const char* szPath);
  void LoadMeshFile(const char* szPath);

  DWORD GetNumberOfMeshes() const { return static_cast<DWORD>(m_vMeshes.size()); }
  // Null at or past the count.
  CMeshInterface* GetMesh(DWORD dwIndex) const;
  CSceneInterface* GetOwnerScene() const { return m_pScene ? m_pScene : m_pParentScene; }
  // The scene the object owns and draws itself, null when it lends its meshes.
  CSceneInterface* GetOwnScene() const { return m_pParentScene ? nullptr : m_pScene; }
  CSceneInterface* GetParentScene() const { return m_pParentScene; }
  // The first mesh's topmost parent when that is a mesh, else the first mesh.
  CMeshInterface* GetBodyMesh() const;
  // The n-th (from 0) mesh or null of that name.
  CMeshInterface* FindMeshByName(const char* szName, DWORD dwIndex) const;
  CNullInterface* FindNullByName(const char* szName, DWORD dwIndex) const;
  // The nearest ancestor that is a game object, or null.
  geCGameObject* FindParentGameObject() const;
  void PlaySoundByName(const char* szName);
  void StopSoundByName(const char* szName);

  geCAnimationsManager* GetAnimations() { return &m_Animations; }
  CTimerInterface* GetTimer() const { return m_pTimer; }
  DWORD GetRenderPriority() const { return m_dwRenderPriority; }
  float GetFrame() const { return m_fFrame; }
  float GetFramesPerSecond() const { return m_fFramesPerSecond; }
  float GetLastFrame() const { return m_fLastFrame; }
  void SetLastFrame(float fFrame) { m_fLastFrame = fFrame; }
  void SetFlag(DWORD dwFlag, bool bSet);
  // The sound id recorded under an AddMusic name; 0 when absent.
  DWORD GetSoundID(const char* szName) const;

 protected:
  // Updates the animation and the children, as every game object does each frame.
  void UpdateGameObject(geSUpdateArgument* pArg);
  // The own scene's matrix and hierarchy passes, unless switched off.
  void RunScenePasses();

  DWORD m_dwRenderPriority = 0;
  CSceneInterface* m_pScene = nullptr;
  CSceneInterface* m_pParentScene = nullptr;
  CTimerInterface* m_pTimer = nullptr;
  DWORD m_dwNumberOfMeshes = 0;
  DWORD m_dwNumberOfNulls = 0;
  geCAnimationsManager m_Animations;
  std::vector<CMeshInterface*> m_vMeshes;
  std::vector<CWorldObjectInterface*> m_vMeshParents;
  std::vector<CNullInterface*> m_vNulls;
  std::vector<CWorldObjectInterface*> m_vNullParents;
  float m_fDeltaTime = 0.0f;
  float m_fFramesPerSecond = 0.0f;
  float m_fLastFrame = 0.0f;
  float m_fFrame = 0.0f;
  std::map<std::string, DWORD> m_mapSounds;
  BYTE m_bTimerPaused = 0;

 private:
  void AddMusic(TiXmlElement* pMusic);
  void FollowGamePause();
  void ApplyFrame();
  void SetFrameOnObjects(float fFrame);
  void MoveMeshesToParentScene();
  void RegisterMeshes();
  void SetMeshesVisibility(UINT dwVisible);
};
