#include <array>
#include <cstring>

#include "ProcessExitCatcher.h"
#include "SurfaceChunkFixture.h"

namespace {

class SurfaceTextureLayers : public SurfaceChunkFixture {
 protected:
  // A record in the slot showing a new bank texture of the images (either may be null).
  SurfaceTexture* Fill(CSurface* surface, CSurface::Slot slot, const char* first,
                       const char* alpha) {
    SurfaceTexture* record = surface->NewTextureRecord(slot);
    record->pTextureImage = bench.textures.Make(first, alpha, 0);
    return record;
  }
  SurfaceTexture* Pack(CSurface* surface, CSurface::Slot slot, const char* red, const char* green,
                       const char* blue, const char* alpha) {
    SurfaceTexture* record = surface->NewTextureRecord(slot);
    record->pTextureImage = bench.textures.Pack(red, green, blue, alpha, {1, 2, 3, 4});
    return record;
  }
  static FakeCountedTexture* Counted(CTextureInterface* texture) {
    return static_cast<FakeCountedTexture*>(texture);
  }
};

// The text of the name chunk whose tag stands at `at`.
std::string StoredName(const std::vector<uint8_t>& bytes, size_t at) {
  return std::string(reinterpret_cast<const char*>(bytes.data() + at + 8));
}

std::vector<std::string> TagsInside(const std::vector<uint8_t>& bytes, size_t from, size_t end) {
  std::vector<std::string> tags;
  for (size_t at = from; at + 8 <= end; at += 8 + U32At(bytes, at + 4))
    tags.emplace_back(bytes.begin() + at, bytes.begin() + at + 4);
  return tags;
}

bool IsIdentity(const CMatrix& m) {
  CMatrix identity;
  identity.SetIdentity();
  return std::memcmp(&m, &identity, sizeof m) == 0;
}

void Flags(CChunkBuilder& b) { b.U32Chunk("TFLG", 1).U32Chunk("TOPC", 0).F32Chunk("TOPF", 1); }

void Name(CChunkBuilder& b, const char* tag, const std::string& name, uint32_t size = 256) {
  b.Begin(tag, size).Text(name, 256).End();
}

TEST_F(SurfaceTextureLayers, EachSlotRoundTripsThroughTheTexturesFolder) {
  struct Case {
    CSurface::Slot slot;
    UINT kind;  // the texture kind that reads the slot back
    const char* tag;
    const char* first;
    const char* alpha;
    std::vector<std::string> stored;  // the names written, "TNAM" then "TALP"
    UINT normalMap;
    WORD flags;
  };
  const Case cases[] = {
      {CSurface::SLOT_COLOR0, 1, "TCR0", "C:\\art\\wall.tga", nullptr, {"wall.tga"}, 0, 0},
      {CSurface::SLOT_COLOR0, 1, "TCR0", "art/leaf.png", "art/leaf_a.png",
       {"leaf.png", "leaf_a.png"}, 0, 0x0100},
      {CSurface::SLOT_COLOR0, 1, "TCR0", nullptr, "d:mask.tga", {"", "mask.tga"}, 0, 0xFFFF},
      {CSurface::SLOT_COLOR1, 2, "TCR1", "sky\\v1.2\\sky.jpeg", nullptr, {"sky.jpeg"}, 0, 0x8001},
      {CSurface::SLOT_NORMAL, 13, "TNRM", "bump.dds", "maps\\height.dds",
       {"bump.dds", "height.dds"}, 1, 2},
      {CSurface::SLOT_NORMAL, 13, "TNRM", "flat", nullptr, {"flat"}, 1, 0},
      {CSurface::SLOT_REFLECTION, 21, "TRFL", "env.tga", nullptr, {"env.tga"}, 0, 4},
      {CSurface::SLOT_REFRACTION, 22, "TRFR", "glass.tga", nullptr, {"glass.tga"}, 0, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.tag) + " " + (c.first ? c.first : "(alpha only)"));
    CSurface* written = bench.Make("pane", mesh);
    SurfaceTexture* record = Fill(written, c.slot, c.first, c.alpha);
    record->wFlags = c.flags;
    record->wOpacity = 3;
    record->fOpacityValue = 0.5f;
    record->mtxMatrix._41 = 7;  // not stored: read back as identity
    const std::vector<uint8_t> bytes = Write(written);
    EXPECT_STREQ(Counted(record->pTextureImage)->GetFileName(), c.first)
        << "the texture keeps its own name";

    const SubChunk slot = SubChunks(bytes).back();
    ASSERT_EQ(slot.tag, c.tag);
    EXPECT_EQ(slot.size, 264 * c.stored.size() + 36);
    std::vector<std::string> expectedTags = {"TNAM"};
    if (c.stored.size() == 2) expectedTags.push_back("TALP");
    for (const char* tag : {"TFLG", "TOPC", "TOPF"}) expectedTags.push_back(tag);
    EXPECT_EQ(TagsInside(bytes, slot.payload, slot.payload + slot.size), expectedTags);
    for (size_t i = 0; i < c.stored.size(); ++i)
      EXPECT_EQ(StoredName(bytes, slot.payload + 264 * i), c.stored[i]);

    CSurface* loaded = Read(bytes);
    ASSERT_TRUE(read) << Errors();
    const SurfaceTexture* copy = loaded->GetTexture(c.kind);
    ASSERT_NE(copy, nullptr);
    FakeCountedTexture* texture = Counted(copy->pTextureImage);
    ASSERT_NE(texture, nullptr);
    auto path = [](const std::string& name) {
      return name.empty() ? std::string() : "levels\\one\\Textures\\" + name;
    };
    EXPECT_EQ(texture->names[1], path(c.stored[0]));
    EXPECT_EQ(texture->names[4], c.stored.size() == 2 ? path(c.stored[1]) : "");
    EXPECT_EQ(texture->normalMap, c.normalMap == 1);
    EXPECT_EQ(copy->dwSourceKind, 0u);
    EXPECT_EQ(copy->wFlags, c.flags);
    EXPECT_EQ(copy->wOpacity, 3);
    EXPECT_EQ(copy->fOpacityValue, 0.5f);
    EXPECT_TRUE(IsIdentity(copy->mtxMatrix));
  }
}

