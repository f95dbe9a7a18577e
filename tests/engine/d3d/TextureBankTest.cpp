// The texture bank behind the renderer on the null back end: creation and sharing by name, the
// table with its holes, the stage caches, device contexts, locks, copies, GUI textures,
// material keys, and what shutdown gives back.
#include <gtest/gtest.h>

#include <string>

#include "ImageWriter.h"
#include "ProcessExitCatcher.h"
#include "RecordingGuiTextures.h"
#include "TextureTestBench.h"
#include "d3dx9tex.h"
#include "scene/Surface.h"

namespace {

// The count of the bank's device calls of `method` since the last ForgetCalls.
size_t DeviceCalls(const char* method) { return ZkTestD3DCountCalls(method); }

CTexture* AsTexture(CTextureInterface* texture) { return dynamic_cast<CTexture*>(texture); }

}  // namespace

TEST(TextureBank, FileTexturesAreSharedByTheirLowerCasedNameAndLeaveHolesWhenReleased) {
  TextureTestBench t;
  t.folder.Write("wall.tga", EncodeTga(RgbaImage::Pattern(8, 8)));
  t.folder.Write("floor.tga", EncodeTga(RgbaImage::Pattern(8, 8)));
  // The nine system textures come first.
  const UINT first = t.bank->GetNumberOfTextures();
  EXPECT_EQ(first, CTextureBank::kSystemTextures);
  CTexture* wall = AsTexture(t.bank->CreateTexture("Wall.TGA", 0));
  ASSERT_NE(wall, nullptr);
  EXPECT_EQ(t.bank->CreateTexture("wall.tga", 0), wall);
  EXPECT_STREQ(wall->GetName(), "wall_tga");
  EXPECT_STREQ(wall->GetFileName(), "wall.tga");
  EXPECT_EQ(wall->GetReferenceCount(), 2u);
  EXPECT_EQ(wall->IsLoaded(), 0u);
  EXPECT_EQ(t.bank->GetTextureByName("WALL.tga", 0), wall);

  CTexture* floor = AsTexture(t.bank->CreateTexture("floor.tga", 0));
  EXPECT_EQ(t.bank->GetNumberOfTextures(), first + 2);
  EXPECT_EQ(t.bank->GetTextureByID(first + 2), nullptr);

  wall->Release();
  EXPECT_EQ(t.bank->GetTextureByID(first), wall) << "one reference is left";
  wall->Release();
  EXPECT_EQ(t.bank->GetTextureByID(first), nullptr);
  EXPECT_EQ(t.bank->GetNumberOfTextures(), first + 2);
  EXPECT_EQ(t.bank->GetTextureByName("wall.tga", 0), nullptr);
  EXPECT_NE(t.Infos().find("- (CTexture) Releasing wall_tga\n"), std::string::npos);

  CTextureInterface* again = t.bank->CreateTexture("wall.tga", 0);
  EXPECT_EQ(t.bank->GetTextureByID(first), again) << "the hole is taken first";
  EXPECT_EQ(t.bank->GetTextureByID(first + 1), floor);
}

TEST(TextureBank, EmptyTexturesShareOnlyWhatMatchesInSizeAndTheTableStopsAt1024) {
  TextureTestBench t;
  CTextureInterface* first = t.bank->CreateTexture("target", D3DFMT_A8R8G8B8, 16, 16, 1, 0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->IsLoaded(), 1u);
  EXPECT_NE(first->GetD3DTexture(), nullptr);
  EXPECT_EQ(t.bank->CreateTexture("TARGET", D3DFMT_A8R8G8B8, 16, 16, 1, 1), first) << "the dynamic flag is not compared";
  EXPECT_NE(t.bank->CreateTexture("target", D3DFMT_A8R8G8B8, 32, 16, 1, 0), first);
  for (UINT i = t.bank->GetNumberOfTextures(); i < CTextureBank::kCapacity; ++i)
    ASSERT_NE(t.bank->CreateTexture(("t" + std::to_string(i)).c_str(), D3DFMT_A8R8G8B8, 1, 1, 1, 0), nullptr) << i;
  EXPECT_EQ(t.bank->CreateTexture("one too many", D3DFMT_A8R8G8B8, 1, 1, 1, 0), nullptr);
  EXPECT_EQ(t.bank->GetNumberOfTextures(), CTextureBank::kCapacity);
}

