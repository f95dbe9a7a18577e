#include "LWOBuilder.h"

#include <cstring>
#include <stdexcept>

CLWOBuilder& CLWOBuilder::ID(const char* id) {
  if (std::strlen(id) != 4) throw std::invalid_argument("an identifier has four characters");
  m_bytes.insert(m_bytes.end(), id, id + 4);
  return *this;
}

CLWOBuilder& CLWOBuilder::U1(uint8_t value) {
  m_bytes.push_back(value);
  return *this;
}

CLWOBuilder& CLWOBuilder::U2(uint16_t value) { return U1(uint8_t(value >> 8)).U1(uint8_t(value)); }

CLWOBuilder& CLWOBuilder::U4(uint32_t value) {
  return U2(uint16_t(value >> 16)).U2(uint16_t(value));
}

CLWOBuilder& CLWOBuilder::F4(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return U4(bits);
}

CLWOBuilder& CLWOBuilder::VX(uint32_t index) {
  return index < 0xFF00 ? U2(uint16_t(index)) : VX4(index);
}

CLWOBuilder& CLWOBuilder::VX4(uint32_t index) { return U4(0xFF000000u | (index & 0xFFFFFFu)); }

CLWOBuilder& CLWOBuilder::S0(const std::string& text) {
  m_bytes.insert(m_bytes.end(), text.begin(), text.end());
  U1(0);
  if ((text.size() + 1) % 2 != 0) U1(0);
  return *this;
}

CLWOBuilder& CLWOBuilder::Raw(const std::vector<uint8_t>& bytes) {
  m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
  return *this;
}

CLWOBuilder& CLWOBuilder::Begin(const char* id, int lengthSize, bool fill, uint32_t statedLength) {
  ID(id);
  m_open.push_back({m_bytes.size(), lengthSize, fill});
  return lengthSize == 4 ? U4(statedLength) : U2(uint16_t(statedLength));
}

CLWOBuilder& CLWOBuilder::Chunk(const char* id) { return Begin(id, 4, true, 0); }
CLWOBuilder& CLWOBuilder::Chunk(const char* id, uint32_t statedLength) {
  return Begin(id, 4, false, statedLength);
}
CLWOBuilder& CLWOBuilder::SubChunk(const char* id) { return Begin(id, 2, true, 0); }
CLWOBuilder& CLWOBuilder::SubChunk(const char* id, uint16_t statedLength) {
  return Begin(id, 2, false, statedLength);
}

CLWOBuilder& CLWOBuilder::End() {
  if (m_open.empty()) throw std::logic_error("End() without a chunk");
  const Open open = m_open.back();
  m_open.pop_back();
  if (!open.fill) return *this;
  const size_t length = m_bytes.size() - open.lengthOffset - open.lengthSize;
  if (open.lengthSize == 2 && length > 0xFFFF)
    throw std::length_error("a sub-chunk holds at most 65535 bytes");
  for (int i = 0; i < open.lengthSize; ++i)
    m_bytes[open.lengthOffset + i] = uint8_t(length >> (8 * (open.lengthSize - 1 - i)));
  return *this;
}

CLWOBuilder& CLWOBuilder::Tags(const std::vector<std::string>& names) {
  Chunk("TAGS");
  for (const std::string& name : names) S0(name);
  return End();
}

CLWOBuilder& CLWOBuilder::Layer(uint16_t number) {
  return Chunk("LAYR").U2(number).U2(0).F4(0).F4(0).F4(0).S0("").End();
}

CLWOBuilder& CLWOBuilder::Points(const std::vector<Point>& points) {
  Chunk("PNTS");
  for (const Point& p : points) F4(p.x).F4(p.y).F4(p.z);
  return End();
}

CLWOBuilder& CLWOBuilder::Triangles(const std::vector<Triangle>& triangles) {
  Chunk("POLS").ID("FACE");
  for (const Triangle& t : triangles) U2(3).VX(t[0]).VX(t[1]).VX(t[2]);
  return End();
}

CLWOBuilder& CLWOBuilder::SurfaceTags(
    const std::vector<std::pair<uint32_t, uint16_t>>& polygonTags) {
  Chunk("PTAG").ID("SURF");
  for (const auto& [polygon, tag] : polygonTags) VX(polygon).U2(tag);
  return End();
}

CLWOBuilder& CLWOBuilder::StillClip(uint32_t index, const std::string& image) {
  return Chunk("CLIP").U4(index).SubChunk("STIL").S0(image).End().End();
}