TEST_F(SurfaceTextureLayers, TextureDirectoryReplacesTheScenesFolder) {
  CSurface* written = bench.Make("pane", mesh);
  Fill(written, CSurface::SLOT_COLOR0, "wall.tga", "wall_a.tga");
  CSurface* loaded = Read(Write(written), "mods\\pack\\");
  ASSERT_TRUE(read) << Errors();
  FakeCountedTexture* texture = Counted(loaded->GetColor0Texture()->pTextureImage);
  EXPECT_EQ(texture->names[1], "mods\\pack\\Textures\\wall.tga");
  EXPECT_EQ(texture->names[4], "mods\\pack\\Textures\\wall_a.tga");
}

TEST_F(SurfaceTextureLayers, EverySlotIsWrittenInItsOrder) {
  CSurface* written = bench.Make("all", mesh);
  // Filled out of order on purpose.
  Fill(written, CSurface::SLOT_REFRACTION, "e.tga", nullptr);
  Pack(written, CSurface::SLOT_MATERIAL2, "r.tga", nullptr, nullptr, nullptr);
  Fill(written, CSurface::SLOT_COLOR1, "b.tga", nullptr);
  Fill(written, CSurface::SLOT_REFLECTION, "d.tga", nullptr);
  Pack(written, CSurface::SLOT_MATERIAL1, nullptr, nullptr, "g.tga", nullptr);
  Fill(written, CSurface::SLOT_NORMAL, "c.tga", nullptr);
  Fill(written, CSurface::SLOT_COLOR0, "a.tga", nullptr);
  const std::vector<uint8_t> bytes = Write(written);
  std::vector<std::string> tags = Tags(SubChunks(bytes));
  tags.erase(tags.begin(), tags.begin() + 8);  // NAME ... ALPH
  EXPECT_EQ(tags, (std::vector<std::string>{"TCR0", "TCR1", "TNRM", "TMT1", "TMT2", "TRFL", "TRFR"}));

  CSurface* loaded = Read(bytes);
  ASSERT_TRUE(read) << Errors();
  for (UINT kind : {1u, 2u, 13u, 7u, 17u, 21u, 22u}) {
    SurfaceTexture* copy = loaded->GetTexture(kind);
    ASSERT_NE(copy, nullptr) << kind;
    EXPECT_NE(copy->pTextureImage, nullptr) << kind;
  }
}

