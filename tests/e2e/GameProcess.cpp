#include "GameProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// What a run of the game writes into its data (bytecode caches, the key bindings): a game
// played in build/bin before (scripts/play) must not make the copy start with them.
bool WrittenByARun(const fs::path& file) {
  return (file.extension() == ".bin" && file.stem().extension() == ".as") ||
         file.filename() == "keybindings.xml";
}

}  // namespace

GameProcess::GameProcess(const std::string& programFolder) {
  // Times are kept too: the game compares its script files with their bytecode caches by them.
  const fs::path copy = m_folder / "bin";
  fs::create_directory(copy);
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(programFolder)) {
    const fs::path target = copy / fs::relative(entry.path(), programFolder);
    if (entry.is_directory()) {
      fs::create_directory(target);
    } else if (entry.is_regular_file() && !WrittenByARun(entry.path())) {
      fs::copy_file(entry.path(), target);
      fs::last_write_time(target, entry.last_write_time());
    }
  }
  for (const char* folder : {"xdg-runtime", "xdg-data", "xdg-config"}) {
    fs::create_directory(m_folder / folder);
    fs::permissions(m_folder / folder, fs::perms::owner_all);
  }
  if (mkfifo((m_folder / "commands").c_str(), 0600) != 0) throw std::runtime_error("mkfifo failed");
}

GameProcess::~GameProcess() {
  if (m_pid > 0) {
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
  }
  if (m_commands >= 0) close(m_commands);
}

std::string GameProcess::Bin(const std::string& relative) const {
  return relative.empty() ? m_folder / "bin" : m_folder / ("bin/" + relative);
}

void GameProcess::Start() {
  // Read and write: opening does not wait for the game, which opens the FIFO at its first frame.
  if (m_commands >= 0) close(m_commands);
  m_commands = open((m_folder / "commands").c_str(), O_RDWR | O_CLOEXEC);
  if (m_commands < 0) throw std::runtime_error("cannot open the command FIFO");
  const std::string program = Bin("cpelto");
  const std::string output = m_folder / "output.txt";
  std::vector<std::string> variables = {
      "SDL_VIDEODRIVER=offscreen",           "ALSOFT_DRIVERS=null",
      "XDG_RUNTIME_DIR=" + (m_folder / "xdg-runtime"), "XDG_DATA_HOME=" + (m_folder / "xdg-data"),
      "XDG_CONFIG_HOME=" + (m_folder / "xdg-config"),  "ZK_COMMANDS=" + (m_folder / "commands")};
  m_pid = fork();
  if (m_pid < 0) throw std::runtime_error("fork failed");
  if (m_pid == 0) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    for (std::string& variable : variables) putenv(variable.data());
    const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, STDOUT_FILENO);
    dup2(out, STDERR_FILENO);
    // Started from elsewhere: the game finds its data beside itself, not in the working folder.
    if (chdir(m_folder.Path().c_str()) != 0) _exit(126);
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
}

void GameProcess::Command(const std::string& lines) {
  if (write(m_commands, lines.data(), lines.size()) != static_cast<ssize_t>(lines.size()))
    throw std::runtime_error("cannot write to the command FIFO");
}

void GameProcess::Signal(int signal) { kill(m_pid, signal); }

bool GameProcess::Ended() {
  int status = 0;
  if (m_pid <= 0 || waitpid(m_pid, &status, WNOHANG) != m_pid) return m_pid <= 0;
  m_pid = -1;
  m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return true;
}

int GameProcess::Wait(std::chrono::seconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!Ended()) {
    if (std::chrono::steady_clock::now() > end) {
      kill(m_pid, SIGKILL);
      waitpid(m_pid, nullptr, 0);
      m_pid = -1;
      return -2;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return m_exitCode;
}

bool GameProcess::WaitForText(const std::string& path, const std::string& text,
                              std::chrono::seconds limit) {
  return FindText(path, text, 0, limit) != std::string::npos;
}

size_t GameProcess::FindText(const std::string& path, const std::string& text, size_t from,
                             std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    // Read before looking at the end, so text written just before the end still counts.
    const bool ended = Ended();
    const std::string contents = ReadFile(path);
    const size_t found = from <= contents.size() ? contents.find(text, from) : std::string::npos;
    if (found != std::string::npos) return found;
    if (ended || std::chrono::steady_clock::now() > end) return std::string::npos;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

bool GameProcess::HasEnded(int* exitCode) {
  if (!Ended()) return false;
  *exitCode = m_exitCode;
  return true;
}

std::string GameProcess::Output() const { return ReadFile(m_folder / "output.txt"); }

std::string GameProcess::ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
