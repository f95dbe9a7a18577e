#include "ProbeProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

extern char** environ;

namespace {

bool SetsSameVariable(const std::string& entry, const std::vector<std::string>& variables) {
  for (const std::string& variable : variables) {
    const size_t name = variable.find('=');
    if (name != std::string::npos && entry.compare(0, name + 1, variable, 0, name + 1) == 0) return true;
  }
  return false;
}

}  // namespace

ProbeProcess::ProbeProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::vector<std::string>& variables) {
  std::vector<std::string> environment = variables;
  for (char** entry = environ; *entry; ++entry)
    if (!SetsSameVariable(*entry, variables)) environment.emplace_back(*entry);
  std::vector<char*> envp;
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::vector<char*> argv = {const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  // Close-on-exec, so that the probe holds only the ends it was given.
  int toProbe[2];
  int fromProbe[2];
  if (pipe2(toProbe, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
  if (pipe2(fromProbe, O_CLOEXEC) != 0) {
    close(toProbe[0]);
    close(toProbe[1]);
    throw std::runtime_error("pipe");
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toProbe[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, fromProbe[1], STDOUT_FILENO);
  const int started = posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(toProbe[0]);
  close(fromProbe[1]);
  m_input = toProbe[1];
  m_output = fromProbe[0];
  if (started != 0) {
    m_pid = -1;
    Finish();
    throw std::runtime_error("cannot start " + program);
  }
}

ProbeProcess::~ProbeProcess() {
  if (m_pid > 0) kill(m_pid, SIGKILL);
  Finish();
}

std::string ProbeProcess::ReadLine() {
  std::string line;
  char c;
  while (m_output >= 0 && read(m_output, &c, 1) == 1 && c != '\n') line += c;
  return line;
}

int ProbeProcess::Finish() {
  if (m_input >= 0) close(m_input);
  if (m_output >= 0) close(m_output);
  m_input = m_output = -1;
  if (m_pid <= 0) return -1;
  int status = 0;
  const pid_t waited = waitpid(m_pid, &status, 0);
  m_pid = -1;
  return waited > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