TEST_F(SurfaceTextureLayers, AnimatedSlotStoresEveryFrameAndItsSizeFromWhatIsWritten) {
  CSurface* written = bench.Make("screen", mesh);
  SurfaceTexture* record = written->NewTextureRecord(CSurface::SLOT_COLOR0);
  // Names of different lengths, and an alpha image on some frames only (one alone).
  const char* names[3][2] = {{"anim\\f1.tga", "anim\\f1a.tga"},
                             {"anim\\frame_long_name_02.tga", nullptr},
                             {nullptr, "anim\\mask3.tga"}};
  record->pFrames = new CTextureInterface*[3];
  for (int i = 0; i < 3; ++i) record->pFrames[i] = bench.textures.Make(names[i][0], names[i][1], 0);
  record->dwNumberOfFrames = 3;
  record->dwSourceKind = SURFACE_TEXTURE_SEQUENCE;
  record->pTextureImage = record->pFrames[1];
  record->dwSequenceParameter = 0xABCD;
  record->lFirstFrame = 4;
  record->lFrameLimit = 7;
  record->wFlags = SURFACE_TEXTURE_LOOP;
  const std::vector<uint8_t> bytes = Write(written);

  const SubChunk slot = SubChunks(bytes).back();
  ASSERT_EQ(slot.tag, "TCR0");
  ASSERT_EQ(TagsInside(bytes, slot.payload, slot.payload + slot.size),
            (std::vector<std::string>{"TANI", "TFLG", "TOPC", "TOPF"}));
  EXPECT_EQ(U32At(bytes, slot.payload + 4), 16u + 5 * 264);
  const size_t firstName = slot.payload + 8 + 16;
  EXPECT_EQ(TagsInside(bytes, firstName, firstName + 5 * 264),
            (std::vector<std::string>{"TNAM", "TALP", "TNAM", "TNAM", "TALP"}));
  EXPECT_EQ(StoredName(bytes, firstName + 2 * 264), "frame_long_name_02.tga");

  const size_t madeBefore = bench.textures.made.size();
  CSurface* loaded = Read(bytes);
  ASSERT_TRUE(read) << Errors();
  const SurfaceTexture* copy = loaded->GetColor0Texture();
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->dwSourceKind, SURFACE_TEXTURE_SEQUENCE);
  EXPECT_EQ(copy->dwSequenceParameter, 0xABCDu);
  EXPECT_EQ(copy->lFirstFrame, 4);
  EXPECT_EQ(copy->lFrameLimit, 7);
  EXPECT_EQ(copy->wFlags, SURFACE_TEXTURE_LOOP);
  ASSERT_EQ(copy->dwNumberOfFrames, 3u);
  EXPECT_EQ(bench.textures.made.size(), madeBefore + 3);
  const std::string folder = "levels\\one\\Textures\\";
  const std::string expected[3][2] = {{folder + "f1.tga", folder + "f1a.tga"},
                                      {folder + "frame_long_name_02.tga", ""},
                                      {"", folder + "mask3.tga"}};
  for (int i = 0; i < 3; ++i) {
    FakeCountedTexture* frame = Counted(copy->pFrames[i]);
    ASSERT_NE(frame, nullptr) << i;
    EXPECT_EQ(frame->names[1], expected[i][0]) << i;
    EXPECT_EQ(frame->names[4], expected[i][1]) << i;
  }
  EXPECT_EQ(copy->pTextureImage, copy->pFrames[0]);
  EXPECT_TRUE(IsIdentity(copy->mtxMatrix));
}

