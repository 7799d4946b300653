#include "MatchDegree.h"

#include <optional>

#include "MatchMemo.h"

namespace tapwise {

TFzyFloat MatchDegreeOf(const TFuzzySetValues& a_values, const TFuzzySetValues& b_values,
                        std::unique_ptr<TMatchMemo>& memo) {
  const TFlatPoints& a_copy = TFlatPoints::Of(a_values);
  const TFlatPoints& b_copy = TFlatPoints::Of(b_values);
  const geometry::TPointSpan a(a_copy.GetPoints());
  const geometry::TPointSpan b(b_copy.GetPoints());
  // Learnt with the flat copy: a reading is matched against many terms.
  const bool a_has_point_piece = a_copy.GetSupport().HasPointPiece;
  const int n = a.GetCount();
  const int m = b.GetCount();
  if (n == 0 || m == 0) return geometry::MatchDegree(a, b);
  // Where one set is 0 beyond an end, only the other's points near its span can give a
  // positive minimum: a narrow reading against a wide term walks a handful of points.
  // (Bisection needs sorted points; inside an open update block they may not be yet.)
  const bool a_left_zero = a.GetY(0) <= 0;
  const bool a_right_zero = a.GetY(n - 1) <= 0;
  if ((a_left_zero || a_right_zero) && b_values.IsSorted()) {
    // A reading far from the term's nonzero degrees is told without searching the term.
    if (geometry::MatchWindowIsZero(b, b_copy.GetSupport(), a.GetX(0), a.GetX(n - 1), a_left_zero,
                                    a_right_zero) &&
        !a_has_point_piece)
      return 0;
    const auto [first, last] =
        geometry::MatchWindow(b, a.GetX(0), a.GetX(n - 1), a_left_zero, a_right_zero);
    const geometry::TPointSpan near_a = b.Window(first, last);
    // A term that is 0 all along the reading matches it with 0 exactly (every degree the
    // walk would meet is 0 or a crossing at a level of 0): the common case of a rule that
    // does not fire. Not so when the reading has a piece shorter than the tolerance: the
    // walk takes it for a point and meets the reading's own degree there.
    if (geometry::IsZero(near_a) && !a_has_point_piece) return 0;
    if (!TMatchMemo::Fits(a.GetPoints(), near_a.GetPoints()))
      return geometry::MatchDegree(a, near_a);
    if (!memo) memo = std::make_unique<TMatchMemo>();
    if (const std::optional<TFzyFloat> known = memo->Find(a.GetPoints(), near_a.GetPoints()))
      return *known;
    const TFzyFloat degree = geometry::MatchDegree(a, near_a);
    memo->Remember(a.GetPoints(), near_a.GetPoints(), degree);
    return degree;
  }
  const bool b_left_zero = b.GetY(0) <= 0;
  const bool b_right_zero = b.GetY(m - 1) <= 0;
  if ((b_left_zero || b_right_zero) && a_values.IsSorted()) {
    const auto [first, last] =
        geometry::MatchWindow(a, b.GetX(0), b.GetX(m - 1), b_left_zero, b_right_zero);
    return geometry::MatchDegree(a.Window(first, last), b);
  }
  return geometry::MatchDegree(a, b);
}

}  // namespace tapwise
