// Writes the seed corpus of every fuzz target: the fixtures the test suites build, made by the
// same writers, and a few of the malformed cases of their tables. Run once by hand when a
// writer or a format changes:  build/fuzz/zk_fuzz_seeds tests/fuzz/corpus
// Each seed is named after what it is; cases found by fuzzing sit beside them as
// "crash-<what>" and are kept.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "AceWriter.h"
#include "ChunkBuilder.h"
#include "CursorFileWriter.h"
#include "EngineContextScope.h"
#include "FuzzSceneBench.h"
#include "ImageWriter.h"
#include "LWOBuilder.h"
#include "LWSBuilder.h"
#include "Mp3Writer.h"
#include "OggWriter.h"
#include "Rar4Writer.h"
#include "Rar5Writer.h"
#include "RecordingRenderer.h"
#include "TempDir.h"
#include "TestScene.h"
#include "WaveWriter.h"
#include "WorkingFolderScope.h"
#include "ZipWriter.h"
#include "ZkzWriter.h"
#include "files/ZKSSceneExporter.h"
#include "files/ZKOMeshExporter.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/Null.h"

namespace fs = std::filesystem;

namespace {

fs::path g_root;

void Seed(const char* target, const std::string& name, const std::string& bytes) {
  fs::create_directories(g_root / target);
  std::ofstream(g_root / target / name, std::ios::binary) << bytes;
}
void Seed(const char* target, const std::string& name, const std::vector<uint8_t>& bytes) {
  Seed(target, name, std::string(bytes.begin(), bytes.end()));
}
std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
std::string Cut(std::string bytes, size_t keep) { return bytes.substr(0, std::min(keep, bytes.size())); }

std::vector<int16_t> Tone(size_t frames, int channels) {
  std::vector<int16_t> samples;
  for (size_t i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c)
      samples.push_back(static_cast<int16_t>(9000 * std::sin(double(i) * (0.02 + 0.01 * c))));
  return samples;
}

void ChunkSeeds() {
  CChunkBuilder good;
  good.Begin("LITE")
      .U32Chunk("PROP", 42)
      .Chunk("NAME", [](CChunkBuilder& c) { c.Text("lamp", 32); })
      .Chunk("LIST", [](CChunkBuilder& c) { c.U32(2).F32(1.5f).U16(7).F32(-2).U16(9); })
      .Chunk("SKIP", [](CChunkBuilder& c) { c.U32(4).U32(0); })
      .Chunk("WRAP", [](CChunkBuilder& c) { c.Begin("INNR").U32Chunk("PROP", 1).End(); })
      .Chunk("NEST", [](CChunkBuilder& c) { c.U32Chunk("PROP", 2).U32Chunk("ZZZZ", 3); })
      .End()
      .U32Chunk("NEXT", 9);
  Seed("chunk_fuzz", "containers", good.Bytes());
  CChunkBuilder wrong;
  wrong.Begin("LITE").Chunk("PROP", 8, [](CChunkBuilder& c) { c.U32(1); }).End();
  Seed("chunk_fuzz", "prop-size-wrong", wrong.Bytes());
  CChunkBuilder longer;
  longer.Begin("LITE", 4000).U32Chunk("PROP", 1).End();
  Seed("chunk_fuzz", "container-longer-than-file", longer.Bytes());
}

// A scene of a light, a camera and a null (with keys) saved by the scene writer, and a few
// hand-made files.
void SceneSeeds() {
  TempDir folder;
  WorkingFolderScope working(folder.Path());
  EngineContextScope context;
  FuzzSceneBench bench;
  auto* scene = new TestScene(0u, nullptr, &bench.log);
  scene->SetName("level");
  auto* light = dynamic_cast<CLight*>(scene->AddLight());
  light->SetName("sun");
  light->SetType(LIGHT_SPOT);
  scene->AddCamera();
  auto* pivot = dynamic_cast<CNull*>(scene->AddNull());
  pivot->SetName("pivot");
  if (bench.reader.GetSceneExporter()->SaveScene(scene))
    Seed("scene_fuzz", "light-camera-null", ReadAll("level.zks"));
  else
    std::fprintf(stderr, "seeds: the scene was not saved\n");
  scene->Release();

  CChunkBuilder counts;
  counts.Begin("ZKS5")
      .U32Chunk("MSHN", 0).U32Chunk("LITN", 0).U32Chunk("CAMN", 0).U32Chunk("NULN", 1)
      .Begin("NULL").Chunk("NAME", [](CChunkBuilder& b) { b.Text("one", 256); }).End()
      .U32Chunk("FFRM", 0)
      .End();
  Seed("scene_fuzz", "one-null", counts.Bytes());
}

void ObjectSeeds() {
  TempDir folder;
  EngineContextScope context;
  FuzzFileBench bench;
  CRecordingEngineLog& log = bench.log;
  RecordingRenderer renderer;
  bool made = false;
  CZKReader reader{&renderer, &log, made};
  auto* scene = new TestScene(&renderer, &log);
  scene->SetDirectory((folder.Path() + "/").c_str());
  auto* mesh = new CMesh(&renderer, &log, scene, 0);
  mesh->SetName("tetra");
  scene->AppendWorldObject(mesh);
  Vertex vertices[4] = {};
  const CVector3 corners[4] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  for (int i = 0; i < 4; ++i) {
    vertices[i].vecPosition = corners[i];
    vertices[i].fTU[0] = float(i);
  }
  const WORD triangles[4][3] = {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}};
  Face faces[4] = {};
  for (int i = 0; i < 4; ++i) {
    faces[i].wIndex1 = triangles[i][0];
    faces[i].wIndex2 = triangles[i][1];
    faces[i].wIndex3 = triangles[i][2];
    faces[i].wFaceIndex = WORD(i);
  }
  mesh->SetVertices(4, vertices, 1);
  mesh->SetFaces(4, faces);
  if (reader.GetObjectExporter()->SaveObject(mesh))
    Seed("object_fuzz", "tetrahedron", ReadAll(folder / "Objects/tetra.zko"));
  else
    std::fprintf(stderr, "seeds: the object was not saved\n");
  scene->Release();