TEST_F(SurfaceTextureLayers, AnimationWhoseSizeDoesNotMatchItsFramesStopsTheEngine) {
  const std::vector<uint8_t> bytes = Surf([](CChunkBuilder& b) {
    b.Begin("TCR0");
    b.Begin("TANI", 16 + 2 * 264).U32(0).U32(0).U32(1).U32(1);
    Name(b, "TNAM", "f.tga");
    b.End();
    Flags(b);
    b.End();
  });
  ProcessExitCatcher catcher;
  try {
    Read(bytes);
    ADD_FAILURE() << "no fatal error";
  } catch (const ProcessExited& exited) {
    EXPECT_EQ(exited.code, 1u);
  }
  ASSERT_FALSE(catcher.Boxes().empty());
  EXPECT_EQ(catcher.Boxes().back().caption, "Error When Loading ZKO");
  EXPECT_EQ(catcher.Boxes().back().text, "Length Mismatch When Loading Animated Texture");
}

TEST_F(SurfaceTextureLayers, MaterialTexturesStoreTheirChannelsInOrder) {
  CSurface* written = bench.Make("metal", mesh);
  SurfaceTexture* first = Pack(written, CSurface::SLOT_MATERIAL1, nullptr, "maps\\gloss.png",
                               nullptr, "maps\\refl.jpeg");
  first->wFlags = 0x0021;
  first->wOpacity = 5;
  first->mtxMatrix._11 = 3;
  Pack(written, CSurface::SLOT_MATERIAL2, "t.tga", "f.tga", "r.tga", "l.tga");
  const std::vector<uint8_t> bytes = Write(written);
  const std::vector<SubChunk> chunks = SubChunks(bytes);
  const SubChunk one = chunks[chunks.size() - 2], two = chunks.back();
  ASSERT_EQ(one.tag, "TMT1");
  EXPECT_EQ(TagsInside(bytes, one.payload, one.payload + one.size),
            (std::vector<std::string>{"TGLS", "TRFL", "TFLG", "TOPC", "TOPF"}));
  EXPECT_EQ(StoredName(bytes, one.payload + 264), "refl.jpeg");
  ASSERT_EQ(two.tag, "TMT2");
  EXPECT_EQ(TagsInside(bytes, two.payload, two.payload + two.size),
            (std::vector<std::string>{"TTRN", "TFRS", "TRFR", "TLUM", "TFLG", "TOPC", "TOPF"}));

  bench.textures.packedBytes.clear();
  CSurface* loaded = Read(bytes);
  ASSERT_TRUE(read) << Errors();
  const std::string folder = "levels\\one\\Textures\\";
  FakeCountedTexture* loadedOne = Counted(loaded->GetMaterialTexture1()->pTextureImage);
  ASSERT_NE(loadedOne, nullptr);
  EXPECT_EQ(loadedOne->names[1], "");
  EXPECT_EQ(loadedOne->names[2], folder + "gloss.png");
  EXPECT_EQ(loadedOne->names[3], "");
  EXPECT_EQ(loadedOne->names[4], folder + "refl.jpeg");
  FakeCountedTexture* loadedTwo = Counted(loaded->GetMaterialTexture2()->pTextureImage);
  ASSERT_NE(loadedTwo, nullptr);
  EXPECT_EQ(loadedTwo->names[1], folder + "t.tga");
  EXPECT_EQ(loadedTwo->names[3], folder + "r.tga");
  // The constant channel values are not stored: every channel reads back as 255.
  const std::array<BYTE, 4> full = {255, 255, 255, 255};
  EXPECT_EQ(bench.textures.packedBytes, (std::vector<std::array<BYTE, 4>>{full, full}));
  EXPECT_EQ(loaded->GetMaterialTexture1()->wFlags, 0x0021);
  EXPECT_EQ(loaded->GetMaterialTexture1()->wOpacity, 5);
  EXPECT_TRUE(IsIdentity(loaded->GetMaterialTexture1()->mtxMatrix));
}

