#include "AceWriter.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <unordered_map>
#include <utility>

namespace {

constexpr unsigned kMaxWidth = 11;
constexpr unsigned kPreMaxWidth = 7;
constexpr unsigned kMainSymbols = 282;
constexpr unsigned kLengthSymbols = 255;
constexpr unsigned kMaxBlockSymbols = 32767;
constexpr size_t kMinMatch = 4;
constexpr size_t kMaxMatch = 256;
constexpr size_t kMaxDistance = (1u << 20) - 1;

class BitWriter {
 public:
  void Put(uint32_t value, unsigned bits) {
    for (unsigned i = bits; i-- > 0;) {
      m_word = (m_word << 1) | ((value >> i) & 1);
      if (++m_used == 32) Flush();
    }
  }
  std::string Finish() {
    if (m_used != 0) {
      m_word <<= 32 - m_used;
      Flush();
    }
    return m_bytes;
  }

 private:
  void Flush() {
    for (int byte = 0; byte < 4; ++byte) m_bytes += static_cast<char>((m_word >> (8 * byte)) & 0xFF);
    m_word = 0;
    m_used = 0;
  }
  std::string m_bytes;
  uint32_t m_word = 0;
  unsigned m_used = 0;
};

// Huffman code widths for `frequencies`, none above `limit` (frequencies are halved until
// the tree is shallow enough). A lone symbol gets width 1.
std::vector<uint8_t> CodeWidths(std::vector<uint32_t> frequencies, unsigned limit) {
  const size_t count = frequencies.size();
  std::vector<uint8_t> widths(count, 0);
  for (;;) {
    using Node = std::pair<uint64_t, int>;  // weight, node
    std::priority_queue<Node, std::vector<Node>, std::greater<Node>> queue;
    std::vector<int> parent;
    for (size_t s = 0; s < count; ++s)
      if (frequencies[s]) {
        queue.push({frequencies[s], static_cast<int>(parent.size())});
        parent.push_back(-1);
      }
    if (parent.size() <= 1) {
      for (size_t s = 0; s < count; ++s) widths[s] = frequencies[s] ? 1 : 0;
      return widths;
    }
    while (queue.size() > 1) {
      const Node a = queue.top();
      queue.pop();
      const Node b = queue.top();
      queue.pop();
      const int joined = static_cast<int>(parent.size());
      parent.push_back(-1);
      parent[a.second] = joined;
      parent[b.second] = joined;
      queue.push({a.first + b.first, joined});
    }
    unsigned deepest = 0;
    int leaf = 0;
    for (size_t s = 0; s < count; ++s) {
      if (!frequencies[s]) continue;
      unsigned depth = 0;
      for (int node = leaf++; parent[node] != -1; node = parent[node]) ++depth;
      widths[s] = static_cast<uint8_t>(depth);
      deepest = std::max(deepest, depth);
    }
    if (deepest <= limit) return widths;
    for (uint32_t& f : frequencies)
      if (f) f = (f >> 1) | 1;
  }
}

struct WidthPair {
  uint8_t width;
  uint16_t symbol;
};

// Orders pairs largest width first in the reader's own way, which decides the codes of equal
// widths: a partition around the rightmost width, then each side of more than two pairs in
// turn, a side of two pairs by one comparison.
void OrderPairs(std::vector<WidthPair>& pairs, int left, int right) {
  const uint8_t pivot = pairs[right].width;
  int up = left;
  int down = right;
  while (true) {
    while (up < right && pairs[up].width > pivot) ++up;
    while (down > left && pairs[down].width < pivot) --down;
    if (up <= down) std::swap(pairs[up++], pairs[down--]);
    if (up >= down) break;
  }
  const auto side = [&pairs](int from, int to) {
    if (to - from >= 2)
      OrderPairs(pairs, from, to);
    else if (to - from == 1 && pairs[from].width < pairs[to].width)
      std::swap(pairs[from], pairs[to]);
  };
  side(left, down);
  side(up, right);
}

struct Code {
  uint32_t bits = 0;
  unsigned width = 0;
};

// The widths a reader builds its table from: up to the last one in use (at least one).
std::vector<uint8_t> TableWidths(std::vector<uint8_t> widths) {
  size_t count = widths.size();
  while (count > 1 && widths[count - 1] == 0) --count;
  widths.resize(std::max<size_t>(count, 1));
  return widths;
}

// The codes a reader derives from the widths it read (every one of them takes part in the
// sort): shortest widths take the lowest table entries.
std::vector<Code> CodesOf(const std::vector<uint8_t>& widths, unsigned maxWidth) {
  const int last = static_cast<int>(widths.size()) - 1;
  std::vector<WidthPair> pairs;
  for (int s = 0; s <= last; ++s) pairs.push_back({widths[s], static_cast<uint16_t>(s)});
  if (last > 0) OrderPairs(pairs, 0, last);
  size_t used = 0;
  while (used < pairs.size() && pairs[used].width != 0) ++used;
  if (used < 2) {
    pairs[0].width = 1;
    used = 1;
  }
  std::vector<Code> codes(widths.size());
  uint32_t entry = 0;
  for (size_t k = used; k-- > 0;) {
    const unsigned width = pairs[k].width;
    codes[pairs[k].symbol] = {entry >> (maxWidth - width), width};
    entry += 1u << (maxWidth - width);
  }
  return codes;
}

void PutCode(BitWriter& out, const Code& code) { out.Put(code.bits, code.width); }

// A width table: delta-coded widths above a floor, themselves coded with a pre-table whose
// last symbol stands for a run of zeros.
void PutWidthTable(BitWriter& out, const std::vector<uint8_t>& widths) {
  int last = static_cast<int>(widths.size()) - 1;
  while (last >= 0 && widths[last] == 0) --last;
  if (last < 0) {
    // Nothing used: one entry, a run of zeros through a one-symbol pre-table.
    out.Put(0, 9);
    out.Put(0, 4);
    out.Put(0, 4);
    out.Put(1, 3);
    out.Put(0, 1);
    out.Put(0, 4);
    return;
  }
  unsigned smallest = 255, largest = 0;
  for (int s = 0; s <= last; ++s)
    if (widths[s]) {
      smallest = std::min<unsigned>(smallest, widths[s]);
      largest = std::max<unsigned>(largest, widths[s]);
    }
  const unsigned lower = smallest - 1;
  const unsigned upper = largest - lower + 1;
  std::vector<unsigned> deltas(last + 1);
  unsigned previous = 0;
  for (int s = 0; s <= last; ++s) {
    const unsigned value = widths[s] ? widths[s] - lower : 0;
    deltas[s] = s == 0 || last == 0 ? value : (value + upper - previous) % upper;
    previous = value;
  }

  std::vector<std::pair<unsigned, unsigned>> preSymbols;  // symbol, run bits
  for (int s = 0; s <= last;) {
    int run = 0;
    while (s + run <= last && deltas[s + run] == 0) ++run;
    if (run >= 4) {
      while (run >= 4) {
        const int taken = std::min(run, 19);
        preSymbols.push_back({upper, static_cast<unsigned>(taken - 4)});
        run -= taken;
        s += taken;
      }
      continue;
    }
    preSymbols.push_back({deltas[s], 0});
    ++s;
  }
  std::vector<uint32_t> preFrequencies(upper + 1, 0);
  for (const auto& p : preSymbols) ++preFrequencies[p.first];
  const std::vector<uint8_t> preWidths = CodeWidths(preFrequencies, kPreMaxWidth);
  const std::vector<Code> preCodes = CodesOf(preWidths, kPreMaxWidth);

  out.Put(static_cast<uint32_t>(last), 9);
  out.Put(lower, 4);
  out.Put(upper, 4);
  for (uint8_t width : preWidths) out.Put(width, 3);
  for (const auto& p : preSymbols) {
    PutCode(out, preCodes[p.first]);
    if (p.first == upper) out.Put(p.second, 4);
  }
}

struct Token {
  unsigned symbol;
  uint32_t extra = 0;
  unsigned extraBits = 0;
  int lengthSymbol = -1;
};

std::vector<Token> Tokenize(const std::string& data, const std::string& history) {
  const std::string all = history + data;
  std::unordered_map<uint32_t, std::vector<size_t>> seen;
  const auto keyAt = [&all](size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(all[at])) |
           static_cast<uint32_t>(static_cast<uint8_t>(all[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(all[at + 2])) << 16;
  };
  const auto remember = [&](size_t at) {
    if (at + 2 < all.size()) seen[keyAt(at)].push_back(at);
  };
  for (size_t at = 0; at < history.size(); ++at) remember(at);

  std::vector<Token> tokens;
  uint32_t recent[4] = {};
  unsigned newest = 0;
  for (size_t at = history.size(); at < all.size();) {
    size_t bestLength = 0, bestDistance = 0;
    if (at + 2 < all.size()) {
      const std::vector<size_t>& candidates = seen[keyAt(at)];
      const size_t limit = std::min(kMaxMatch, all.size() - at);
      for (size_t c = candidates.size(), tried = 0; c-- > 0 && tried < 64; ++tried) {
        const size_t distance = at - candidates[c];
        if (distance > kMaxDistance) break;
        size_t length = 0;
        while (length < limit && all[candidates[c] + length] == all[at + length]) ++length;
        if (length > bestLength) {
          bestLength = length;
          bestDistance = distance;
        }
      }
    }
    if (bestLength < kMinMatch) {
      tokens.push_back({static_cast<uint8_t>(all[at])});
      remember(at++);
      continue;
    }
    const uint32_t distance = static_cast<uint32_t>(bestDistance - 1);
    Token token{0};
    int age = -1;
    for (unsigned r = 0; r < 4 && age < 0; ++r)
      if (recent[(newest - r) & 3] == distance) age = static_cast<int>(r);
    if (age >= 0) {
      token.symbol = 256 + age;
      token.lengthSymbol = static_cast<int>(bestLength) - (age > 1 ? 3 : 2);
      for (int k = age; k > 0; --k) recent[(newest - k) & 3] = recent[(newest - k + 1) & 3];
      recent[newest] = distance;
    } else {
      unsigned bits = distance;
      if (distance > 1) {
        bits = 0;
        while ((distance >> bits) > 1) ++bits;
        ++bits;  // distance lies in [2^(bits-1), 2^bits)
        token.extra = distance - (1u << (bits - 1));
        token.extraBits = bits - 1;
      }
      token.symbol = 260 + bits;
      const unsigned base = distance > 8191 ? 4 : distance > 255 ? 3 : 2;
      token.lengthSymbol = static_cast<int>(bestLength - base);
      newest = (newest + 1) & 3;
      recent[newest] = distance;
    }
    tokens.push_back(token);
    for (size_t k = 0; k < bestLength; ++k) remember(at + k);
    at += bestLength;
  }
  return tokens;
}

std::string Le16(uint32_t value) {
  return std::string{static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}

std::string Le32(uint32_t value) { return Le16(value & 0xFFFF) + Le16(value >> 16); }

// A header record: the low 16 bits of the bytes' CRC, their size, the bytes.
std::string HeaderRecord(const std::string& bytes) {
  return Le16(AceWriter::Crc(bytes) & 0xFFFF) + Le16(static_cast<uint32_t>(bytes.size())) + bytes;
}

}  // namespace

AceWriter& AceWriter::SetSolid(bool solid) {
  m_solid = solid;
  return *this;
}

AceWriter& AceWriter::SetComment(const std::string& comment) {
  m_comment = comment;
  return *this;
}

AceWriter& AceWriter::Add(const Member& member) {
  m_members.push_back(member);
  return *this;
}

AceWriter& AceWriter::AddStored(const std::string& name, const std::string& data) {
  Member member;
  member.name = name;
  member.data = data;
  member.method = kStored;
  return Add(member);
}

AceWriter& AceWriter::AddCompressed(const std::string& name, const std::string& data) {
  Member member;
  member.name = name;
  member.data = data;
  return Add(member);
}

std::string AceWriter::Build(std::vector<size_t>* headerOffsets) const {
  std::string main;
  main += '\0';  // type: main header
  main += Le16((m_comment.empty() ? 0 : 0x0002) | (m_solid ? 0x8000 : 0));
  main += "**ACE**";
  main += std::string{20, 20, 0, 0};        // versions to extract and created, host, volume
  main += Le32(0x3A2B1C0D);                 // creation time
  main += std::string(8, '\0');             // reserved
  main += '\0';                             // no authenticity text
  if (!m_comment.empty()) {
    const std::string packed = PackComment(m_comment);
    main += Le16(static_cast<uint32_t>(packed.size())) + packed;
  }

  std::string archive = HeaderRecord(main);
  if (headerOffsets) headerOffsets->assign(1, 0);
  std::string history;
  for (const Member& member : m_members) {
    std::string packed;
    if (member.packed)
      packed = *member.packed;
    else if (member.method == kStored)
      packed = member.data;
    else
      packed = Compress(member.data, m_solid ? history : std::string());
    if (m_solid) history += member.data;

    std::string header;
    header += '\1';  // type: file header
    header += Le16(0x0001 | (member.comment.empty() ? 0 : 0x0002));
    header += Le32(static_cast<uint32_t>(packed.size()));
    header += Le32(static_cast<uint32_t>(member.data.size()));
    header += Le32(0x3A2B1C0D);  // file time
    header += Le32(0x20);        // attributes
    header += Le32(member.crc ? *member.crc : Crc(member.data));
    header += static_cast<char>(member.method);
    header += static_cast<char>(member.method == kStored ? 0 : 2);  // quality
    header += Le16(member.dictionaryParameter);
    header += Le16(0);  // reserved
    header += Le16(static_cast<uint32_t>(member.name.size())) + member.name;
    if (!member.comment.empty()) {
      const std::string comment = PackComment(member.comment);
      header += Le16(static_cast<uint32_t>(comment.size())) + comment;
    }
    if (headerOffsets) headerOffsets->push_back(archive.size());
    archive += HeaderRecord(header) + packed;
  }
  return archive;
}

std::string AceWriter::Compress(const std::string& data, const std::string& history) {
  const std::vector<Token> tokens = Tokenize(data, history);
  BitWriter out;
  for (size_t first = 0; first < tokens.size(); first += kMaxBlockSymbols) {
    const size_t end = std::min(tokens.size(), first + kMaxBlockSymbols);
    std::vector<uint32_t> mainFrequencies(kMainSymbols, 0), lengthFrequencies(kLengthSymbols, 0);
    for (size_t t = first; t < end; ++t) {
      ++mainFrequencies[tokens[t].symbol];
      if (tokens[t].lengthSymbol >= 0) ++lengthFrequencies[tokens[t].lengthSymbol];
    }
    const std::vector<uint8_t> mainWidths = CodeWidths(mainFrequencies, kMaxWidth);
    const std::vector<uint8_t> lengthWidths = CodeWidths(lengthFrequencies, kMaxWidth);
    PutWidthTable(out, mainWidths);
    PutWidthTable(out, lengthWidths);
    out.Put(static_cast<uint32_t>(end - first), 15);
    const std::vector<Code> mainCodes = CodesOf(TableWidths(mainWidths), kMaxWidth);
    const std::vector<Code> lengthCodes = CodesOf(TableWidths(lengthWidths), kMaxWidth);
    for (size_t t = first; t < end; ++t) {
      PutCode(out, mainCodes[tokens[t].symbol]);
      out.Put(tokens[t].extra, tokens[t].extraBits);
      if (tokens[t].lengthSymbol >= 0) PutCode(out, lengthCodes[tokens[t].lengthSymbol]);
    }
  }
  return out.Finish();
}

std::string AceWriter::PackComment(const std::string& text) {
  // Literals only: the reader's copies are an option a writer need not take.
  std::vector<uint32_t> frequencies(kMainSymbols, 0);
  for (char c : text) ++frequencies[static_cast<uint8_t>(c)];
  const std::vector<uint8_t> widths = CodeWidths(frequencies, kMaxWidth);
  BitWriter out;
  out.Put(static_cast<uint32_t>(text.size()), 15);
  PutWidthTable(out, widths);
  const std::vector<Code> codes = CodesOf(TableWidths(widths), kMaxWidth);
  for (char c : text) PutCode(out, codes[static_cast<uint8_t>(c)]);
  return out.Finish();
}

uint32_t AceWriter::Crc(const std::string& bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (char c : bytes) {
    crc ^= static_cast<uint8_t>(c);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return crc;
}

std::string AceWriter::Bits(const std::string& text) {
  BitWriter out;
  for (char c : text)
    if (c == '0' || c == '1') out.Put(c == '1', 1);
  return out.Finish();
}
