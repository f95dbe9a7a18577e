#include "script/BasicTypes.h"

#include <angelscript/scriptarray.h>

#include <cstddef>

#include "ZKDXMath.h"
#include "ZKDXRecords.h"
#include "ZeKorbD3DHeader.h"
#include "script/EnvelopeTypes.h"
#include "script/MatrixType.h"
#include "script/ParentFunctions.h"
#include "script/RayType.h"
#include "script/ScriptGlue.h"
#include "script/ScriptRegistrar.h"
#include "script/VoidPtr.h"
#include "script/ZeKorbInterface.h"
#include "script/ZeKorbTypes.h"
#include "script/bstr.h"

using namespace AngelScript;
using ScriptGlue::Construct;
using ScriptGlue::Function;
using ScriptGlue::Method;
using ScriptGlue::Overload;

namespace {

constexpr const char* kSource = "BasicTypes";

bool RegisterLibraryTypes(CScriptRegistrar& registrar) {
  asIScriptEngine* engine = registrar.GetEngine();
  // Without bstr no script builds at all, so its failure fails the whole registration.
  registrar.Call([&] { return RegisterBstr(engine); },
                 "Can't Add bstr Basic Type To The Script (1)");
  registrar.Call(
      [&] {
        // The add-on reports nothing; the type is there or it is not.
        RegisterScriptArray(engine, true);
        return engine->GetTypeInfoByName("array") != nullptr ? 0 : static_cast<int>(asERROR);
      },
      "Can't Add array Basic Type To The Script (1)");
  registrar.Call([&] { return RegisterVoidPtr(engine); },
                 "Can't Add VoidPtr Basic Type To The Script (1)");
  return registrar.Succeeded();
}

}  // namespace

