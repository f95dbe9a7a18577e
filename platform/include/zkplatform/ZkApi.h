#pragma once
// Linkage of every function that libzkplatform.so offers: C names, as on the original platform,
// and visible outside the library whatever visibility the caller compiles with.
#ifdef __cplusplus
#define ZKAPI extern "C" __attribute__((visibility("default")))
#define ZKAPI_CPP __attribute__((visibility("default")))
#else
#define ZKAPI __attribute__((visibility("default")))
#endif