  CChunkBuilder old;
  old.Begin("ZKO5").U32Chunk("VRTN", 3).Begin("VERT").Raw(vertices, 3 * sizeof(Vertex)).End();
  old.U32Chunk("XTRA", 7);
  old.U32Chunk("SVIN", 3).Begin("SVIX").U16(2).U16(1).U16(0).End();
  old.U32Chunk("SVVN", 3).Begin("SVVR").Raw(vertices, 3 * sizeof(Vertex)).End();
  old.U32Chunk("BLND", 1).End();
  Seed("object_fuzz", "older-magic-shadow-volume", old.Bytes());
}

// A root with two leaf children, for a minimum cell size of 1.
void OctreeSeeds() {
  const auto vector = [](CChunkBuilder& b, const char* tag, float x, float y, float z) {
    b.Chunk(tag, [&](CChunkBuilder& p) { p.F32(x).F32(y).F32(z); });
  };
  const auto cell = [&](CChunkBuilder& b, UINT id, UINT level, float size,
                        const std::function<void(CChunkBuilder&)>& links) {
    b.Begin("OCTR");
    links(b);
    vector(b, "VPOS", size / 2, size / 2, size / 2);
    vector(b, "VEXT", size / 2, size / 2, size / 2);
    vector(b, "VMAX", size, size, size);
    vector(b, "VMIN", 0, 0, 0);
    b.U32Chunk("MYID", id).U32Chunk("LEVL", level).End();
  };
  CChunkBuilder cells;
  cell(cells, 0, 0, 4, [](CChunkBuilder& b) { b.U32Chunk("CHL0", 1).U32Chunk("CHL3", 2); });
  cell(cells, 1, 1, 2, [](CChunkBuilder& b) {
    b.U32Chunk("PRNT", 0).U32Chunk("POSX", 2);
    b.Begin("MSHS").U32(2).U32Chunk("MESH", 0).U32Chunk("MESH", 2).End();
  });
  cell(cells, 2, 1, 2, [](CChunkBuilder& b) { b.U32Chunk("PRNT", 0).U32Chunk("NEGX", 1); });
  CChunkBuilder file;
  file.Begin("TREE", uint32_t(cells.Size())).End().F32Chunk("FMIN", 1.0f).Raw(cells.Bytes());
  Seed("octree_fuzz", "root-two-leaves", file.Bytes());
}

