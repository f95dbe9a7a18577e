#pragma once
// A program run by a test as a process of its own, in a folder of the test's choosing, with its
// standard input and output piped to the test.
#include <string>
#include <vector>

class ChildProcess {
 public:
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& folder);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The next line of its output without the line end; false at the end of the output.
  bool ReadLine(std::string& line);
  // Its input ends; a child waiting for a line reads the end.
  void CloseInput();
  // Waits for the end; the remaining output is added to `output`. The exit code, or -1 when the
  // process did not exit normally.
  int Wait(std::string& output);

 private:
  int m_pid = -1;
  int m_input = -1;
  int m_output = -1;
  std::string m_pending;
};

// Runs the program to its end; its output comes back in `output`.
int RunToEnd(const std::string& program, const std::vector<std::string>& arguments,
             const std::string& folder, std::string& output);
