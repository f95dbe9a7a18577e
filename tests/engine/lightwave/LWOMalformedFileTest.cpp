#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "LWOReaderTestBench.h"

namespace {

constexpr const char* kMesh = "Error While Loading LWO6 Mesh";
constexpr const char* kLWO6 = "Error While Loading LWO6";
constexpr const char* kLWO = "Error While Loading LWO";

CLWOBuilder ThreePoints() {
  CLWOBuilder object;
  object.Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
  return object;
}

struct Malformed {
  const char* name;
  std::function<std::vector<uint8_t>()> file;
  const char* title;
  std::string text;
};

std::vector<Malformed> MalformedFiles() {
  const auto chunks = [](const std::function<void(CLWOBuilder&)>& add) {
    return [add] {
      CLWOBuilder object;
      add(object);
      return object.File();
    };
  };
  const std::string tooManyUVMaps =
      "Well, Using Too Much UVMaps Is A Hardcore, Won't You Agree?? So If You're Too Lame To Make "
      "The Object Using 32 UVMaps Go And Try Your \"Powers\" Elsewhere (The Object I Have In Mind "
      "Is: obj.lwo)";
  std::vector<Malformed> rows = {
      // The header.
      {"empty file", [] { return std::vector<uint8_t>(); }, kMesh, "Wrong File Format"},
      {"not FORM", [] { auto f = ThreePoints().File(); f[3] = '1'; return f; }, kMesh,
       "Wrong File Format"},
      {"FORM length one short",
       [] { auto b = ThreePoints(); return b.File(uint32_t(b.Bytes().size() + 4 - 1)); }, kMesh,
       "File Corrupt"},
      {"FORM length one long",
       [] { auto b = ThreePoints(); return b.File(uint32_t(b.Bytes().size() + 4 + 1)); }, kMesh,
       "File Corrupt"},
      {"no LWO2", [] { auto f = ThreePoints().File(); f[11] = 'B'; return f; }, kMesh,
       "There's No LWO2 Entry"},
      {"FORM without a type", [] { return std::vector<uint8_t>{'F', 'O', 'R', 'M', 0, 0, 0, 0}; },
       kMesh, "There's No LWO2 Entry"},
      // Lengths.
      {"chunk longer than the file",
       chunks([](CLWOBuilder& b) { b.Chunk("BBOX", 25).F4(0).F4(0).F4(0).F4(1).F4(1).F4(1).End(); }),
       kMesh, "File Corrupt"},
      {"unknown chunk longer than the file",
       chunks([](CLWOBuilder& b) { b.Chunk("DESC", 0xFFFFFFF0).U4(0).End(); }), kMesh,
       "File Corrupt"},
      {"points cut off", chunks([](CLWOBuilder& b) { b.Chunk("PNTS", 36).F4(0).F4(0).F4(0).End(); }),
       kMesh, "File Corrupt"},
      {"chunk header cut off", chunks([](CLWOBuilder& b) { b.Tags({"a"}).Raw({'P', 'N'}); }), kMesh,
       "File Corrupt"},
      {"chunk length cut off", chunks([](CLWOBuilder& b) { b.ID("BBOX").U2(0); }), kMesh,
       "File Corrupt"},
      {"still image longer than its clip",
       chunks([](CLWOBuilder& b) { b.Chunk("CLIP").U4(1).SubChunk("STIL", 200).S0("a.png").End().End(); }),
       kMesh, "File Corrupt"},
      {"sequence longer than its clip",
       chunks([](CLWOBuilder& b) { b.Chunk("CLIP").U4(1).SubChunk("ISEQ", 40).U4(0).End().End(); }),
       kMesh, "File Corrupt"},
      {"triangle cut by its chunk",
       chunks([](CLWOBuilder& b) { b.Chunk("POLS").ID("FACE").U2(3).VX(0).VX(1).U1(0).End(); }),
       kMesh, "File Corrupt"},
      // Tags.
      {"tags length unreadable", chunks([](CLWOBuilder& b) { b.ID("TAGS").U2(0); }), kLWO6,
       "Can't Get TAGS Chunk Lenght"},
      {"tags length zero", chunks([](CLWOBuilder& b) { b.Chunk("TAGS", 0).End(); }), kLWO6,
       "TAGS' Lentght Is Null"},
      {"tag without its zero byte", chunks([](CLWOBuilder& b) { b.Chunk("TAGS").U2(0x6162).End(); }),
       kLWO6, "Can't Get Surface Name"},
      {"tag longer than its field",
       chunks([](CLWOBuilder& b) { b.Tags({"ok", std::string(300, 't')}); }), kLWO6,
       "TAGS Name Too Long (300 Characters): obj.lwo"},
      {"more tags than a polygon can name",
       chunks([](CLWOBuilder& b) { b.Tags(std::vector<std::string>(65537, "")); }), kLWO6,
       "TAGS Holds More Than 65536 Tags: obj.lwo"},
      // Layers and points.
      {"two layers", chunks([](CLWOBuilder& b) { b.Layer(0).Layer(1); }), kLWO6,
       "Only One Layer Meshes Are Supported"},
      {"points length unreadable", chunks([](CLWOBuilder& b) { b.ID("PNTS").U2(0); }), kLWO,
       "Can't Get PNTS Chunk Length"},
      {"less than one point", chunks([](CLWOBuilder& b) { b.Chunk("PNTS").F4(0).F4(0).U2(0).End(); }),
       kLWO, "Invalid PNTS Chunk Length"},
      // Polygons.
      {"quad",
       chunks([](CLWOBuilder& b) { b = ThreePoints(); b.Chunk("POLS").ID("FACE").U2(4).VX(0).VX(1).VX(2).VX(0).End(); }),
       kLWO6, "POLS:FACE Can Only Constain Triangles: obj.lwo"},
      {"triangle with a flag bit",
       chunks([](CLWOBuilder& b) { b = ThreePoints(); b.Chunk("POLS").ID("FACE").U2(0x8003).VX(0).VX(1).VX(2).End(); }),
       kLWO6, "POLS:FACE Can Only Constain Triangles: obj.lwo"},
      {"point index of 65536",
       chunks([](CLWOBuilder& b) { b.Triangles({{0, 1, 65536}}); }), kLWO6,
       "POLS:FACE Can Only Constain Indices Smaller Than 65536"},
      {"point index past the points",
       chunks([](CLWOBuilder& b) { b = ThreePoints(); b.Triangles({{0, 1, 2}, {0, 3, 1}}); }), kLWO6,
       "POLS:FACE Triangle 1 Uses Point 3 But There Are 3 Points: obj.lwo"},
      {"polygons before fewer points",
       chunks([](CLWOBuilder& b) { b.Triangles({{0, 1, 2}}).Points({{0, 0, 0}, {1, 1, 1}}); }), kLWO6,
       "POLS:FACE Triangle 0 Uses Point 2 But There Are 2 Points: obj.lwo"},
      {"polygons without points", chunks([](CLWOBuilder& b) { b.Triangles({{0, 0, 0}}); }), kLWO6,
       "POLS:FACE Triangle 0 Uses Point 0 But There Are 0 Points: obj.lwo"},
      {"65537 triangles",
       chunks([](CLWOBuilder& b) { b = ThreePoints(); b.Triangles(std::vector<CLWOBuilder::Triangle>(65537, {0, 1, 2})); }),
       kLWO6, "POLS:FACE Holds More Than 65536 Triangles: obj.lwo"},
      // Polygon tags.
      {"tag of a polygon past the polygons",
       chunks([](CLWOBuilder& b) { b.Tags({"a"}); b.Raw(ThreePoints().Bytes()).Triangles({{0, 1, 2}}).SurfaceTags({{1, 0}}); }),
       kLWO6, "PTAG:SURF Names Polygon 1 But There Are 1 Polygons: obj.lwo"},
      {"polygon tag without tags",
       chunks([](CLWOBuilder& b) { b = ThreePoints(); b.Triangles({{0, 1, 2}}).SurfaceTags({{0, 0}}); }),
       kLWO6, "PTAG:SURF Names Tag 0 But There Are 0 Tags: obj.lwo"},
      {"polygon tag past the tags",
       chunks([](CLWOBuilder& b) { b.Tags({"a", "b"}).Raw(ThreePoints().Bytes()).Triangles({{0, 1, 2}}).SurfaceTags({{0, 2}}); }),
       kLWO6, "PTAG:SURF Names Tag 2 But There Are 2 Tags: obj.lwo"},
      {"tags replaced by fewer after the polygon tags",
       chunks([](CLWOBuilder& b) { b.Tags({"a", "b"}).Raw(ThreePoints().Bytes()).Triangles({{0, 1, 2}}).SurfaceTags({{0, 1}}).Tags({"c"}); }),
       kLWO6, "PTAG:SURF Names Tag 1 But There Are 1 Tags: obj.lwo"},
      {"polygon tag cut off",
       chunks([](CLWOBuilder& b) { b.Tags({"a"}).Raw(ThreePoints().Bytes()).Triangles({{0, 1, 2}}); b.Chunk("PTAG").ID("SURF").VX(0).U1(0).End(); }),
       kMesh, "File Corrupt"},
      // Clips.
      {"65 clips",
       chunks([](CLWOBuilder& b) { for (uint32_t i = 0; i < 65; ++i) b.StillClip(i, "a.png"); }), kLWO6,
       "CLIP: More Than 64 Clips: obj.lwo"},
      {"clip path longer than its field",
       chunks([](CLWOBuilder& b) { b.StillClip(1, "images/" + std::string(250, 'w') + ".png"); }), kLWO6,
       "CLIP Image Path Too Long (263 Characters): obj.lwo"},
      {"sequence suffix longer than its field",
       chunks([](CLWOBuilder& b) { b.Chunk("CLIP").U4(1).SubChunk("ISEQ").U1(3).U1(0).U2(0).U2(0).U2(0).U2(9).S0("f").S0(std::string(256, 's')).End().End(); }),
       kLWO6, "CLIP:ISEQ Suffix Too Long (256 Characters): obj.lwo"},
      {"unknown clip sub-chunk",
       chunks([](CLWOBuilder& b) { b.Chunk("CLIP").U4(1).SubChunk("XREF").U4(0).S0("a").End().End(); }),
       kLWO6, "Unknown SubChunk In PTAG Chunk"},
      {"sequence without its suffix",
       chunks([](CLWOBuilder& b) { b.Chunk("CLIP").U4(1).SubChunk("ISEQ").U1(3).U1(0).U2(0).U2(0).U2(0).U2(9).S0("f").End().End(); }),
       kLWO6, "Error Loading ISEQ Chunk"},
      // Vertex maps.
      {"33 UV maps",
       chunks([](CLWOBuilder& b) { for (int i = 0; i < 33; ++i) b.UVMap("uv" + std::to_string(i), {}); }),
       "ERROR!!!", tooManyUVMaps},
      {"UV map name longer than its field",
       chunks([](CLWOBuilder& b) { b.UVMap(std::string(256, 'u'), {}); }), kLWO6,
       "VMAP:TXUV Name Too Long (256 Characters): obj.lwo"},
      {"65 weight maps",
       chunks([](CLWOBuilder& b) { b = ThreePoints(); for (int i = 0; i < 65; ++i) b.WeightMap("w", {{0, 1.0f}}); }),
       kLWO6, "VMAP:WGHT More Than 64 Weight Maps: obj.lwo"},
      {"weight entry cut off",
       chunks([](CLWOBuilder& b) { b = ThreePoints(); b.Chunk("VMAP").ID("WGHT").U2(1).S0("w").VX(0).F4(1).VX(1).U2(0).End(); }),
       "Error In LW Importer", "Weight Map Error: obj.lwo"},
      {"weight of a point past the points",
       chunks([](CLWOBuilder& b) { b = ThreePoints(); b.WeightMap("bone", {{0, 1.0f}, {0x10000, 0.5f}}); }),
       kLWO6, "VMAP:WGHT bone Names Point 65536 But There Are 3 Points: obj.lwo"},
      // Surfaces.
      {"COLR of length 18", [] { return SkinWith([](CLWOBuilder& b) { b.SubChunk("COLR").F4(1).F4(1).F4(1).VX(0).U2(0).End(); }).File(); },
       kLWO6, "COLR Length Mismatch"},
      {"COLR without its envelope index", [] { return SkinWith([](CLWOBuilder& b) { b.SubChunk("COLR").F4(1).F4(1).F4(1).End(); }).File(); },
       kLWO6, "COLR Length Mismatch"},
      {"SIDE without its value", [] { return SkinWith([](CLWOBuilder& b) { b.SubChunk("SIDE").End(); }).File(); },
       kLWO6, "SIDE Length Mismatch"},
      {"ALPH without its value", [] { return SkinWith([](CLWOBuilder& b) { b.SubChunk("ALPH").U2(1).End(); }).File(); },
       kLWO6, "ALPH Length Mismatch"},
      {"TIMG of one byte", [] { return SkinWith([](CLWOBuilder& b) { b.SubChunk("TIMG", 1).U2(4).End(); }).File(); },
       kLWO6, "TIMG Length Mismatch"},
      {"sub-chunk longer than its surface",
       [] { return SkinWith([](CLWOBuilder& b) { b.SubChunk("SMAN", 8).F4(0).End(); }).File(); }, kMesh,
       "File Corrupt"},
      {"surface longer than the file",
       chunks([](CLWOBuilder& b) { b.Chunk("SURF", 64).S0("Skin").S0("").End(); }), kMesh, "File Corrupt"},
      {"surface name without its end", chunks([](CLWOBuilder& b) { b.Chunk("SURF").U2(0x4142).End(); }), kMesh,
       "File Corrupt"},
      {"surface name of 128 characters",
       chunks([](CLWOBuilder& b) { b.BeginSurface(std::string(128, 's')).End(); }), kLWO6,
       "SURF Name Too Long (128 Characters): obj.lwo"},
      {"refraction image sequence",
       [] { return SkinWith([](CLWOBuilder& b) { b.SubChunk("TIMG").VX(5).End(); }).File(); },
       "Error When Loading LWO", "REFRACTION Image may not be animated"},
      {"reflection image sequence",
       [] { return SkinWith([](CLWOBuilder& b) { b.SubChunk("RIMG").VX(5).End(); }).File(); },
       "Error When Loading LWO", "Reflection Image May Not Be Animated"},
      {"17 surfaces",
       [] {
         CLWOBuilder b = ThreePoints();
         std::vector<std::string> names;
         std::vector<CLWOBuilder::Triangle> faces;
         std::vector<std::pair<uint32_t, uint16_t>> tags;
         for (uint16_t i = 0; i < 17; ++i) {
           names.push_back("s" + std::to_string(i));
           faces.push_back({0, 1, 2});
           tags.push_back({i, i});
         }
         b.Tags(names).Triangles(faces).SurfaceTags(tags);
         for (const std::string& name : names) b.Surface(name);
         return b.File();
       },
       "ERROR!!!",
       "It's pretty obvious in most of game industry comapnies, that one UV and material per object "
       "is usually enuff, so 16 is a bit too much\n"},
  };
  // Processing.
  rows.push_back({"faces without tags",
                  [] { CLWOBuilder b = ThreePoints(); b.Triangles({{0, 1, 2}}); return b.File(); },
                  kLWO, "Can't Get TAGS Reference: obj.lwo - 0 - \n"});
  rows.push_back({"65535 points",
                  [] {
                    CLWOBuilder b;
                    b.Tags({"a"}).Points(std::vector<CLWOBuilder::Point>(65535, {0, 0, 0}));
                    b.Triangles(std::vector<CLWOBuilder::Triangle>(10923, {0, 1, 2}));
                    b.SurfaceTags({{0, 0}}).Surface("a");
                    return b.File();
                  },
                  "Error While Recalculating Vertex Indices", "Too Many Vertices (obj.lwo)"});
  rows.push_back({"21846 triangles on a surface",
                  [] {
                    CLWOBuilder b = ThreePoints();
                    b.Tags({"a"}).Triangles(std::vector<CLWOBuilder::Triangle>(21846, {0, 1, 2}));
                    b.SurfaceTags({{0, 0}}).Surface("a");
                    return b.File();
                  },
                  kLWO6, "Too Much Indiecs, Change ZEKORB_MAX_INDICES (obj.lwo, 65538)"});
  // Texture blocks.
  const auto block = [](const char* channel, const std::function<void(CLWOBuilder&)>& add) {
    return [channel, add] {
      return SkinWith([channel, add](CLWOBuilder& b) {
               b.BeginBlock("IMAP", channel);
               add(b);
               b.End();
             }).File();
    };
  };
  for (const char* id : {"CNTR", "SIZE", "ROTA"})
    rows.push_back({id, block("COLR", [id](CLWOBuilder& b) {
                      b.SubChunk("TMAP").SubChunk(id).F4(1).F4(1).F4(1).VX(0).U1(0).End().End();
                    }),
                    kMesh, std::string("After Reading Length Of ") + id + " Sub Chunk Is Not Equal To ZERO"});
  for (const char* id : {"WRPW", "WRPH"})
    rows.push_back({id, block("DIFF", [id](CLWOBuilder& b) { b.SubChunk(id).F4(1).End(); }), kMesh,
                    std::string("After Reading Length Of ") + id + " Sub Chunk Is Not Equal To ZERO"});
  rows.push_back({"OPAC with an envelope", block("COLR", [](CLWOBuilder& b) { b.SubChunk("OPAC").U2(0).F4(1).VX(1).F4(0).End(); }),
                  kLWO6, "OPAC Length Mismatch (Layer Opacity Envelope Is Not Supported)"});
  rows.push_back({"PROJ without its value", block("COLR", [](CLWOBuilder& b) { b.SubChunk("PROJ").End(); }),
                  kLWO6, "PROJ Length Mismatch"});
  rows.push_back({"sequence on the second colour layer",
                  [] {
                    return SkinWith([](CLWOBuilder& b) {
                             b.BeginBlock("IMAP", "COLR").End();
                             b.BeginBlock("IMAP", "COLR").SubChunk("IMAG").VX(5).End().End();
                           }).File();
                  },
                  "Error When Loading LWO",
                  "Animated Textures Are Supported Only On First Color Texture  Or Transparency Texture"});
  rows.push_back({"sequence on the diffuse layer", block("DIFF", [](CLWOBuilder& b) { b.SubChunk("IMAG").VX(5).End(); }),
                  "Error When Loading LWO",
                  "Animated Textures Are Supported Only On First Color Texture Or Transparency Texture"});
  // Sequences of clip 9: digits, first and last frame, prefix.
  const auto sequence = [](uint8_t digits, uint16_t first, uint16_t last, const std::string& prefix,
                           const char* channel) {
    return [=] {
      return SkinTriangle([=](CLWOBuilder& b) {
               b.Chunk("CLIP").U4(9).SubChunk("ISEQ").U1(digits).U1(0).U2(0).U2(0).U2(first).U2(last);
               b.S0(prefix).S0(".tga").End().End();
               b.BeginSurface("Skin").BeginBlock("IMAP", channel).SubChunk("IMAG").VX(9).End().End().End();
             }).File();
    };
  };
  rows.push_back({"sequence ending before it starts", sequence(3, 5, 2, "f", "COLR"), "Error When Loading LWO",
                  "Wrong Number Of Frames In Image Sequence: textures\\f (-2)"});
  rows.push_back({"transparency sequence of one frame", sequence(3, 4, 4, "f", "TRAN"), "Error When Loading LWO",
                  "Wrong Number Of Frames In Image Sequence: textures\\f (0)"});
  rows.push_back({"frames with more digits than stated", sequence(1, 1, 10, "f", "COLR"), "Error When Loading LWO",
                  "The Number Of Frames Exceeds The Number Of Digits Describing Frames"});
  rows.push_back({"frame name of 256 characters", sequence(3, 1, 2, std::string(240, 'p'), "COLR"),
                  "Error When Loading Animated Texture",
                  "The Length Of The File Is Too Long: textures\\" + std::string(240, 'p') + "001.tga (256)\n"});
  const auto uvBlock = [](const std::function<void(CLWOBuilder&)>& maps) {
    return [maps] {
      return SkinTriangle([maps](CLWOBuilder& b) {
               maps(b);
               b.BeginSurface("Skin").BeginBlock("IMAP", "COLR").SubChunk("VMAP").S0("uv").End().End().End();
             }).File();
    };
  };
  rows.push_back({"three-dimensional UV map",
                  uvBlock([](CLWOBuilder& b) { b.Chunk("VMAP").ID("TXUV").U2(3).S0("uv").End(); }), kMesh,
                  "Only 2D Textures Coordinates Are Supported"});
  rows.push_back({"UV of a point past the points",
                  uvBlock([](CLWOBuilder& b) { b.Chunk("VMAP").ID("TXUV").U2(2).S0("uv").VX(3).F4(0).F4(0).End(); }),
                  kLWO6, "VMAP:TXUV uv Names Point 3 But There Are 3 Points: obj.lwo"});
  rows.push_back({"per-polygon UV of a point past the points",
                  uvBlock([](CLWOBuilder& b) { b.PolygonUVMap("uv", {{0, 0, 0, 0}, {70000, 0, 0, 0}}); }),
                  kLWO6, "VMAD:TXUV uv Names Point 70000 But There Are 3 Points: obj.lwo"});
  rows.push_back({"33rd per-point UV entry",
                  uvBlock([](CLWOBuilder& b) {
                    b.Chunk("VMAP").ID("TXUV").U2(2).S0("uv");
                    for (int i = 0; i < 33; ++i) b.VX(1).F4(0).F4(0);
                    b.End();
                  }),
                  kLWO, "(2) You have exceeded maximum number of UVMaps per vertex in: obj.lwo (33)\n"});
  rows.push_back({"33rd UV map named by a block",
                  uvBlock([](CLWOBuilder& b) { for (int i = 0; i < 32; ++i) b.UVMap("m" + std::to_string(i), {}); }),
                  "ERROR!!!", tooManyUVMaps});
  // Every value sub-chunk whose length is one byte more than its value and envelope index.
  for (const char* id : {"COLR", "DIFF", "SPEC", "GLOS", "RIND", "REFL", "TRAN", "LUMI", "TRNL",
                         "BUMP", "ADTR"}) {
    rows.push_back({id, [id] {
                      return SkinWith([id](CLWOBuilder& b) {
                               b.SubChunk(id).F4(1);
                               if (std::string(id) == "COLR") b.F4(1).F4(1);
                               b.VX(0).U1(0).End();
                             }).File();
                    },
                    kLWO6, std::string(id) + " Length Mismatch"});
  }
  return rows;
}

TEST(LWOMalformedFileTest, EveryMalformedFileStopsWithItsMessage) {
  for (const Malformed& row : MalformedFiles()) {
    SCOPED_TRACE(row.name);
    LWOReaderTestBench t;
    t.Write(row.file());
    try {
      t.Load();
      ADD_FAILURE() << "the load returned";
    } catch (const ProcessExited& exited) {
      EXPECT_EQ(exited.code, 1u);
    }
    const std::vector<ZkTestMessageBox> boxes = t.bench.exits.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, row.title);
    EXPECT_EQ(boxes[0].text, row.text);
  }
}

TEST(LWOMalformedFileTest, AMissingFileStopsWithItsPath) {
  LWOReaderTestBench t;
  EXPECT_THROW(t.Load("missing.lwo", "Level\\", 1), ProcessExited);
  const std::vector<ZkTestMessageBox> boxes = t.bench.exits.Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, kLWO);
  EXPECT_EQ(boxes[0].text, "Can't Load File:Level\\Objects\\missing.lwo");
}

}  // namespace