TEST_F(SurfaceTextureLayers, SlotsWithoutAFileAreLeftOutWithAWarning) {
  CSurface* written = bench.Make("blank", mesh);
  Fill(written, CSurface::SLOT_COLOR0, nullptr, nullptr);  // made by hand, no image file
  written->NewTextureRecord(CSurface::SLOT_NORMAL);       // a record without a texture
  written->NewTextureRecord(CSurface::SLOT_MATERIAL1);
  SurfaceTexture* sequence = written->NewTextureRecord(CSurface::SLOT_COLOR1);
  sequence->dwSourceKind = SURFACE_TEXTURE_SEQUENCE;
  sequence->pFrames = new CTextureInterface*[2]();
  sequence->pFrames[0] = bench.textures.Make("ok.tga", nullptr, 0);
  sequence->dwNumberOfFrames = 2;  // the second frame has no texture
  Fill(written, CSurface::SLOT_REFLECTION, "kept.tga", nullptr);
  bench.log.entries.clear();
  const std::vector<uint8_t> bytes = Write(written);
  EXPECT_EQ(Tags(SubChunks(bytes)).back(), "TRFL");
  EXPECT_EQ(Tags(SubChunks(bytes)).size(), 9u);
  const std::string warning = "WARNING!!! - Texture Without A File Not Saved: crate, blank\n";
  EXPECT_EQ(Errors(), warning + warning + warning + warning);
  CSurface* loaded = Read(bytes);
  ASSERT_TRUE(read) << Errors();
  EXPECT_EQ(loaded->GetColor0Texture(), nullptr);
  EXPECT_NE(loaded->GetReflectionTexture(), nullptr);
}

// Each case: a "SURF" whose one texture sub-chunk is malformed, and the lines it must leave.
struct MalformedLayer {
  const char* name;
  std::function<void(CChunkBuilder&)> body;
  std::string errors;
  bool bankFails = false;
};