void ArchiveSeeds() {
  const std::string text = "line one\nline two\r\nlast line without an end";
  const std::string binary(300, '\x5A');
  ZkzWriter zkz;
  zkz.Add("data\\readme.txt", text).Add("data\\blob.bin", binary).Add("empty", "");
  Seed("zkz_fuzz", "three-members", zkz.Bytes());
  Seed("zkz_fuzz", "member-cut", Cut(zkz.Bytes(), zkz.Bytes().size() - 20));

  AceWriter ace;
  ace.SetComment("seed").AddStored("stored.txt", text).AddCompressed("packed.txt", text + text);
  Seed("zka_fuzz", "stored-and-compressed", ace.Build());
  AceWriter solid;
  solid.SetSolid(true).AddCompressed("a.txt", text).AddCompressed("b.txt", text + binary);
  Seed("zka_fuzz", "solid", solid.Build());

  Rar4Writer rar4;
  rar4.Add("data\\readme.txt", text).Add("blob.bin", binary);
  Seed("zkr_fuzz", "rar4", rar4.Bytes());
  Rar5Writer rar5;
  rar5.Add("data", "", true).Add("data/readme.txt", text);
  Seed("zkr_fuzz", "rar5", rar5.Bytes());
  TempDir folder;
  ZipWriter zip;
  zip.Add("data/readme.txt", text).Add("blob.bin", binary);
  zip.Write(folder / "seed.zip");
  Seed("zkr_fuzz", "zip", ReadAll(folder / "seed.zip"));
}

void ImageSeeds() {
  const RgbaImage pattern = RgbaImage::Pattern(8, 4);
  Seed("image_fuzz", "png", EncodePng(pattern));
  Seed("image_fuzz", "bmp", EncodeBmp(pattern));
  Seed("image_fuzz", "tga", EncodeTga(pattern));
  Seed("image_fuzz", "jpeg", EncodeJpeg(pattern, 80));
  Seed("image_fuzz", "dds-argb", EncodeDds(DdsHeader::Argb(4, 4), std::string(4 * 4 * 4, '\x40')));
  DdsHeader mips = DdsHeader::Argb(4, 4);
  mips.flags |= 0x20000;
  mips.mipMapCount = 3;
  Seed("image_fuzz", "dds-argb-mips", EncodeDds(mips, std::string(4 * 4 * 4 + 2 * 2 * 4 + 4, '\x11')));
  Seed("image_fuzz", "dds-dxt1", EncodeDds(DdsHeader::Dxt("DXT1", 8, 8), std::string(4 * 8, '\x33')));
  Seed("image_fuzz", "dds-dxt5", EncodeDds(DdsHeader::Dxt("DXT5", 4, 4), std::string(16, '\x77')));
  Seed("image_fuzz", "dds-cut", Cut(EncodeDds(DdsHeader::Argb(4, 4), std::string(64, '\1')), 100));
}

void CursorSeeds() {
  Seed("cursor_fuzz", "monochrome", CursorFileWriter::Monochrome(8, 8, 2, 3));
  Seed("cursor_fuzz", "cut", Cut(CursorFileWriter::Monochrome(8, 8, 0, 0), 40));
}

