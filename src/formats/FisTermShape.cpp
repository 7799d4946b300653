#include "FisTermShape.h"

#include <cmath>
#include <numeric>
#include <vector>

namespace tapwise::detail::fis {

namespace {

// Degrees closer than this count as the same: the corners found are worked out in floating
// point, and the final check compares the shape with the points at this tolerance.
constexpr TFzyFloat kSameDegree = 1e-9;

struct TCorner {
  TFzyFloat X = 0;
  TFzyFloat Y = 0;
};

// One straight piece of the term within the range.
struct TPiece {
  TCorner From;
  TCorner To;

  TFzyFloat Slope() const { return (To.Y - From.Y) / (To.X - From.X); }
  bool IsFlatAt(TFzyFloat y) const {
    return std::fabs(From.Y - y) <= kSameDegree && std::fabs(To.Y - y) <= kSameDegree;
  }
};

// The term's corners within min..max, collinear ones dropped; none when it has an upright edge
// inside the range.
std::optional<std::vector<TPiece>> PiecesOf(const TFuzzySet& term, TFzyFloat min, TFzyFloat max) {
  std::vector<TCorner> corners{{min, term.GetMembership(min)}};
  for (int i = 0; i < term.GetCount(); ++i) {
    const TFzyFloat x = term.GetX(i);
    if (!(x > min && x < max)) continue;
    if (x == corners.back().X) return std::nullopt;
    corners.push_back({x, term.GetMembership(x)});
  }
  corners.push_back({max, term.GetMembership(max)});
  std::vector<TPiece> pieces;
  for (size_t k = 1; k < corners.size(); ++k) {
    const TPiece next{corners[k - 1], corners[k]};
    if (!pieces.empty()) {
      TPiece& last = pieces.back();
      const TFzyFloat along = last.From.Y + (next.To.X - last.From.X) * last.Slope();
      const TFzyFloat through = last.From.Y + (last.To.X - last.From.X) *
                                                  (next.To.Y - last.From.Y) /
                                                  (next.To.X - last.From.X);
      if (std::fabs(along - next.To.Y) <= kSameDegree &&
          std::fabs(through - last.To.Y) <= kSameDegree) {
        last.To = next.To;
        continue;
      }
    }
    pieces.push_back(next);
  }
  return pieces;
}

}  // namespace

std::optional<TMembershipShape> LinearShapeOf(const TFuzzySet& term, TFzyFloat min, TFzyFloat max) {
  if (term.GetCount() == 0 || !(min < max)) return std::nullopt;
  const std::optional<std::vector<TPiece>> pieces = PiecesOf(term, min, max);
  if (!pieces) return std::nullopt;
  // The pieces must read: flat at 0, rising, flat at 1, falling, flat at 0, each optional,
  // in this order and with something of the middle three.
  const TPiece* rise = nullptr;
  const TPiece* top = nullptr;
  const TPiece* fall = nullptr;
  int stage = 0;
  for (const TPiece& piece : *pieces) {
    int kind;
    if (piece.IsFlatAt(0)) {
      kind = stage == 0 ? 0 : 4;
    } else if (piece.IsFlatAt(1)) {
      kind = 2;
    } else if (piece.To.Y > piece.From.Y) {
      kind = 1;
    } else {
      kind = 3;
    }
    if (kind < stage || (kind == stage && kind != 0)) return std::nullopt;
    stage = kind;
    if (kind == 1) rise = &piece;
    if (kind == 2) top = &piece;
    if (kind == 3) fall = &piece;
  }
  if (rise == nullptr && top == nullptr && fall == nullptr) return std::nullopt;
  const TFzyFloat width = max - min;
  TFzyFloat b = min;
  TFzyFloat a = min;
  if (rise != nullptr) {
    a = rise->From.Y == 0 ? rise->From.X : rise->From.X - rise->From.Y / rise->Slope();
    b = rise->To.Y == 1 ? rise->To.X : rise->To.X + (1 - rise->To.Y) / rise->Slope();
  }
  TFzyFloat c = top != nullptr ? top->To.X : b;
  TFzyFloat d = c + width;
  if (fall != nullptr) {
    c = fall->From.Y == 1 ? fall->From.X : fall->From.X + (1 - fall->From.Y) / fall->Slope();
    d = fall->To.Y == 0 ? fall->To.X : fall->To.X - fall->To.Y / fall->Slope();
  }
  if (rise == nullptr) {
    b = top != nullptr ? min : c;
    a = b - width;
  }
  const TMembershipShape shape = b == c ? TMembershipShape{TShapeKind::Triangle, {a, b, d}}
                                        : TMembershipShape{TShapeKind::Trapezoid, {a, b, c, d}};
  if (!(std::isfinite(a) && std::isfinite(d) && a < b && b <= c && c < d)) return std::nullopt;
  // Every corner of the term and the middle of every piece agree with the shape, or no shape.
  const auto agrees = [&](TFzyFloat x) {
    return std::fabs(ShapeDegree(shape, x) - term.GetMembership(x)) <= kSameDegree;
  };
  for (int i = 0; i < term.GetCount(); ++i)
    if (term.GetX(i) >= min && term.GetX(i) <= max && !agrees(term.GetX(i))) return std::nullopt;
  for (const TPiece& piece : *pieces)
    if (!agrees(piece.From.X) || !agrees(std::midpoint(piece.From.X, piece.To.X)))
      return std::nullopt;
  return shape;
}

}  // namespace tapwise::detail::fis
