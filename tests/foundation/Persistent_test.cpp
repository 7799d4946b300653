#include "tapwise/foundation/Persistent.h"

#include <gtest/gtest.h>

#include <string>

#include "support/ExpectThrow.h"
#include "tapwise/foundation/Exceptions.h"

namespace tapwise {
namespace {

class TPoint : public TPersistent {
 public:
  std::string ClassName() const override { return "TPoint"; }
  void Assign(const TPersistent& source) override {
    if (const auto* point = dynamic_cast<const TPoint*>(&source)) {
      X = point->X;
      return;
    }
    TPersistent::Assign(source);
  }
  double X = 0;
};

// Knows how to copy itself into a point, but the point does not know it.
class TReading : public TPersistent {
 public:
  std::string ClassName() const override { return "TReading"; }
  double Value = 0;

 protected:
  void AssignTo(TPersistent& dest) const override {
    if (auto* point = dynamic_cast<TPoint*>(&dest)) {
      point->X = Value;
      return;
    }
    TPersistent::AssignTo(dest);
  }
};

class TLabel : public TPersistent {
 public:
  std::string ClassName() const override { return "TLabel"; }
};

TEST(Persistent, AssignFallsBackToTheSourcesAssignTo) {
  TPoint a;
  TPoint b;
  b.X = 2.5;
  a.Assign(b);
  EXPECT_EQ(a.X, 2.5);
  TReading reading;
  reading.Value = 7;
  a.Assign(reading);
  EXPECT_EQ(a.X, 7);
}

TEST(Persistent, UnhandledAssignmentNamesBothClasses) {
  TPoint point;
  TLabel label;
  TReading reading;
  EXPECT_THROW_MSG(point.Assign(label), EConvertError, "Cannot assign a TLabel to a TPoint");
  EXPECT_THROW_MSG(label.Assign(reading), EConvertError, "Cannot assign a TReading to a TLabel");
  EXPECT_EQ(point.X, 0);
}

}  // namespace
}  // namespace tapwise