void TextSeeds() {
  Seed("override_fuzz", "settings",
       "fullscreen = false\nwidth = 1024\r\ngamma = 1.5e0\nname = \"Cyber Pelto\"\n"
       "; a comment\n= 3\nbroken line without a value\nWIDTH = -800\nquote = \"open\n");
  Seed("override_fuzz", "long-line", "name = \"" + std::string(600, 'x') + "\"\n" +
                                         std::string(300, 'a') + " " + std::string(300, '.'));
  Seed("registry_fuzz", "desktop",
       "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\nWallpaper=sz:C:\\%5Bpictures%5D\\sky.bmp\n"
       "TileWallpaper=sz:0\nbad line\n[HKEY_CURRENT_USER\\Software]\nCount=dword:00000010\n"
       "Blob=binary:00ff%0A\n");
  Seed("registry_fuzz", "damaged", "before any key\n[HKEY_CURRENT_USER\\A\nx=\n=sz:\n[]\n");
  Seed("shader_asm_fuzz", "vs_1_1",
       "vs_1_1\ndcl_position v0\ndcl_texcoord0 v1\ndef c10, 1.0, 0.5, 0.0, 2.0\n"
       "m4x4 oPos, v0, c0\nmov oT0, v1\nmov oD0, c10\n");
  Seed("shader_asm_fuzz", "ps_2_0",
       "ps_2_0\ndcl t0.xy\ndcl_2d s0\ntexld r0, t0, s0\nmul r0, r0, c0\nmov oC0, r0\n");
  Seed("shader_asm_fuzz", "vs_3_0",
       "vs_3_0\ndcl_position v0\ndcl_position o0\ndefi i0, 3, 0, 1, 0\nmov r0, c0\n"
       "loop aL, i0\nadd r0, r0, c1[aL]\nendloop\nif_gt r0.x, c2.x\nmov o0, r0\nelse\n"
       "mov o0, v0\nendif\n");
  Seed("shader_asm_fuzz", "ps_1_1", "ps_1_1\ntex t0\nmul r0, t0, v0\n");
}

