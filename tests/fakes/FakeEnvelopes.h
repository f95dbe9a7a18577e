#pragma once
// Recording fakes of the animation interfaces (keys, keyed channels, envelopes) for suites that
// need an envelope without the scene graph. Keys are kept in insertion order; evaluation is
// not interpolated: EvalEnvelope records the time and takes the value of the first key.
#include <memory>
#include <vector>

#include "ZKDXInterface.h"

class FakeKey : public CKeyInterface {
 public:
  float value = 0, time = 0;
  UINT shape = 0;
  float params[7] = {};  // tension, continuity, bias, then parameters 0 to 3

  FakeKey() = default;
  FakeKey(float keyValue, float keyTime, UINT keyShape = KEY_SHAPE_TCB)
      : value(keyValue), time(keyTime), shape(keyShape) {}

  float GetKeyValue() override { return value; }
  float GetKeyTime() override { return time; }
  CKeyInterface* GetNextKey() override { return nullptr; }
  CKeyInterface* GetPrevKey() override { return nullptr; }
  void AddValue(float add) override { value += add; }
  void SetKeyValue(float keyValue) override { value = keyValue; }
  void SetKeyTime(float keyTime) override { time = keyTime; }
  UINT GetShape() override { return shape; }
  void SetShape(UINT keyShape) override { shape = keyShape; }
  float GetParamValue(UINT index) override {
    return InRange(index) ? params[index - KEY_PARAM_TENSION] : 3.4028235e38f;
  }
  void SetParamValue(float param, UINT index) override {
    if (InRange(index)) params[index - KEY_PARAM_TENSION] = param;
  }

 private:
  static bool InRange(UINT index) { return index >= KEY_PARAM_TENSION && index < KEY_PARAM_0 + 4; }
};

class FakeChannelEnvelope : public CChannelEnvelopeInterface {
 public:
  std::vector<std::unique_ptr<CKeyInterface>> keys;
  std::vector<float> evaluatedTimes;
  float value = 0;
  UINT preBehaviour = 1, postBehaviour = 1;

  void EvalEnvelope(float time) override {
    evaluatedTimes.push_back(time);
    value = keys.empty() ? 0.0f : keys.front()->GetKeyValue();
  }
  float GetValue() override { return value; }
  UINT GetNumberOfKeys() override { return static_cast<UINT>(keys.size()); }
  UINT RemoveKey(CKeyInterface* key) override {
    for (auto it = keys.begin(); it != keys.end(); ++it)
      if (it->get() == key) {
        keys.erase(it);
        return 1;
      }
    return 0;
  }
  UINT RemoveKeyAtTime(float time) override { return RemoveKey(GetKey(time)); }
  CKeyInterface* GetKey(float time) override {
    for (auto& key : keys)
      if (key->GetKeyTime() == time) return key.get();
    return nullptr;
  }
  UINT GetKeyData(float time, float* keyValue, UINT* shape, float* tension, float* continuity,
                  float* bias, float* param0, float* param1, float* param2,
                  float* param3) override {
    CKeyInterface* key = GetKey(time);
    if (key == nullptr) return 0;
    *keyValue = key->GetKeyValue();
    *shape = key->GetShape();
    float* outs[] = {tension, continuity, bias, param0, param1, param2, param3};
    for (UINT i = 0; i < 7; ++i) *outs[i] = key->GetParamValue(KEY_PARAM_TENSION + i);
    return 1;
  }
  UINT SetKeyData(float keyValue, float time, UINT shape, float tension, float continuity,
                  float bias, float param0, float param1, float param2, float param3) override {
    CKeyInterface* key = GetKey(time);
    if (key == nullptr) return 0;
    Fill(key, keyValue, time, shape, {tension, continuity, bias, param0, param1, param2, param3});
    return 1;
  }
  UINT AddKey(CKeyInterface* key) override {
    keys.emplace_back(key);
    return 1;
  }
  UINT AddKeyData(float keyValue, float time, UINT shape, float tension, float continuity,
                  float bias, float param0, float param1, float param2, float param3) override {
    auto key = std::make_unique<FakeKey>();
    Fill(key.get(), keyValue, time, shape,
         {tension, continuity, bias, param0, param1, param2, param3});
    keys.push_back(std::move(key));
    return 1;
  }
  CKeyInterface* GetKey(UINT index) override {
    return index < keys.size() ? keys[index].get() : nullptr;
  }
  UINT RemoveAllKeys() override {
    keys.clear();
    value = 0;
    preBehaviour = postBehaviour = 1;
    return 1;
  }
  UINT GetPreBehaviour() override { return preBehaviour; }
  UINT GetPostBehaviour() override { return postBehaviour; }
  void SetPreBehaviour(UINT behaviour) override { preBehaviour = behaviour; }
  void SetPostBehaviour(UINT behaviour) override { postBehaviour = behaviour; }
  CKeyInterface* CreateKey() override { return new FakeKey(); }

 private:
  static void Fill(CKeyInterface* key, float keyValue, float time, UINT shape,
                   std::initializer_list<float> params) {
    key->SetKeyValue(keyValue);
    key->SetKeyTime(time);
    key->SetShape(shape);
    UINT index = KEY_PARAM_TENSION;
    for (float param : params) key->SetParamValue(param, index++);
  }
};

class FakeEnvelope : public CEnvelopeInterface {
 public:
  FakeChannelEnvelope channel;
  std::vector<float> steppedFrames;
  UINT isEnvelope = 0;
  float value = 0;

  UINT GetIsEnvelope() override { return isEnvelope; }
  void CalcStep(float frame) override {
    steppedFrames.push_back(frame);
    if (isEnvelope != 1) return;
    channel.EvalEnvelope(frame);
    value = channel.GetValue();
  }
  UINT SetIsEnvelope(UINT flag) override {
    isEnvelope = flag;
    return 1;
  }
  float GetValue() override { return value; }
  UINT SetValue(float constant) override {
    if (isEnvelope == 1) return 0;
    value = constant;
    return 1;
  }
  CChannelEnvelopeInterface* GetChannelEnvelope() override { return &channel; }
};