bool RegisterVectorTypes(CScriptRegistrar& registrar) {
  CScriptRegistrar::SourceScope source(registrar, kSource);
  CScriptRegistrar& r = registrar;
  const char* v3 = "CVector3";
  const char* v4 = "CVector4";

  r.Type(v3, sizeof(CVector3), ScriptGlue::PlainValueFlags<CVector3>(asOBJ_APP_CLASS_ALLFLOATS),
         "Can't Add CVector3 Basic Type To The Script (1)");
  r.Type(v4, sizeof(CVector4), ScriptGlue::PlainValueFlags<CVector4>(asOBJ_APP_CLASS_ALLFLOATS),
         "Can't Add CVector4 Basic Type To The Script (1)");

  r.Behaviour(v3, asBEHAVE_CONSTRUCT, "void f()", Construct<CVector3>(),
              "Can't Declare Contructor1 For CVector3");
  r.Behaviour(v3, asBEHAVE_CONSTRUCT, "void f(const CVector3 &in)",
              Construct<CVector3, const CVector3&>(), "Can't Declare Contructor2 For CVector3");
  // Explicit, as in the engine: a 4-vector does not turn into a 3-vector (or back) unasked.
  r.Behaviour(v3, asBEHAVE_CONSTRUCT, "void f(const CVector4 &in) explicit",
              Construct<CVector3, const CVector4&>(), "Can't Declare Contructor3 For CVector3");
  r.Behaviour(v3, asBEHAVE_CONSTRUCT, "void f(float, float, float)",
              Construct<CVector3, float, float, float>(),
              "Can't Declare Contructor4 For CVector3");
  r.Method(v3, "CVector3 &opAssign(const CVector3 &in)",
           Method<Overload<CVector3&(const CVector3&)>(&CVector3::operator=)>(),
           "Can't Declare Assigment For CVector3");
  r.Property(v3, "float x", offsetof(CVector3, x), "Can't Add CVector3 Basic Type To The Script (2)");
  r.Property(v3, "float y", offsetof(CVector3, y), "Can't Add CVector3 Basic Type To The Script (3)");
  r.Property(v3, "float z", offsetof(CVector3, z), "Can't Add CVector3 Basic Type To The Script (4)");
  // Only vector * float: a float times a vector has no operator.
  r.Method(v3, "CVector3 opMul(float) const",
           Method<Overload<CVector3(float) const>(&CVector3::operator*)>(),
           "Can't Add CVector3 Basic Type To The Script (6)");
  // The script engine derives != from opEquals, so a NaN component makes == false, != true.
  r.Method(v3, "bool opEquals(const CVector3 &in) const", Method<&CVector3::operator==>(),
           "Can't Add CVector3 Basic Type To The Script (7)");
  r.Method(v3, "CVector3 opSub(const CVector3 &in) const", Method<&CVector3::operator- >(),
           "Can't Add CVector3 Basic Type To The Script (8)");
  r.Method(v3, "CVector3 opAdd(const CVector3 &in) const", Method<&CVector3::operator+>(),
           "Can't Add CVector3 Basic Type To The Script (10)");
  r.Function("float dot(const CVector3 &in, const CVector3 &in)",
             Function<Overload<float(const CVector3&, const CVector3&)>(&dot)>(),
             "Can't Add CVector3 Basic Type To The Script (11)");
  r.Function("CVector3 cross(const CVector3 &in, const CVector3 &in)", Function<&cross>(),
             "Can't Add CVector3 Basic Type To The Script (12)");
  r.Function("CVector3 lerp(const CVector3 &in, const CVector3 &in, float)",
             Function<Overload<CVector3(const CVector3&, const CVector3&, float)>(&lerp)>(),
             "Can't Add CVector3 Basic Type To The Script (14)");
  r.Method(v3, "void Normalize()", Method<&CVector3::Normalize>(),
           "Can't Add CVector3 Basic Type To The Script (17)");
  r.Method(v3, "float Length() const", Method<&CVector3::Length>(),
           "Can't Add CVector3 Basic Type To The Script (18)");

  r.Behaviour(v4, asBEHAVE_CONSTRUCT, "void f()", Construct<CVector4>(),
              "Can't Declare Contructor1 For CVector4");
  r.Behaviour(v4, asBEHAVE_CONSTRUCT, "void f(const CVector4 &in)",
              Construct<CVector4, const CVector4&>(), "Can't Declare Contructor2 For CVector4");
  r.Behaviour(v4, asBEHAVE_CONSTRUCT, "void f(const CVector3 &in) explicit",
              Construct<CVector4, const CVector3&>(), "Can't Declare Contructor3 For CVector4");
  r.Behaviour(v4, asBEHAVE_CONSTRUCT, "void f(float, float, float, float)",
              Construct<CVector4, float, float, float, float>(),
              "Can't Declare Contructor4 For CVector4");
  r.Method(v4, "CVector4 &opAssign(const CVector4 &in)",
           Method<Overload<CVector4&(const CVector4&)>(&CVector4::operator=)>(),
           "Can't Declare Assigment For CVector4");
  r.Property(v4, "float x", offsetof(CVector4, x), "Can't Add CVector4 Basic Type To The Script (2)");
  r.Property(v4, "float y", offsetof(CVector4, y), "Can't Add CVector4 Basic Type To The Script (3)");
  r.Property(v4, "float z", offsetof(CVector4, z), "Can't Add CVector4 Basic Type To The Script (4)");
  r.Property(v4, "float w", offsetof(CVector4, w),
             "Can't Add CVector4 Basic Type To The Script (15)");
  r.Method(v4, "CVector4 opMul(float) const",
           Method<Overload<CVector4(float) const>(&CVector4::operator*)>(),
           "Can't Add CVector4 Basic Type To The Script (6)");
  r.Method(v4, "bool opEquals(const CVector4 &in) const", Method<&CVector4::operator==>(),
           "Can't Add CVector4 Basic Type To The Script (7)");
  r.Method(v4, "CVector4 opSub(const CVector4 &in) const", Method<&CVector4::operator- >(),
           "Can't Add CVector4 Basic Type To The Script (8)");
  r.Method(v4, "CVector4 opAdd(const CVector4 &in) const", Method<&CVector4::operator+>(),
           "Can't Add CVector4 Basic Type To The Script (10)");
  r.Function("float dot(const CVector4 &in, const CVector4 &in)",
             Function<Overload<float(const CVector4&, const CVector4&)>(&dot)>(),
             "Can't Add CVector4 Basic Type To The Script (11)");
  r.Function("CVector4 sub(const CVector4 &in, const CVector4 &in)", Function<&sub>(),
             "Can't Add CVector4 Basic Type To The Script (13)");
  r.Function("CVector4 lerp(const CVector4 &in, const CVector4 &in, float)",
             Function<Overload<CVector4(const CVector4&, const CVector4&, float)>(&lerp)>(),
             "Can't Add CVector4 Basic Type To The Script (14)");
  r.Method(v4, "void Normalize()", Method<&CVector4::Normalize>(),
           "Can't Add CVector4 Basic Type To The Script (17)");
  r.Method(v4, "float Length() const", Method<&CVector4::Length>(),
           "Can't Add CVector4 Basic Type To The Script (18)");
  return r.Succeeded();
}

