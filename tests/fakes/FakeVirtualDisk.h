#pragma once
// A virtual disk holding its members in memory, recording what files ask of it: which members
// were given out and which blocks came back. Each GetFileData hands out a copy of its own, as a
// back end that inflates on open does, so that a block not given back shows up.
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ZKDXInterface.h"

class CFakeVirtualDisk : public CVirtualDiskInterface {
 public:
  explicit CFakeVirtualDisk(std::string name = "fake.zkz", UINT kind = VFS_DISK_DATA)
      : m_name(std::move(name)), m_kind(kind) {}

  CFakeVirtualDisk& Add(const std::string& name, const std::string& data) {
    members.push_back({name, data});
    return *this;
  }

  UINT GetNumberOfFiles() override { return UINT(members.size()); }
  int FindFile(const char* name) override {
    for (size_t i = 0; i < members.size(); ++i)
      if (members[i].first == name) return int(i);
    return -1;
  }
  const char* GetFileName(UINT index) override {
    return index < members.size() ? members[index].first.c_str() : nullptr;
  }
  UINT GetFileLength(UINT index) override {
    return index < members.size() ? UINT(members[index].second.size()) : 0;
  }
  UINT GetPackedSize(UINT index) override { return GetFileLength(index); }
  BYTE* GetFileData(UINT index) override {
    if (index >= members.size()) return nullptr;
    const std::string& data = members[index].second;
    auto block = std::make_unique<BYTE[]>(data.size() + 1);
    memcpy(block.get(), data.data(), data.size());
    BYTE* given = block.get();
    outstanding[given] = std::move(block);
    ++dataRequests;
    return given;
  }
  UINT ReleaseFileData(BYTE* data) override {
    released.push_back(data);
    outstanding.erase(data);
    return 1;
  }
  UINT IsAvailable() override { return 1; }
  UINT GetArchiveType() override { return VFS_ARCHIVE_ZLIB; }
  UINT GetDiskKind() override { return m_kind; }
  const char* GetDiskName() override { return m_name.c_str(); }

  std::vector<std::pair<std::string, std::string>> members;
  // Blocks given out and not yet given back.
  std::map<BYTE*, std::unique_ptr<BYTE[]>> outstanding;
  std::vector<BYTE*> released;
  int dataRequests = 0;

 private:
  std::string m_name;
  UINT m_kind;
};
