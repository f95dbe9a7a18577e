// The matrix stack: local operations act before the top, global ones after it.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "d3dx9.h"

namespace {

struct StackRelease {
  void operator()(ID3DXMatrixStack* stack) const { stack->Release(); }
};

std::unique_ptr<ID3DXMatrixStack, StackRelease> NewStack() {
  ID3DXMatrixStack* stack = nullptr;
  EXPECT_EQ(D3DXCreateMatrixStack(0, &stack), D3D_OK);
  return std::unique_ptr<ID3DXMatrixStack, StackRelease>(stack);
}

D3DXVECTOR3 Apply(const D3DXMATRIX& m, const D3DXVECTOR3& v) {
  D3DXVECTOR3 r;
  D3DXVec3TransformCoord(&r, &v, &m);
  return r;
}

void ExpectNear(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected, const char* what) {
  EXPECT_NEAR(actual.x, expected.x, 1e-6f) << what;
  EXPECT_NEAR(actual.y, expected.y, 1e-6f) << what;
  EXPECT_NEAR(actual.z, expected.z, 1e-6f) << what;
}

}  // namespace

TEST(D3DXMatrixStack, StartsAtIdentityAndPushPopRestores) {
  auto stack = NewStack();
  ASSERT_TRUE(stack);
  EXPECT_TRUE(D3DXMatrixIsIdentity(stack->GetTop()));
  EXPECT_EQ(stack->Translate(1, 2, 3), D3D_OK);
  D3DXMATRIX before = *stack->GetTop();
  EXPECT_EQ(stack->Push(), D3D_OK);
  EXPECT_EQ(*stack->GetTop(), before);  // a push copies the top
  stack->Scale(2, 2, 2);
  EXPECT_NE(*stack->GetTop(), before);
  EXPECT_EQ(stack->Pop(), D3D_OK);
  EXPECT_EQ(*stack->GetTop(), before);
  // The last matrix cannot be popped: the call fails and the top stays.
  EXPECT_EQ(stack->Pop(), D3DERR_INVALIDCALL);
  EXPECT_EQ(*stack->GetTop(), before);
  EXPECT_EQ(stack->LoadIdentity(), D3D_OK);
  EXPECT_TRUE(D3DXMatrixIsIdentity(stack->GetTop()));
}

TEST(D3DXMatrixStack, LocalFormsActBeforeTheTopGlobalFormsAfter) {
  // Start from a translation by (10, 0, 0), then add each operation in both forms; a point at
  // (1, 0, 0) shows the order.
  const D3DXVECTOR3 point(1, 0, 0), zAxis(0, 0, 1);
  const float quarter = D3DX_PI / 2;
  struct Case {
    const char* name;
    std::function<HRESULT(ID3DXMatrixStack*)> op;
    D3DXVECTOR3 expected;
  } cases[] = {
      // global: (1,0,0) + (10,0,0) = (11,0,0), then scaled
      {"Scale", [](ID3DXMatrixStack* s) { return s->Scale(2, 3, 4); }, {22, 0, 0}},
      // local: scaled first to (2,0,0), then translated
      {"ScaleLocal", [](ID3DXMatrixStack* s) { return s->ScaleLocal(2, 3, 4); }, {12, 0, 0}},
      {"RotateAxis", [&](ID3DXMatrixStack* s) { return s->RotateAxis(&zAxis, quarter); }, {0, 11, 0}},
      {"RotateAxisLocal", [&](ID3DXMatrixStack* s) { return s->RotateAxisLocal(&zAxis, quarter); }, {10, 1, 0}},
      {"RotateYawPitchRoll", [&](ID3DXMatrixStack* s) { return s->RotateYawPitchRoll(0, 0, quarter); }, {0, 11, 0}},
      {"RotateYawPitchRollLocal",
       [&](ID3DXMatrixStack* s) { return s->RotateYawPitchRollLocal(0, 0, quarter); },
       {10, 1, 0}},
      {"Translate", [](ID3DXMatrixStack* s) { return s->Translate(0, 5, 0); }, {11, 5, 0}},
      {"TranslateLocal", [](ID3DXMatrixStack* s) { return s->TranslateLocal(0, 5, 0); }, {11, 5, 0}},
  };
  for (const Case& c : cases) {
    auto stack = NewStack();
    stack->Translate(10, 0, 0);
    ASSERT_EQ(c.op(stack.get()), D3D_OK) << c.name;
    ExpectNear(Apply(*stack->GetTop(), point), c.expected, c.name);
  }
  // The same order in matrix terms.
  auto stack = NewStack();
  D3DXMATRIX a, b;
  D3DXMatrixRotationX(&a, 0.3f);
  D3DXMatrixTranslation(&b, 1, 2, 3);
  stack->LoadMatrix(&a);
  stack->MultMatrix(&b);
  EXPECT_EQ(*stack->GetTop(), a * b);
  stack->LoadMatrix(&a);
  stack->MultMatrixLocal(&b);
  EXPECT_EQ(*stack->GetTop(), b * a);
}

TEST(D3DXMatrixStack, CreationChecksItsArguments) {
  EXPECT_EQ(D3DXCreateMatrixStack(0, nullptr), D3DERR_INVALIDCALL);
  ID3DXMatrixStack* stack = reinterpret_cast<ID3DXMatrixStack*>(1);
  EXPECT_EQ(D3DXCreateMatrixStack(1, &stack), D3DERR_INVALIDCALL);
  EXPECT_EQ(stack, nullptr);
}

TEST(D3DXBuffer, HoldsZeroedBytesOfTheAskedSize) {
  ID3DXBuffer* buffer = nullptr;
  ASSERT_EQ(D3DXCreateBuffer(16, &buffer), D3D_OK);
  ASSERT_EQ(buffer->GetBufferSize(), 16u);
  const BYTE* bytes = static_cast<const BYTE*>(buffer->GetBufferPointer());
  for (int i = 0; i < 16; ++i) EXPECT_EQ(bytes[i], 0);
  void* same = nullptr;
  ASSERT_EQ(buffer->QueryInterface(IID_ID3DXBuffer, &same), S_OK);
  EXPECT_EQ(same, buffer);
  EXPECT_EQ(buffer->Release(), 1u);
  EXPECT_EQ(buffer->Release(), 0u);
}
