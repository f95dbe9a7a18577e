#include "shaders/ShaderPass.h"

#include <cstring>
#include <new>

#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "scene/Mesh.h"
#include "scene/Scene.h"
#include "scene/Surface.h"
#include "shaders/Shader.h"
#include "shaders/ShaderBlockEnd.h"
#include "shaders/ShaderBlockStart.h"
#include "shaders/ShaderFileLines.h"
#include "shaders/ShaderLibrary.h"
#include "shaders/ShaderLineTable.h"
#include "shaders/ShaderLine.h"
#include "shaders/ShaderVariableNode.h"

namespace {

const char kSource[] = "ShaderPass";
const char kSender[] = "CShaderPass";

bool IsComment(const CShaderFileLines& lines) {
  if (!lines.HasWords()) return true;
  const char first = lines.Word(0)[0];
  return first == ';' || first == '/' || first == '\\';
}

}  // namespace

CShaderPass::CShaderPass(CShader* shader, CEngineRenderer* renderer, CEngineLog* log,
                         CShaderFileLines& lines, UINT passIndex,
                         const ShaderParameter* parameters, UINT numberOfParameters,
                         UINT* success)
    : m_pShader(shader),
      m_pRenderer(renderer),
      m_pLog(log),
      m_pParameters(parameters),
      m_dwParameters(parameters != nullptr ? numberOfParameters : 0),
      m_dwPassIndex(passIndex) {
  *success = 0;
  lines.Split();
  if (lines.Word(1)[0] == '\0') {
    ReportError(7, kSender);
    return;
  }
  std::strcpy(m_szName, lines.Word(1));  // a word is at most 255 characters
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "    - Compiling Pass: %s\n", m_szName);
  ReadFlags(lines);

  const LONG body = lines.Tell();
  UINT counted = 0;
  if (!Scan(lines, false, &counted)) return;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "    - %i Lines\n", static_cast<int>(counted));
  if (counted == 0) {
    *success = 1;
    return;
  }
  if (!lines.Seek(body)) {
    ReportError(2, kSender);
    return;
  }
  m_pLines = new (std::nothrow) CShaderLine*[counted]();
  if (m_pLines == nullptr) {
    ReportError(4, kSender);
    return;
  }
  m_dwCapacity = counted;
  if (Scan(lines, true, nullptr)) *success = 1;
}

CShaderPass::~CShaderPass() {
  for (UINT i = 0; i < m_dwLines; ++i) delete m_pLines[i];
  delete[] m_pLines;
  for (UINT i = 0; i < m_dwVariables; ++i) delete m_pVariables[i];
}

UINT CShaderPass::ReportError(UINT code, const char* sender) {
  return m_pShader->ReportError(code, sender);
}

void CShaderPass::ReadFlags(CShaderFileLines& lines) {
  // Callable passes exist only where CALL can reach them by name: in scene shaders.
  const bool scene = m_pShader->GetTargetKind() == SHADER_TARGET_SCENE;
  for (int i = 2; lines.Word(i)[0] != '\0'; ++i) {
    const char* word = lines.Word(i);
    if (std::strcmp(word, "CALLABLE") == 0) {
      if (scene) m_dwCallMode = SHADER_CALL_CALLABLE;
    } else if (std::strcmp(word, "ONLYCALLABLE") == 0) {
      if (scene) m_dwCallMode = SHADER_CALL_ONLY_CALLABLE;
    } else if (std::strcmp(word, "IMPLEMENTS") == 0) {
      const char* kind = lines.Word(i + 1);
      if (std::strcmp(kind, "AMBIENTPASS") == 0) m_dwPassKind = SHADER_PASS_AMBIENT;
      if (std::strcmp(kind, "DYNAMICSHADOWVOLUME") == 0)
        m_dwPassKind = SHADER_PASS_DYNAMIC_SHADOW_VOLUME;
      if (std::strcmp(kind, "STATICSHADOWVOLUME") == 0)
        m_dwPassKind = SHADER_PASS_STATIC_SHADOW_VOLUME;
    }
  }
}