TEST(TextureBank, NamesThatDoNotFitAreRefusedWithALogLine) {
  TextureTestBench t;
  const std::string longName(300, 'a');
  EXPECT_EQ(t.bank->CreateTexture(longName.c_str(), 0), nullptr);
  EXPECT_EQ(t.bank->CreateTexture(longName.c_str(), D3DFMT_A8R8G8B8, 4, 4, 1, 0), nullptr);
  // Each name fits alone; the two-file name joins them.
  const std::string half(200, 'b');
  EXPECT_EQ(t.bank->CreateTexture(half.c_str(), (half + ".png").c_str(), 0), nullptr);
  MaterialTexture1 material{half.c_str(), half.c_str(), nullptr, nullptr, 0, 0, 0, 0};
  EXPECT_EQ(t.bank->CreateTexture(&material), nullptr);
  EXPECT_EQ(t.bank->GetNumberOfTextures(), CTextureBank::kSystemTextures);
  EXPECT_NE(t.Errors().find("ERROR!!! - Texture Name Too Long: " + longName), std::string::npos);
}

TEST(TextureBank, TwoFileAndAlphaOnlyTexturesKeepTheWholeAlphaName) {
  TextureTestBench t;
  t.folder.Write("rock.png", EncodePng(RgbaImage::Pattern(4, 4)));
  CTexture* rock = t.bank->CreateTextureByNames("Rock.png", "Masks\\Mask.JPEG", 0);
  ASSERT_NE(rock, nullptr);
  EXPECT_STREQ(rock->GetName(), "rock_pngmask_jpeg");
  EXPECT_STREQ(rock->GetAlphaFileName(), "masks\\mask.jpeg");
  EXPECT_EQ(rock->HasAlphaChannel(), 1u);
  EXPECT_EQ(t.bank->CreateTextureByNames("rock.png", "masks\\mask.jpeg", 0), rock);
  EXPECT_EQ(t.bank->GetTextureByName("ROCK.png", "masks\\MASK.jpeg", 0), rock);
  EXPECT_EQ(t.bank->GetTextureByName(nullptr, "masks\\mask.jpeg", 0), nullptr) << "it has a colour file";

  CTexture* alpha = t.bank->CreateTextureByNames(nullptr, "Masks\\Mask.JPEG", 0);
  ASSERT_NE(alpha, nullptr);
  EXPECT_NE(alpha, rock);
  EXPECT_EQ(alpha->GetTextureKind(), CTexture::kAlphaOnly);
  EXPECT_EQ(alpha->GetFormat(), D3DFMT_L8);
  EXPECT_EQ(alpha->GetFileName(), nullptr);
  EXPECT_EQ(t.bank->GetTextureByName(nullptr, "masks\\mask.jpeg", 0), alpha);
  EXPECT_EQ(t.bank->CreateTextureByNames("rock.png", nullptr, 0), nullptr);
  EXPECT_EQ(t.bank->CreateTextureByNames(nullptr, nullptr, 0), nullptr);
}

TEST(TextureBank, MaterialKeysTellEveryRecipeApart) {
  TextureTestBench t;
  MaterialTexture1 a{nullptr, nullptr, nullptr, nullptr, 1, 23, 4, 5};
  MaterialTexture1 b{nullptr, nullptr, nullptr, nullptr, 12, 3, 4, 5};
  MaterialTexture2 c{nullptr, nullptr, nullptr, nullptr, 1, 23, 4, 5};
  MaterialTexture1 rock{"Rock.TGA", nullptr, nullptr, nullptr, 9, 0, 64, 255};
  CTexture* first = t.bank->CreateMaterialTexture(&a);
  CTexture* second = t.bank->CreateMaterialTexture(&b);
  CTexture* third = t.bank->CreateMaterialTexture2(&c);
  CTexture* fourth = t.bank->CreateMaterialTexture(&rock);
  ASSERT_TRUE(first && second && third && fourth);
  EXPECT_NE(first, second);
  EXPECT_NE(first, third);
  EXPECT_EQ(t.bank->CreateMaterialTexture(&a), first);
  EXPECT_EQ(first->GetReferenceCount(), 2u);
  EXPECT_EQ(first->GetTextureKind(), CTexture::kMaterial1);
  EXPECT_EQ(third->GetTextureKind(), CTexture::kMaterial2);
  EXPECT_STREQ(fourth->GetName(), "mt1,Rock_TGA,#0,#64,#255");
  EXPECT_STREQ(fourth->GetFileName(), "Rock.TGA");
  EXPECT_EQ(fourth->GetGreenFileName(), nullptr);
  EXPECT_EQ(fourth->HasAlphaChannel(), 1u);
  EXPECT_EQ(fourth->IsLoaded(), 0u);
  // The texture format X8R8G8B8 asks for A8R8G8B8 material textures.
  EXPECT_EQ(fourth->GetFormat(), D3DFMT_A8R8G8B8);
  EXPECT_EQ(t.bank->CreateMaterialTexture(static_cast<MaterialTexture1*>(nullptr)), nullptr);
}