void LightWaveSeeds() {
  CLWOBuilder triangle;
  triangle.Tags({"skin"}).Layer().Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).Triangles({{0, 1, 2}})
      .SurfaceTags({{0, 0}}).StillClip(1, "Images/Wood.JPEG")
      .UVMap("uv", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}})
      .WeightMap("weight", {{0, 0.5f}, {2, 1.0f}}).Surface("skin", 0.5f);
  Seed("lwo_fuzz", "triangle", triangle.File());
  Seed("lwo_fuzz", "grid", CLWOBuilder::Grid(3, 2, 5).File());
  Seed("lwo_fuzz", "form-length-short", triangle.File(uint32_t(triangle.Bytes().size() + 3)));
  CLWOBuilder cut;
  cut.Tags({"a"}).Chunk("PNTS", 36).F4(0).F4(0).F4(0).End();
  Seed("lwo_fuzz", "points-cut", cut.File());
  CLWOBuilder past;
  past.Tags({"a"}).Points({{0, 0, 0}}).Triangles({{0, 0, 5}});
  Seed("lwo_fuzz", "point-index-past-points", past.File());

  // Every surface sub-chunk the reader knows, colour and diffuse envelopes (colour from three
  // consecutive ENVL chunks, keys with each span shape, behaviours) and a texture block with a
  // cylindrical projection, on a cube whose faces share their edges.
  CLWOBuilder surfaced;
  surfaced.Tags({"Skin"}).StillClip(1, "Images/Glass.png").Layer();
  surfaced.Points({{-1, -1, -1}, {1, -1, -1}, {-1, 1, -1}, {1, 1, -1},
                   {-1, -1, 1}, {1, -1, 1}, {-1, 1, 1}, {1, 1, 1}});
  const std::vector<CLWOBuilder::Triangle> cube = {{4, 5, 7}, {4, 7, 6}, {0, 2, 3}, {0, 3, 1},
                                                   {1, 3, 7}, {1, 7, 5}, {0, 4, 6}, {0, 6, 2},
                                                   {2, 6, 7}, {2, 7, 3}, {0, 1, 5}, {0, 5, 4}};
  surfaced.Triangles(cube);
  std::vector<std::pair<uint32_t, uint16_t>> cubeTags;
  for (uint32_t f = 0; f < cube.size(); ++f) cubeTags.push_back({f, 0});
  surfaced.SurfaceTags(cubeTags);
  surfaced.Envelope(5, {{0, 0.1f}, {1, 0.9f}}).Envelope(6, {{0, 0.2f}}).Envelope(7, {{0, 0.3f}, {2, 0.5f}});
  surfaced.Chunk("ENVL").VX(8).SubChunk("TYPE").U2(0).End().SubChunk("PRE ").U2(1).End();
  surfaced.SubChunk("KEY ").F4(0).F4(1).End().SubChunk("SPAN").ID("TCB ").F4(0.1f).F4(0.2f).F4(0.3f).End();
  surfaced.SubChunk("KEY ").F4(1).F4(2).End().SubChunk("SPAN").ID("BEZ2").F4(1).F4(2).F4(3).F4(4).End();
  surfaced.SubChunk("KEY ").F4(2).F4(3).End().SubChunk("SPAN").ID("LINE").End();
  surfaced.SubChunk("POST").U2(2).End().End();
  surfaced.BeginSurface("Skin");
  surfaced.SubChunk("COLR").F4(1).F4(0.5f).F4(0.25f).VX(5).End();
  surfaced.SubChunk("DIFF").F4(0.8f).VX(8).End();
  for (const char* id : {"SPEC", "GLOS", "RIND", "REFL", "LUMI", "TRNL", "BUMP", "TRAN"})
    surfaced.SubChunk(id).F4(0.25f).VX(0).End();
  surfaced.SubChunk("ADTR").F4(0.002f).VX(0).End().SubChunk("SIDE").U2(3).End();
  surfaced.SubChunk("SMAN").F4(1.2f).End().SubChunk("TROP").U2(2).End();
  surfaced.SubChunk("RFOP").U2(1).End().SubChunk("ALPH").U2(1).F4(0.5f).End();
  surfaced.SubChunk("TIMG").VX(1).End().SubChunk("RIMG").VX(1).End();
  surfaced.SubChunk("BLOK");
  surfaced.SubChunk("IMAP").S0("\x80").SubChunk("CHAN").ID("COLR").End().End();
  surfaced.SubChunk("TMAP").SubChunk("CNTR").F4(0).F4(0).F4(0).VX(0).End();
  surfaced.SubChunk("SIZE").F4(2).F4(2).F4(2).VX(0).End().End();
  surfaced.SubChunk("PROJ").U2(1).End().SubChunk("AXIS").U2(1).End().SubChunk("IMAG").VX(1).End();
  surfaced.SubChunk("WRAP").U2(1).U2(1).End().SubChunk("WRPW").F4(2).VX(0).End();
  surfaced.End();
  surfaced.SubChunk("VCOL").U4(7).End().End();
  Seed("lwo_fuzz", "cube-surface-envelopes-projection", surfaced.File());

  // Texture layers: two colour layers with UV maps (per point and per polygon), a sequence on
  // the first colour and on the transparency layer, a diffuse layer's image, and the layer's
  // opacity and wrap; a quad of two triangles whose shared points carry both kinds of entries.
  CLWOBuilder textured;
  textured.Tags({"Skin"}).StillClip(1, "Images/Glass.png");
  textured.Chunk("CLIP").U4(2).SubChunk("ISEQ").U1(3).U1(0).U2(0).U2(0).U2(1).U2(4).S0("seq/f").S0(".tga").End().End();
  textured.Layer().Points({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
  textured.UVMap("Base", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
  textured.UVMap("detail", {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}});
  textured.Triangles({{0, 1, 2}, {0, 2, 3}}).SurfaceTags({{0, 0}, {1, 0}});
  textured.PolygonUVMap("base", {{0, 1, 0.5f, 0.5f}, {2, 1, 0.25f, 0.75f}});
  textured.BeginSurface("Skin").SubChunk("SMAN").F4(0.5f).End();
  textured.BeginBlock("IMAP", "COLR").SubChunk("IMAG").VX(2).End().SubChunk("PROJ").U2(5).End();
  textured.SubChunk("VMAP").S0("BASE").End().SubChunk("OPAC").U2(3).F4(0.5f).VX(0).End();
  textured.SubChunk("WRAP").U2(2).U2(3).End().SubChunk("WRPH").F4(1).VX(0).End().End();
  textured.BeginBlock("IMAP", "COLR").SubChunk("IMAG").VX(1).End().SubChunk("VMAP").S0("detail").End().End();
  textured.BeginBlock("IMAP", "TRAN").SubChunk("IMAG").VX(2).End().End();
  textured.BeginBlock("IMAP", "DIFF").SubChunk("IMAG").VX(1).End().End();
  textured.End();
  Seed("lwo_fuzz", "quad-texture-layers-uv-maps", textured.File());

  // A smoothed tetrahedron with stray points: more points than its faces can hold.
  CLWOBuilder stray;
  stray.Tags({"a"}).Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {5, 5, 5}, {6, 6, 6}, {7, 7, 7}});
  stray.Triangles({{0, 2, 1}, {0, 1, 3}, {1, 2, 3}, {0, 3, 2}});
  stray.SurfaceTags({{0, 0}, {1, 0}, {2, 0}, {3, 0}});
  stray.BeginSurface("a").SubChunk("SMAN").F4(1.2f).End().End();
  Seed("lwo_fuzz", "tetrahedron-smoothed-stray-points", stray.File());

  // A fan of three triangles on one edge: the edge list refuses it and the object still loads.
  CLWOBuilder fan;
  fan.Tags({"a", "b"}).Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, 0}});
  fan.Triangles({{0, 1, 2}, {1, 0, 3}, {0, 1, 4}, {0, 5, 2}})
      .SurfaceTags({{0, 0}, {1, 0}, {2, 1}, {3, 1}})
      .Surface("a")
      .BeginSurface("b").SubChunk("SMAN").F4(0.5f).End().End();
  Seed("lwo_fuzz", "non-manifold-fan-degenerate", fan.File());
}

