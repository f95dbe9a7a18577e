#include "lightwave/LWOVertexMultiplier.h"

#include <algorithm>

#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "lightwave/LWOPointWelder.h"

namespace {

constexpr const char* kSource = "LWOProcessing";
constexpr const char* kMultiplyTitle = "Error While Multiplying Vertices";
// Corner indices are 16 bits, and one value stays free.
constexpr UINT kMaxPoints = 65534;
constexpr UINT kNone = 0xFFFFFFFF;

bool ComesBefore(const LWOOverflowUVEntry& a, const LWOOverflowUVEntry& b) {
  return a.point != b.point ? a.point < b.point : a.slot < b.slot;
}

}  // namespace

UINT LWOVertexMultiplier::MultiplyVertices() {
  LWOImportBuffer& b = m_buffer;
  const UINT old = b.pointCount;
  const uint64_t capacity = uint64_t{b.faceCount} * kRecordsPerFace;
  // The copies go after the points, all within the working limit.
  if (old > capacity) FatalErrorWithTitle(kMultiplyTitle, "Not Enuff Temporary Memory");
  for (UINT i = 0; i < old; ++i) b.points[i].smoothingGroup = -1;

  // The records of each index16, in array order: a point and then its copies. Copies are
  // known by their source and group until they are made. The table is as long as the
  // largest index16 or corner (below the point count) needs.
  UINT indexLimit = std::min<UINT>(old, 0x10000);
  for (UINT i = 0; i < old; ++i) indexLimit = std::max<UINT>(indexLimit, b.points[i].index16 + 1u);
  std::vector<UINT> first(indexLimit, kNone), last(indexLimit, kNone), next;
  next.reserve(old);
  const auto chain = [&](UINT record, WORD index16) {
    next.push_back(kNone);
    if (first[index16] == kNone)
      first[index16] = record;
    else
      next[last[index16]] = record;
    last[index16] = record;
  };
  for (UINT i = 0; i < old; ++i) chain(i, b.points[i].index16);
  std::vector<UINT> copySource;
  std::vector<INT> copyGroup;

  std::vector<UINT> corners(size_t{b.faceCount} * 3);
  for (UINT f = 0; f < b.faceCount; ++f) {
    const LWOFace& face = b.faces[f];
    const INT group = static_cast<INT>(face.smoothingGroup);
    for (UINT k = 0; k < 3; ++k) {
      const UINT i = face.v[k];
      UINT& corner = corners[size_t{f} * 3 + k];
      LWOPoint& point = b.points[i];
      if (point.smoothingGroup == -1) {
        point.smoothingGroup = group;
        corner = i;
        continue;
      }
      corner = kNone;
      for (UINT r = first[i]; r != kNone && corner == kNone; r = next[r])
        if ((r < old ? b.points[r].smoothingGroup : copyGroup[r - old]) == group) corner = r;
      if (corner != kNone) continue;
      corner = old + static_cast<UINT>(copySource.size());
      copySource.push_back(i);
      copyGroup.push_back(group);
      chain(corner, point.index16);
      if (uint64_t{corner} + 1 >= capacity)
        FatalErrorWithTitle(kMultiplyTitle, "Not Enuff Temporary Memory");
    }
  }
  const UINT count = old + static_cast<UINT>(copySource.size());
  CheckPointCount(count);
  if (!b.ReservePoints(count))
    FatalErrorWithTitle("Error While Calculating Smoothing Groups",
                        "Can't Allocate Memory For Vertices (%s)", b.fileName);
  for (UINT c = 0; c < copySource.size(); ++c) {
    LWOPoint& copy = b.points[old + c];
    copy = b.points[copySource[c]];
    copy.smoothingGroup = copyGroup[c];
  }
  b.pointCount = count;
  LogTo(GetEngineContext()->pLog, kSource, CEngineLog::kLevelInfo,
        "  - Smoothing Groups Calculated\n    - Vertices: %i (Was: %i)\n", int(count), int(old));
  WriteCorners(corners);
  return 1;
}