TEST(TextureBank, StageCachesSkipRepeatsAndSwitchBetweenObjectsAndDirect3DTextures) {
  TextureTestBench t;
  CTextureInterface* texture = t.bank->CreateTexture("stage", D3DFMT_A8R8G8B8, 4, 4, 1, 0);
  t.bench.ForgetCalls();
  EXPECT_EQ(t.bank->SetTexture(texture, 3, 0), 1u);
  EXPECT_EQ(texture->Set(3), 1u);
  EXPECT_EQ(DeviceCalls("SetTexture"), 1u);
  EXPECT_EQ(t.bank->GetTextureOnStage(3), texture);

  EXPECT_EQ(t.bank->SetD3DTexture(nullptr, 3), 1u);
  EXPECT_EQ(DeviceCalls("SetTexture"), 2u);
  EXPECT_EQ(t.bank->GetTextureOnStage(3), nullptr);
  EXPECT_EQ(t.bank->SetD3DTexture(nullptr, 3), 1u);
  EXPECT_EQ(DeviceCalls("SetTexture"), 2u);

  // Vertex sampler 257 has entry 16; sampler 300 has none and always reaches the device.
  EXPECT_EQ(t.bank->SetTexture(texture, D3DVERTEXTEXTURESAMPLER0, 0), 1u);
  EXPECT_EQ(t.bank->GetTextureOnStage(16), texture);
  EXPECT_EQ(t.bank->GetTextureOnStage(20), nullptr);
  ZkTestD3DClearCalls();
  t.bank->SetTexture(texture, 300, 0);
  t.bank->SetTexture(texture, 300, 0);
  EXPECT_EQ(DeviceCalls("SetTexture"), 2u);

  EXPECT_EQ(t.bank->SetTexture(nullptr, 2, 0), 0u);
  EXPECT_NE(t.Errors().find("ERROR! - SetTexture: No Texture For Sampler 2\n"), std::string::npos);
}

TEST(TextureBank, ReleasingATextureEmptiesStagesZeroAndOneWhateverTheyHold) {
  TextureTestBench t;
  CTextureInterface* kept = t.bank->CreateTexture("kept", D3DFMT_A8R8G8B8, 4, 4, 1, 0);
  CTexture* dropped = AsTexture(t.bank->CreateTexture("dropped", D3DFMT_A8R8G8B8, 4, 4, 1, 0));
  dropped->AddReference();
  t.bank->SetTexture(kept, 0, 0);
  t.bank->SetTexture(dropped, 1, 0);
  dropped->Release();
  EXPECT_EQ(dropped->GetReferenceCount(), 1u);
  EXPECT_EQ(t.bank->GetTextureOnStage(0), nullptr);
  EXPECT_EQ(t.bank->GetTextureOnStage(1), nullptr);
  EXPECT_EQ(t.bank->GetTextureByName("dropped", 0), dropped);
}

TEST(TextureBank, ADeviceContextCanBeTakenAgainOnceGivenBack) {
  TextureTestBench t;
  CTextureInterface* texture = t.bank->CreateTexture("dc", D3DFMT_X8R8G8B8, 8, 8, 1, 0);
  HDC dc = texture->GetDC(0);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(texture->GetDC(0), nullptr);
  EXPECT_NE(t.Errors().find("ERROR!!! - You Have Already Gotten A HDC For : dc\n"), std::string::npos);
  EXPECT_EQ(texture->ReleaseDC(dc, 0), 1u);
  HDC again = texture->GetDC(0);
  EXPECT_NE(again, nullptr);
  EXPECT_EQ(texture->ReleaseDC(again, 0), 1u);
  EXPECT_EQ(texture->ReleaseDC(again, 0), 0u) << "nothing is handed out any more";
  EXPECT_EQ(texture->GetCubeDC(D3DCUBEMAP_FACE_POSITIVE_X, 0), nullptr);
  EXPECT_NE(t.Errors().find("ERROR!!! - dc Is Not A Cube Texture\n"), std::string::npos);
}

