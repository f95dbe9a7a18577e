#pragma once
// The rules both shader banks make shaders by: the request's log lines, the reuse test against
// the shaders a bank holds, the macro list of a high-level compile, and where the source comes
// from (a mounted shader archive, else a file under the shaders directory). Every failure on the
// way ends the process with the bank's texts.
#include <string>

#include "ZKDXRecords.h"
#include "d3dx9shader.h"

class CEngineLog;
class CShaderRecord;

// What tells the two banks apart on this path.
struct ShaderKind {
  const char* name;  // "Vertex", "Pixel"
  const char* compileTitle;
  const char* assemblyFailure;  // name, result name, description
  const char* hlslFailure;
  int assemblyMessageLevel;
  int hlslMessageLevel;
  // The assembly reuse test compares values too.
  bool assemblyComparesValues;
  // A high-level compile logs its count and every macro name.
  bool logsMacros;
  const char* objectTitle;        // "Error While Creating Vertex Shader"
  const char* tableFull;          // "Not Enuff VS Table Entries"
  const char* allocationFailure;  // may quote the name
};

class CShaderCreation {
 public:
  // `shadersDirectory` may be null: files are then found by their names alone.
  CShaderCreation(CEngineLog* log, const char* shadersDirectory, const ShaderKind& kind);

  // The lower-cased file name, logged with the parameters. A name too long for a shader's name
  // field ends the process as a failed compile.
  std::string BeginRequest(const char* fileName, const ShaderParameter* parameters, UINT count, bool hlsl);
  // Whether a stored shader may stand for the request (`hlsl`: parameters as a set, else by
  // position).
  bool Matches(const CShaderRecord& stored, const std::string& name, const ShaderParameter* parameters, UINT count,
               bool hlsl) const;
  void LogReuse(const std::string& name, bool hlsl) const;
  // Compiled code (the caller releases it) of the assembly file (profile null) or of the
  // high-level file with the parameters and then `extra` as macros.
  ID3DXBuffer* Compile(const std::string& name, const char* profile, const ShaderParameter* parameters, UINT count,
                       const ShaderParameter* extra = nullptr, UINT extraCount = 0) const;
  void LogCount(UINT count) const;
  const ShaderKind& Kind() const { return m_Kind; }

  // A parameter's name as the text it holds, also when its field is full.
  static std::string ParameterName(const ShaderParameter& parameter);

 private:
  [[noreturn]] void CompileFailed(const std::string& name, bool hlsl, HRESULT result) const;

  CEngineLog* m_pLog;
  std::string m_Directory;
  const ShaderKind& m_Kind;
};
