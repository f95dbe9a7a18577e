#include "script/MatrixType.h"

#include <cstdio>

#include "ZKDXMath.h"
#include "script/ScriptGlue.h"
#include "script/ScriptRegistrar.h"

using namespace AngelScript;
using ScriptGlue::Construct;
using ScriptGlue::Method;
using ScriptGlue::Overload;

namespace {

constexpr const char* kSource = "MatrixType";
constexpr const char* kMatrix = "CMatrix";

// "float _11" ... "float _44", row by row, numbered (2) to (17) in the failure messages.
void RegisterElements(CScriptRegistrar& registrar) {
  for (int element = 0; element < 16; ++element) {
    const int row = element / 4 + 1, column = element % 4 + 1;
    char declaration[16];
    char message[64];
    std::snprintf(declaration, sizeof declaration, "float _%d%d", row, column);
    std::snprintf(message, sizeof message, "Can't Add CMatrix Basic Type To The Script (%d)",
                  element + 2);
    registrar.Property(kMatrix, declaration, static_cast<int>(element * sizeof(float)), message);
  }
}

}  // namespace

bool RegisterMatrixType(CScriptRegistrar& registrar) {
  CScriptRegistrar::SourceScope source(registrar, kSource);
  CScriptRegistrar& r = registrar;

  r.Type(kMatrix, sizeof(CMatrix), ScriptGlue::PlainValueFlags<CMatrix>(asOBJ_APP_CLASS_ALLFLOATS),
         "Can't Add CMatrix Basic Type To The Script (1)");
  // A fresh script matrix is all zeros, not the identity.
  r.Behaviour(kMatrix, asBEHAVE_CONSTRUCT, "void f()", Construct<CMatrix>(),
              "Can't Declare Contructor1 For CMatrix");
  r.Behaviour(kMatrix, asBEHAVE_CONSTRUCT, "void f(const CMatrix &in)",
              Construct<CMatrix, const CMatrix&>(), "Can't Declare Contructor2 For CMatrix");
  r.Method(kMatrix, "CMatrix &opAssign(const CMatrix &in)", Method<&CMatrix::Assign>(),
           "Can't Declare Assigment For CMatrix");
  RegisterElements(r);
  r.Method(kMatrix, "void LoadIdentity()", Method<&CMatrix::LoadIdentity>(),
           "Can't Add CMatrix Basic Type To The Script (18)");
  r.Method(kMatrix, "void SetMove(float, float, float)", Method<&CMatrix::SetMove>(),
           "Can't Add CMatrix Basic Type To The Script (19)");
  r.Method(kMatrix, "void SetRotateX(float)", Method<&CMatrix::SetRotateX>(),
           "Can't Add CMatrix Basic Type To The Script (20)");
  r.Method(kMatrix, "void SetRotateY(float)", Method<&CMatrix::SetRotateY>(),
           "Can't Add CMatrix Basic Type To The Script (21)");
  r.Method(kMatrix, "void SetRotateZ(float)", Method<&CMatrix::SetRotateZ>(),
           "Can't Add CMatrix Basic Type To The Script (22)");
  r.Method(kMatrix, "void SetScale(float, float, float)", Method<&CMatrix::SetScale>(),
           "Can't Add CMatrix Basic Type To The Script (23)");
  r.Method(kMatrix, "void Move(float, float, float)", Method<&CMatrix::Move>(),
           "Can't Add CMatrix Basic Type To The Script (24)");
  r.Method(kMatrix, "void RotateX(float)", Method<&CMatrix::RotateX>(),
           "Can't Add CMatrix Basic Type To The Script (25)");
  r.Method(kMatrix, "void RotateY(float)", Method<&CMatrix::RotateY>(),
           "Can't Add CMatrix Basic Type To The Script (26)");
  r.Method(kMatrix, "void RotateZ(float)", Method<&CMatrix::RotateZ>(),
           "Can't Add CMatrix Basic Type To The Script (27)");
  r.Method(kMatrix, "void Scale(float, float, float)", Method<&CMatrix::Scale>(),
           "Can't Add CMatrix Basic Type To The Script (28)");
  r.Method(kMatrix, "void Invert()", Method<&CMatrix::Invert>(),
           "Can't Add CMatrix Basic Type To The Script (29)");
  r.Method(kMatrix, "void Transpose()", Method<&CMatrix::Transpose>(),
           "Can't Add CMatrix Basic Type To The Script (30)");
  r.Method(kMatrix, "CMatrix opMul(const CMatrix &in) const",
           Method<Overload<CMatrix(const CMatrix&) const>(&CMatrix::operator*)>(),
           "Can't Add CMatrix Basic Type To The Script (31)");
  // float * matrix and matrix * float are the one scalar product.
  r.Method(kMatrix, "CMatrix opMul_r(float) const",
           Method<Overload<CMatrix(float) const>(&CMatrix::operator*)>(),
           "Can't Add CMatrix Basic Type To The Script (32)");
  r.Method(kMatrix, "CMatrix opMul(float) const",
           Method<Overload<CMatrix(float) const>(&CMatrix::operator*)>(),
           "Can't Add CMatrix Basic Type To The Script (32)");
  r.Method(kMatrix, "CMatrix opAdd(const CMatrix &in) const", Method<&CMatrix::operator+>(),
           "Can't Add CMatrix Basic Type To The Script (33)");
  r.Method(kMatrix, "CMatrix opSub(const CMatrix &in) const", Method<&CMatrix::operator- >(),
           "Can't Add CMatrix Basic Type To The Script (34)");
  // Vector times matrix is an operator of the vector: the point form for a 3-vector, no
  // division by the fourth component.
  r.Method("CVector3", "CVector3 opMul(const CMatrix &in) const",
           Method<Overload<CVector3(const CMatrix&) const>(&CVector3::operator*)>(),
           "Can't Add CMatrix Basic Type To The Script (35)");
  r.Method("CVector4", "CVector4 opMul(const CMatrix &in) const",
           Method<Overload<CVector4(const CMatrix&) const>(&CVector4::operator*)>(),
           "Can't Add CMatrix Basic Type To The Script (36)");
  return r.Succeeded();
}