TEST(TextureBank, LocksAndCopiesToSystemMemoryShowTheTexels) {
  TextureTestBench t;
  CTextureInterface* texture = t.bank->CreateTexture("copy", D3DFMT_A8R8G8B8, 4, 2, 1, 0);
  D3DLOCKED_RECT locked = {};
  ASSERT_EQ(texture->Lock(0, nullptr, &locked), 1u);
  for (UINT y = 0; y < 2; ++y)
    for (UINT x = 0; x < 4; ++x)
      reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] = 0xFF000000u | (y << 8) | x;
  EXPECT_EQ(texture->Unlock(0), D3D_OK);
  EXPECT_EQ(texture->Lock(5, nullptr, &locked), 0u);
  EXPECT_NE(t.Errors().find("ERROR!!! - Can't Lock Texture: copy\n"), std::string::npos);

  IDirect3DSurface9* copy = nullptr;
  ASSERT_EQ(texture->CopyToSystemMemorySurface(&copy, D3DFMT_A8R8G8B8), 1u);
  D3DSURFACE_DESC desc = {};
  copy->GetDesc(&desc);
  EXPECT_EQ(desc.Pool, D3DPOOL_SYSTEMMEM);
  ASSERT_EQ(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
  EXPECT_EQ(reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + locked.Pitch)[3], 0xFF000103u);
  copy->UnlockRect();
  copy->Release();
}

TEST(TextureBank, AGuiTextureIsMadeOnceThroughTheGuiRendererAndNoneWithoutIt) {
  TextureTestBench t;
  CTexture* texture = AsTexture(t.bank->CreateTexture("gui", D3DFMT_A8R8G8B8, 4, 4, 1, 0));
  EXPECT_EQ(texture->GetGUITexture(), nullptr);
  EXPECT_EQ(texture->GetReferenceCount(), 1u);
  EXPECT_NE(t.Errors().find("ERROR!!! - There's No GUI Renderer To Draw: gui\n"), std::string::npos);

  RecordingGuiTextures gui;
  t.bench.context->ports.guiTextures.Set(&gui);
  CGUITexture* made = texture->GetGUITexture();
  EXPECT_NE(made, nullptr);
  EXPECT_EQ(texture->GetGUITexture(), made);
  EXPECT_EQ(gui.requests, std::vector<CTexture*>{texture});
  EXPECT_EQ(texture->GetReferenceCount(), 3u);
}

TEST(TextureBank, WrappedDirect3DTexturesAreSharedByTextureAndNameLength) {
  TextureTestBench t;
  IDirect3DTexture9* d3dTexture = nullptr;
  ASSERT_EQ(t.bench.device->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                          &d3dTexture, nullptr),
            D3D_OK);
  CTexture* wrapped = t.bank->CreateTextureFromD3DTexture("Target.A", d3dTexture, 8, 8, D3DFMT_A8R8G8B8, 1);
  ASSERT_NE(wrapped, nullptr);
  EXPECT_STREQ(wrapped->GetName(), "Target_A");
  EXPECT_EQ(wrapped->IsLoaded(), 1u);
  EXPECT_EQ(t.bank->CreateTextureFromD3DTexture("Others.B", d3dTexture, 8, 8, D3DFMT_A8R8G8B8, 1), wrapped);
  EXPECT_NE(t.bank->CreateTextureFromD3DTexture("Longer", d3dTexture, 8, 8, D3DFMT_A8R8G8B8, 1), wrapped);
  d3dTexture->Release();
}