// Scenes naming the objects lws_fuzz writes (objects/box.lwo, objects/arm.lwo).
void LightWaveSceneSeeds() {
  const auto key = [](float value, float seconds) {
    CLWSBuilder::Key k;
    k.value = value;
    k.seconds = seconds;
    return k;
  };
  CLWSBuilder keys;
  keys.Header().Line("PreviewFirstFrame 1").Line("PreviewLastFrame 60").Line("PreviewFrameStep 1")
      .Line("FramesPerSecond 25").Line("AmbientColor 1 1 1").Line("AmbientIntensity (envelope)")
      .Envelope({key(0.25f, 0), key(1, 2)}, 1, 2).Line("FogType 1").Line("FogMinDistance 1")
      .Line("FogMaxDistance 100").Line("FogColor 1 0.5 0").Line("BackdropColor 0 0 1").Line("GridSize 1");
  Seed("lws_fuzz", "scene-keys", keys.Text());
  Seed("lws_fuzz", "scene-keys-crlf", keys.Text(true));
  Seed("lws_fuzz", "scene-keys-cut", keys.Cut(keys.Text().size() / 2));
  Seed("lws_fuzz", "header-only", CLWSBuilder().Header().Text());

  CLWSBuilder items;
  items.Header().Line("LoadObjectLayer 1 Objects/Box.lwo").Line("ShowObject 6 3")
      .Motion("ObjectMotion", {{0, {key(0, 0), key(1, 1)}}, {3, {key(0, 0)}}}, 9)
      .Line("PivotPosition 0 1 0").Line("PivotRotation 90 0 0").Line("ParentItem 40000000")
      .Line("ObjectDissolve (envelope)").Envelope({key(0, 0), key(1, 1)})
      .Line("MorphAmount (envelope)").Envelope({key(0.5f, 0)}).Line("MorphTarget 1")
      .Line("ShadowOptions 3").Line("UnseenByRays 1").Line("UnseenByCamera 2").Empty();
  items.Line("LoadObjectLayer 1 Objects/arm.lwo").Motion("ObjectMotion", {{1, {key(2, 0)}}})
      .Line("BoneFalloffType 5").Line("AddBone Upper").Line("BoneName Upper").Line("BoneActive 1")
      .Line("BoneRestPosition 0 0 0").Line("BoneRestDirection 0 90 0").Line("BoneRestLength 1")
      .Line("BoneStrength 1").Line("ScaleBoneStrength 1").Line("BoneWeightMapName arm")
      .Line("BoneWeightMapOnly 1").Line("BoneNormalization 1")
      .Motion("BoneMotion", {{4, {key(0, 0)}}}, -1, false).Line("ParentItem 4000")
      .Line("AddBone Lower").Line("BoneWeightMapName arm").Line("ParentItem 4000")
      .Line("ShadowOptions 7").Empty();
  items.Line("AddLight 20000000").Line("LightName Key Light").Line("ItemActive 1")
      .Motion("LightMotion", {{2, {key(5, 0)}}})
      .Line("LightColor (envelope)").Envelope({key(1, 0)}).Envelope({key(0.5f, 0)}).Envelope({key(0, 0)})
      .Line("LightIntensity 0.8").Line("LightFalloffType 1").Line("LightRange 10")
      .Line("LightType 2").Line("LightConeAngle 30").Line("LightEdgeAngle (envelope)").Envelope({key(5, 0)})
      .Line("ParentItem 10000000").Line("TargetItem 30000000").Line("LightProjImage")
      .Line("  1").Line("  2").Line("  3").Line("Images/Spot.TGA").Empty();
  items.Line("AddCamera 30000000").Motion("CameraMotion", {{0, {key(0, 0)}}})
      .Line("ZoomFactor (envelope)").Envelope({key(3.2f, 0)}).Line("TargetObject 1")
      .Line("PivotRotation 0 0 45").Empty();
  items.Line("AddNullObject Null (1)").Motion("ObjectMotion", {{5, {key(1, 0)}}})
      .Line("ParentItem 30000000").Line("PivotRotation 1 2 3").Empty();
  Seed("lws_fuzz", "items", items.Text());
  Seed("lws_fuzz", "items-cut", items.Cut(items.Text().size() * 2 / 3));

  // Bones weighing the box's vertices by distance, one chained to a higher-numbered parent;
  // bones that mix both kinds; more bones on one weight map than a vertex holds.
  CLWSBuilder distance;
  distance.Header().Line("LoadObjectLayer 1 Objects/Box.lwo").Empty().Line("BoneFalloffType 2");
  const char* reaching[][4] = {{"Upper", "0 0 0", "0 90 0", "4001"}, {"Lower", "0 0 1", "45 0 30", "10000000"},
                               {"Tip", "1 1 1", "0 0 0", "4000"}};
  for (const auto& [bone, position, direction, parent] : reaching)
    distance.Line(std::string("AddBone ") + bone).Line(std::string("BoneRestPosition ") + position)
        .Line(std::string("BoneRestDirection ") + direction).Line("BoneRestLength 0.5")
        .Line("BoneStrength 2").Line("ScaleBoneStrength 1").Line("BoneNormalization 1")
        .Line(std::string("ParentItem ") + parent);
  distance.Line("ShadowOptions 7").Empty();
  Seed("lws_fuzz", "distance-bones", distance.Text());
  CLWSBuilder mixed;
  mixed.Header().Line("LoadObjectLayer 1 Objects/arm.lwo").Empty().Line("BoneFalloffType 1")
      .Line("AddBone Mapped").Line("BoneWeightMapName arm").Line("BoneWeightMapOnly 1")
      .Line("ParentItem 10000000").Line("AddBone Reaching").Line("BoneRestLength 1")
      .Line("ParentItem 4000").Line("ShadowOptions 7").Empty();
  Seed("lws_fuzz", "mixed-bones", mixed.Text());
  CLWSBuilder crowded;
  crowded.Header().Line("LoadObjectLayer 1 Objects/arm.lwo").Empty().Line("BoneFalloffType 1");
  for (int i = 0; i < 5; ++i)
    crowded.Line("AddBone B" + std::to_string(i)).Line("BoneWeightMapName arm")
        .Line("BoneWeightMapOnly 1").Line("ParentItem 10000000");
  crowded.Line("ShadowOptions 7").Empty();
  Seed("lws_fuzz", "five-weights-a-vertex", crowded.Text());
}

