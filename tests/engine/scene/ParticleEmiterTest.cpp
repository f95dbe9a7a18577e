// Particle emitters: the factory's names, the emitter's sprite, forces, particles and state.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "EngineContextScope.h"
#include "RecordingEngineLog.h"
#include "RecordingRenderer.h"
#include "RecordingSpriteBank.h"
#include "scene/ParticleEmiter.h"
#include "scene/ParticleEmiterFactory.h"

namespace {

bool LayoutHas(const D3DVERTEXELEMENT9* elements, BYTE usage) {
  for (; elements->Stream != 0xFF; ++elements)
    if (elements->Usage == usage) return true;
  return false;
}

struct ParticleEmiterTest : testing::Test {
  void SetUp() override {
    renderer.spriteStorage = &bank;
    context->pRenderer = &renderer;
  }

  CParticleEmiter* Create(const char* name, UINT particles = 4,
                          CMaterialInterface* material = nullptr) {
    const CVector3 vectors[4] = {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}};
    return factory.CreateParticleEmiter(name, particles, &vectors[0], &vectors[1], &vectors[2],
                                        &vectors[3], 0.5f, 7, 1.5f, textures, 2, material, 9, 33);
  }

  FakeSprite* SpriteOf(CParticleEmiter* emiter) {
    return static_cast<FakeSprite*>(emiter->GetSprite());
  }

  EngineContextScope context;
  CRecordingEngineLog log;
  RecordingRenderer renderer;
  RecordingSpriteBank bank;
  SurfaceTexture* textures[2] = {};
  CParticleEmiterFactory factory{GetEngineContext(), &log};
};

TEST_F(ParticleEmiterTest, CreatesANamedEmiterWithItsSpriteAndValues) {
  CParticleEmiter* emiter = Create("smoke", 5);
  ASSERT_NE(emiter, nullptr);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelInfo), "- Creating Particle Emiter: smoke\n  - Done\n");

  ASSERT_EQ(bank.requests.size(), 1u);
  const RecordingSpriteBank::Request& request = bank.requests[0];
  EXPECT_EQ(request.name, "smoke");
  EXPECT_EQ(request.quadCount, 5u);
  EXPECT_EQ(request.surfaceTextures, textures);
  EXPECT_EQ(request.textureCount, 2u);
  EXPECT_EQ(request.material, nullptr);
  EXPECT_EQ(request.orientationFlags, 16u);
  EXPECT_EQ(request.reuse, 1u);
  ASSERT_NE(request.elements, nullptr);

  // The sprite takes the emitter's sprite value, and every quad starts switched off.
  EXPECT_EQ(emiter->GetSpriteValue(), 33u);
  EXPECT_EQ(SpriteOf(emiter)->quadActive, std::vector<UINT>(5, 0));

  // The creator's vectors arrive in the order third, first, second, fourth.
  EXPECT_EQ(emiter->GetVector3()->x, 1.0f);
  EXPECT_EQ(emiter->GetVector1()->x, 2.0f);
  EXPECT_EQ(emiter->GetVector2()->x, 3.0f);
  EXPECT_EQ(emiter->GetVector4()->x, 4.0f);
  EXPECT_EQ(emiter->GetFloatValue1(), 0.5f);
  EXPECT_EQ(emiter->GetFloatValue2(), 1.5f);
  EXPECT_EQ(emiter->GetValue(), 9u);
  EXPECT_EQ(emiter->GetSpriteParameter(), 33u);
  EXPECT_EQ(emiter->GetNumberOfParticles(), 5u);
  EXPECT_EQ(emiter->IsStopped(), 1u);
}

