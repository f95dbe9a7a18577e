#include <cstring>

#include "ProcessExitCatcher.h"
#include "SurfaceChunkFixture.h"
#include "scene/Envelope.h"

namespace {

using SurfaceChunk = SurfaceChunkFixture;

FakeMaterial* MaterialOf(CSurface* surface) {
  return static_cast<FakeMaterial*>(surface->GetMaterial(0));
}

// A surface with a material and three indices; the fields that every surface writes.
CSurface* PlainSurface(SurfaceTestBench& bench, CMesh* mesh) {
  CSurface* surface = bench.Make("lid", mesh);
  D3DCOLORVALUE diffuse{0.5f, 0.25f, 0.125f, 0.75f}, specular{1, 2, 3, 4}, emissive{5, 6, 7, 8};
  CVector4 additional1(9, 10, 11, 12), additional2(13, 14, 15, 16);
  surface->CreateMaterial(&diffuse, &specular, &emissive, &additional1, &additional2, 0);
  float color[3] = {0.1f, 0.2f, 0.3f};
  std::memcpy(surface->GetColor(), color, sizeof color);
  WORD indices[] = {0, 7, 3};
  surface->SetIndices(3, indices);
  surface->SetShadingType(2);
  surface->SetFlags(0x8001);
  surface->SetSurfaceParameter(0.25f);
  return surface;
}

void NameChunk(CChunkBuilder& b, const std::string& name) {
  b.Begin("NAME").Text(name, 256).End();
}

void Material(CChunkBuilder& b) {
  b.Begin("MATR");
  for (int i = 0; i < 20; ++i) b.F32(static_cast<float>(i));
  b.End();
}

void ConstantEnvelope(CChunkBuilder& b, const char* tag, float value) {
  b.Begin(tag).Begin("ENVN").F32(value).End().End();
}

void Shader(CChunkBuilder& b, const std::string& file, uint32_t parameters) {
  b.Begin("SHDR");
  NameChunk(b, file);
  if (parameters > 0) {
    b.Begin("PARM");
    for (uint32_t i = 0; i < parameters; ++i)
      b.U32(i).U32(i == 1 ? 7 : 0).Text("p" + std::to_string(i), 56);
    b.End();
  }
  b.End();
}

TEST_F(SurfaceChunk, PlainSurfaceWritesItsFixedChunksAndReadsBack) {
  CSurface* written = PlainSurface(bench, mesh);
  const std::vector<uint8_t> bytes = Write(written);
  const std::vector<SubChunk> chunks = SubChunks(bytes);
  EXPECT_EQ(Tags(chunks), (std::vector<std::string>{"NAME", "COLR", "MATR", "INDN", "INDC", "SHAD",
                                                    "FLAG", "ALPH"}));
  EXPECT_EQ(U32At(bytes, 4), 264u + 20 + 88 + 12 + (8 + 2 * 3) + 12 + 12 + 12);
  const std::vector<uint8_t> flagBytes(bytes.begin() + chunks[6].payload,
                                       bytes.begin() + chunks[6].payload + 4);
  EXPECT_EQ(flagBytes, (std::vector<uint8_t>{0x01, 0x80, 0x00, 0x00}));

  bench.log.entries.clear();
  CSurface* loaded = Read(bytes);
  ASSERT_TRUE(read) << Errors();
  EXPECT_STREQ(loaded->GetName(), "lid");
  EXPECT_EQ(loaded->GetColor()[0], 0.1f);
  EXPECT_EQ(loaded->GetColor()[2], 0.3f);
  EXPECT_EQ(loaded->GetShadeType(), 2u);
  EXPECT_EQ(loaded->GetFlags(), 0x8001);
  EXPECT_EQ(loaded->GetSurfaceParameter(), 0.25f);
  EXPECT_EQ(loaded->GetHasEnvelopes(), 0u);

  FakeMaterial* material = MaterialOf(loaded);
  ASSERT_NE(material, nullptr);
  EXPECT_EQ(material->unique, 0u) << "a surface without envelopes may share its material";
  EXPECT_EQ(material->block.Diffuse.g, 0.25f);
  EXPECT_EQ(material->block.Specular.a, 4.0f);
  EXPECT_EQ(material->block.Emissive.b, 7.0f);
  EXPECT_EQ(material->additional1.w, 12.0f);
  EXPECT_EQ(material->additional2.x, 13.0f);

  ASSERT_EQ(loaded->GetIndexCount(), 3u);
  auto* buffer = static_cast<FakeIndexBuffer*>(loaded->GetIndexBuffer());
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer->meshOwner, "crate");
  EXPECT_EQ(buffer->surfaceOwner, "lid");
  EXPECT_EQ(buffer->indices, (std::vector<WORD>{0, 7, 3}));
  EXPECT_EQ(Infos(), "  - crate - lid Loaded Successfully\n");
  EXPECT_TRUE(Errors().empty()) << Errors();
}

