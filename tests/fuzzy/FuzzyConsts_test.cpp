#include "tapwise/fuzzy/FuzzyConsts.h"

#include <gtest/gtest.h>

#include <string>

#include "support/ExpectThrow.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise {
namespace {

TEST(FuzzyTolerance, SameFloatIsAbsoluteWithinOneTenThousandth) {
  EXPECT_TRUE(SameFloat(1.0, 1.00009));
  EXPECT_FALSE(SameFloat(1.0, 1.00011));
  EXPECT_TRUE(SameFloat(1.00009, 1.0));
  EXPECT_FALSE(SameFloat(1.00011, 1.0));
  EXPECT_TRUE(SameFloat(1000.0, 1000.00009));
  EXPECT_FALSE(SameFloat(1e-9, 2e-4));
}

TEST(FuzzyConsts, MemberNamesFollowTheEnumerations) {
  EXPECT_EQ(MemberName(foSum), "foSum");
  EXPECT_EQ(MemberName(foZadeh), "foZadeh");
  EXPECT_EQ(MemberName(fimBoundedSum), "fimBoundedSum");
  EXPECT_EQ(MemberName(fcmProduct), "fcmProduct");
  EXPECT_EQ(MemberName(dmMeanOfMaxima), "dmMeanOfMaxima");
  EXPECT_EQ(MemberName(fstGrowthCurve), "fstGrowthCurve");
  EXPECT_THROW_MSG(MemberName(static_cast<TFuzzyOperation>(7)), EListError,
                   "List index out of bounds (7)");
  // The unsupported-operation message prints the member name unchanged.
  EXPECT_EQ(Format(messages::kInvalidFuzzyOperation, MemberName(foSum)),
            "Invalid fuzzy operation: \"foSum:");
}

TEST(FuzzyConsts, WordsByIndex) {
  EXPECT_EQ(OperationName(foMeanSqrt), "mean-sqrt");
  EXPECT_EQ(AndOperationName(foZadeh), "and");
  EXPECT_EQ(AndOperationName(foBoundedSum), "and-boundedsum");
  EXPECT_EQ(OrOperationName(foSum), "or-sum");
  EXPECT_EQ(CorrelationName(fcmMinimum), "minimum");
  EXPECT_EQ(InferenceName(fimMinMax), "min-max");
  EXPECT_EQ(InferenceName(fimAdditive), "sum");
  EXPECT_EQ(OperatorSymbol(6), "<=");
  EXPECT_EQ(OperatorSymbol(2, false), "*X");
  EXPECT_EQ(HedgeName(5), "very");
  EXPECT_EQ(HedgeName(19), "generally");
  EXPECT_EQ(HedgeFactor(1), 1.0 / 3);
  EXPECT_EQ(HedgeFactor(3), 0.7);
  EXPECT_EQ(HedgeFactor(12), 4.0);
  EXPECT_EQ(HedgeFactor(0), 0.0);
  EXPECT_EQ(OneThird + TwoThirds, 1.0);
  EXPECT_EQ(EmptySetName, "__Empty");
  EXPECT_EQ(Format(FuzzyNumberFormat, 0.5), "0.5000");
  EXPECT_THROW_MSG(HedgeName(20), EListError, "List index out of bounds (20)");
  EXPECT_THROW_MSG(OperatorSymbol(-1), EListError, "List index out of bounds (-1)");
  EXPECT_THROW_MSG(OperatorSymbol(9, false), EListError, "List index out of bounds (9)");
}

TEST(FuzzyConsts, OperatorXFormsAreTheSymbolsFollowedByX) {
  for (size_t i = 0; i < OperatorSymbols.size(); ++i) {
    EXPECT_EQ(std::string(OperatorSymbols[i]) + "X", OperatorXSymbols[i]);
  }
}

TEST(FuzzyConsts, IndexByWordIsExactAndCaseSensitive) {
  EXPECT_EQ(FindHedge("not"), 0);
  EXPECT_EQ(FindHedge("neighboring"), 15);
  EXPECT_EQ(FindHedge("Very"), std::nullopt);
  EXPECT_EQ(FindHedge("very "), std::nullopt);

  EXPECT_EQ(FindOperator(">="), (TOperatorWord{8, true}));
  EXPECT_EQ(FindOperator(">=X"), (TOperatorWord{8, false}));
  EXPECT_EQ(FindOperator("^X"), (TOperatorWord{4, false}));
  EXPECT_EQ(FindOperator("*x"), std::nullopt);
  EXPECT_EQ(FindOperator("X"), std::nullopt);

  EXPECT_EQ(FindAndOrOperation("and"), (TAndOrWord{true, foZadeh}));
  EXPECT_EQ(FindAndOrOperation("or-meansqr"), (TAndOrWord{false, foMeanSqr}));
  EXPECT_EQ(FindAndOrOperation("and-sum"), (TAndOrWord{true, foSum}));
  EXPECT_EQ(FindAndOrOperation("mean"), std::nullopt);
  EXPECT_EQ(FindAndOrOperation("OR"), std::nullopt);
}

TEST(FuzzyConsts, ReservedWordsAreWholeWordsInTheirExactCase) {
  for (const char* word : {"very", ">=", "or-sum", "*X", "and", "+", "^X", "generally"}) {
    EXPECT_TRUE(IsReservedWord(word)) << word;
    EXPECT_THROW_MSG(CheckFuzzySetName(word), EFzyException,
                     std::string("Invalid fuzzy set name, \"") + word + "\" is a reserved word");
  }
  for (const char* word : {"Very", "VERY", "very cold", "cold", "Or-Sum", "*x", "X", "", "notcold",
                           "[very cold]", "mean", "zadeh", "vert", "+Y", "an"}) {
    EXPECT_FALSE(IsReservedWord(word)) << word;
    EXPECT_NO_THROW(CheckFuzzySetName(word)) << word;
  }
  EXPECT_EQ(ReservedWords.size(), 7u + 7u + 9u + 9u + 20u);
  for (auto word : ReservedWords)
    EXPECT_TRUE(IsReservedWord(word)) << word;
}

}  // namespace
}  // namespace tapwise
