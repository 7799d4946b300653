#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "tapwise/fuzzy/MembershipShape.h"

// fuzzylite's names of the membership shapes, as its FLL and its FCL export write them, with
// its parameter order. FLL and FCL read them through this one table.

namespace tapwise::detail {

/// One fuzzylite term kind: the library's shape, how many parameters it takes (0: pairs, as
/// many as written) and which of fuzzylite's parameters becomes each of the shape's.
struct TFuzzyliteShape {
  std::string_view Word;
  TShapeKind Kind;
  uint8_t Count;
  std::array<uint8_t, 4> Order{0, 1, 2, 3};
};

inline constexpr std::array kFuzzyliteShapes{
    TFuzzyliteShape{"Triangle", TShapeKind::Triangle, 3},
    TFuzzyliteShape{"Trapezoid", TShapeKind::Trapezoid, 4},
    TFuzzyliteShape{"Rectangle", TShapeKind::Rectangle, 2},
    TFuzzyliteShape{"Ramp", TShapeKind::Ramp, 2},
    TFuzzyliteShape{"Discrete", TShapeKind::Discrete, 0},
    // mean sd -> sigma c
    TFuzzyliteShape{"Gaussian", TShapeKind::Gaussian, 2, {1, 0}},
    // meanA sdA meanB sdB -> sigma1 c1 sigma2 c2
    TFuzzyliteShape{"GaussianProduct", TShapeKind::Gaussian2, 4, {1, 0, 3, 2}},
    // center width slope -> a b c
    TFuzzyliteShape{"Bell", TShapeKind::Bell, 3, {1, 2, 0}},
    // inflection slope -> a c
    TFuzzyliteShape{"Sigmoid", TShapeKind::Sigmoid, 2, {1, 0}},
    // left rising falling right -> a1 c1 a2 c2
    TFuzzyliteShape{"SigmoidDifference", TShapeKind::DiffSigmoid, 4, {1, 0, 2, 3}},
    TFuzzyliteShape{"SigmoidProduct", TShapeKind::ProdSigmoid, 4, {1, 0, 2, 3}},
    TFuzzyliteShape{"SShape", TShapeKind::SShape, 2},
    TFuzzyliteShape{"ZShape", TShapeKind::ZShape, 2},
    TFuzzyliteShape{"PiShape", TShapeKind::PiShape, 4},
    TFuzzyliteShape{"Cosine", TShapeKind::Cosine, 2},
    TFuzzyliteShape{"Concave", TShapeKind::Concave, 2},
};

}  // namespace tapwise::detail
