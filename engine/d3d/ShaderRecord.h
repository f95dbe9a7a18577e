#pragma once
// What every compiled shader keeps of its making: the lower-cased file name and its own copy of
// the parameter records, found again by index.
#include <string>
#include <vector>

#include "ZKDXRecords.h"

class CEngineLog;

class CShaderRecord {
 public:
  static constexpr size_t kNameLength = 256;

  CShaderRecord(const char* name, const ShaderParameter* parameters, UINT count);

  const char* GetName() const { return m_Name.c_str(); }
  const ShaderParameter* GetParameters() const { return m_Parameters.data(); }
  UINT GetNumberOfParameters() const { return static_cast<UINT>(m_Parameters.size()); }
  // The record at `index`, or null with `error` logged at the error level.
  ShaderParameter* GetParameter(UINT index, CEngineLog* log, const char* error);

 private:
  std::string m_Name;
  std::vector<ShaderParameter> m_Parameters;
};