UINT LWOVertexMultiplier::MultiplyVerticesForVMAD(UINT) {
  LWOImportBuffer& b = m_buffer;
  const uint64_t capacity = uint64_t{b.faceCount} * kRecordsPerFace;
  if (b.pointCount > capacity)
    FatalErrorWithTitle("Error While Multiplying Vertices For VMAD",
                        "Not Enuff Buffer Memory (%s) - Max: %i - %i", b.fileName, int(capacity),
                        int(b.pointCount));
  IndexLaterEntries();

  // Each new record: the point it is made from and its two coordinate pairs.
  struct Made {
    UINT source;
    LWOUVEntry uv[LWO_UV_SLOTS];
  };
  std::vector<Made> made;
  made.reserve(b.pointCount);
  LWOPointWelder welder;
  welder.Reserve(b.pointCount);
  std::vector<UINT> corners(size_t{b.faceCount} * 3);
  // Without per-polygon entries a point's pairs depend on its channels' maps alone (on nothing
  // for a slot of one entry at most), so a corner with the maps of the point's last corner gets
  // that corner's record: the first equal record stays the first.
  struct LastCorner {
    UINT record = kNone;
    INT uvMap[LWO_UV_SLOTS] = {};
  };
  enum : BYTE { kNotSeen, kByMaps, kByFace };
  std::vector<LastCorner> last(b.pointCount);
  std::vector<BYTE> dependsOn(b.pointCount, kNotSeen);
  for (UINT f = 0; f < b.faceCount; ++f) {
    const LWOFace& face = b.faces[f];
    for (UINT k = 0; k < 3; ++k) {
      const UINT source = face.v[k];
      const LWOPoint& point = b.points[source];
      if (dependsOn[source] == kNotSeen)
        dependsOn[source] = HasPerPolygonEntry(point) ? kByFace : kByMaps;
      INT uvMap[LWO_UV_SLOTS];
      for (UINT slot = 0; slot < LWO_UV_SLOTS; ++slot)
        uvMap[slot] = point.uvCount[slot] > 1 ? face.surfaceRecord->channel[slot].uvMap : 0;
      UINT& corner = corners[size_t{f} * 3 + k];
      LastCorner& previous = last[source];
      const bool byMaps = dependsOn[source] == kByMaps;
      if (byMaps && previous.record != kNone &&
          std::equal(uvMap, uvMap + LWO_UV_SLOTS, previous.uvMap)) {
        corner = previous.record;
        continue;
      }
      Made record = {source, {}};
      for (UINT slot = 0; slot < LWO_UV_SLOTS; ++slot)
        record.uv[slot] = ChooseCoordinates(point, slot, f, face.surfaceRecord->channel[slot].uvMap);
      corner = welder.FindOrAddPoint(point, record.uv[0], record.uv[1]);
      if (corner == made.size()) made.push_back(record);
      if (byMaps) {
        previous.record = corner;
        std::copy(uvMap, uvMap + LWO_UV_SLOTS, previous.uvMap);
      }
    }
  }
  CheckPointCount(made.size());
  const UINT count = static_cast<UINT>(made.size());
  UINT arrayCapacity = 0;
  std::unique_ptr<LWOPoint[]> points = b.TakePointArray(count, arrayCapacity);
  if (points == nullptr && count > 0)
    FatalErrorWithTitle("Error While Multiplying Vertices For VMAD",
                        "Can't Allocate Memory For Vertices (%s)", b.fileName);
  for (UINT i = 0; i < count; ++i) {
    LWOPoint& point = points[i];
    point = b.points[made[i].source];
    for (UINT slot = 0; slot < LWO_UV_SLOTS; ++slot) point.uv[slot] = made[i].uv[slot];
  }
  WriteCorners(corners);
  b.ReplacePoints(std::move(points), count, arrayCapacity);
  return 1;
}

