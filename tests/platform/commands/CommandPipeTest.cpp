#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <stb_image.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "TempDir.h"
#include "zkplatform/ZkPaths.h"

extern char** environ;

namespace {

// The probe program beside this test, started with ZK_COMMANDS naming `commands`; its standard
// output is piped back to the test.
class Probe {
 public:
  explicit Probe(const std::string& commands) {
    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    std::vector<std::string> variables = {"ZK_COMMANDS=" + commands};
    for (char** variable = environ; *variable; ++variable)
      if (std::string(*variable).rfind("ZK_COMMANDS=", 0) != 0) variables.emplace_back(*variable);
    std::vector<char*> environment;
    for (std::string& variable : variables) environment.push_back(variable.data());
    environment.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    const std::string program = ZkProgramFolder() + "/zk_command_probe";
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    const int started = posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv, environment.data());
    posix_spawn_file_actions_destroy(&actions);
    close(output[1]);
    if (started != 0) throw std::runtime_error("cannot start " + program);
    m_output = output[0];
  }
  ~Probe() {
    if (m_pid > 0) {
      kill(m_pid, SIGKILL);
      Finish();
    }
  }

  // The next line it wrote; empty at the end of its output.
  std::string ReadLine() {
    std::string line;
    char c;
    while (read(m_output, &c, 1) == 1 && c != '\n') line += c;
    return line;
  }

  int Finish() {
    close(m_output);
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t m_pid = -1;
  int m_output = -1;
};

// One writer: opens the FIFO, writes, and goes away.
void WriteAndClose(const std::string& fifo, const std::string& text) {
  const int file = open(fifo.c_str(), O_WRONLY | O_CLOEXEC);
  ASSERT_GE(file, 0);
  ASSERT_EQ(write(file, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  close(file);
}

TEST(CommandPipeTest, AnotherProcessDrivesTheProgramThroughAFifo) {
  TempDir dir;
  const std::string fifo = dir / "commands";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  Probe probe(fifo);
  // The program opened the FIFO at its first PeekMessageA, before any writer came.
  ASSERT_EQ(probe.ReadLine(), "ready");

  WriteAndClose(fifo, "# the first writer\ntap 30\nkey 48 down\nkey 48 up\n");
  for (const char* expected : {"down 65", "up 65", "down 66", "up 66"}) EXPECT_EQ(probe.ReadLine(), expected);

  // A second writer after the first has gone; the screenshot's path is relative to the FIFO.
  WriteAndClose(fifo, "screenshot shot.png\ntap 31\nclose\n");
  for (const char* expected : {"down 83", "up 83", "close"}) EXPECT_EQ(probe.ReadLine(), expected);
  EXPECT_EQ(probe.Finish(), 0);

  int width = 0, height = 0, channels = 0;
  unsigned char* shot = stbi_load((dir / "shot.png").c_str(), &width, &height, &channels, 4);
  ASSERT_NE(shot, nullptr);
  EXPECT_EQ(width, 160);
  EXPECT_EQ(height, 120);
  const unsigned char* centre = shot + (static_cast<size_t>(60) * width + 80) * 4;
  EXPECT_NEAR(centre[0], 40, 3);
  EXPECT_NEAR(centre[1], 160, 3);
  EXPECT_NEAR(centre[2], 90, 3);
  stbi_image_free(shot);
}

}  // namespace
