#include "TrackBar.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>
#include <algorithm>

namespace tapwise {

TTrackBar::TTrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
  setTickPosition(QSlider::TicksBelow);
}

void TTrackBar::SetSelection(int start, int end) {
  if (start > end) std::swap(start, end);
  FHasSelection = true;
  FSelStart = start;
  FSelEnd = end;
  update();
}

int TTrackBar::PixelOf(int value) const {
  QStyleOptionSlider option;
  initStyleOption(&option);
  const QRect groove =
      style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
  const QRect handle =
      style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
  const int span = std::max(0, groove.width() - handle.width());
  return groove.x() + handle.width() / 2 +
         QStyle::sliderPositionFromValue(minimum(), maximum(), value, span);
}

void TTrackBar::paintEvent(QPaintEvent* event) {
  QSlider::paintEvent(event);
  if (!FHasSelection) return;

  QStyleOptionSlider option;
  initStyleOption(&option);
  const QRect groove =
      style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
  const int left = PixelOf(std::clamp(FSelStart, minimum(), maximum()));
  const int right = PixelOf(std::clamp(FSelEnd, minimum(), maximum()));
  const int middle = groove.center().y();

  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  // The band sits on the groove, behind-looking: translucent so the handle stays visible.
  QColor band = palette().color(QPalette::Active, QPalette::Highlight);
  band.setAlpha(110);
  painter.fillRect(QRect(QPoint(left, middle - 3), QPoint(right, middle + 3)), band);
  // Small end marks above the groove, as a track bar shows the ends of its selection.
  painter.setPen(QPen(palette().color(QPalette::Active, QPalette::WindowText), 1));
  for (int x : {left, right}) {
    const QPolygon mark({QPoint(x - 3, groove.top() - 1), QPoint(x + 3, groove.top() - 1),
                         QPoint(x, groove.top() + 3)});
    painter.setBrush(palette().color(QPalette::Active, QPalette::WindowText));
    painter.drawPolygon(mark);
  }
}

}  // namespace tapwise
