#pragma once
// waveOut: block-queued sound output.
#include "mmreg.h"