TEST_F(SurfaceTextureLayers, MalformedLayersAreRefused) {
  const std::string tcr0 = "ERROR! - Error When Loading Surface::TCR0: crate, \n";
  const std::string tmat = "ERROR! - Error When Loading Surface::TMAT: crate, \n";
  const MalformedLayer cases[] = {
      {"block without a name",
       [](CChunkBuilder& b) {
         b.Begin("TCR0");
         Flags(b);
         b.End();
       },
       "ERROR! - Inocorrect Chunk (TFLG), TNAM expected\n" + tcr0},
      {"name of the wrong size",
       [](CChunkBuilder& b) {
         b.Begin("TCR0");
         Name(b, "TNAM", "a.tga", 255);
         Flags(b);
         b.End();
       },
       "ERROR! - SurfaceTexture::TNAM incorrect length\n" + tcr0},
      {"alpha name of the wrong size",
       [](CChunkBuilder& b) {
         b.Begin("TCR0");
         Name(b, "TNAM", "a.tga");
         Name(b, "TALP", "b.tga", 4);
         Flags(b);
         b.End();
       },
       "ERROR! - SurfaceTexture::TALP incorrect length\n" + tcr0},
      {"flags missing",
       [](CChunkBuilder& b) {
         b.Begin("TCR0");
         Name(b, "TNAM", "a.tga");
         b.U32Chunk("TOPC", 0).F32Chunk("TOPF", 1);
         b.End();
       },
       "ERROR! - Inocorrect Chunk (TOPC), TFLG expected\n" + tcr0},
      {"opacity value of the wrong size",
       [](CChunkBuilder& b) {
         b.Begin("TCR0");
         Name(b, "TNAM", "a.tga");
         b.U32Chunk("TFLG", 0).U32Chunk("TOPC", 0).Begin("TOPF").U16(1).End();
         b.End();
       },
       "ERROR! - SurfaceTexture::TOPF incorrect length\n" + tcr0},
      {"slot larger than its block",
       [](CChunkBuilder& b) {
         b.Begin("TCR1");
         Name(b, "TNAM", "a.tga");
         Flags(b);
         b.U32(0);
         b.End();
       },
       "ERROR! - Read Data Size Is Not Equal To Chunk's Size, LoadColor1Texture, crate, \n"
       "ERROR! - Error When Loading Surface::TCR1: crate, \n"},
      {"texture the bank cannot make",
       [](CChunkBuilder& b) {
         b.Begin("TNRM");
         Name(b, "TNAM", "a.tga");
         Flags(b);
         b.End();
       },
       "ERROR! - Can't Create Texture (levels\\one\\Textures\\a.tga)\n"
       "ERROR! - Error When Loading Surface::TNRM: crate, \n",
       true},
      {"two-file texture the bank cannot make",
       [](CChunkBuilder& b) {
         b.Begin("TRFR");
         Name(b, "TNAM", "a.tga");
         Name(b, "TALP", "b.tga");
         Flags(b);
         b.End();
       },
       "ERROR! - Can't Create Texture (levels\\one\\Textures\\a.tga, "
       "levels\\one\\Textures\\b.tga)\n"
       "ERROR! - Error When Loading Surface::TRFR: crate, \n",
       true},
      {"more frames than the file holds",
       [](CChunkBuilder& b) {
         b.Begin("TCR0");
         b.Begin("TANI", 16 + 264).U32(0).U32(0).U32(1).U32(0xFFFFFFFF);
         Name(b, "TNAM", "f.tga");
         b.End();
         Flags(b);
         b.End();
       },
       tcr0},
      {"material channels out of order",
       [](CChunkBuilder& b) {
         b.Begin("TMT1");
         Name(b, "TRFL", "r.tga");
         Name(b, "TDIF", "d.tga");
         Flags(b);
         b.End();
       },
       "ERROR! - Inocorrect Chunk (TDIF), TFLG expected\n" + tmat},
      {"diffuse channel of the wrong size",
       [](CChunkBuilder& b) {
         b.Begin("TMT1");
         Name(b, "TDIF", "d.tga", 100);
         Flags(b);
         b.End();
       },
       "ERROR! - Surface::TDIF Wrong Size: crate, \n" + tmat},
      {"gloss channel of the wrong size",
       [](CChunkBuilder& b) {
         b.Begin("TMT1");
         Name(b, "TGLS", "g.tga", 100);
         Flags(b);
         b.End();
       },
       tmat},
      {"fresnel channel of the wrong size",
       [](CChunkBuilder& b) {
         b.Begin("TMT2");
         Name(b, "TFRS", "f.tga", 100);
         Flags(b);
         b.End();
       },
       "ERROR! - Surface::TFRS Wrong Size: crate, \n" + tmat},
      {"material slot larger than its names",
       [](CChunkBuilder& b) {
         b.Begin("TMT2");
         Name(b, "TLUM", "l.tga");
         Flags(b);
         b.U32(0);
         b.End();
       },
       "ERROR! - SurfaceTexture::TMAT incorrect length\n" + tmat},
      {"material texture the bank cannot make",
       [](CChunkBuilder& b) {
         b.Begin("TMT2");
         Name(b, "TLUM", "l.tga");
         Flags(b);
         b.End();
       },
       "ERROR! - SurfaceTexture::TMAT, Can't Create Material Texture\n" + tmat, true},
  };
  for (const MalformedLayer& c : cases) {
    SCOPED_TRACE(c.name);
    bench.log.entries.clear();
    bench.textures.fail = c.bankFails;
    Read(Surf(c.body));
    bench.textures.fail = false;
    EXPECT_FALSE(read);
    EXPECT_EQ(Errors(), c.errors);
  }
}

TEST_F(SurfaceTextureLayers, MaterialChannelsMayBeMissing) {
  // Only green and alpha: red and blue take their constant.
  CSurface* loaded = Read(Surf([](CChunkBuilder& b) {
    b.Begin("TMT1");
    Name(b, "TGLS", "g.tga");
    Name(b, "TRFL", "r.tga");
    Flags(b);
    b.End();
  }));
  ASSERT_TRUE(read) << Errors();
  FakeCountedTexture* texture = Counted(loaded->GetMaterialTexture1()->pTextureImage);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->names[1], "");
  EXPECT_EQ(texture->names[2], "levels\\one\\Textures\\g.tga");
  EXPECT_EQ(texture->names[3], "");
  EXPECT_EQ(texture->names[4], "levels\\one\\Textures\\r.tga");
  EXPECT_EQ(bench.textures.packedBytes.back(), (std::array<BYTE, 4>{255, 255, 255, 255}));
}

}  // namespace
