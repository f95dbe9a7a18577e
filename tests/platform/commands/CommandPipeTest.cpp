#include <fcntl.h>
#include <gtest/gtest.h>
#include <stb_image.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "ProbeProcess.h"
#include "TempDir.h"
#include "zkplatform/ZkPaths.h"

namespace {

// One writer: opens the FIFO, writes, and goes away.
void WriteAndClose(const std::string& fifo, const std::string& text) {
  const int file = open(fifo.c_str(), O_WRONLY | O_CLOEXEC);
  ASSERT_GE(file, 0);
  ASSERT_EQ(write(file, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  close(file);
}

TEST(CommandPipeTest, AnotherProcessDrivesTheProgramThroughAFifo) {
  TempDir dir;
  const std::string fifo = dir / "commands";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ProbeProcess probe(ZkProgramFolder() + "/zk_command_probe", {}, {"ZK_COMMANDS=" + fifo});
  // The program opened the FIFO at its first PeekMessageA, before any writer came.
  ASSERT_EQ(probe.ReadLine(), "ready");

  WriteAndClose(fifo, "# the first writer\ntap 30\nkey 48 down\nkey 48 up\n");
  for (const char* expected : {"down 65", "up 65", "down 66", "up 66"}) EXPECT_EQ(probe.ReadLine(), expected);

  // A second writer after the first has gone; the screenshot's path is relative to the FIFO.
  WriteAndClose(fifo, "screenshot shot.png\ntap 31\nclose\n");
  for (const char* expected : {"down 83", "up 83", "close"}) EXPECT_EQ(probe.ReadLine(), expected);
  EXPECT_EQ(probe.Finish(), 0);

  int width = 0, height = 0, channels = 0;
  unsigned char* shot = stbi_load((dir / "shot.png").c_str(), &width, &height, &channels, 4);
  ASSERT_NE(shot, nullptr);
  EXPECT_EQ(width, 160);
  EXPECT_EQ(height, 120);
  const unsigned char* centre = shot + (static_cast<size_t>(60) * width + 80) * 4;
  EXPECT_NEAR(centre[0], 40, 3);
  EXPECT_NEAR(centre[1], 160, 3);
  EXPECT_NEAR(centre[2], 90, 3);
  stbi_image_free(shot);
}

}  // namespace
