#include "LWSBuilder.h"

#include <cstdio>

namespace {

std::string Number(float value) {
  char text[48];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
  return text;
}

}  // namespace

CLWSBuilder& CLWSBuilder::Header() { return Line("LWSC").Line("3").Empty(); }

CLWSBuilder& CLWSBuilder::Line(const std::string& text) {
  m_lines.push_back(text);
  return *this;
}

std::string CLWSBuilder::KeyLine(const Key& key) {
  std::string line = "  Key " + Number(key.value) + " " + Number(key.seconds) + " " +
                     std::to_string(key.shape);
  for (float param : key.params) line += " " + Number(param);
  return line;
}

CLWSBuilder& CLWSBuilder::Envelope(const std::vector<Key>& keys, int pre, int post, int count) {
  Line("{ Envelope");
  Line("  " + std::to_string(count < 0 ? static_cast<int>(keys.size()) : count));
  for (const Key& key : keys) Line(KeyLine(key));
  Line("  Behaviors " + std::to_string(pre) + " " + std::to_string(post));
  return Line("}");
}

CLWSBuilder& CLWSBuilder::Motion(const std::string& name, const std::vector<Channel>& channels,
                                 int numChannels, bool closeGroup) {
  Line(name);
  Line("NumChannels " +
       std::to_string(numChannels < 0 ? static_cast<int>(channels.size()) : numChannels));
  for (const auto& [number, keys] : channels) {
    Line("Channel " + std::to_string(number));
    Envelope(keys);
  }
  return closeGroup ? Empty() : *this;
}

std::string CLWSBuilder::Text(bool crlf) const {
  std::string text;
  for (const std::string& line : m_lines) text += line + (crlf ? "\r\n" : "\n");
  return text;
}