TEST(TextureBank, SavingAsDDSWritesAFileThePlatformReadsBack) {
  TextureTestBench t;
  CTextureInterface* texture = t.bank->CreateTexture("saved.png", D3DFMT_A8R8G8B8, 8, 4, 1, 0);
  ASSERT_EQ(AsTexture(texture)->SaveAsDDS(), 1u);
  D3DXIMAGE_INFO info = {};
  ASSERT_EQ(D3DXGetImageInfoFromFileA("saved_png.dds", &info), D3D_OK);
  EXPECT_EQ(info.ImageFileFormat, D3DXIFF_DDS);
  EXPECT_EQ(info.Width, 8u);
  EXPECT_EQ(info.Height, 4u);
}

TEST(TextureBank, ASurfaceAndItsCloneShareOneTextureAndGiveItBack) {
  TextureTestBench t;
  t.folder.Write("brick.png", EncodePng(RgbaImage::Pattern(4, 4)));
  auto* surface = new CSurface(t.bench.renderer.get(), &t.bench.log, nullptr);
  ASSERT_EQ(surface->SetTexture(SURFACE_TEXTURE_COLOR0, "Brick.png"), 1u);
  CTexture* brick = AsTexture(t.bank->GetTextureByName("brick.png", 0));
  ASSERT_NE(brick, nullptr);
  EXPECT_EQ(brick->IsLoaded(), 1u) << "setting a texture loads every texture";
  CSurface* clone = surface->Clone(nullptr);
  EXPECT_EQ(brick->GetReferenceCount(), 2u);
  surface->Release();
  EXPECT_EQ(t.bank->GetTextureByName("brick.png", 0), brick);
  clone->Release();
  EXPECT_EQ(t.bank->GetTextureByName("brick.png", 0), nullptr);
  EXPECT_EQ(t.bank->GetTextureByID(CTextureBank::kSystemTextures), nullptr);
}

// The platform refuses a reset while a default-pool object lives, so a dynamic texture must
// give way to it; it comes back empty and usable, while a managed one keeps its object.
TEST(TextureBank, ADynamicTextureGivesWayToAResetAndComesBackEmpty) {
  TextureTestBench t;
  CTextureInterface* video = t.bank->CreateTexture("video", D3DFMT_A8R8G8B8, 8, 8, 1, 1);
  CTextureInterface* still = t.bank->CreateTexture("still", D3DFMT_A8R8G8B8, 8, 8, 1, 0);
  ASSERT_TRUE(video && still);
  IDirect3DTexture9* kept = still->GetD3DTexture();
  ASSERT_NE(video->GetD3DTexture(), nullptr);
  t.bank->SetTexture(video, 0, 0);

  ZkTestD3DLoseDevice();
  ASSERT_EQ(t.bench.renderer->Reset(), 1u);
  EXPECT_EQ(still->GetD3DTexture(), kept);
  ASSERT_NE(video->GetD3DTexture(), nullptr);
  EXPECT_EQ(video->IsLoaded(), 1u);
  EXPECT_EQ(t.bank->GetTextureOnStage(0), nullptr) << "the stages are forgotten";
  D3DLOCKED_RECT locked{};
  ASSERT_EQ(video->Lock(0, nullptr, &locked), 1u);
  EXPECT_GE(locked.Pitch, 8 * 4);
  EXPECT_EQ(video->Unlock(0), D3D_OK);
  // A second reset finds nothing left over either.
  EXPECT_EQ(t.bench.renderer->Reset(), 1u);
}

TEST(TextureBank, ReleasingTheDeviceGivesBackEveryDirect3DObjectOfTheTextures) {
  const size_t before = ZkTestD3DLiveObjects();
  TextureTestBench t;
  t.folder.Write("held.png", EncodePng(RgbaImage::Pattern(4, 4)));
  CTextureInterface* held = t.bank->CreateTexture("held.png", 0);
  t.bank->CreateTexture("empty", D3DFMT_A8R8G8B8, 4, 4, 1, 0);
  t.bank->LoadAllTextures();
  t.bank->SetTexture(held, 0, 0);
  ASSERT_NE(held->GetD3DTexture(), nullptr);
  t.bench.renderer->ReleaseDevice();
  t.bench.device.Release();
  EXPECT_EQ(ZkTestD3DLiveObjects(), before);
  EXPECT_EQ(held->GetD3DTexture(), nullptr);
  // A holder that lets go afterwards reaches no device.
  AsTexture(held)->Release();
  EXPECT_EQ(t.bank->GetTextureByID(CTextureBank::kSystemTextures), nullptr);
}
