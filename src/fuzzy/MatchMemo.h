#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <optional>
#include <span>

#include "tapwise/fuzzy/FuzzyGeometry.h"
#include "tapwise/fuzzy/FuzzyTypes.h"

namespace tapwise {

// The last few match degrees of one reading (a narrow set) against the stretches of terms it
// was matched with. A controller matches each reading against every rule's term, and rules
// share terms, so most matches of a tick repeat one another.
//
// Keys are the points themselves, compared bit for bit, never addresses or change counts: a
// term edited, destroyed or replaced by another at the same address simply misses, so a
// remembered degree is always the one the walk would compute from the same points.
class TMatchMemo {
  static_assert(sizeof(geometry::TPoint) == 2 * sizeof(TFzyFloat),
                "points are compared as plain bytes");

 public:
  static constexpr size_t kMaxReadingPoints = 4;
  static constexpr size_t kMaxTermPoints = 8;

  // Whether a pair is small enough to be remembered.
  static bool Fits(std::span<const geometry::TPoint> reading,
                   std::span<const geometry::TPoint> term) {
    return reading.size() <= kMaxReadingPoints && term.size() <= kMaxTermPoints;
  }

  // The degree remembered for this pair, if any (the pair must fit).
  std::optional<TFzyFloat> Find(std::span<const geometry::TPoint> reading,
                                std::span<const geometry::TPoint> term) const {
    if (!SamePoints(reading, FReading.data(), FReadingCount)) return std::nullopt;
    for (const Entry& entry : FEntries) {
      if (SamePoints(term, entry.Term.data(), entry.TermCount)) return entry.Degree;
    }
    return std::nullopt;
  }

  // Remembers a degree; a new reading forgets everything learnt about the last one.
  void Remember(std::span<const geometry::TPoint> reading, std::span<const geometry::TPoint> term,
                TFzyFloat degree) {
    if (!SamePoints(reading, FReading.data(), FReadingCount)) {
      std::copy(reading.begin(), reading.end(), FReading.begin());
      FReadingCount = reading.size();
      for (Entry& entry : FEntries)
        entry.TermCount = kNone;
      FNext = 0;
    }
    Entry& entry = FEntries[FNext];
    FNext = (FNext + 1) % FEntries.size();
    std::copy(term.begin(), term.end(), entry.Term.begin());
    entry.TermCount = term.size();
    entry.Degree = degree;
  }

 private:
  static constexpr size_t kNone = ~size_t{0};

  struct Entry {
    size_t TermCount = kNone;
    std::array<geometry::TPoint, kMaxTermPoints> Term{};
    TFzyFloat Degree = 0;
  };

  // Bit for bit, coordinate by coordinate: a handful of words, which a call to memcmp
  // would cost more than it compares.
  static bool SamePoints(std::span<const geometry::TPoint> points, const geometry::TPoint* stored,
                         size_t stored_count) {
    if (points.size() != stored_count) return false;
    for (size_t i = 0; i < stored_count; ++i) {
      if (Bits(points[i].X) != Bits(stored[i].X) || Bits(points[i].Y) != Bits(stored[i].Y))
        return false;
    }
    return true;
  }
  static uint64_t Bits(TFzyFloat value) { return std::bit_cast<uint64_t>(value); }

  size_t FReadingCount = kNone;
  std::array<geometry::TPoint, kMaxReadingPoints> FReading{};
  // Enough for the terms of one variable; the oldest entry gives way.
  std::array<Entry, 6> FEntries{};
  size_t FNext = 0;
};

}  // namespace tapwise
