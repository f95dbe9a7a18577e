#include "KernelObject.h"

#include "LastError.h"

DWORD KernelObject::Wait(DWORD) {
  FailWith(ERROR_INVALID_HANDLE);
  return WAIT_FAILED;
}
