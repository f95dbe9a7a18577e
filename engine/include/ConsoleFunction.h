#pragma once
// One console command: its script declaration, the plain cdecl function the script engine calls
// for it, and the function naming it for the console's name completion. The engine's own
// commands and any the game adds through RegisterConsoleFunction take this form; the entry must
// live as long as the engine, which keeps a pointer to it.

// The handler, cast to this type: the script engine calls it with the arguments the
// declaration names (e.g. "void ShowBones( uint )" takes one unsigned 32-bit value).
typedef void (*ConsoleHandler)();
// The command's name as completion shows it (e.g. "ShowBones").
typedef const char* (*ConsoleFunctionName)();

struct ConsoleFunction {
  const char* szDeclaration;
  ConsoleHandler fpFunction;
  ConsoleFunctionName fpName;
};
