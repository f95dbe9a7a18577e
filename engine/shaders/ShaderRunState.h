#pragma once
// What a run of a pass leaves behind in shared objects: compiled shaders are shared between
// meshes, and a run overwrites its shader's target and run value and keeps its loops' places in
// the pass's FOREACH lines. A pass that runs another out of turn (CALL) keeps these for the
// passes it interrupts, lets the run it starts begin its loops afresh, and puts them back after.
#include <vector>

#include "windef.h"

class CShaderPass;

class CShaderRunState {
 public:
  // Saves the state of `pass` and its shader (null saves nothing) and clears the pass's loops.
  explicit CShaderRunState(CShaderPass* pass);
  // Puts the saved state back.
  ~CShaderRunState();
  CShaderRunState(const CShaderRunState&) = delete;
  CShaderRunState& operator=(const CShaderRunState&) = delete;

 private:
  CShaderPass* m_pPass;
  void* m_pTarget = nullptr;
  float m_fRunValue = 0.0f;
  std::vector<UINT> m_NextIndices;  // one per FOREACH line of the pass, in line order
};