CLWOBuilder& CLWOBuilder::UVMap(const std::string& name, const std::vector<Point>& uvs) {
  Chunk("VMAP").ID("TXUV").U2(2).S0(name);
  for (uint32_t i = 0; i < uvs.size(); ++i) VX(i).F4(uvs[i].x).F4(uvs[i].y);
  return End();
}

CLWOBuilder& CLWOBuilder::WeightMap(const std::string& name,
                                    const std::vector<WeightEntry>& entries) {
  Chunk("VMAP").ID("WGHT").U2(1).S0(name);
  for (const WeightEntry& e : entries) VX(e.point).F4(e.weight);
  return End();
}

CLWOBuilder& CLWOBuilder::Surface(const std::string& name, float transparency) {
  return BeginSurface(name).SubChunk("TRAN").F4(transparency).VX(0).End().End();
}

CLWOBuilder& CLWOBuilder::BeginSurface(const std::string& name) {
  return Chunk("SURF").S0(name).S0("");
}

CLWOBuilder& CLWOBuilder::BeginBlock(const char* type, const char* channel) {
  return SubChunk("BLOK").ID(type).U2(8).U1(0x80).U1(0).SubChunk("CHAN").ID(channel).End();
}

CLWOBuilder& CLWOBuilder::PolygonUVMap(const std::string& name,
                                       const std::vector<PolygonUV>& entries) {
  Chunk("VMAD").ID("TXUV").U2(2).S0(name);
  for (const PolygonUV& e : entries) VX(e.point).VX(e.polygon).F4(e.u).F4(e.v);
  return End();
}

CLWOBuilder& CLWOBuilder::Envelope(uint32_t index, const std::vector<Key>& keys) {
  Chunk("ENVL").VX(index);
  for (const Key& key : keys) {
    SubChunk("KEY ").F4(key.seconds).F4(key.value).End();
    SubChunk("SPAN").ID("TCB ").F4(0).F4(0).F4(0).End();
  }
  return End();
}

CLWOBuilder CLWOBuilder::Grid(uint32_t columns, uint32_t rows, uint32_t perSurface) {
  if (perSurface == 0) throw std::invalid_argument("a surface holds at least one triangle");
  const uint32_t triangles = 2 * columns * rows;
  const uint32_t surfaces = (triangles + perSurface - 1) / perSurface;
  std::vector<std::string> names;
  for (uint32_t s = 0; s < surfaces; ++s) names.push_back("surface" + std::to_string(s));

  std::vector<Point> points;
  std::vector<Point> uvs;
  for (uint32_t y = 0; y <= rows; ++y)
    for (uint32_t x = 0; x <= columns; ++x) {
      points.push_back({float(x), float(y), 0.0f});
      // The texture repeats every four cells: coordinates of a cell far apart enough for the
      // tangent space to follow them.
      uvs.push_back({0.25f * float(x), 0.25f * float(y), 0});
    }
  std::vector<Triangle> faces;
  const uint32_t stride = columns + 1;
  for (uint32_t y = 0; y < rows; ++y)
    for (uint32_t x = 0; x < columns; ++x) {
      const uint32_t corner = y * stride + x;
      faces.push_back({corner, corner + 1, corner + stride});
      faces.push_back({corner + 1, corner + stride + 1, corner + stride});
    }
  std::vector<std::pair<uint32_t, uint16_t>> tags;
  for (uint32_t f = 0; f < faces.size(); ++f) tags.push_back({f, uint16_t(f / perSurface)});

  CLWOBuilder grid;
  grid.Tags(names).StillClip(1, "Images/Grid.png").Layer().Points(points).UVMap("grid", uvs);
  grid.Triangles(faces).SurfaceTags(tags);
  for (const std::string& name : names) {
    grid.BeginSurface(name).SubChunk("SMAN").F4(1.5f).End().BeginBlock("IMAP", "COLR");
    grid.SubChunk("IMAG").VX(1).End().SubChunk("PROJ").U2(5).End().SubChunk("VMAP").S0("grid").End();
    grid.End().End();
  }
  return grid;
}

const std::vector<uint8_t>& CLWOBuilder::Bytes() const {
  if (!m_open.empty()) throw std::logic_error("a chunk is still open");
  return m_bytes;
}

std::vector<uint8_t> CLWOBuilder::File() const { return File(uint32_t(Bytes().size() + 4)); }

std::vector<uint8_t> CLWOBuilder::File(uint32_t statedFormLength) const {
  CLWOBuilder file;
  file.ID("FORM").U4(statedFormLength).ID("LWO2").Raw(Bytes());
  return file.m_bytes;
}
