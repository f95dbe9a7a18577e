#pragma once
// The program's entry over the application core its caller makes: start-up, main loop, the
// release of the core and the closing of the engine, in that order.
#include <windef.h>

class geCGameCore;

using geCoreMaker = geCGameCore* (*)(HINSTANCE hInstance, const char* szCommandLine,
                                     DWORD dwShowCommand);

// Makes the core with `pfnMakeCore`, initialises and runs it, releases it, writes the count of
// objects left over and closes the engine, whose shutdown ends the process with code 0. Returns
// 0 only when no engine was loaded.
int geRunGame(geCoreMaker pfnMakeCore, HINSTANCE hInstance, const char* szCommandLine,
              DWORD dwShowCommand);