bool CShaderPass::Scan(CShaderFileLines& lines, bool compile, UINT* counted) {
  for (;;) {
    if (!lines.Next()) {
      // A pass must end before its file does.
      ReportError(2, kSender);
      return false;
    }
    if (lines.WordBeginsWith(0, "ENDPASS")) return !compile || BlocksClosed();
    switch (Classify(lines)) {
      case LineKind::kBroken:
        return false;
      case LineKind::kSkipped:
        break;
      case LineKind::kCompiled:
        if (!compile)
          ++*counted;
        else if (!CompileLine(lines))
          return false;
        break;
    }
  }
}

CShaderPass::LineKind CShaderPass::Classify(CShaderFileLines& lines) {
  if (IsComment(lines)) return LineKind::kSkipped;
  if (std::strcmp(lines.Word(0), "#") != 0) return LineKind::kCompiled;
  const bool ifdef = lines.WordBeginsWith(1, "IFDEF");
  if (!ifdef && !lines.WordBeginsWith(1, "IFNDEF")) return LineKind::kSkipped;  // ENDIF, remarks
  if (DirectiveHolds(lines, ifdef)) return LineKind::kSkipped;
  return SkipBlock(lines) ? LineKind::kSkipped : LineKind::kBroken;
}

// IFDEF holds when every listed word names a parameter, IFNDEF when none does. A word names a
// parameter when it begins with the parameter's name.
bool CShaderPass::DirectiveHolds(CShaderFileLines& lines, bool defined) const {
  for (int i = 2; lines.Word(i)[0] != '\0'; ++i) {
    bool named = false;
    for (UINT p = 0; p < m_dwParameters && !named; ++p)
      named = CShaderFileLines::BeginsWith(lines.Word(i), m_pParameters[p].szParameterName);
    if (named != defined) return false;
  }
  return true;
}

// Skips the block of a directive that does not hold, nested directives with it, up to and with
// its ENDIF. Only the second word counts here, whatever the first.
bool CShaderPass::SkipBlock(CShaderFileLines& lines) {
  UINT depth = 1;
  while (lines.Next()) {
    if (lines.WordBeginsWith(1, "IFDEF") || lines.WordBeginsWith(1, "IFNDEF"))
      ++depth;
    else if (lines.WordBeginsWith(1, "ENDIF") && --depth == 0)
      return true;
  }
  ReportError(34, kSender);
  return false;
}

bool CShaderPass::CompileLine(CShaderFileLines& lines) {
  const char* keyword = lines.Word(0);
  const ShaderKeyword& entry = m_pShader->GetLibrary()->GetLineTable().Find(keyword);
  CShaderLine* line = nullptr;
  UINT success = 1;
  if (entry.bNotImplemented) {
    ReportError(17, "CShaderPass::CShaderPass");
  } else if (entry.pCreate == nullptr) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR! - No Shader Line Can Be Made Of: %s\n", keyword);
  } else if (m_dwLines < m_dwCapacity) {  // else the body changed between the two readings
    const ShaderLineArguments arguments = {this,  m_pRenderer, m_pLog,  lines.GetFile(),
                                           lines.GetLine(), m_dwLines, &success};
    line = entry.pCreate(arguments);
  }
  if (line == nullptr || success == 0) {
    delete line;
    ReportError(9, kSender);
    return false;
  }
  m_pLines[m_dwLines++] = line;
  if (entry.dwType == SHADER_COMMAND_ENDFOR)
    return LinkBlockEnd(line, SHADER_COMMAND_FOREACH, SHADER_COMMAND_ENDFOR);
  if (entry.dwType == SHADER_COMMAND_ENDIF)
    return LinkBlockEnd(line, SHADER_COMMAND_IF, SHADER_COMMAND_ENDIF);
  return true;
}