TEST_F(ParticleEmiterTest, AMaterialChoosesTheLitLayout) {
  CMaterialInterface* material = reinterpret_cast<CMaterialInterface*>(&bank);  // never used
  ASSERT_NE(Create("lit", 1, material), nullptr);
  ASSERT_NE(Create("unlit", 1), nullptr);
  ASSERT_EQ(bank.requests.size(), 2u);
  EXPECT_EQ(bank.requests[0].material, material);
  EXPECT_TRUE(LayoutHas(bank.requests[0].elements, D3DDECLUSAGE_NORMAL));
  EXPECT_FALSE(LayoutHas(bank.requests[1].elements, D3DDECLUSAGE_NORMAL));
  for (const RecordingSpriteBank::Request& request : bank.requests) {
    EXPECT_TRUE(LayoutHas(request.elements, D3DDECLUSAGE_POSITION));
    EXPECT_TRUE(LayoutHas(request.elements, D3DDECLUSAGE_TEXCOORD));
  }
}

TEST_F(ParticleEmiterTest, NamesAreUniqueAndFoundExactly) {
  EXPECT_EQ(factory.GetParticleEmiter("a"), nullptr);  // empty factory
  CParticleEmiter* a = Create("a");
  EXPECT_EQ(factory.GetParticleEmiter("a"), a);  // the sole emitter
  CParticleEmiter* b = Create("b");
  CParticleEmiter* c = Create("c");
  EXPECT_EQ(factory.GetParticleEmiter("c"), c);  // the last of several
  EXPECT_EQ(factory.GetParticleEmiter("b"), b);
  EXPECT_EQ(factory.GetParticleEmiter("C"), nullptr);
  EXPECT_EQ(factory.GetParticleEmiter(nullptr), nullptr);

  for (const char* taken : {"a", "c"}) {
    log.entries.clear();
    EXPECT_EQ(Create(taken), nullptr) << taken;
    EXPECT_EQ(log.TextAt(CEngineLog::kLevelInfo),
              std::string("- Creating Particle Emiter: ") + taken +
                  "\n  - Already Exists Particle Emiter With Name: " + taken + "\n");
  }
  EXPECT_EQ(bank.requests.size(), 3u);  // no sprite for a refused name
  EXPECT_EQ(Create(nullptr), nullptr);
}

// A name is kept cut to 255 characters; the full name still finds it and is still taken.
TEST_F(ParticleEmiterTest, ALongNameIsCutAndStillFindsItsEmiter) {
  const std::string name(300, 'n');
  CParticleEmiter* emiter = Create(name.c_str());
  ASSERT_NE(emiter, nullptr);
  EXPECT_EQ(std::strlen(emiter->GetName()), 255u);
  EXPECT_EQ(factory.GetParticleEmiter(name.c_str()), emiter);
  EXPECT_EQ(Create((name.substr(0, 255) + "x").c_str()), nullptr);
}

// Without a sprite creation fails, but the emitter keeps its name and stays safe to use.
TEST_F(ParticleEmiterTest, AFailedSpriteFailsCreationAndKeepsTheName) {
  for (bool withRenderer : {true, false}) {
    SCOPED_TRACE(withRenderer ? "bank refuses" : "no renderer");
    const char* name = withRenderer ? "refused" : "no renderer";
    bank.refuse = true;
    context->pRenderer = withRenderer ? &renderer : nullptr;
    log.entries.clear();
    EXPECT_EQ(Create(name, 3), nullptr);
    EXPECT_EQ(log.TextAt(CEngineLog::kLevelInfo),
              std::string("- Creating Particle Emiter: ") + name +
                  "\n- Can't Create Sprites For Particles Emiter: " + name +
                  "\n  - Can't Initialize Sprite\n");
    CParticleEmiter* kept = factory.GetParticleEmiter(name);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->GetSpriteValue(), 0u);
    kept->SetSpriteParameter(5);
    EXPECT_EQ(kept->GetSpriteParameter(), 5u);
    kept->Reset();
    EXPECT_NE(kept->GetParticle(2), nullptr);
    bank.refuse = false;
    EXPECT_EQ(Create(name), nullptr);  // the name is taken
  }
}