TEST_F(SurfaceChunk, IndexBuffersFollowTheMeshsDynamicFlag) {
  CMesh* dynamicMesh = bench.AddMesh("flag", 1);
  Vertex vertices[3] = {};
  dynamicMesh->SetVertices(3, vertices, 0);
  CSurface* loaded = bench.Make("", dynamicMesh);
  MemoryChunkFile f(Surf([](CChunkBuilder& b) {
    NameChunk(b, "cloth");
    b.U32Chunk("INDN", 3).Begin("INDC").U16(0).U16(1).U16(2).End();
  }));
  ChunkTag tag;
  ASSERT_TRUE(f.in.Tag(tag));
  ASSERT_TRUE(Exporter()->ReadSURF(loaded, f.in, nullptr)) << Errors();
  auto* buffer = static_cast<FakeIndexBuffer*>(loaded->GetIndexBuffer());
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer->dynamic, 1u);
  EXPECT_EQ(buffer->meshOwner, "flag");
}

TEST_F(SurfaceChunk, SurfaceWithoutMaterialIsStoredWithADefaultOne) {
  CSurface* bare = bench.Make("bare", mesh);
  const std::vector<uint8_t> bytes = Write(bare);
  EXPECT_EQ(Tags(SubChunks(bytes)), (std::vector<std::string>{"NAME", "COLR", "MATR", "INDN",
                                                              "INDC", "SHAD", "FLAG", "ALPH"}));
  CSurface* loaded = Read(bytes);
  ASSERT_TRUE(read) << Errors();
  FakeMaterial* material = MaterialOf(loaded);
  ASSERT_NE(material, nullptr);
  EXPECT_EQ(material->block.Diffuse.r, 0.0f);
  EXPECT_EQ(material->block.Diffuse.a, 1.0f);
  EXPECT_EQ(loaded->GetIndexBuffer(), nullptr) << "an empty index list has no buffer";
  EXPECT_EQ(loaded->GetIndexCount(), 0u);
}

