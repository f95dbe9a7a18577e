#include "spatial/OctreeFile.h"

#include <cstdarg>
#include <cstdio>
#include <unordered_set>

#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "chunks/ChunkReader.h"
#include "chunks/ChunkWriter.h"
#include "spatial/Octree.h"

namespace {

constexpr const char* kSource = "ZK3DProcessing";

float Axis(const CVector3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

// Frees cells whose links may or may not have been resolved, each exactly once.
void FreeCells(std::vector<COctree*>& cells) {
  for (COctree* cell : cells) {
    cell->DropChildren();
    delete cell;
  }
  cells.clear();
}

}  // namespace

void COctreeFile::Log(int level, const char* format, ...) const {
  if (m_pLog == nullptr) return;
  char text[CEngineLog::kMaxMessage];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  m_pLog->Log(kSource, __LINE__, level, "%s", text);
}

bool COctreeFile::ReadCells(CChunkReader& reader, const char* fileName, float fMin,
                            std::vector<COctree*>& cells) {
  auto fail = [&](const char* format) {
    Log(CEngineLog::kLevelError, format, fileName);
    return false;
  };
  constexpr const char* kUnreadable = "ERROR!!! - Can't Read From The Octree File: %s\n";
  constexpr const char* kNotTree = "ERROR!!! - Incorrect Octree File, TREE Chunk Expected: %s\n";
  const uint64_t length = reader.BytesLeft();
  ChunkTag tag;
  if (!reader.Tag(tag)) return fail(kUnreadable);
  if (!tag.Is("TREE")) return fail(kNotTree);
  uint32_t size = 0;
  if (!reader.U32(size)) return fail("ERROR!!! - Can't Read Main Chunk Size: %s\n");
  if (uint64_t{size} + 20 != length) {
    Log(CEngineLog::kLevelError, "ERROR!!! - Incorrect File Size: %s, Is: %i, Should Be: %i\n",
        fileName, int(uint64_t{size} + 20), int(length));
    return false;
  }
  const uint64_t start = reader.Position();
  if (!reader.Tag(tag)) return fail(kUnreadable);
  if (!tag.Is("FMIN")) return fail(kNotTree);
  float stored = 0.0f;
  if (!reader.Skip(4) || !reader.F32(stored)) return fail(kUnreadable);
  if (!(stored == fMin)) {
    Log(CEngineLog::kLevelError,
        "ERROR!!! - Incorrect Octree File, FMin Parameter Is Different: %f - %f\n", stored, fMin);
    return false;
  }
  while (reader.Position() - start < size) {
    if (!reader.Tag(tag)) return fail(kUnreadable);
    // Anything else is passed over four bytes at a time.
    if (!tag.Is("OCTR")) {
      fail("ERROR!!! - Unknown Chunk In The Octree File: %s\n");
      continue;
    }
    if (cells.size() >= OCTREE_MAX_CELLS)
      return fail("ERROR!!! - Too Many Cells In The Octree File: %s\n");
    cells.push_back(new COctree(m_pLog, m_pRenderer, m_pScene));
    if (!cells.back()->Load(reader))
      return fail("ERROR!!! - Can't Read Octree From The File: %s\n");
  }
  if (!reader.AtEnd()) return fail("ERROR!!! - Not All Bytes Have Been Read From: %s\n");
  return true;
}

bool COctreeFile::FormsOneTree(COctree* root, size_t count) {
  if (root->GetParent() != nullptr) return false;
  std::unordered_set<COctree*> seen;
  std::vector<COctree*> pending{root};
  while (!pending.empty()) {
    COctree* cell = pending.back();
    pending.pop_back();
    if (!seen.insert(cell).second) return false;
    for (UINT index = 0; index < COctree::kChildren; ++index) {
      COctree* child = cell->GetChild(index);
      if (child == nullptr) continue;
      if (child->GetParent() != cell || child->GetLevel() != cell->GetLevel() + 1) return false;
      pending.push_back(child);
    }
    for (UINT side = 0; side < COctree::kBrothers; ++side) {
      COctree* brother = cell->GetBrother(side);
      if (brother == nullptr) continue;
      const int axis = int(side / 2);
      const float own = Axis(*cell->GetPosition(), axis);
      const float other = Axis(*brother->GetPosition(), axis);
      if (side % 2 == 0 ? !(other > own) : !(other < own)) return false;
    }
  }
  return seen.size() == count;
}

COctree* COctreeFile::Load(const char* fileName, float fMin, UINT* cellCount) {
  CVirtualFileSystemInterface* vfs = GetEngineContext()->pVirtualFileSystem;
  VFSFile* file = vfs != nullptr ? vfs->OpenNormalFile(fileName, "rb") : nullptr;
  if (file == nullptr) {
    Log(CEngineLog::kLevelError, "ERROR!!! - Can't Open Octree File: %s\n", fileName);
    return nullptr;
  }
  std::vector<COctree*> cells;
  bool read = false;
  {
    CChunkReader reader(file);
    read = ReadCells(reader, fileName, fMin, cells);
  }
  file->Close();
  if (!read) {
    FreeCells(cells);
    return nullptr;
  }

  const UINT count = UINT(cells.size());
  for (COctree* cell : cells) cell->ResolveLinks(cells.data(), count);
  COctree* root = nullptr;
  for (COctree* cell : cells)
    if (cell->GetID() == 0) {
      root = cell;
      break;
    }
  if (root == nullptr) {
    Log(CEngineLog::kLevelError, "ERROR!!! - No Octree Root In The File: %s\n", fileName);
    FreeCells(cells);
    return nullptr;
  }
  // Destroying the root must free every cell, and walks must end: one tree or nothing.
  if (!FormsOneTree(root, cells.size())) {
    Log(CEngineLog::kLevelError, "ERROR!!! - Octree Cells Don't Form One Tree: %s\n", fileName);
    FreeCells(cells);
    return nullptr;
  }
  for (COctree* cell : cells) {
    cell->AllocateMeshEntries();
    cell->AnnounceMeshes();
  }
  if (cellCount != nullptr) *cellCount = count;
  Log(CEngineLog::kLevelInfo, "- Loading Octree File Finished\n");
  return root;
}

UINT COctreeFile::Save(const char* fileName, COctree* root, float fMin, UINT cells) {
  if (root == nullptr) {
    Log(CEngineLog::kLevelError, "ERROR!!! - Can't Write Octree, It Should Be Created First\n");
    return 0;
  }
  std::vector<COctree*> table(OCTREE_MAX_CELLS);
  UINT count = 0;
  root->CollectCells(table.data(), &count, OCTREE_MAX_CELLS);
  if (count != cells) {
    Log(CEngineLog::kLevelError,
        "ERROR!!! - Can't Write Octree, Incorrect Number Of Octree Cells\n");
    return 0;
  }
  FILE* file = std::fopen(fileName, "wb");
  if (file == nullptr) {
    Log(CEngineLog::kLevelError, "ERROR!!! - Can't Write Octree, Can't Create File: %s\n",
        fileName);
    return 0;
  }
  UINT total = 0;
  CChunkWriter writer(file, total);
  CChunkWriter::ContainerMark mark;
  bool written = writer.BeginContainer("TREE", mark) && writer.F32Chunk("FMIN", fMin);
  // The TREE size counts the cell chunks only.
  mark.totalAtStart = total;
  if (!written) Log(CEngineLog::kLevelError, "ERROR!!! - Can't Write Octree, Can't Write To File\n");
  for (UINT i = 0; written && i < count; ++i) written = table[i]->Save(file, &total) != 0;
  if (written && (!writer.EndContainer(mark) || std::fflush(file) != 0)) {
    Log(CEngineLog::kLevelError, "ERROR!!! - Can't Write Octree, Can't Write To File\n");
    written = false;
  }
  if (std::fclose(file) != 0 && written) {
    Log(CEngineLog::kLevelError, "ERROR!!! - Can't Write Octree, Can't Write To File\n");
    written = false;
  }
  return written ? 1 : 0;
}
