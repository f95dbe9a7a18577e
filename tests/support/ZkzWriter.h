#pragma once
// Builds the engine's own "ZK3D" archives: signature, header block, member count, the member
// table (2072-byte records, one zlib stream) and each member as a zlib stream of its own. Every
// field can be set wrong, so that a malformed archive is a line of test code.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class ZkzWriter {
 public:
  // Adds a member; a name of 2048 bytes or more fills the record's name field without a
  // terminator.
  ZkzWriter& Add(const std::string& name, const std::string& data);
  // Records `size` as the last member's uncompressed size instead of its real one.
  ZkzWriter& RecordSizeOfLast(uint32_t size);
  // Records `offset` as the last member's stream offset instead of its real one.
  ZkzWriter& RecordOffsetOfLast(uint32_t offset);
  ZkzWriter& Signature(const std::string& signature);
  ZkzWriter& HeaderBlock(const std::string& block);
  // Stores `count` as the member count whatever the table holds.
  ZkzWriter& StoredCount(uint32_t count);

  std::string Bytes() const;
  void Write(const std::string& path) const;

 private:
  struct Member {
    std::string name;
    std::string data;
    std::optional<uint32_t> recordedSize;
    std::optional<uint32_t> recordedOffset;
  };
  std::string m_signature = "ZK3D";
  std::string m_headerBlock;
  std::optional<uint32_t> m_storedCount;
  std::vector<Member> m_members;
};
