// Opens the game's OpenAL device with whatever output the environment names, and prints the
// exit code the game asks for before it leaves with it.
#include <cstdio>

#include "cpelto/OpenAL.h"
#include "zktest/ZkTestKernel.h"

int main() {
  ZkTestSetExitHook([](UINT code) {
    printf("exit %u\n", code);
    fflush(stdout);
  });
  ZkTestMessageBoxCapture(true);
  new COpenAL();
  printf("opened\n");
  return 0;
}
