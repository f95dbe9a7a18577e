#pragma once
// Vertex- and pixel-shader banks that keep every program request (path, profile, parameters)
// and hand out a new recording program for each, holding the parameters it was made with.
// Setting a program writes "vertex <path>" or "pixel <path>" (or "vertex null", "pixel null")
// into a shared call list; a test can make the next requests fail.
#include <memory>
#include <string>
#include <vector>

#include "ZeKorbD3DHeader.h"

struct ProgramRequest {
  std::string path;
  std::string profile;  // "" for assembly programs
  std::vector<ShaderParameter> parameters;
};

template <class Interface>
class RecordingProgramBase : public Interface {
 public:
  RecordingProgramBase(std::vector<std::string>& calls, ProgramRequest request)
      : calls(calls), request(std::move(request)) {}
  const char* GetShaderName() override { return request.path.c_str(); }
  ShaderParameter* GetShaderParameter(UINT index) override {
    return index < request.parameters.size() ? &request.parameters[index] : nullptr;
  }
  UINT GetNumberOfShaderParameters() override {
    return static_cast<UINT>(request.parameters.size());
  }
  std::vector<std::string>& calls;
  ProgramRequest request;
};

class RecordingVertexProgram final : public RecordingProgramBase<CVertexShaderInterface> {
 public:
  using RecordingProgramBase::RecordingProgramBase;
  void Set() override { calls.push_back("vertex " + request.path); }
  ShaderInputRegister* GetInputRegisters() override { return nullptr; }
  UINT GetNumberOfInputRegisters() override { return 0; }
};

class RecordingPixelProgram final : public RecordingProgramBase<CPixelShaderInterface> {
 public:
  using RecordingProgramBase::RecordingProgramBase;
  void SetShader() override { calls.push_back("pixel " + request.path); }
  IDirect3DPixelShader9* GetDirect3DShader() override { return nullptr; }
};

template <class Storage, class Program, class Interface>
class RecordingProgramBank final : public Storage {
 public:
  explicit RecordingProgramBank(std::vector<std::string>& calls, const char* kind)
      : calls(calls), kind(kind) {}
  Interface* CreateShader(const char* fileName, const char* profile, ShaderParameter* parameters,
                          UINT count) override {
    return Make(fileName, profile, parameters, count);
  }
  Interface* CreateShader(const char* fileName, ShaderParameter* parameters, UINT count) override {
    return Make(fileName, "", parameters, count);
  }
  void SetShader(Interface* shader) override {
    if (shader == nullptr)
      calls.push_back(kind + " null");
    else
      SetProgram(shader);
  }

  std::vector<std::string>& calls;
  std::string kind;
  std::vector<ProgramRequest> requests;
  std::vector<std::unique_ptr<Program>> programs;
  int failures = 0;  // the next requests that get no program

 private:
  void SetProgram(Interface* shader);
  Interface* Make(const char* fileName, const char* profile, ShaderParameter* parameters,
                  UINT count) {
    ProgramRequest request{fileName, profile, {parameters, parameters + count}};
    requests.push_back(request);
    if (failures > 0) {
      --failures;
      return nullptr;
    }
    programs.push_back(std::make_unique<Program>(calls, request));
    return programs.back().get();
  }
};

template <>
inline void RecordingProgramBank<CVertexShaderStorageInterface, RecordingVertexProgram,
                                 CVertexShaderInterface>::SetProgram(CVertexShaderInterface* shader) {
  shader->Set();
}
template <>
inline void RecordingProgramBank<CPixelShaderStorageInterface, RecordingPixelProgram,
                                 CPixelShaderInterface>::SetProgram(CPixelShaderInterface* shader) {
  shader->SetShader();
}

using RecordingVertexProgramBank =
    RecordingProgramBank<CVertexShaderStorageInterface, RecordingVertexProgram, CVertexShaderInterface>;
using RecordingPixelProgramBank =
    RecordingProgramBank<CPixelShaderStorageInterface, RecordingPixelProgram, CPixelShaderInterface>;
