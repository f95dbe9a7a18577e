#include "script/RayType.h"

#include "ZKDXMath.h"
#include "script/ScriptGlue.h"
#include "script/ScriptRegistrar.h"

using namespace AngelScript;
using ScriptGlue::Construct;
using ScriptGlue::Method;
using ScriptGlue::Overload;

namespace {
constexpr const char* kSource = "RayType";
constexpr const char* kRay = "CRay";
}  // namespace

bool RegisterRayType(CScriptRegistrar& registrar) {
  CScriptRegistrar::SourceScope source(registrar, kSource);
  CScriptRegistrar& r = registrar;

  r.Type(kRay, sizeof(CRay), ScriptGlue::PlainValueFlags<CRay>(asOBJ_APP_CLASS_ALLFLOATS),
         "Can't Add CRay Basic Type To The Script (1)");
  r.Behaviour(kRay, asBEHAVE_CONSTRUCT, "void f()", Construct<CRay>(),
              "Can't Declare Contructor1 For CRay");
  r.Behaviour(kRay, asBEHAVE_CONSTRUCT, "void f(const CVector3 &in, const CVector3 &in)",
              Construct<CRay, const CVector3&, const CVector3&>(),
              "Can't Declare Contructor2 For CRay");
  r.Behaviour(kRay, asBEHAVE_CONSTRUCT, "void f(const CRay &in)", Construct<CRay, const CRay&>(),
              "Can't Declare Contructor3 For CRay");
  r.Method(kRay, "CRay &opAssign(const CRay &in)",
           Method<Overload<CRay&(const CRay&)>(&CRay::operator=)>(),
           "Can't Declare Assigment For CRay");
  r.Method(kRay, "void Transform(const CMatrix &in)", Method<&CRay::Transform>(),
           "Can't Add CRay Basic Type To The Script (2)");
  // References to the ray's own vectors: writing through them changes the ray.
  r.Method(kRay, "CVector3 &GetOrigin()", Method<&CRay::GetOrigin>(),
           "Can't Add CRay Basic Type To The Script (3)");
  r.Method(kRay, "CVector3 &GetDirection()", Method<&CRay::GetDirection>(),
           "Can't Add CRay Basic Type To The Script (4)");
  r.Method(kRay, "void SetOrigin(const CVector3 &in)", Method<&CRay::SetOrigin>(),
           "Can't Add CRay Basic Type To The Script (5)");
  r.Method(kRay, "void SetDirection(const CVector3 &in)", Method<&CRay::SetDirection>(),
           "Can't Add CRay Basic Type To The Script (6)");
  return r.Succeeded();
}
