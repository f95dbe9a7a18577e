#pragma once
// A command that names a vertex or pixel program file (SETVERTEXSHADER, SETPIXELSHADER); the
// shader lists those names per pass for whoever prepares the programs ahead of drawing.
class CShaderProgramFileLine {
 public:
  // The file name as the line wrote it.
  virtual const char* GetProgramFileName() = 0;

 protected:
  ~CShaderProgramFileLine() = default;
};
