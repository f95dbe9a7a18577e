#pragma once
// One compiled line of a shader pass: a command or a variable. The pass runs its lines in order
// and moves on by one plus the line's skip after each.
#include "windef.h"

enum : UINT {
  SHADER_LINE_VARIABLE = 1,
  SHADER_LINE_COMMAND = 2,
};

// Type ids of the commands the pass compiler and the shader's collectors look for.
enum : UINT {
  SHADER_COMMAND_SET_PIXEL_SHADER = 10,
  SHADER_COMMAND_SET_VERTEX_SHADER = 19,
  SHADER_COMMAND_SET_VERTEX_DECLARATION = 28,
  SHADER_COMMAND_FOREACH = 32,
  SHADER_COMMAND_ENDFOR = 33,
  SHADER_COMMAND_IF = 34,
  SHADER_COMMAND_ENDIF = 35,
};

class CShaderLine {
 public:
  // SHADER_LINE_COMMAND or SHADER_LINE_VARIABLE.
  virtual UINT GetKind() = 0;
  // Nonzero on success, 0 on failure.
  virtual UINT Execute() = 0;
  // The command's type id; 0 for a variable.
  virtual UINT GetType() = 0;
  // How many of the following lines to skip after this one has run.
  virtual int GetSkip() = 0;
  virtual ~CShaderLine() = default;
};
