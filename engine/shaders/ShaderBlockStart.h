#pragma once
// The opening line of a block (IF, FOREACH), whose jump over the block needs the closing line
// that the pass compiler links to it. A pass that still holds an unclosed block is refused.
class CShaderBlockStart {
 public:
  virtual bool IsBlockClosed() const = 0;

 protected:
  ~CShaderBlockStart() = default;
};