TEST_F(ParticleEmiterTest, ForcesAndParticlesAreBoundedWithAWarning) {
  CParticleEmiter* emiter = Create("sparks", 3);
  ASSERT_NE(emiter, nullptr);
  log.entries.clear();

  const ParticleForce force = {{1, 2, 3, 4, 5}};
  emiter->SetForce(7, &force);
  ASSERT_NE(emiter->GetForce(7), nullptr);
  EXPECT_EQ(std::memcmp(emiter->GetForce(7), &force, sizeof force), 0);
  EXPECT_EQ(log.entries.size(), 0u);

  emiter->SetForce(8, &force);
  EXPECT_EQ(emiter->GetForce(8), nullptr);
  emiter->SetForce(0, nullptr);  // nothing to copy: the force stays zero
  EXPECT_EQ(emiter->GetForce(0)->dwValues[0], 0u);
  EXPECT_EQ(emiter->GetParticle(3), nullptr);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "WARNING!!! - Can't Set Particle's Force Greater Than: 8 (sparks)\n"
            "WARNING!!! - Can't Get Particle's Force Greater Than: 8 (sparks)\n"
            "WARNING!!! - Can't Get Particle With ID Greater Than: 3 (sparks)\n");

  const Particle* last = emiter->GetParticle(2);
  ASSERT_NE(last, nullptr);
  const Particle zero = {};
  EXPECT_EQ(std::memcmp(last, &zero, sizeof zero), 0);
}

TEST_F(ParticleEmiterTest, TheStateHoldsOneBitAtATime) {
  CParticleEmiter* emiter = Create("jet");
  ASSERT_NE(emiter, nullptr);
  struct Step {
    const char* name;
    void (*apply)(CParticleEmiter*);
    UINT started, stopped, paused, startValue;
  };
  const Step steps[] = {
      {"start", [](CParticleEmiter* e) { e->Start(12); }, 1, 0, 0, 12},
      {"pause", [](CParticleEmiter* e) { e->Pause(); }, 0, 0, 1, 12},
      {"reset", [](CParticleEmiter* e) { e->Reset(); }, 0, 0, 1, 12},
      {"start again", [](CParticleEmiter* e) { e->Start(20); }, 1, 0, 0, 20},
      {"stop", [](CParticleEmiter* e) { e->Stop(); }, 0, 1, 0, 0},
      {"reset stopped", [](CParticleEmiter* e) { e->Reset(); }, 0, 1, 0, 0},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    step.apply(emiter);
    EXPECT_EQ(emiter->IsStarted(), step.started);
    EXPECT_EQ(emiter->IsStopped(), step.stopped);
    EXPECT_EQ(emiter->IsPaused(), step.paused);
    EXPECT_EQ(emiter->GetStartValue(), step.startValue);
    EXPECT_EQ(emiter->GetCurrentStartValue(), step.startValue);
  }
}

TEST_F(ParticleEmiterTest, ResetSwitchesEveryParticleAndItsQuadOff) {
  CParticleEmiter* emiter = Create("rain", 3);
  ASSERT_NE(emiter, nullptr);
  FakeSprite* sprite = SpriteOf(emiter);
  emiter->Start(1);
  for (UINT i = 0; i < 3; ++i) {
    emiter->GetParticle(i)->dwActive = 1;
    emiter->GetParticle(i)->dwValues[0] = 100 + i;
    sprite->SetIsActive(i, 1);
  }
  emiter->SetSpriteParameter(64);
  EXPECT_EQ(sprite->orientationFlags, 64u);

  emiter->Reset();

  EXPECT_EQ(sprite->quadActive, std::vector<UINT>(3, 0));
  for (UINT i = 0; i < 3; ++i) {
    EXPECT_EQ(emiter->GetParticle(i)->dwActive, 0u);
    EXPECT_EQ(emiter->GetParticle(i)->dwValues[0], 100 + i);  // only the flag is cleared
  }
  EXPECT_EQ(emiter->IsStarted(), 1u);
}

}  // namespace
