#pragma once
// The game's camera node ("GameCamera"). It owns no engine camera: it drives camera 0 of the
// level's scene, gliding it over a fixed time to the target that scripts set, raising and
// shifting it while the player stands on marked cells of the level's camera map, and offering
// a free mouse camera under left Shift. Kept in the game's namespace: the engine has a camera
// class of the same name, and the game's tests link both.
#include <windef.h>

#include <optional>
#include <vector>

#include "ZKDXMath.h"
#include "cpelto/GameCameraHold.h"
#include "framework/RenderableObject.h"

class CCameraInterface;
class CChannelEnvelopeInterface;
class CKeyInterface;
class CMeshInterface;
class CPeltoLevel;

namespace cpelto {

class CCamera : public geCRenderableObject, public CGameCameraHold {
 public:
  static constexpr float kDefaultGlideTime = 1.0f;
  static constexpr char kPlainMark = '0';
  // A marked cell lifts the camera by this much and moves it to this x.
  static constexpr float kMarkedLift = 3.0f;
  static constexpr float kMarkedX = -3.5f;
  // The mouse camera zooms in no closer than this, in x and y, to the player.
  static constexpr float kClosestZoom = 7.0f;
  static constexpr float kMouseCameraSpeed = 5.0f;
  static constexpr DWORD kKeyLeftShift = 42;
  static constexpr DWORD kKeyZoomIn = 16;   // Q
  static constexpr DWORD kKeyZoomOut = 18;  // E

  explicit CCamera(geCBaseNode* pParent);
  ~CCamera() override;

  size_t GetClassSize() const override;
  const char* GetClassName() const override;
  bool IsKindOf(const char* szClassName) const override;
  void RegisterProperties() override;
  void Configure(TiXmlElement* pElement) override;
  void Update(geSUpdateArgument* pArg) override;

  // Glides from where camera 0 is to the target over the glide time; ignored while held.
  void SetCameraPosition(const CVector3& target);
  // Freezes (or frees) the changes of the map mark; moves to a target still glide.
  void DisableCameraMap(bool bDisable) { m_bCameraMapDisabled = bDisable ? 1 : 0; }
  bool IsDisabledCameraMap() const { return m_bCameraMapDisabled != 0; }
  // Set while the player's free view has camera 0: the node then leaves it alone.
  void SetHold(BYTE bHold) override { m_bHold = bHold; }
  BYTE GetHold() const { return m_bHold; }

  const std::vector<std::vector<char>>& GetCameraMap() const { return m_vCameraMap; }
  char GetCurrentMark() const { return m_cCurrentMark; }
  DWORD GetMapWidth() const { return m_dwMapWidth; }
  DWORD GetMapHeight() const { return m_dwMapHeight; }
  float GetGlideTime() const { return m_fGlideTime; }
  float GetGlideStartTime() const { return m_fGlideStartTime; }
  const CVector3& GetTargetPosition() const { return m_vecTargetPosition; }
  // 0 x, 1 y, 2 z; null before configuration.
  CChannelEnvelopeInterface* GetEnvelope(int nAxis) const { return m_pEnvelopes[nAxis]; }

 private:
  CPeltoLevel* FindLevel();
  CCameraInterface* LevelCamera();
  void CreateEnvelopes(const CVector3& initial);
  void FreeEnvelopes();
  void LoadCameraMap(const char* szFile);
  // The glide starts now from camera 0's present position (when there is one).
  void StartGlide(CCameraInterface* pCamera, float fNow);
  bool MouseCameraActive() const;
  void UpdateMouseCamera(CCameraInterface* pCamera, float fDeltaTime);
  void FollowCameraMap(CCameraInterface* pCamera, float fNow);
  void Glide(CCameraInterface* pCamera, float fNow);

  BYTE m_bCameraMapDisabled = 0;
  BYTE m_bHold = 0;
  char m_cCurrentMark = kPlainMark;
  DWORD m_dwMapWidth = 0;
  DWORD m_dwMapHeight = 0;
  std::vector<std::vector<char>> m_vCameraMap;
  float m_fGlideTime = kDefaultGlideTime;
  float m_fGlideStartTime = 0.0f;
  CVector3 m_vecCurrentPosition;
  CVector3 m_vecTargetPosition;
  CChannelEnvelopeInterface* m_pEnvelopes[3] = {};
  CKeyInterface* m_pStartKeys[3] = {};
  CKeyInterface* m_pEndKeys[3] = {};
  // The cursor's y in the last frame the mouse camera changed the height.
  std::optional<LONG> m_lastCursorY;
};

}  // namespace cpelto
