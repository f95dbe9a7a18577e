#pragma once
// Builds LightWave scene files (LWS, text format 3) line by line for tests: the header, keys,
// envelope and motion blocks, whole item blocks, written with LF or CRLF line ends and cut off
// anywhere to make a truncated file.
//
//   CLWSBuilder scene;
//   scene.Header().Line("FramesPerSecond 25").Empty();
//   scene.Line("AmbientIntensity (envelope)").Envelope({{0.5f, 1.0f}});
//   std::string text = scene.Text();
#include <string>
#include <utility>
#include <vector>

class CLWSBuilder {
 public:
  struct Key {
    float value = 0.0f;
    float seconds = 0.0f;
    int shape = 0;
    float params[6] = {};
  };
  // A motion channel and its keys.
  using Channel = std::pair<int, std::vector<Key>>;

  // "LWSC", "3" and a blank third line.
  CLWSBuilder& Header();
  // One line; the builder adds its end.
  CLWSBuilder& Line(const std::string& text);
  CLWSBuilder& Empty() { return Line(""); }
  // "{ Envelope", the count line (the number of keys unless `count` says otherwise), a "Key"
  // line per key, "Behaviors pre post" and "}"; the inner lines indented by two blanks.
  CLWSBuilder& Envelope(const std::vector<Key>& keys, int pre = 1, int post = 1, int count = -1);
  // The motion name line, "NumChannels" (the number of channels unless `numChannels` says
  // otherwise) and each channel's "Channel n" and envelope. Ends with the empty line that ends
  // the group it opens unless `closeGroup` is false.
  CLWSBuilder& Motion(const std::string& name, const std::vector<Channel>& channels,
                      int numChannels = -1, bool closeGroup = true);

  // The file with LF line ends, or CRLF ones.
  std::string Text(bool crlf = false) const;
  // The first `bytes` bytes of the LF text.
  std::string Cut(size_t bytes) const { return Text().substr(0, bytes); }

  static std::string KeyLine(const Key& key);

 private:
  std::vector<std::string> m_lines;
};
