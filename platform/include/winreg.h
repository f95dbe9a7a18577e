#pragma once
// The registry, kept as a small key-value file in the user's configuration folder.
#include "windef.h"
