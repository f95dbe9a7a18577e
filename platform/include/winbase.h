#pragma once
// Kernel: threads and synchronisation, time, modules, files and folders, memory, system queries,
// process exit.
#include "windef.h"
#include "winerror.h"
