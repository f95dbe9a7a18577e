#include "ChildProcess.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& folder) {
  int input[2];
  int output[2];
  if (pipe(input) != 0 || pipe(output) != 0) return;
  m_pid = fork();
  if (m_pid == 0) {
    dup2(input[0], STDIN_FILENO);
    dup2(output[1], STDOUT_FILENO);
    close(input[0]);
    close(input[1]);
    close(output[0]);
    close(output[1]);
    if (chdir(folder.c_str()) != 0) _exit(126);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(input[0]);
  close(output[1]);
  m_input = input[1];
  m_output = output[0];
}

ChildProcess::~ChildProcess() {
  std::string ignored;
  if (m_pid > 0) Wait(ignored);
}

bool ChildProcess::ReadLine(std::string& line) {
  for (;;) {
    const size_t end = m_pending.find('\n');
    if (end != std::string::npos) {
      line = m_pending.substr(0, end);
      m_pending.erase(0, end + 1);
      return true;
    }
    char buffer[4096];
    const ssize_t count = m_output >= 0 ? read(m_output, buffer, sizeof buffer) : 0;
    if (count <= 0) return false;
    m_pending.append(buffer, static_cast<size_t>(count));
  }
}

void ChildProcess::CloseInput() {
  if (m_input >= 0) close(m_input);
  m_input = -1;
}

int ChildProcess::Wait(std::string& output) {
  CloseInput();
  if (m_output >= 0) {
    char buffer[4096];
    ssize_t count;
    while ((count = read(m_output, buffer, sizeof buffer)) > 0)
      m_pending.append(buffer, static_cast<size_t>(count));
    close(m_output);
    m_output = -1;
  }
  output += m_pending;
  m_pending.clear();
  if (m_pid <= 0) return -1;
  int status = 0;
  const pid_t waited = waitpid(m_pid, &status, 0);
  m_pid = -1;
  return waited > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunToEnd(const std::string& program, const std::vector<std::string>& arguments,
             const std::string& folder, std::string& output) {
  ChildProcess child(program, arguments, folder);
  return child.Wait(output);
}
