#pragma once
// What every fuzz target shares. The process runs headless with a folder of its own, into which
// targets write their input when the reader takes a file, and which is the working folder while
// an input runs (only then: the fuzzer names its corpus folders relative to the caller's working
// folder). Every process exit of the engine or the platform throws back to the target, so a
// fatal stop is a rejected input; message boxes are recorded, never shown. Each input runs with
// the engine context as it was before and put back afterwards, so nothing one input wires
// reaches the next. What the platform records for tests (message boxes, device calls) is
// dropped when the input ends: a record kept past the input would make libFuzzer scan the whole
// heap for leaks after it.
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "EngineContextScope.h"
#include "ProcessExitCatcher.h"
#include "d3d9.h"
#include "zktest/ZkTestKernel.h"

class FuzzHarness {
 public:
  // The harness of the process, set up on first use.
  static FuzzHarness& Instance();

  // The working folder, an absolute path without a trailing separator.
  const std::string& Folder() const { return m_folder; }
  // Writes the input as `relative` in the working folder (folders on the way must exist). The
  // file stays open for the process and is rewritten in place, as opening it is the dearest
  // part of a small input.
  void WriteFile(const std::string& relative, const uint8_t* data, size_t size);
  // A device on the platform's null back end, made on first use and kept for the process.
  IDirect3DDevice9* NullDevice();

  // Runs `body` for one input. A fatal stop ends it; what it recorded is forgotten.
  template <class Body>
  void Run(Body&& body) {
    EnterFolder();
    EngineContextScope context;
    context->dwInitialized = 0;     // a fatal stop then runs no engine shutdown
    ZkTestMessageBoxCapture(true);  // starting a capture forgets the previous input's boxes
    try {
      body();
    } catch (const ProcessExited&) {
    }
    ForgetRecords();
    LeaveFolder();
  }

  FuzzHarness(const FuzzHarness&) = delete;
  FuzzHarness& operator=(const FuzzHarness&) = delete;

 private:
  FuzzHarness();
  ~FuzzHarness();
  static void ForgetRecords();
  // The working folder and back to the process's own, known from the start: asking for the
  // current folder each input costs more than a small input.
  void EnterFolder() const;
  void LeaveFolder() const;

  std::string m_folder;
  std::string m_home;
  IDirect3DDevice9* m_device = nullptr;
  struct OpenFile {
    int descriptor;
    ino_t inode;
  };
  std::map<std::string, OpenFile> m_files;  // by relative path
};
