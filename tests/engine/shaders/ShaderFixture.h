#pragma once
// What the shading-language suites share: a shader library over a temporary shader folder,
// reached through a real virtual file system, compiling with recording line classes, and the
// helpers that write shader files and read back what was compiled.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "EngineContextScope.h"
#include "RecordingAllocator.h"
#include "RecordingEngineLog.h"
#include "RecordingRenderer.h"
#include "RecordingShaderLines.h"
#include "TempDir.h"
#include "ZKDXGlobals.h"
#include "shaders/Shader.h"
#include "shaders/ShaderLibrary.h"
#include "shaders/ShaderPass.h"
#include "shaders/ShaderVariable.h"
#include "shaders/ShaderVariableNode.h"
#include "vfs/VirtualFileSystem.h"

class ShaderFixture : public testing::Test {
 protected:
  static constexpr DWORD kEverySchemeBelowFX = ZK_SCHEME_GEFORCE2 | ZK_SCHEME_GEFORCE3 |
                                               ZK_SCHEME_GEFORCE4 | ZK_SCHEME_RADEON8500 |
                                               ZK_SCHEME_RADEON9700;

  ShaderFixture() { context->pVirtualFileSystem = &vfs; }

  // A library over the fixture's folder on a device of the `selected` scheme.
  CShaderLibrary& Library(DWORD selected = ZK_SCHEME_GEFORCEFX,
                          DWORD compatible = kEverySchemeBelowFX) {
    library.reset();
    library = std::make_unique<CShaderLibrary>(&renderer, &log, selected, compatible,
                                               folder.Path().c_str(), lines);
    return *library;
  }

  // Compiles `file` of the fixture's folder with parameters of these names (values 0).
  CShader* Compile(const char* file, UINT targetKind = SHADER_TARGET_MESH,
                   const std::vector<std::string>& names = {}) {
    if (!library) Library();
    std::vector<ShaderParameter> parameters(names.size());
    for (size_t i = 0; i < names.size(); ++i)
      std::snprintf(parameters[i].szParameterName, sizeof parameters[i].szParameterName, "%s",
                    names[i].c_str());
    return library->CreateShader(file, nullptr, targetKind,
                                 parameters.empty() ? nullptr : parameters.data(),
                                 static_cast<UINT>(parameters.size()));
  }
  // Writes `text` as one GEFORCEFX technique of `file` and compiles it.
  CShader* CompileTechnique(const std::string& text, UINT targetKind = SHADER_TARGET_MESH,
                            const std::vector<std::string>& names = {}) {
    folder.Write("test.ssh", Technique(text));
    return Compile("test.ssh", targetKind, names);
  }

  static std::string Technique(const std::string& passes, const char* target = "GEFORCEFX") {
    return std::string("BEGINTECHNIQUE TARGET ") + target + "\n" + passes + "ENDTECHNIQUE\n";
  }
  static std::string Pass(const std::string& head, const std::string& body) {
    return "BEGINPASS " + head + "\n" + body + "ENDPASS\n";
  }

  // The texts of the recording command lines of the pass ("<variable NAME>" for variables).
  static std::vector<std::string> LineTexts(CShaderPass* pass) {
    std::vector<std::string> texts;
    for (UINT i = 0; i < pass->GetNumberOfLines(); ++i) {
      CShaderLine* line = pass->GetLine(i);
      if (auto* command = dynamic_cast<RecordingShaderCommand*>(line))
        texts.push_back(command->text);
      else if (auto* variable = dynamic_cast<CShaderVariable*>(line))
        texts.push_back("<variable " + std::string(variable->GetTarget()->GetName()) + ">");
      else
        texts.push_back("<unknown>");
    }
    return texts;
  }

  // The reporter's line for an error.
  static std::string Reported(UINT code, const char* sender) {
    return std::string("ERROR! - ") + GetShaderErrorText(code) + "\n        Sent By: " + sender +
           "\n";
  }
  std::string Errors() const { return log.TextAt(CEngineLog::kLevelError); }
  std::string Infos() const { return log.TextAt(CEngineLog::kLevelInfo); }

  EngineContextScope context;
  TempDir folder;
  CRecordingEngineLog log;
  CRecordingAllocator allocator;
  CVirtualFileSystem vfs{&log, &allocator, nullptr};
  RecordingRenderer renderer;
  CShaderLineTable lines = RecordingLineTable();
  std::unique_ptr<CShaderLibrary> library;
};
