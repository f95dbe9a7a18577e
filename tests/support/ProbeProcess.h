#pragma once
// A program started by a test as a second process: its standard input and output piped to the
// test, its environment the test's own with some variables set.
#include <string>
#include <vector>

#include <sys/types.h>

class ProbeProcess {
 public:
  // `variables` are "NAME=value" entries that replace the test's own of the same name.
  // Throws when the program cannot be started.
  ProbeProcess(const std::string& program, const std::vector<std::string>& arguments,
               const std::vector<std::string>& variables = {});
  // A probe still running when the test gives up on it is killed.
  ~ProbeProcess();
  ProbeProcess(const ProbeProcess&) = delete;
  ProbeProcess& operator=(const ProbeProcess&) = delete;

  // The next line of its output without the line end; empty at the end of its output.
  std::string ReadLine();
  // Closes its input and output and waits for it: the exit code, or -1 when it did not exit
  // normally.
  int Finish();

 private:
  pid_t m_pid = -1;
  int m_input = -1;
  int m_output = -1;
};
