// LightWave objects (LWO2), read as the object reader is: the file through the virtual file
// system from the working folder into the import buffer, which is reset before every object as
// the reader entry does, then processed into what mesh construction takes. The buffer is kept
// for the process, as the engine keeps it (the point storage it recycles included); what an
// object allocated is freed when its input ends, so that libFuzzer need not scan the heap for
// leaks after every input.
#include <memory>

#include "FuzzFileBench.h"
#include "FuzzHarness.h"
#include "core/CopyName.h"
#include "lightwave/LWOReader.h"
#include "lightwave/LWOReaderState.h"
#include "scene/LWOImportBuffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzHarness& harness = FuzzHarness::Instance();
  static LWOImportBuffer* const buffer = new LWOImportBuffer();
  harness.WriteFile("obj.lwo", data, size);
  harness.Run([] {
    FuzzFileBench bench;
    LWOReaderState state{*buffer};
    LWOReader reader{state};
    buffer->Reset();
    CopyName(buffer->fileName, "obj.lwo");
    reader.Load("", 0);
  });
  buffer->Reset();
  return 0;
}
