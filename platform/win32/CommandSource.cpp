#include "CommandSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// How much of an over-long line is kept to show which one it was.
constexpr size_t kOverlongShown = 64;

std::string WorkingFolder() {
  char folder[4096];
  return getcwd(folder, sizeof folder) ? std::string(folder) : std::string(".");
}

std::string FolderOf(const std::string& path) {
  const std::string absolute = path.starts_with('/') ? path : WorkingFolder() + "/" + path;
  const size_t slash = absolute.rfind('/');
  return slash == 0 ? std::string("/") : absolute.substr(0, slash);
}

}  // namespace

CommandSource::~CommandSource() { Close(); }

bool CommandSource::Open(const std::string& path, std::string& error) {
  Close();
  // Without O_NONBLOCK, opening a FIFO would wait for its first writer.
  const int file = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (file < 0) {
    error = std::strerror(errno);
    return false;
  }
  struct stat status;
  if (fstat(file, &status) != 0 || !(S_ISFIFO(status.st_mode) || S_ISREG(status.st_mode))) {
    close(file);
    error = "neither a FIFO nor a file";
    return false;
  }
  m_file = file;
  m_folder = FolderOf(path);
  return true;
}

void CommandSource::Close() {
  if (m_file >= 0) close(m_file);
  m_file = -1;
  m_folder.clear();
  m_pending.clear();
  m_skippingLine = false;
}

void CommandSource::Append(const std::string& text) { m_pending += text; }

bool CommandSource::NextLine(std::string& line, bool& overlong) {
  overlong = false;
  for (;;) {
    const size_t end = m_pending.find('\n');
    if (end != std::string::npos) {
      const bool skipped = m_skippingLine;
      m_skippingLine = false;
      if (!skipped) {
        overlong = end > kMaxLineBytes;
        line.assign(m_pending, 0, overlong ? kOverlongShown : end);
      }
      m_pending.erase(0, end + 1);
      if (!skipped) return true;
      continue;
    }
    // No line end within the limit: the line is refused now and its rest dropped as it comes.
    if (m_pending.size() > kMaxLineBytes) {
      const bool first = !m_skippingLine;
      if (first) line.assign(m_pending, 0, kOverlongShown);
      m_pending.clear();
      m_skippingLine = true;
      if (first) {
        overlong = true;
        return true;
      }
    }
    if (!ReadMore()) return false;
  }
}

bool CommandSource::ReadMore() {
  if (m_file < 0) return false;
  char buffer[kMaxLineBytes];
  for (;;) {
    const ssize_t count = read(m_file, buffer, sizeof buffer);
    if (count > 0) {
      m_pending.append(buffer, static_cast<size_t>(count));
      return true;
    }
    // 0 is the end of a file that may still grow, or a FIFO that has no writer for now.
    if (count < 0 && errno == EINTR) continue;
    return false;
  }
}

std::string CommandSource::Folder() const { return m_file >= 0 ? m_folder : WorkingFolder(); }
