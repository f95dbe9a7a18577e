#pragma once
// What a null needs to run the script line attached to it: the script storage's ExecuteString.
// The script storage implements it and registers itself with CNull::SetScriptHost when it is
// created at pre-initialisation.
#include "ZKDXInterface.h"

class CScriptOutput;

class CNullScriptHost {
 public:
  // Compiles and runs the text in the module with `parent` as the current parent object;
  // each message line goes to the output. A result of 0 or more is success.
  virtual int ExecuteString(CNullInterface* parent, const char* module, const char* script,
                            CScriptOutput* output, UINT flags) = 0;

 protected:
  ~CNullScriptHost() = default;
};
