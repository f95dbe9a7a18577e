#include "shaders/ShaderProgramSetRenderTarget.h"

#include <cstdlib>
#include <new>

#include "core/EngineLog.h"
#include "core/Tokenizer.h"
#include "d3d/CubeRenderTarget.h"
#include "d3d/RenderTargetStorageInterface.h"
#include "d3d/TextureRenderTarget.h"
#include "shaders/ShaderFileLines.h"

namespace {

// The Direct3D cube-map face of each name.
constexpr const char* kFaces[] = {"POSITIVEX", "NEGATIVEX", "POSITIVEY",
                                  "NEGATIVEY", "POSITIVEZ", "NEGATIVEZ"};

}  // namespace

CShaderLine* MakeShaderProgramSetRenderTarget(const ShaderLineArguments& arguments) {
  return new (std::nothrow) CShaderProgramSetRenderTarget(arguments);
}

CShaderProgramSetRenderTarget::CShaderProgramSetRenderTarget(const ShaderLineArguments& arguments)
    : CShaderRenderTargetLine(arguments, "    - Compile SetRenderTarget Line: %s",
                              "CShaderProgramSetRenderTarget::CShaderProgramSetRenderTarget",
                              "CShaderProgramSetRenderTarget::Execute") {
  *arguments.pSuccess = 0;
  CTokenizer* tokens = Tokens();
  if (tokens->GetToken(1)[0] == '\0') {
    Refuse();
    return;
  }
  if (CShaderFileLines::BeginsWith(tokens->GetToken(1), "DEFAULT")) {
    m_iSlot = kDefaultSlot;
    *arguments.pSuccess = 1;
    return;
  }
  if (!ReadSlot() || !ReadShape(true)) return;
  bool read = false;
  switch (m_dwShape) {
    case kSquare:
      m_dwValues[0] = static_cast<UINT>(std::atoi(tokens->GetToken(3)));
      read = tokens->GetToken(3)[0] != '\0' && ReadFlag(4, &m_dwValues[1]);
      break;
    case kCube:
      for (UINT face = 0; face < std::size(kFaces) && !read; ++face)
        if (CShaderFileLines::BeginsWith(tokens->GetToken(3), kFaces[face])) {
          m_dwValues[0] = face;
          read = true;
        }
      m_dwValues[1] = static_cast<UINT>(std::atoi(tokens->GetToken(4)));
      read = read && tokens->GetToken(4)[0] != '\0' && ReadFlag(5, &m_dwValues[2]);
      break;
    case kPhysical:
      m_dwValues[0] = static_cast<UINT>(std::atoi(tokens->GetToken(3)));
      read = tokens->GetToken(3)[0] != '\0';
      break;
  }
  if (!read) {
    Refuse();
    return;
  }
  *arguments.pSuccess = 1;
}

bool CShaderProgramSetRenderTarget::ReadFlag(int index, UINT* out) {
  const char* word = Tokens()->GetToken(index);
  if (CShaderFileLines::BeginsWith(word, "TRUE"))
    *out = 1;
  else if (CShaderFileLines::BeginsWith(word, "FALSE"))
    *out = 0;
  else
    return false;
  return true;
}

UINT CShaderProgramSetRenderTarget::Execute() {
  CRenderTargetStorageInterface* bank = Bank();
  // Going back to the previous target needs no owner: a scene shader restores the back buffer
  // whether or not the scene has a light.
  if (m_iSlot == kDefaultSlot) return bank != nullptr ? bank->RestoreRenderTarget() : 0;
  CWorldObject* owner = FindOwner();
  if (owner == nullptr) return 0;
  if (m_dwShape == kPhysical) {
    LogTo(m_pLog, "ShaderProgramRenderTargets", CEngineLog::kLevelError,
          "ERROR!!! - Can't Get Physical Render Target No: %i\n", static_cast<int>(m_dwValues[0]));
    return 1;
  }
  CColourRenderTarget* target = SlotTarget(owner);
  if (auto* square = dynamic_cast<CTextureRenderTarget*>(target))
    square->SetAsRenderTarget(m_dwValues[0], m_dwValues[1]);
  else if (auto* cube = dynamic_cast<CCubeRenderTarget*>(target))
    cube->SetAsRenderTarget(m_dwValues[1], m_dwValues[0], m_dwValues[2]);
  return 1;
}