TEST_F(SurfaceChunk, EnvelopesRoundTripBeforeTheMaterialAndMakeItUnshared) {
  CSurface* written = PlainSurface(bench, mesh);
  // Every channel with an envelope: constants and keyed ones.
  const UINT channels[] = {
      CSurface::CHANNEL_COLOR_RED,  CSurface::CHANNEL_COLOR_GREEN,
      CSurface::CHANNEL_COLOR_BLUE, CSurface::CHANNEL_DIFFUSE,
      CSurface::CHANNEL_LUMINOSITY, CSurface::CHANNEL_REFLECTION,
      CSurface::CHANNEL_REFRACTION, CSurface::CHANNEL_SPECULAR_GLOSSINESS,
      CSurface::CHANNEL_SPECULAR_EXPONENT, CSurface::CHANNEL_TRANSPARENCY,
      CSurface::CHANNEL_TRANSLUCENCY};
  for (UINT i = 0; i < std::size(channels); ++i) {
    auto* envelope = new CEnvelope(0, nullptr, 0.1f * static_cast<float>(i));
    if (i % 2 == 1) {
      envelope->Channel().AddKeyData(1, 0, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
      envelope->Channel().AddKeyData(static_cast<float>(i), 10, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0,
                                     0, 0);
      envelope->SetIsEnvelope(1);
    }
    written->SetMaterialEnvelope(channels[i], envelope);
  }
  const std::vector<uint8_t> bytes = Write(written);
  EXPECT_EQ(Tags(SubChunks(bytes)),
            (std::vector<std::string>{"NAME", "ECLR", "ECLG", "ECLB", "EDIF", "ELUM", "EREL",
                                      "ERER", "EGLS", "EEXP", "ETRP", "ETRC", "COLR", "MATR",
                                      "INDN", "INDC", "SHAD", "FLAG", "ALPH"}));

  CSurface* loaded = Read(bytes);
  ASSERT_TRUE(read) << Errors();
  EXPECT_EQ(loaded->GetHasEnvelopes(), 1u);
  for (UINT channel : channels) {
    CEnvelopeInterface* original = written->GetMaterialEnvelope(channel);
    CEnvelopeInterface* copy = loaded->GetMaterialEnvelope(channel);
    ASSERT_NE(copy, nullptr) << "channel " << channel;
    EXPECT_TRUE(CEnvelopeInterface::IsEqual(original, copy)) << "channel " << channel;
  }
  ASSERT_NE(MaterialOf(loaded), nullptr);
  EXPECT_EQ(MaterialOf(loaded)->unique, 1u);
}

TEST_F(SurfaceChunk, MaterialSharingDependsOnEnvelopesReadBeforeIt) {
  // A constant envelope makes the surface's material its own; one read after the material
  // comes too late for it.
  CSurface* before = Read(Surf([](CChunkBuilder& b) {
    ConstantEnvelope(b, "ELUM", 0.5f);
    Material(b);
  }));
  ASSERT_TRUE(read) << Errors();
  EXPECT_EQ(before->GetHasEnvelopes(), 1u);
  EXPECT_EQ(MaterialOf(before)->unique, 1u);

  CSurface* after = Read(Surf([](CChunkBuilder& b) {
    Material(b);
    ConstantEnvelope(b, "ELUM", 0.5f);
  }));
  ASSERT_TRUE(read) << Errors();
  EXPECT_EQ(after->GetHasEnvelopes(), 1u);
  EXPECT_EQ(MaterialOf(after)->unique, 0u);
}

TEST_F(SurfaceChunk, OwnShaderRoundTripsWithItsParameters) {
  int token = 0;
  bench.shaders.shaderToGive = reinterpret_cast<CShader*>(&token);
  for (UINT count : {0u, 2u}) {
    SCOPED_TRACE(count);
    CSurface* written = PlainSurface(bench, mesh);
    ShaderParameter parameters[2] = {{5, 0, "bump"}, {6, 3, "time"}};
    ASSERT_EQ(written->CreateShader("water.ssh", parameters, count, 1), 1u);
    const std::vector<uint8_t> bytes = Write(written);
    const std::vector<SubChunk> chunks = SubChunks(bytes);
    ASSERT_EQ(chunks.back().tag, "SHDR");
    EXPECT_EQ(chunks.back().size, count == 0 ? 264u : 272u + 64 * count);
    EXPECT_NE(Infos().find("SAVING PARAM: " + std::to_string(count) + "\n"), std::string::npos);

    bench.shaders.requestedFiles.clear();
    bench.shaders.requestedParameterCounts.clear();
    CSurface* loaded = Read(bytes);
    ASSERT_TRUE(read) << Errors();
    EXPECT_EQ(bench.shaders.requestedFiles, (std::vector<std::string>{"water.ssh"}));
    EXPECT_EQ(bench.shaders.requestedParameterCounts, (std::vector<UINT>{count}));
    EXPECT_EQ(loaded->GetShaderProgram(), 1u);
    EXPECT_EQ(loaded->GetManualShader(), 1u);
    ASSERT_EQ(loaded->GetShaderParameters().size(), count);
    for (UINT i = 0; i < count; ++i) {
      EXPECT_EQ(loaded->GetShaderParameters()[i].dwValue, parameters[i].dwValue);
      EXPECT_EQ(loaded->GetShaderParameters()[i].dwDynamicID, parameters[i].dwDynamicID);
      EXPECT_STREQ(loaded->GetShaderParameters()[i].szParameterName,
                   parameters[i].szParameterName);
    }
  }
  bench.shaders.shaderToGive = nullptr;
}

TEST_F(SurfaceChunk, ShaderIsWrittenOnlyWhenItIsTheSurfacesOwn) {
  CSurface* chosen = PlainSurface(bench, mesh);
  chosen->SetShaderFileName("surface.ssh", 0);  // picked by the library, not the surface's
  EXPECT_EQ(Tags(SubChunks(Write(chosen))).back(), "ALPH");
  CSurface* own = PlainSurface(bench, mesh);
  own->SetShaderFileName("glass.ssh", 1);  // named, never compiled: no parameters to store
  const std::vector<SubChunk> chunks = SubChunks(Write(own));
  EXPECT_EQ(chunks.back().tag, "SHDR");
  EXPECT_EQ(chunks.back().size, 264u);
}

TEST_F(SurfaceChunk, ShaderChunkReadingEdges) {
  int token = 0;
  bench.shaders.shaderToGive = reinterpret_cast<CShader*>(&token);
  // Sixteen parameters fill the reader's table.
  Read(Surf([](CChunkBuilder& b) { Shader(b, "full.ssh", 16); }));
  EXPECT_TRUE(read) << Errors();
  EXPECT_EQ(bench.shaders.requestedParameterCounts.back(), 16u);

  // Without "PARM" the next sub-chunk is given back and read normally.
  CSurface* loaded = Read(Surf([](CChunkBuilder& b) {
    Shader(b, "plain.ssh", 0);
    b.U32Chunk("FLAG", 0x12340042);
  }));
  EXPECT_TRUE(read) << Errors();
  EXPECT_EQ(loaded->GetFlags(), 0x0042) << "the high 16 bits are not flags";
  EXPECT_EQ(bench.shaders.requestedParameterCounts.back(), 0u);

  // A shader that cannot be made leaves the surface without one, and the load goes on.
  bench.shaders.shaderToGive = nullptr;
  ProcessExitCatcher boxes;
  loaded = Read(Surf([](CChunkBuilder& b) {
    Shader(b, "broken.ssh", 1);
    b.U32Chunk("SHAD", 3);
  }));
  EXPECT_TRUE(read);
  EXPECT_EQ(loaded->GetShadeType(), 3u);
  EXPECT_EQ(loaded->GetShaderProgram(), 0u);
  EXPECT_NE(Errors().find("ERROR! - Can't Create Shader: none\n"), std::string::npos) << Errors();
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Can't Create Shader: broken.ssh");
}

TEST_F(SurfaceChunk, UnknownSubChunksAreSkipped) {
  CSurface* loaded = Read(Surf([](CChunkBuilder& b) {
    NameChunk(b, "later");
    b.Begin("XTRA").U32(1).U32(2).U32(3).End();
    b.Begin("NONE").End();
    b.U32Chunk("SHAD", 9);
  }));
  EXPECT_TRUE(read) << Errors();
  EXPECT_STREQ(loaded->GetName(), "later");
  EXPECT_EQ(loaded->GetShadeType(), 9u);
}

// Each case: a malformed "SURF" and the lines it must leave in the error log, in order.
struct Malformed {
  const char* name;
  std::function<void(CChunkBuilder&)> body;
  std::string errors;
  std::string infos = "";
};

TEST_F(SurfaceChunk, MalformedSurfacesAreRefused) {
  const Malformed cases[] = {
      {"name of the wrong size",
       [](CChunkBuilder& b) { b.Begin("NAME").Text("x", 255).End(); },
       "ERROR! - Surface::Name incorrect length\n"
       "ERROR! - Error When Loading Surface::NAME: crate, \n"},
      {"colour of the wrong size",
       [](CChunkBuilder& b) {
         NameChunk(b, "s");
         b.Begin("COLR").F32(1).F32(1).End();
       },
       "ERROR! - Surface::COLR incorrect length\n"
       "ERROR! - Error When Loading Surface::COLR: crate, s\n"},
      {"material of the wrong size",
       [](CChunkBuilder& b) { b.Begin("MATR").F32(1).End(); },
       "ERROR! - Surface::MATR incorrect length\n"
       "ERROR! - Error When Loading Surface::MATR: crate, \n"},
      {"index count without its list",
       [](CChunkBuilder& b) {
         NameChunk(b, "s");
         b.U32Chunk("INDN", 1).U32Chunk("SHAD", 0);
       },
       "ERROR! - Error When Loading Surface::INDN: crate, s\n",
       "ERROR - Incorrect chunk name (SHAD), Surface::INDC expected\n"},
      {"index list of the wrong size",
       [](CChunkBuilder& b) { b.U32Chunk("INDN", 2).Begin("INDC").U16(0).U16(1).U16(2).End(); },
       "ERROR! - Surface::INDC incorrect length\n"
       "ERROR! - Error When Loading Surface::INDN: crate, \n"},
      {"index past the mesh's vertices",
       [](CChunkBuilder& b) {
         NameChunk(b, "s");
         b.U32Chunk("INDN", 3).Begin("INDC").U16(0).U16(8).U16(1).End();
       },
       "ERROR! - Surface::INDC, Index 8 Past The 8 Vertices: crate, s\n"
       "ERROR! - Error When Loading Surface::INDN: crate, s\n"},
      {"shading type of the wrong size",
       [](CChunkBuilder& b) {
         NameChunk(b, "s");
         b.Begin("SHAD").U32(1).U32(2).End();
       },
       "ERROR! - Surface::SHAD Incorrect Size: crate, s\n"
       "ERROR! - Error When Loading Surface::SHAD: crate, s\n"},
      {"flags of the wrong size",
       [](CChunkBuilder& b) { b.Begin("FLAG").U16(1).End(); },
       "ERROR! - Surface::FLAG Incorrect Size: crate, \n"
       "ERROR! - Error When Loading Surface::FLAG: crate, \n"},
      {"parameter of the wrong size",
       [](CChunkBuilder& b) { b.Begin("ALPH").U32(1).U32(1).End(); },
       "ERROR! - Error When Loading Surface::ALPH: crate, \n"},
      {"envelope shorter than its size word",
       [](CChunkBuilder& b) { b.Begin("ECLR", 16).Begin("ENVN").F32(1).End().U32(0).End(); },
       "ERROR! - Surface::ECLR Incorrect Size\n"
       "ERROR! - Error When Loading Surface::ECLR: crate, \n"},
      {"envelope longer than its size word",
       [](CChunkBuilder& b) {
         b.Begin("ETRC", 8).Begin("ENVN").F32(1).End().End();
         b.U32Chunk("SHAD", 0);
       },
       "ERROR! - Surface::ETRC Incorrect Size\n"
       "ERROR! - Error When Loading Surface::ETRC: crate, \n"},
      {"shader name of the wrong size",
       [](CChunkBuilder& b) { b.Begin("SHDR").Begin("NAME").Text("a", 128).End().End(); },
       "ERROR! - Surface::SHDR Incorrect Size Of NAME: crate, \n"
       "ERROR! - Error When Loading Surface::SHDR: crate, \n"},
      {"seventeen shader parameters",
       [](CChunkBuilder& b) { Shader(b, "big.ssh", 17); },
       "ERROR! - Not Enuff shader Parameteres Entries In Surface Loader\n"
       "ERROR! - Error When Loading Surface::SHDR: crate, \n"},
      {"sub-chunk running past the end of the surface",
       [](CChunkBuilder& b) {
         NameChunk(b, "s");
         b.Begin("XTRA", 40).U32(0).End();
       },
       "ERROR! - Surface, Incorrect Size Of Chunk Length And Read Data: crate, s\n"},
      {"bytes left over that make no chunk",
       [](CChunkBuilder& b) {
         b.U32Chunk("SHAD", 1);
         b.U16(0);
       },
       "ERROR! - Surface, Incorrect Size Of Chunk Length And Read Data: crate, \n"},
  };
  for (const Malformed& c : cases) {
    SCOPED_TRACE(c.name);
    bench.log.entries.clear();
    Read(Surf(c.body));
    EXPECT_FALSE(read);
    EXPECT_EQ(Errors(), c.errors);
    EXPECT_EQ(Infos(), c.infos);
  }
}

TEST_F(SurfaceChunk, SurfaceLongerThanTheFileIsRefused) {
  CChunkBuilder b;
  b.Begin("SURF", 400);
  NameChunk(b, "cut");
  b.End();
  Read(b.Bytes());
  EXPECT_FALSE(read);
  EXPECT_EQ(Errors(), "ERROR! - Surface, Incorrect Size Of Chunk Length And Read Data: crate, \n");
}

TEST_F(SurfaceChunk, FailedWritesFailTheSurface) {
  CSurface* surface = PlainSurface(bench, mesh);
  RefusingStream refusing;
  UINT total = 0;
  EXPECT_FALSE(Exporter()->WriteSURF(surface, refusing.Stream(), total));
  EXPECT_FALSE(Exporter()->WriteSURF(nullptr, refusing.Stream(), total));
}

}  // namespace
