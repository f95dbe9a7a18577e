#include <gtest/gtest.h>

#include <string>

#include "ChunkStreams.h"
#include "chunks/ChunkWriter.h"

namespace {

std::string TagAt(const std::vector<uint8_t>& bytes, size_t offset) {
  return std::string(bytes.begin() + offset, bytes.begin() + offset + 4);
}

TEST(ChunkWriter, FileAndContainerSizesComeFromTheRunningTotal) {
  WrittenStream stream;
  UINT total = 1234;  // a file starts its own count
  CChunkWriter out(stream.Stream(), total);
  CChunkWriter::ContainerMark file;
  ASSERT_TRUE(out.BeginFile("ZKS5", file));
  ASSERT_TRUE(out.U32Chunk("FFRM", 7));
  ASSERT_TRUE(out.Container("LITE", [&] {
    return out.FixedChunk("NAME", 8, [&] { return out.Text("lamp", 8); }) &&
           out.Container("MOTN", [&] { return out.F32Chunk("CHNN", 1.5f); });
  }));
  ASSERT_TRUE(out.EndFile(file));

  const std::vector<uint8_t> bytes = stream.Bytes();
  ASSERT_EQ(bytes.size(), 8u + 12 + 8 + 16 + 8 + 12);
  EXPECT_EQ(total, bytes.size() - 8);
  EXPECT_EQ(TagAt(bytes, 0), "ZKS5");
  EXPECT_EQ(U32At(bytes, 4), bytes.size() - 8);
  EXPECT_EQ(TagAt(bytes, 20), "LITE");
  EXPECT_EQ(U32At(bytes, 24), 16u + 8 + 12);  // its sub-chunks, each with its header
  EXPECT_EQ(TagAt(bytes, 44), "MOTN");
  EXPECT_EQ(U32At(bytes, 48), 12u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[36]), 8),
            std::string("lamp\0\0\0\0", 8));
}

TEST(ChunkWriter, ContainerCountsFromAMovedMark) {
  WrittenStream stream;
  UINT total = 0;
  CChunkWriter out(stream.Stream(), total);
  CChunkWriter::ContainerMark mark;
  ASSERT_TRUE(out.BeginContainer("MOTN", mark));
  ASSERT_TRUE(out.U32Chunk("CHNN", 0));
  mark.totalAtStart = total;
  ASSERT_TRUE(out.EndContainer(mark));
  const std::vector<uint8_t> bytes = stream.Bytes();
  EXPECT_EQ(U32At(bytes, 4), 0u);
  EXPECT_EQ(total, 20u);  // the running total still counts the whole chunk
  EXPECT_EQ(bytes.size(), 20u);
}

TEST(ChunkWriter, AFailedContainerLeavesItsTagAsPlaceholder) {
  WrittenStream stream;
  UINT total = 0;
  CChunkWriter out(stream.Stream(), total);
  EXPECT_FALSE(out.Container("LITE", [&] { return out.U32Chunk("PROP", 1) && false; }));
  const std::vector<uint8_t> bytes = stream.Bytes();
  EXPECT_EQ(TagAt(bytes, 0) + TagAt(bytes, 4), "LITELITE");
}

TEST(ChunkWriter, FixedChunkWhosePayloadDiffersFromItsSizeFails) {
  WrittenStream stream;
  UINT total = 0;
  CChunkWriter out(stream.Stream(), total);
  EXPECT_FALSE(out.FixedChunk("PIVT", 12, [&] { return out.F32(1) && out.F32(2); }));
  EXPECT_EQ(total, 0u);
}

TEST(ChunkWriter, WritersFailWhenTheStreamRefusesBytes) {
  RefusingStream stream;
  UINT total = 0;
  CChunkWriter out(stream.Stream(), total);
  CChunkWriter::ContainerMark mark;
  EXPECT_FALSE(out.U32Chunk("FFRM", 1));
  EXPECT_FALSE(out.Container("LITE", [] { return true; }));
  EXPECT_FALSE(out.BeginFile("ZKO6", mark));
  EXPECT_EQ(total, 0u);
}

TEST(ChunkWriter, TextFieldsAreCutToKeepTheirTerminator) {
  WrittenStream stream;
  UINT total = 0;
  CChunkWriter out(stream.Stream(), total);
  const std::string longName(300, 'x');
  ASSERT_TRUE(out.Text(longName.c_str(), 256));
  ASSERT_TRUE(out.Text("wide", 300));
  ASSERT_TRUE(out.Text(nullptr, 4));
  const std::vector<uint8_t> bytes = stream.Bytes();
  ASSERT_EQ(bytes.size(), 256u + 300 + 4);
  EXPECT_EQ(bytes[254], 'x');
  EXPECT_EQ(bytes[255], 0);
  EXPECT_EQ(std::string(bytes.begin() + 256, bytes.begin() + 260), "wide");
  for (size_t i = 260; i < bytes.size(); ++i) ASSERT_EQ(bytes[i], 0) << i;
}

}  // namespace
