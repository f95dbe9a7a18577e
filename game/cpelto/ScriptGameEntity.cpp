#include "cpelto/ScriptGameEntity.h"

#include "ZKDXMath.h"
#include "cpelto/EntityWalking.h"
#include "framework/BaseNode.h"
#include "framework/ScriptRegistration.h"

using namespace AngelScript;

namespace {

constexpr const char* kEntity = "CEntityWalking";

// Vectors come from scripts by value.
void SetEntityRotation(CVector3 angles, CEntityWalking* pEntity) { pEntity->SetRotation(angles); }
CVector3& EntityPosition(CEntityWalking* pEntity) { return *pEntity->GetPosition(); }

}  // namespace

CEntityWalking* GetEntityObject(geCBaseNode* pNode) { return dynamic_cast<CEntityWalking*>(pNode); }

void RegisterEntityScriptType() {
  geCheckedType(kEntity, sizeof(CEntityWalking), kScriptObjectFlags);
}

void RegisterEntityScriptMembers() {
  geCheckedGlue(kEntity, "CVector3& GetPosition()", asFUNCTION(EntityPosition));
  geCheckedMethod(kEntity, "void Pause()", asMETHOD(CEntityWalking, Pause));
  geCheckedMethod(kEntity, "void Resume()", asMETHOD(CEntityWalking, Resume));
  geCheckedMethod(kEntity, "CVector3 GetRotation()", asMETHOD(CEntityWalking, GetRotation));
  geCheckedGlue(kEntity, "void SetRotation( CVector3 )", asFUNCTION(SetEntityRotation));
  geCheckedMethod(kEntity, "void SetPosition( float x, float y, float z )",
                  asMETHOD(CEntityWalking, SetPosition));
  geCheckedProperty(kEntity, "float m_fVelocityFactor", asOFFSET(CEntityWalking, m_fSpeedFactor));
}

void RegisterEntityScriptCast() {
  geCheckedFunction("CEntityWalking@ GetEntityObject( geCBaseNode@ )", asFUNCTION(GetEntityObject));
}
