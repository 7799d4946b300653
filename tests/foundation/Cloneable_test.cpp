#include "tapwise/foundation/Cloneable.h"

#include <gtest/gtest.h>

#include "support/LiveObjectGuard.h"
#include "tapwise/foundation/Exceptions.h"

namespace tapwise {
namespace {

// The usual shape of an implementer: a persistent object offering ICloneable, whose one
// Assign/AssignTo override serves both bases.
class TTagged : public TPersistent, public TInterfacedObject, public ICloneable {
 public:
  static IntfPtr<TTagged> Create(int32_t tag = 0) {
    auto result = CreateInterfaced<TTagged>();
    result->FTag = tag;
    return result;
  }
  std::string ClassName() const override { return "TTagged"; }
  void AssignFromInterface(const IntfPtr<IInterface>& source) override {
    auto other = Supports<TTagged>(source);
    if (!other) AssignError(nullptr, *this);
    Assign(*other);
  }
  void Assign(const TPersistent& source) override {
    if (const auto* other = dynamic_cast<const TTagged*>(&source)) {
      FTag = other->FTag;
      return;
    }
    TPersistent::Assign(source);
  }
  void AssignTo(TPersistent& dest) const override { TPersistent::AssignTo(dest); }
  IntfPtr<ICloneable> Clone() const override {
    return ClonePersistent(*this, [](const TPersistent&) { return TTagged::Create(); });
  }
  bool IsEqual(const IntfPtr<IInterface>& other) const override {
    auto tagged = Supports<TTagged>(other);
    return tagged && tagged->FTag == FTag;
  }
  int32_t GetTag() const override { return FTag; }
  void SetTag(int32_t value) override { FTag = value; }

 private:
  friend IntfPtr<TTagged> CreateInterfaced<TTagged>();
  TTagged() = default;
  int32_t FTag = 0;
};

TEST(CloneableTest, CloneCopiesThroughTheInterfaceAndLeavesNothingAlive) {
  testing::LiveObjectGuard guard;
  IntfPtr<ICloneable> original = TTagged::Create(7);
  IntfPtr<ICloneable> copy = original->Clone();
  EXPECT_NE(copy.Get(), original.Get());
  EXPECT_EQ(copy->GetTag(), 7);
  EXPECT_TRUE(copy->IsEqual(original));
  copy->SetTag(8);
  EXPECT_FALSE(copy->IsEqual(original));
  copy->AssignFromInterface(original);
  EXPECT_EQ(copy->GetTag(), 7);
}

}  // namespace
}  // namespace tapwise
