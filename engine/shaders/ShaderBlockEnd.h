#pragma once
// The closing line of a block (ENDIF, ENDFOR). The pass compiler finds the opening line that
// belongs to it as soon as the closing line is made, and links the two here.
class CShaderLine;

class CShaderBlockEnd {
 public:
  // `start` is the IF or FOREACH of this block, earlier in the same pass.
  virtual void LinkBlockStart(CShaderLine* start) = 0;

 protected:
  ~CShaderBlockEnd() = default;
};
