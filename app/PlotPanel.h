#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>

#include "PlotScale.h"

namespace tapwise {

class IFuzzySet;
class TFaucetSimulation;

/// Pictures of what the faucet's last tick computed, drawn with Qt's painter beside the
/// window's controls: outTemp and outFlow with their terms and the outlet readings over them;
/// change_vc for the hot and the cold valve with each fired rule's capped consequent, their
/// aggregate filled and its centre of gravity marked with its value; and the eight rules with
/// their strengths, the fired rows highlighted. It reads the simulation when it paints, so a
/// host only asks for an `update()` after every tick.
///
/// The plots map through `plot::TPlotScale`, as the tool's SVG pictures do; the geometry is
/// public so that a test can find on the picture what a tick computed.
class TPlotPanel : public QWidget {
 public:
  /// The plots, top to bottom.
  enum class TPlot { OutTemp, OutFlow, HotChange, ColdChange };

  /// The colour of the centre-of-gravity markers and of a fired rule's row.
  static constexpr QColor kCentroidColor{200, 0, 120};
  static constexpr QColor kFiredRowColor{255, 226, 140};

  /// `simulation` must outlive the panel.
  explicit TPlotPanel(const TFaucetSimulation& simulation, QWidget* parent = nullptr);

  /// Where `plot` draws its sets, and how it maps values there.
  plot::TPlotScale Scale(TPlot plot) const;
  /// The row of rule `index` (in the order of `kFaucetRules`) in the rule table.
  QRect RuleRow(int index) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const TFaucetSimulation& FSimulation;
};

}  // namespace tapwise
