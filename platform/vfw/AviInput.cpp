#include "AviInput.h"

extern "C" {
#include <libavformat/avformat.h>
}
#include <sys/stat.h>
#include <unistd.h>

#include "vfw.h"

CAviInput::~CAviInput() {
  if (m_context) avformat_close_input(&m_context);
}

std::unique_ptr<CAviInput> CAviInput::Open(const std::string& path, HRESULT& result) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || access(path.c_str(), R_OK) != 0) {
    result = AVIERR_FILEOPEN;
    return nullptr;
  }
  // Only AVI is read, whatever else FFmpeg could guess the file to be.
  const AVInputFormat* avi = av_find_input_format("avi");
  std::unique_ptr<CAviInput> input(new CAviInput);
  int opened = avformat_open_input(&input->m_context, path.c_str(), avi, nullptr);
  if (opened >= 0) opened = avformat_find_stream_info(input->m_context, nullptr);
  if (opened >= 0) {
    result = AVIERR_OK;
    return input;
  }
  if (opened == AVERROR(ENOMEM))
    result = AVIERR_MEMORY;
  else if (opened == AVERROR(EIO))
    result = AVIERR_FILEREAD;
  else if (opened == AVERROR(ENOENT) || opened == AVERROR(EACCES))
    result = AVIERR_FILEOPEN;
  else
    result = AVIERR_BADFORMAT;
  return nullptr;
}