// Finds the opening line of the block that `end` (the newest line) closes, skipping nested
// blocks of the same kind, and links the two. The block must hold whole blocks of the other
// kind: a jump out of a loop from inside a condition, or into one, would leave either half.
bool CShaderPass::LinkBlockEnd(CShaderLine* end, UINT startType, UINT endType) {
  const UINT otherStart =
      startType == SHADER_COMMAND_IF ? SHADER_COMMAND_FOREACH : SHADER_COMMAND_IF;
  const UINT otherEnd =
      endType == SHADER_COMMAND_ENDIF ? SHADER_COMMAND_ENDFOR : SHADER_COMMAND_ENDIF;
  CShaderLine* start = nullptr;
  UINT depth = 0;
  int otherDepth = 0;  // closings minus openings of the other kind seen walking back
  bool interleaved = false;
  for (UINT i = m_dwLines - 1; i-- > 0 && start == nullptr;) {
    CShaderLine* line = m_pLines[i];
    if (line->GetKind() != SHADER_LINE_COMMAND) continue;
    const UINT type = line->GetType();
    if (type == endType)
      ++depth;
    else if (type == startType && depth-- == 0)
      start = line;
    else if (type == otherEnd)
      ++otherDepth;
    else if (type == otherStart && --otherDepth < 0)
      interleaved = true;
  }
  auto* closing = dynamic_cast<CShaderBlockEnd*>(end);
  if (start == nullptr || closing == nullptr || interleaved || otherDepth != 0) {
    ReportError(256, kSender);
    return false;
  }
  closing->LinkBlockStart(start);
  return true;
}

// Every IF and FOREACH needs the line that closes its block, or its jump has nowhere to go.
bool CShaderPass::BlocksClosed() {
  for (UINT i = 0; i < m_dwLines; ++i) {
    auto* block = dynamic_cast<CShaderBlockStart*>(m_pLines[i]);
    if (block != nullptr && !block->IsBlockClosed()) {
      ReportError(256, kSender);
      return false;
    }
  }
  return true;
}

UINT CShaderPass::AddVariable(CShaderVariableNode* node) {
  if (m_dwVariables >= kMaxVariables || FindVariable(node->GetName()) != nullptr) return 0;
  m_pVariables[m_dwVariables++] = node;
  return 1;
}

CShaderVariableNode* CShaderPass::FindVariable(const char* name) {
  for (UINT i = 0; i < m_dwVariables; ++i)
    if (std::strcmp(m_pVariables[i]->GetName(), name) == 0) return m_pVariables[i];
  return nullptr;
}

CShaderVariableNode* CShaderPass::ReferenceVariable(const char* word, const UINT* types,
                                                    UINT count) {
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "      - Compiling Variable (Reference)...\n");
  char name[CShaderVariableNode::kNameSize] = {};
  std::strncpy(name, word, sizeof name - 1);
  CShaderVariableNode* node = FindVariable(name);
  if (node == nullptr) return nullptr;
  for (UINT i = 0; i < count; ++i)
    if (node->GetType() == types[i]) return node;
  return nullptr;
}

UINT CShaderPass::Execute() {
  SetCurrentObjects();
  for (UINT i = 0; i < m_dwLines;) {
    CShaderLine* line = m_pLines[i];
    if (line->Execute() == 0)
      FatalErrorWithTitle("", "Can't Execute Shader Line: %i\n", static_cast<int>(line->GetType()));
    const long long next = static_cast<long long>(i) + line->GetSkip() + 1;
    if (next < 0) break;  // a jump before the first line has nowhere to land
    i = static_cast<UINT>(next > m_dwLines ? m_dwLines : next);
  }
  return 1;
}

void CShaderPass::SetCurrentObjects() {
  void* target = m_pShader->GetTarget();
  if (target == nullptr) return;
  switch (m_pShader->GetTargetKind()) {
    case SHADER_TARGET_SCENE: {
      auto* scene = static_cast<CScene*>(target);
      scene->SetCurrentLight(nullptr);
      scene->SetCurrentMesh(nullptr);
      break;
    }
    case SHADER_TARGET_MESH: {
      auto* mesh = static_cast<CMesh*>(target);
      if (CScene* scene = static_cast<CWorldObject*>(mesh)->GetOwnerScene())
        scene->SetCurrentMesh(mesh);
      break;
    }
    case SHADER_TARGET_SURFACE: {
      auto* surface = static_cast<CSurface*>(target);
      if (CMesh* mesh = surface->GetParentMeshObject()) mesh->SetCurrentSurface(surface);
      break;
    }
  }
}
