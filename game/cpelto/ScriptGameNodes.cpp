#include "cpelto/ScriptGameNodes.h"

#include <d3dx9math.h>

#include "ZKDXMath.h"
#include "cpelto/MovableObject.h"
#include "cpelto/PeltoLevel.h"
#include "cpelto/PeltoPlayer.h"
#include "cpelto/ScriptGameEntity.h"
#include "framework/BaseNode.h"
#include "framework/ScriptRegistration.h"

using namespace AngelScript;

namespace {

constexpr const char* kPlayer = "CPeltoPlayer";
constexpr const char* kMovable = "CMovableObject";
constexpr const char* kLevel = "CPeltoLevel";

constexpr const char* kStateList =
    " state_stop = 1,\n state_going_forward = 2,\n state_going_back = 3,\n"
    " state_going_left = 4,\n state_going_right = 5,\n state_strifing_right = 6,\n"
    " state_strifing_left = 7,\n state_walking_inplace = 8,\n state_idle = 9,\n"
    " state_socket_in = 10";

// Vectors come from scripts by value, so these take them by value too.
void SetPlayerRotation(CVector3 degrees, CPeltoPlayer* pPlayer) { pPlayer->SetRotation(degrees); }
void SetPlayerPosition(CVector3 position, CPeltoPlayer* pPlayer) { pPlayer->SetPosition(position); }
void SetPlayerPositionf(CVector3 position, CPeltoPlayer* pPlayer) {
  pPlayer->SetPositionf(position);
}
CVector3& PlayerDirection(CPeltoPlayer* pPlayer) { return *pPlayer->GetDirection(); }
CVector3& MovablePosition(CMovableObject* pObject) { return *pObject->GetPosition(); }

}  // namespace

CPeltoLevel* CastToPeltoLevel(geCBaseNode* pNode) { return dynamic_cast<CPeltoLevel*>(pNode); }
CPeltoPlayer* GetPlayerObject(geCBaseNode* pNode) { return dynamic_cast<CPeltoPlayer*>(pNode); }
CMovableObject* GetMovableObject(geCBaseNode* pNode) {
  return dynamic_cast<CMovableObject*>(pNode);
}

void RegisterGameNodeTypes() {
  geCheckedType(kPlayer, sizeof(CPeltoPlayer), kScriptObjectFlags);
  RegisterEntityScriptType();
  geCheckedType(kMovable, sizeof(CMovableObject), kScriptObjectFlags);
  geCheckedType("CQuaternion", sizeof(D3DXQUATERNION),
                geScriptValueFlags<D3DXQUATERNION>(asOBJ_APP_CLASS_ALLFLOATS));
  geCheckedType(kLevel, sizeof(CPeltoLevel), kScriptObjectFlags);
}

void RegisterLevelScriptMembers() {
  geCheckedFunction("CPeltoLevel@ CastToPeltoLevel( geCBaseNode@ )", asFUNCTION(CastToPeltoLevel));
  geCheckedMethod(kLevel, "void SetCollisionByPos( float x, float y, int a_bVal )",
                  asMETHOD(CPeltoLevel, SetCollisionByPos));
  geCheckedMethod(kLevel, "uint GetMapWidth()", asMETHOD(CPeltoLevel, GetMapWidth));
  geCheckedMethod(kLevel, "uint GetMapHeight()", asMETHOD(CPeltoLevel, GetMapHeight));
  geCheckedMethod(kLevel, "uint GetElementMapAt( int x, int y )",
                  asMETHOD(CPeltoLevel, GetElementMapAt));
  geCheckedMethod(kLevel, "uint8 GetCollisionMapAt( int x, int y )",
                  asMETHOD(CPeltoLevel, GetCollisionMapAt));
}

void RegisterPlayerScriptMembers() {
  geCheckedFunction("CPeltoPlayer@ GetPlayerObject( geCBaseNode@ )", asFUNCTION(GetPlayerObject));
  geCheckedMethod(kPlayer, "void SetVisibilityForAll( int bCamera, int bRays, int bCollisions )",
                  asMETHOD(CPeltoPlayer, SetVisibilityForAll));
  geCheckedMethod(kPlayer, "void ForceSetState( int iState )",
                  asMETHOD(CPeltoPlayer, ForceSetState), asCALL_THISCALL, kStateList);
  geCheckedGlue(kPlayer, "void SetRotation( CVector3 )", asFUNCTION(SetPlayerRotation));
  geCheckedMethod(kPlayer, "CVector3 GetRotation()", asMETHOD(CPeltoPlayer, GetRotation));
}

void RegisterMovableObjectScriptMembers() {
  geCheckedGlue(kMovable, "CVector3& GetPosition()", asFUNCTION(MovablePosition));
  geCheckedFunction("CMovableObject@ GetMovableObject( geCBaseNode@ )",
                    asFUNCTION(GetMovableObject));
}

void RegisterPlayerScriptState() {
  geCheckedMethod(kPlayer, "void TurnStateOnOrOff( int a_dwState, int a_iVal )",
                  asMETHOD(CPeltoPlayer, TurnStateOnOrOff));
  geCheckedMethod(kPlayer, "int GetTurnStateOnOrOff( int a_dwState )",
                  asMETHOD(CPeltoPlayer, GetTurnStateOnOrOff));
  geCheckedProperty(kPlayer, "uint ActiveSocket", asOFFSET(CPeltoPlayer, ActiveSocket));
  geCheckedProperty(kPlayer, "uint m_dwSocketType", asOFFSET(CPeltoPlayer, m_dwSocketType));
  geCheckedProperty(kPlayer, "CVector3 m_vecPosition", asOFFSET(CPeltoPlayer, m_vecPosition));
  geCheckedProperty(kPlayer, "int m_bSocketEnabled", asOFFSET(CPeltoPlayer, m_bSocketEnabled));
  geCheckedProperty(kPlayer, "bool m_bJumping", asOFFSET(CPeltoPlayer, m_bJumping));
  geCheckedGlue(kPlayer, "void SetPosition( CVector3 a_vecPosition )",
                asFUNCTION(SetPlayerPosition));
  geCheckedMethod(kPlayer, "CVector3& GetPosition()", asMETHOD(CPeltoPlayer, GetPosition));
  geCheckedGlue(kPlayer, "void SetPositionf( CVector3 a_vecPosition )",
                asFUNCTION(SetPlayerPositionf));
  geCheckedGlue(kPlayer, "CVector3& GetDirection()", asFUNCTION(PlayerDirection));
  // The sub player is a handle the script reads and may point elsewhere, never counted.
  geCheckedProperty(kPlayer, "CPeltoPlayer@ m_pSubPlayer", asOFFSET(CPeltoPlayer, m_pSubPlayer));
  // The colours hold four floats; scripts see the first three.
  geCheckedProperty(kPlayer, "CVector3 m_vecOgonDiffuse", asOFFSET(CPeltoPlayer, m_vecOgonDiffuse));
  geCheckedProperty(kPlayer, "CVector3 m_vecOgonSpecular",
                    asOFFSET(CPeltoPlayer, m_vecOgonSpecular));
  geCheckedProperty(kPlayer, "uint m_vecOgonFrameOffset",
                    asOFFSET(CPeltoPlayer, m_vecOgonFrameOffset));
}