bool RegisterGeometryRecords(CScriptRegistrar& registrar) {
  CScriptRegistrar::SourceScope source(registrar, kSource);
  CScriptRegistrar& r = registrar;

  // Scripts see the first of the four bone weights and indices and the first float of fTU, fTV.
  r.Type("Vertex", sizeof(Vertex), ScriptGlue::PlainValueFlags<Vertex>(),
         "Can't Add Vertex Basic Type To The Script (1)");
  r.Property("Vertex", "CVector3 vecPosition", offsetof(Vertex, vecPosition),
             "Can't Add Vertex Basic Type To The Script (2)");
  r.Property("Vertex", "float fWeights", offsetof(Vertex, fWeights),
             "Can't Add Vertex Basic Type To The Script (3)");
  r.Property("Vertex", "uint16 wBonesIndices", offsetof(Vertex, wBonesIndices),
             "Can't Add Vertex Basic Type To The Script (4)");
  r.Property("Vertex", "CVector3 vecNormal", offsetof(Vertex, vecNormal),
             "Can't Add Vertex Basic Type To The Script (5)");
  r.Property("Vertex", "CVector3 vecTangent", offsetof(Vertex, vecTangent),
             "Can't Add Vertex Basic Type To The Script (6)");
  r.Property("Vertex", "CVector3 vecBiNormal", offsetof(Vertex, vecBiNormal),
             "Can't Add Vertex Basic Type To The Script (7)");
  r.Property("Vertex", "float fTU", offsetof(Vertex, fTU),
             "Can't Add Vertex Basic Type To The Script (8)");
  r.Property("Vertex", "float fTV", offsetof(Vertex, fTV),
             "Can't Add Vertex Basic Type To The Script (9)");
  // A record a script declares itself starts cleared, not with whatever the stack held.
  r.Behaviour("Vertex", asBEHAVE_CONSTRUCT, "void f()", Construct<Vertex>(),
              "Can't Declare Contructor1 For Vertex");

  r.Type("Face", sizeof(Face), ScriptGlue::PlainValueFlags<Face>(),
         "Can't Add Face Basic Type To The Script (1)");
  r.Property("Face", "CVector3 vecNormal", offsetof(Face, vecNormal),
             "Can't Add Face Basic Type To The Script (2)");
  r.Property("Face", "uint16 wIndex1", offsetof(Face, wIndex1),
             "Can't Add Face Basic Type To The Script (3)");
  r.Property("Face", "uint16 wIndex2", offsetof(Face, wIndex2),
             "Can't Add Face Basic Type To The Script (4)");
  r.Property("Face", "uint16 wIndex3", offsetof(Face, wIndex3),
             "Can't Add Face Basic Type To The Script (5)");
  r.Property("Face", "uint16 wEdge1", offsetof(Face, wEdge1),
             "Can't Add Face Basic Type To The Script (6)");
  r.Property("Face", "uint16 wEdge2", offsetof(Face, wEdge2),
             "Can't Add Face Basic Type To The Script (7)");
  r.Property("Face", "uint16 wEdge3", offsetof(Face, wEdge3),
             "Can't Add Face Basic Type To The Script (8)");
  r.Property("Face", "uint16 wFaceIndex", offsetof(Face, wFaceIndex),
             "Can't Add Face Basic Type To The Script (9)");
  r.Behaviour("Face", asBEHAVE_CONSTRUCT, "void f()", Construct<Face>(),
              "Can't Declare Contructor1 For Face");

  // The owners are read through accessors: a missing owner raises a script exception instead
  // of handing the script a reference to nothing. The flag word at the end stays hidden.
  r.Type("Edge", sizeof(Edge), ScriptGlue::PlainValueFlags<Edge>(),
         "Can't Add Edge Basic Type To The Script (1)");
  r.Method("Edge", "Face &get_pOwner1() property", ScriptGlue::Field<&Edge::pOwner1>(),
           "Can't Add Edge Basic Type To The Script (2)");
  r.Method("Edge", "Face &get_pOwner2() property", ScriptGlue::Field<&Edge::pOwner2>(),
           "Can't Add Edge Basic Type To The Script (3)");
  r.Property("Edge", "uint16 wIndex1", offsetof(Edge, wIndex1),
             "Can't Add Edge Basic Type To The Script (4)");
  r.Property("Edge", "uint16 wIndex2", offsetof(Edge, wIndex2),
             "Can't Add Edge Basic Type To The Script (5)");
  r.Property("Edge", "uint16 wFace1", offsetof(Edge, wFace1),
             "Can't Add Edge Basic Type To The Script (6)");
  r.Property("Edge", "uint16 wFace2", offsetof(Edge, wFace2),
             "Can't Add Edge Basic Type To The Script (7)");
  r.Behaviour("Edge", asBEHAVE_CONSTRUCT, "void f()", Construct<Edge>(),
              "Can't Declare Contructor1 For Edge");

  // Known by name here so that the groups after this one may use them; scripts only ever hold
  // a CMaterialInterface handle the engine gave them.
  r.Type("CMaterialInterface", 0, asOBJ_REF | asOBJ_NOCOUNT,
         "Can't Add CMaterialInterface* ZeKorb Type To The Script (1)");
  r.Type("SurfaceTexture", sizeof(SurfaceTexture), ScriptGlue::PlainValueFlags<SurfaceTexture>(),
         "Can't Add SurfaceTexture ZeKorb Type To The Script (1)");
  r.Behaviour("SurfaceTexture", asBEHAVE_CONSTRUCT, "void f()",
              ScriptGlue::ConstructThen<&SurfaceTexture::Clear>(),
              "Can't Declare Contructor1 For SurfaceTexture");
  return r.Succeeded();
}

bool RegisterBasicTypes(CScriptRegistrar& registrar) {
  CScriptRegistrar::SourceScope source(registrar, kSource);
  // Each group logs its own failure; the first one stops the whole.
  return RegisterLibraryTypes(registrar) && RegisterVectorTypes(registrar) &&
         RegisterMatrixType(registrar) && RegisterRayType(registrar) &&
         RegisterGeometryRecords(registrar) && RegisterEnvelopeTypes(registrar) &&
         RegisterZeKorbAddTypes(registrar) && RegisterZeKorbTypes(registrar) &&
         RegisterParentFunctions(registrar) && RegisterZeKorbInterface(registrar);
}
