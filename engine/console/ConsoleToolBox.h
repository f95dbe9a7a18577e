#pragma once
// What the console's "ShowToolBox" command needs of the optional tool library: showing it on the
// active scene. The engine's tool loader implements it; by default there is no tool, and showing
// it answers 0.
class CConsoleToolBox {
 public:
  // The tool's answer; 0 when no tool is loaded or no scene is active.
  virtual int Show() = 0;

  static CConsoleToolBox& Default();

 protected:
  ~CConsoleToolBox() = default;
};
