#include "tapwise/foundation/Interface.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "support/LiveObjectGuard.h"

namespace tapwise {
namespace {

class IShape : public virtual IInterface {
 public:
  virtual int Corners() const = 0;
};

class INamed : public virtual IInterface {
 public:
  virtual const char* Name() const = 0;
};

class IUnused : public virtual IInterface {};

// Hands itself to a registry while it initialises, as a term stores itself in its variable.
class TSquare : public TInterfacedObject, public IShape, public INamed {
 public:
  int Corners() const override { return 4; }
  const char* Name() const override { return "square"; }

  void AfterConstruction() {
    if (FRegistry == nullptr) return;
    FRegistry->emplace_back(this);
    FRegistry->pop_back();  // dropping that reference must not destroy the new object
  }

 private:
  friend IntfPtr<TSquare> CreateInterfaced<TSquare>(std::vector<IntfPtr<IShape>>*&&);
  explicit TSquare(std::vector<IntfPtr<IShape>>* registry) : FRegistry(registry) {}

  std::vector<IntfPtr<IShape>>* FRegistry;
};

IntfPtr<TSquare> MakeSquare(std::vector<IntfPtr<IShape>>* registry = nullptr) {
  return CreateInterfaced<TSquare>(std::move(registry));
}

TEST(Interface, CountsReferencesAndFreesAtZero) {
  testing::LiveObjectGuard guard;
  std::vector<IntfPtr<IShape>> registry;
  IntfPtr<TSquare> square = MakeSquare(&registry);
  ASSERT_TRUE(square);
  EXPECT_EQ(square->RefCount(), 1);
  IntfPtr<IShape> shape = square;
  EXPECT_EQ(square->RefCount(), 2);
  IntfPtr<IShape> moved = std::move(shape);
  EXPECT_FALSE(shape);
  EXPECT_EQ(square->RefCount(), 2);
  moved = nullptr;
  EXPECT_EQ(square->RefCount(), 1);
  if (LiveObjects::IsCounting()) {
    EXPECT_EQ(guard.Alive(), 1);
  }

  TSquare* raw = square.Detach();
  EXPECT_FALSE(square);
  IntfPtr<TSquare> adopted = IntfPtr<TSquare>::Adopt(raw);
  EXPECT_EQ(adopted->RefCount(), 1);
  adopted.Reset();
  EXPECT_EQ(guard.Alive(), 0);
}

TEST(Interface, SupportsAnswersOtherInterfacesOfTheSameObject) {
  testing::LiveObjectGuard guard;
  IntfPtr<IShape> shape = MakeSquare();
  IntfPtr<INamed> named = Supports<INamed>(shape);
  ASSERT_TRUE(named);
  EXPECT_STREQ(named->Name(), "square");
  EXPECT_TRUE(named == shape);  // one object, whichever interface
  EXPECT_FALSE(Supports<IUnused>(shape));
  EXPECT_FALSE(Supports<INamed>(IntfPtr<IShape>()));
  EXPECT_TRUE(Supports<IShape>(named.Get()) == shape);
  shape = nullptr;
  EXPECT_EQ(named->Name()[0], 's');  // still held through the other interface
}

TEST(Interface, LiveObjectCountCatchesACycle) {
  if (!LiveObjects::IsCounting()) GTEST_SKIP() << "built without live-object counting";
  struct TNode : TInterfacedObject {
    IntfPtr<TNode> Next;
  };
  const int64_t start = LiveObjects::Count();
  TNode* first = nullptr;
  {
    auto a = CreateInterfaced<TNode>();
    auto b = CreateInterfaced<TNode>();
    a->Next = b;
    b->Next = a;
    first = a.Get();
  }
  EXPECT_EQ(LiveObjects::Count() - start, 2);  // the cycle keeps both alive
  first->Next = nullptr;                       // breaking it frees both
  EXPECT_EQ(LiveObjects::Count() - start, 0);
}

}  // namespace
}  // namespace tapwise
