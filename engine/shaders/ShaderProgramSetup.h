#pragma once
// What SETVERTEXSHADER and SETPIXELSHADER share: reading the program file, its profile and its
// named parameters from the line, expanding DEFAULT into the shader's own parameters, building
// the program's path beside the shader file, asking the shader bank for the program, and, for
// parameters that count lights, counting the lights the active camera sees before each run and
// asking the bank again when a count changed. The bank keeps every variant it has compiled.
#include <cstddef>

#include "ZKDXRecords.h"

class CEngineLog;
class CShaderPass;

// What differs between the vertex and the pixel program commands.
struct ShaderProgramKind {
  const char* szCompileLog;        // the trace of the line
  const char* szFileLog;           // the trace of the file name
  const char* szAssembly;          // the extension of assembly programs
  const char* szHighLevel;         // the extension of HLSL programs, which take a profile word
  const char* szPathFormat;        // shader folder, program folder, file name
  const char* szConstructor;       // sender of the compile errors
  const char* szBadProfileSender;  // sender of error 27 for a malformed profile word
  const char* szExecute;           // sender of the run's errors
  const char* szFatal;             // no room for DEFAULT's parameters
  UINT dwBadExtension;             // error code of an unknown extension
  UINT dwNoProgram;                // error code of a bank that gave no program
  DWORD dwFixedValue;              // the value of a parameter that counts no lights
  bool bHighEndDropsExtras;        // DEFAULT leaves out FRESNEL and MATERIALTXT above RADEON8500
};

class CShaderProgramSetup {
 public:
  static constexpr UINT kMaxParameters = 16;
  static constexpr UINT kFileNameSize = 256;
  static constexpr UINT kProfileSize = 10;

  CShaderProgramSetup(CShaderPass* pass, CEngineLog* log, const ShaderProgramKind& kind);

  // Reads the line's words; `autoProfile` is what the profile word AUTO stands for, null when
  // the device has no profile for it. False after reporting why the line cannot be used.
  bool Compile(const char* line, const char* autoProfile);
  // The line named NULL: no program at all.
  bool IsNull() const { return m_bNull; }
  const char* GetFileName() const { return m_szFileName; }
  const char* GetProfile() const { return m_szProfile; }
  UINT GetNumberOfParameters() const { return m_dwParameters; }
  const ShaderParameter* GetParameters() const { return m_Parameters; }

  // The bank's program for the file, the profile and the parameters as they stand; null after
  // reporting (an unknown extension, or no program from the bank) with `sender`.
  template <class Bank>
  auto CreateProgram(Bank* bank, const char* sender) -> decltype(bank->CreateShader("", nullptr, 0u));

  // One run of the command: sets `program`, or none for the NULL form (or after the bank once
  // failed). When light counts changed, `program` is first replaced by the bank's program for
  // the new counts. 0 when the bank gave none (reported).
  template <class Bank, class Program>
  UINT Run(Bank* bank, Program*& program, void (Program::*set)());

 private:
  enum class FileKind { kAssembly, kHighLevel, kOther };

  bool ReadFileName();
  bool ReadProfile(const char* autoProfile, int* firstParameter);
  bool ReadParameters(int first);
  void ExpandDefault();
  void BuildPath(char* path, size_t size) const;
  // Takes the counts of the lights the active camera sees into the light-count parameters;
  // false without an active camera (logged once).
  bool CountVisibleLights();
  template <class Program>
  bool DiffersFrom(Program* program) const;
  UINT Report(UINT code, const char* sender);

  CShaderPass* m_pPass;
  CEngineLog* m_pLog;
  const ShaderProgramKind& m_Kind;
  char m_szFileName[kFileNameSize] = {};
  char m_szProfile[kProfileSize] = {};
  ShaderParameter m_Parameters[kMaxParameters] = {};
  UINT m_dwParameters = 0;
  UINT m_dwDynamic = 0;
  FileKind m_FileKind = FileKind::kOther;
  bool m_bNull = false;
  bool m_bNoCameraLogged = false;
};

template <class Bank>
auto CShaderProgramSetup::CreateProgram(Bank* bank, const char* sender)
    -> decltype(bank->CreateShader("", nullptr, 0u)) {
  if (m_FileKind == FileKind::kOther) {
    Report(m_Kind.dwBadExtension, sender);
    return nullptr;
  }
  char path[2 * kFileNameSize + 8];
  BuildPath(path, sizeof path);
  decltype(bank->CreateShader("", nullptr, 0u)) program = nullptr;
  if (bank != nullptr)
    program = m_FileKind == FileKind::kAssembly
                  ? bank->CreateShader(path, m_Parameters, m_dwParameters)
                  : bank->CreateShader(path, m_szProfile, m_Parameters, m_dwParameters);
  if (program == nullptr) Report(m_Kind.dwNoProgram, sender);
  return program;
}

template <class Program>
bool CShaderProgramSetup::DiffersFrom(Program* program) const {
  for (UINT i = 0; i < m_dwParameters; ++i) {
    if (m_Parameters[i].dwDynamicID == 0) continue;
    const ShaderParameter* held = program->GetShaderParameter(i);
    if (held == nullptr || held->dwValue != m_Parameters[i].dwValue) return true;
  }
  return false;
}

template <class Bank, class Program>
UINT CShaderProgramSetup::Run(Bank* bank, Program*& program, void (Program::*set)()) {
  if (program == nullptr) {
    if (bank != nullptr) bank->SetShader(nullptr);
    return 1;
  }
  if (m_dwDynamic != 0 && CountVisibleLights() && DiffersFrom(program)) {
    program = CreateProgram(bank, m_Kind.szExecute);
    if (program == nullptr) return 0;
  }
  (program->*set)();
  return 1;
}