void SoundSeeds() {
  Seed("ogg_fuzz", "stereo", OggWriter(2, 44100).Samples(Tone(11025, 2)).Quality(0.0f).Bytes());
  Seed("ogg_fuzz", "mono", OggWriter(1, 22050).Samples(Tone(4000, 1)).Bytes());
  Seed("ogg_fuzz", "cut-mid-stream",
       Cut(OggWriter(2, 44100).Samples(Tone(11025, 2)).Bytes(), 3000));
  Seed("mp3_fuzz", "stereo", Mp3Writer(2, 44100).Samples(Tone(11025, 2)).BitRate(32).Bytes());
  Seed("mp3_fuzz", "mono-22050", Mp3Writer(1, 22050).Samples(Tone(4000, 1)).BitRate(16).Bytes());
  Seed("mp3_fuzz", "cut-mid-stream",
       Cut(Mp3Writer(2, 44100).Samples(Tone(11025, 2)).BitRate(32).Bytes(), 1500));

  Seed("wav_fuzz", "mono-16", WaveWriter(1, 22050, 16).Samples(Tone(2205, 1)).Bytes());
  Seed("wav_fuzz", "stereo-16-list",
       WaveWriter(2, 44100, 16).ChunkBeforeData("LIST", "INFOISFT\x04\0\0\0zk\0\0")
           .Samples(Tone(1000, 2)).Bytes());
  std::string eightBit(600, '\x80');
  for (size_t i = 0; i < eightBit.size(); i += 3) eightBit[i] = '\xC0';
  Seed("wav_fuzz", "mono-8-long-format", WaveWriter(1, 11025, 8).FormatExtra(22).Data(eightBit).Bytes());
  Seed("wav_fuzz", "data-size-past-end",
       WaveWriter(1, 22050, 16).Samples(Tone(100, 1)).DataSize(0x7FFFFFF0).Bytes());
  Seed("wav_fuzz", "cut-in-format", Cut(WaveWriter(1, 22050, 16).Samples(Tone(100, 1)).Bytes(), 30));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
    return 2;
  }
  g_root = fs::absolute(argv[1]);
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("ALSOFT_DRIVERS", "null", 0);
  ChunkSeeds();
  SceneSeeds();
  ObjectSeeds();
  OctreeSeeds();
  ArchiveSeeds();
  ImageSeeds();
  CursorSeeds();
  TextSeeds();
  LightWaveSeeds();
  LightWaveSceneSeeds();
  SoundSeeds();
  return 0;
}
