#pragma once

#include <QSlider>

namespace tapwise {

/// A horizontal integer slider that can mark a selection band (a range of positions drawn
/// over its groove), as the faucet sliders mark the target band of the outlet.
///
/// Setting the position clamps it to the range and announces it (`valueChanged`) only when
/// it actually changes, whether the user or the program moved it.
class TTrackBar : public QSlider {
  Q_OBJECT

 public:
  explicit TTrackBar(QWidget* parent = nullptr);

  /// Marks the positions `start` to `end` (inclusive; swapped when given the wrong way round).
  void SetSelection(int start, int end);
  /// Whether a selection band is drawn.
  bool HasSelection() const { return FHasSelection; }
  int GetSelStart() const { return FSelStart; }
  int GetSelEnd() const { return FSelEnd; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // The horizontal pixel of the handle's centre when the slider stands at `value`.
  int PixelOf(int value) const;

  bool FHasSelection = false;
  int FSelStart = 0;
  int FSelEnd = 0;
};

}  // namespace tapwise