LWOUVEntry LWOVertexMultiplier::ChooseCoordinates(const LWOPoint& point, UINT slot, UINT face,
                                                  INT uvMap) const {
  // Most points have one entry a slot at most: no lookup then.
  if (point.uvCount[slot] <= 1) return point.uv[slot];
  const std::span<const LWOOverflowUVEntry> later = LaterEntries(point.index, slot);
  // Entries in order: the point's first, then the later ones; the last match wins.
  const auto lastMatch = [&](const auto& matches) -> const LWOUVEntry* {
    const LWOUVEntry* found = matches(point.uv[slot]) ? &point.uv[slot] : nullptr;
    for (const LWOOverflowUVEntry& e : later)
      if (matches(e.entry)) found = &e.entry;
    return found;
  };
  const LWOUVEntry* chosen = lastMatch(
      [face](const LWOUVEntry& e) { return e.perPolygon != 0 && e.polygon == face; });
  if (chosen == nullptr)
    chosen = lastMatch([uvMap](const LWOUVEntry& e) {
      return e.perPolygon == 0 && e.uvMap == static_cast<UINT>(uvMap);
    });
  return chosen != nullptr ? *chosen : point.uv[slot];
}

bool LWOVertexMultiplier::HasPerPolygonEntry(const LWOPoint& point) const {
  for (UINT slot = 0; slot < LWO_UV_SLOTS; ++slot) {
    if (point.uvCount[slot] <= 1) continue;
    if (point.uv[slot].perPolygon != 0) return true;
    for (const LWOOverflowUVEntry& e : LaterEntries(point.index, slot))
      if (e.entry.perPolygon != 0) return true;
  }
  return false;
}

void LWOVertexMultiplier::IndexLaterEntries() {
  // A counting sort by file index and slot, which keeps each point's entries in their order.
  const std::vector<LWOOverflowUVEntry>& entries = m_buffer.uvOverflow;
  const size_t keys = size_t{m_buffer.pointCount} * LWO_UV_SLOTS;
  const auto keyOf = [keys](const LWOOverflowUVEntry& e) {
    return e.slot < LWO_UV_SLOTS ? size_t{e.point} * LWO_UV_SLOTS + e.slot : keys;
  };
  m_laterStart.assign(keys + 2, 0);
  for (const LWOOverflowUVEntry& e : entries) ++m_laterStart[std::min(keyOf(e), keys) + 1];
  for (size_t k = 1; k < m_laterStart.size(); ++k) m_laterStart[k] += m_laterStart[k - 1];
  m_later.resize(entries.size());
  std::vector<UINT> next(m_laterStart.begin(), m_laterStart.end() - 1);
  for (const LWOOverflowUVEntry& e : entries) m_later[next[std::min(keyOf(e), keys)]++] = e;
  std::stable_sort(m_later.begin() + m_laterStart[keys], m_later.end(), ComesBefore);
}

std::span<const LWOOverflowUVEntry> LWOVertexMultiplier::LaterEntries(UINT index, UINT slot) const {
  if (index < m_buffer.pointCount) {
    const size_t key = size_t{index} * LWO_UV_SLOTS + slot;
    return {m_later.data() + m_laterStart[key], m_later.data() + m_laterStart[key + 1]};
  }
  const auto [first, end] =
      std::equal_range(m_later.begin() + m_laterStart[m_buffer.pointCount * LWO_UV_SLOTS],
                       m_later.end(), LWOOverflowUVEntry{index, slot, {}}, ComesBefore);
  return {first, end};
}

void LWOVertexMultiplier::CheckPointCount(size_t count) const {
  // The limit the processing checks next, checked while the corners still fit their fields.
  if (count > kMaxPoints)
    FatalErrorWithTitle("Error While Recalculating Vertex Indices", "Too Many Vertices (%s)",
                        m_buffer.fileName);
}

void LWOVertexMultiplier::WriteCorners(const std::vector<UINT>& corners) {
  LWOImportBuffer& b = m_buffer;
  for (UINT f = 0; f < b.faceCount; ++f)
    for (UINT k = 0; k < 3; ++k) b.faces[f].v[k] = static_cast<WORD>(corners[size_t{f} * 3 + k]);
}
