#include <gtest/gtest.h>

#include <cstring>

#include "FakeEnvelopes.h"
#include "ZKDXInterface.h"

namespace {

// Stand-ins for texture objects: SurfaceTexture only compares their addresses.
CTextureInterface* Texture(int n) { return reinterpret_cast<CTextureInterface*>(0x1000 * n); }

TEST(Records, VertexStoresBothUValuesBeforeBothVValues) {
  Vertex vertex{};
  vertex.fTU[0] = 0.25f;
  vertex.fTV[0] = 0.75f;
  vertex.fTU[1] = 0.5f;
  vertex.fTV[1] = 1.0f;
  float fromOffset72[4];
  std::memcpy(fromOffset72, reinterpret_cast<const BYTE*>(&vertex) + 72, sizeof(fromOffset72));
  EXPECT_EQ(fromOffset72[0], 0.25f);
  EXPECT_EQ(fromOffset72[1], 0.5f);
  EXPECT_EQ(fromOffset72[2], 0.75f);
  EXPECT_EQ(fromOffset72[3], 1.0f);
}

TEST(Records, ClearedSurfaceTextureHasIdentityMatrixAndNoImage) {
  SurfaceTexture slot;
  std::memset(static_cast<void*>(&slot), 0xAB, sizeof(slot));
  slot.Clear();
  EXPECT_EQ(slot.pTextureImage, nullptr);
  EXPECT_EQ(slot.pFrames, nullptr);
  EXPECT_EQ(slot.mtxMatrix, CMatrix::Identity());
  EXPECT_EQ(slot.wFlags, 0);
  EXPECT_EQ(slot.wOpacity, 0);
  EXPECT_EQ(slot.fOpacityValue, 0.0f);
  EXPECT_EQ(slot.dwSourceKind, 0u);
  EXPECT_EQ(slot.lFirstFrame, 0);
  EXPECT_EQ(slot.lFrameLimit, 0);
  EXPECT_EQ(slot.dwSequenceParameter, 0u);
  EXPECT_EQ(slot.dwNumberOfFrames, 0u);
}

TEST(Records, SurfaceTextureComparison) {
  SurfaceTexture cleared;
  cleared.Clear();
  EXPECT_TRUE(SurfaceTexture::IsEqual(nullptr, nullptr));
  EXPECT_FALSE(SurfaceTexture::IsEqual(&cleared, nullptr));
  EXPECT_FALSE(SurfaceTexture::IsEqual(nullptr, &cleared));
  // A single image equals only the same non-null image, so a cleared slot differs from itself.
  EXPECT_FALSE(SurfaceTexture::IsEqual(&cleared, &cleared));

  SurfaceTexture image = cleared;
  image.pTextureImage = Texture(1);
  image.wOpacity = 1;
  image.fOpacityValue = 0.5f;
  SurfaceTexture sameImage = image;
  sameImage.mtxMatrix.SetScale(2, 2, 2);  // the texture matrix is not compared
  EXPECT_TRUE(SurfaceTexture::IsEqual(&image, &sameImage));

  CTextureInterface* frames[] = {Texture(2), Texture(3)};
  CTextureInterface* sameFrames[] = {Texture(2), Texture(3)};
  SurfaceTexture sequence = cleared;
  sequence.dwSourceKind = SURFACE_TEXTURE_SEQUENCE;
  sequence.pFrames = frames;
  sequence.dwNumberOfFrames = 2;
  sequence.lFirstFrame = 1;
  sequence.lFrameLimit = 3;
  SurfaceTexture sameSequence = sequence;
  sameSequence.pFrames = sameFrames;
  EXPECT_TRUE(SurfaceTexture::IsEqual(&sequence, &sameSequence));

  struct Case {
    const char* name;
    void (*change)(SurfaceTexture&);
  };
  const Case differences[] = {
      {"flags", [](SurfaceTexture& s) { s.wFlags = SURFACE_TEXTURE_LOOP; }},
      {"opacity type", [](SurfaceTexture& s) { s.wOpacity = 2; }},
      {"opacity value", [](SurfaceTexture& s) { s.fOpacityValue = 0.25f; }},
      {"source kind", [](SurfaceTexture& s) { s.dwSourceKind = 0; }},
      {"frame count", [](SurfaceTexture& s) { s.dwNumberOfFrames = 1; }},
      {"first frame", [](SurfaceTexture& s) { s.lFirstFrame = 0; }},
      {"frame limit", [](SurfaceTexture& s) { s.lFrameLimit = 2; }},
      {"sequence parameter", [](SurfaceTexture& s) { s.dwSequenceParameter = 7; }},
      {"missing frames", [](SurfaceTexture& s) { s.pFrames = nullptr; }},
      {"other frame", [](SurfaceTexture& s) {
         static CTextureInterface* other[] = {Texture(2), Texture(4)};
         s.pFrames = other;
       }},
  };
  for (const Case& c : differences) {
    SCOPED_TRACE(c.name);
    SurfaceTexture changed = sameSequence;
    c.change(changed);
    EXPECT_FALSE(SurfaceTexture::IsEqual(&sequence, &changed));
  }

  SurfaceTexture otherImage = image;
  otherImage.pTextureImage = Texture(9);
  EXPECT_FALSE(SurfaceTexture::IsEqual(&image, &otherImage));
}

TEST(Records, KeysCompareEveryFieldExactly) {
  FakeKey key(1.5f, 10, KEY_SHAPE_BEZIER);
  key.SetParamValue(0.25f, KEY_PARAM_BIAS);
  key.SetParamValue(-2, KEY_PARAM_0 + 3);
  FakeKey same = key;
  EXPECT_TRUE(key.IsEqual(&same));
  EXPECT_FALSE(key.IsDifferent(&same));

  struct Case {
    const char* name;
    void (*change)(FakeKey&);
  };
  const Case differences[] = {
      {"value", [](FakeKey& k) { k.SetKeyValue(1.5000001f); }},
      {"time", [](FakeKey& k) { k.SetKeyTime(11); }},
      {"shape", [](FakeKey& k) { k.SetShape(KEY_SHAPE_LINEAR); }},
      {"tension", [](FakeKey& k) { k.SetParamValue(0.1f, KEY_PARAM_TENSION); }},
      {"continuity", [](FakeKey& k) { k.SetParamValue(0.1f, KEY_PARAM_CONTINUITY); }},
      {"bias", [](FakeKey& k) { k.SetParamValue(0, KEY_PARAM_BIAS); }},
      {"last parameter", [](FakeKey& k) { k.SetParamValue(2, KEY_PARAM_0 + 3); }},
  };
  for (const Case& c : differences) {
    SCOPED_TRACE(c.name);
    FakeKey changed = key;
    c.change(changed);
    EXPECT_FALSE(key.IsEqual(&changed));
    EXPECT_TRUE(key.IsDifferent(&changed));
  }
}

TEST(Records, EnvelopesCompareFlagAndKeysButNotConstants) {
  FakeEnvelope a, b;
  a.SetValue(1);
  b.SetValue(2);
  EXPECT_TRUE(CEnvelopeInterface::IsEqual(&a, &b));  // constants are not compared

  a.channel.AddKeyData(1, 0, KEY_SHAPE_TCB, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_FALSE(CEnvelopeInterface::IsEqual(&a, &b));  // key count differs
  b.channel.AddKeyData(1, 0, KEY_SHAPE_TCB, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_TRUE(CEnvelopeInterface::IsEqual(&a, &b));

  b.channel.SetKeyData(1, 0, KEY_SHAPE_TCB, 0.5f, 0, 0, 0, 0, 0, 0);
  EXPECT_FALSE(CEnvelopeInterface::IsEqual(&a, &b));  // a key differs
  b.channel.SetKeyData(1, 0, KEY_SHAPE_TCB, 0, 0, 0, 0, 0, 0, 0);

  a.SetIsEnvelope(1);
  EXPECT_FALSE(CEnvelopeInterface::IsEqual(&a, &b));  // flag differs
}

}  // namespace
