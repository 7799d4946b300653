#include "tapwise/foundation/CastCache.h"

#include <gtest/gtest.h>

#include "tapwise/foundation/Interface.h"

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

class TSquare : public TInterfacedObject, public IShape, public INamed {
 public:
  int Corners() const override { return 4; }
  const char* Name() const override { return "square"; }
};

// A different layout: the shape part sits elsewhere in the object.
class TTriangle : public TInterfacedObject, public INamed, public IShape {
 public:
  int Corners() const override { return 3; }
  const char* Name() const override { return "triangle"; }

 private:
  int FPadding[3] = {};
};

class TBlob : public TInterfacedObject {};

TEST(CastCache, RememberedTypesAndOthersCastLikeDynamicCast) {
  const IntfPtr<TSquare> square1(new TSquare);
  const IntfPtr<TSquare> square2(new TSquare);
  const IntfPtr<TTriangle> triangle(new TTriangle);
  const IntfPtr<TBlob> blob(new TBlob);
  IInterface* const s1 = static_cast<IShape*>(square1.Get());
  IInterface* const s2 = static_cast<IShape*>(square2.Get());
  IInterface* const t = static_cast<IShape*>(triangle.Get());
  IInterface* const b = blob.Get();

  TCastCache<IShape, IInterface> cache;
  EXPECT_FALSE(cache.Knows(s1));
  EXPECT_EQ(cache.Cast(s1), static_cast<IShape*>(square1.Get()));
  EXPECT_FALSE(cache.Knows(s1));  // casting alone learns nothing

  cache.Remember(s1, square1.Get());
  EXPECT_TRUE(cache.Knows(s2));
  EXPECT_FALSE(cache.Knows(t));
  EXPECT_EQ(cache.Cast(s2), static_cast<IShape*>(square2.Get()));
  EXPECT_EQ(cache.Cast(s2)->Corners(), 4);
  // Other types still go through the search, with their own layout.
  EXPECT_EQ(cache.Cast(t), static_cast<IShape*>(triangle.Get()));
  EXPECT_EQ(cache.Cast(t)->Corners(), 3);
  EXPECT_EQ(cache.Cast(b), nullptr);
  EXPECT_EQ(cache.Cast(nullptr), nullptr);

  // The last type remembered wins; nulls are not remembered.
  cache.Remember(t, triangle.Get());
  cache.Remember(nullptr, square1.Get());
  cache.Remember(s1, nullptr);
  EXPECT_TRUE(cache.Knows(t));
  EXPECT_FALSE(cache.Knows(s1));
  EXPECT_EQ(cache.Cast(t)->Corners(), 3);
  EXPECT_EQ(cache.Cast(s1)->Corners(), 4);
}

}  // namespace
}  // namespace tapwise
