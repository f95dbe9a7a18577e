#pragma once
// Builds LightWave object files (LWO2) byte by byte for tests and benchmarks: big-endian fields,
// chunks with a four-byte length and sub-chunks with a two-byte one (filled in when they close,
// or stated wrong on purpose), both encodings of the variable index, padded strings, and whole
// objects: a grid of triangles of any size spread over several surfaces.
//
//   CLWOBuilder object;
//   object.Tags({"skin"}).Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).Triangles({{0, 1, 2}});
//   object.Chunk("CLIP").U4(1).SubChunk("STIL").S0("Images/Wood.JPEG").End().End();
//   std::vector<uint8_t> file = object.File();  // FORM, its length, LWO2, the chunks
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CLWOBuilder {
 public:
  struct Point {
    float x, y, z;
  };
  using Triangle = std::array<uint32_t, 3>;
  struct WeightEntry {
    uint32_t point;
    float weight;
  };
  struct Key {
    float seconds, value;
  };
  struct PolygonUV {
    uint32_t point, polygon;
    float u, v;
  };

  // Fields, big-endian.
  CLWOBuilder& ID(const char* id);  // exactly four characters
  CLWOBuilder& U1(uint8_t value);
  CLWOBuilder& U2(uint16_t value);
  CLWOBuilder& U4(uint32_t value);
  CLWOBuilder& F4(float value);
  // The short form below 0xFF00, else 0xFF and three bytes.
  CLWOBuilder& VX(uint32_t index);
  // Always 0xFF and three bytes, also for small indices.
  CLWOBuilder& VX4(uint32_t index);
  // The text, its zero byte and a pad byte when the two make an odd count.
  CLWOBuilder& S0(const std::string& text);
  CLWOBuilder& Raw(const std::vector<uint8_t>& bytes);

  // Opens a chunk (four-byte length) or a sub-chunk (two-byte length) whose length End() fills
  // in; with a stated length, End() leaves that, right or wrong.
  CLWOBuilder& Chunk(const char* id);
  CLWOBuilder& Chunk(const char* id, uint32_t statedLength);
  CLWOBuilder& SubChunk(const char* id);
  CLWOBuilder& SubChunk(const char* id, uint16_t statedLength);
  CLWOBuilder& End();

  // Whole chunks.
  CLWOBuilder& Tags(const std::vector<std::string>& names);
  CLWOBuilder& Layer(uint16_t number = 0);
  CLWOBuilder& Points(const std::vector<Point>& points);
  CLWOBuilder& Triangles(const std::vector<Triangle>& triangles);
  // PTAG SURF: each polygon's tag.
  CLWOBuilder& SurfaceTags(const std::vector<std::pair<uint32_t, uint16_t>>& polygonTags);
  CLWOBuilder& StillClip(uint32_t index, const std::string& image);
  CLWOBuilder& UVMap(const std::string& name, const std::vector<Point>& uvs);  // x, y per point
  // VMAD TXUV: per-polygon coordinates.
  CLWOBuilder& PolygonUVMap(const std::string& name, const std::vector<PolygonUV>& entries);
  CLWOBuilder& WeightMap(const std::string& name, const std::vector<WeightEntry>& entries);
  // A SURF chunk with its name, no source and a TRAN sub-chunk.
  CLWOBuilder& Surface(const std::string& name, float transparency = 0.0f);
  // Opens a SURF chunk with its name and an empty source; sub-chunks follow, then End().
  CLWOBuilder& BeginSurface(const std::string& name);
  // Opens a texture block of `type` ("IMAP", "PROC", ...) on the layer channel `channel` ("COLR",
  // "DIFF", ...) inside a surface: its header and CHAN; texture sub-chunks follow, then End().
  CLWOBuilder& BeginBlock(const char* type, const char* channel);
  // An ENVL chunk of keys, each followed by a TCB span.
  CLWOBuilder& Envelope(uint32_t index, const std::vector<Key>& keys);

  // A layer of (columns + 1) x (rows + 1) points with two triangles a cell, the triangles given
  // to `surfaces` tags in runs of at most `perSurface`, a UV map repeating every four cells and a surface
  // chunk for each tag: smoothed, with an image layer mapped by the UV map.
  static CLWOBuilder Grid(uint32_t columns, uint32_t rows, uint32_t perSurface);

  // The chunks so far; every chunk must have been closed.
  const std::vector<uint8_t>& Bytes() const;
  // The chunks inside "FORM", its length and "LWO2"; the length may be stated wrong.
  std::vector<uint8_t> File() const;
  std::vector<uint8_t> File(uint32_t statedFormLength) const;

 private:
  struct Open {
    size_t lengthOffset;
    int lengthSize;  // 4 or 2
    bool fill;
  };
  CLWOBuilder& Begin(const char* id, int lengthSize, bool fill, uint32_t statedLength);

  std::vector<uint8_t> m_bytes;
  std::vector<Open> m_open;
};
