#include "PlotPanel.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <array>
#include <initializer_list>
#include <vector>

#include "SetOutline.h"
#include "tapwise/faucet/FaucetSimulation.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/fuzzy/IFuzzyVariable.h"

namespace tapwise {

namespace {

// Geometry in pixels: each plot's band holds its title above the data and its tick labels
// below; the rule table fills the bottom.
constexpr int kLeft = 36;
constexpr int kRight = 12;
constexpr int kTitleHeight = 18;
constexpr int kTickLabelHeight = 16;
constexpr int kRowHeight = 16;
constexpr int kRuleTableHeight = 24 + kRowHeight * static_cast<int>(kFaucetRules.size());
constexpr int kPlotCount = 4;
constexpr int kStrengthBarWidth = 60;

constexpr std::array<QColor, 7> kPalette = {QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28),
                                            QColor(0x2c, 0xa0, 0x2c), QColor(0xff, 0x7f, 0x0e),
                                            QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b),
                                            QColor(0x17, 0xbe, 0xcf)};
const QColor kAggregateColor(74, 144, 217, 90);

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The terms of `variable` that the rules name in their `roles` (not the automatic ones,
// nor the outlet reading, which is a term of its variable too), in the order they were
// defined.
using TRuleRole = const char* TFaucetRule::*;
std::vector<IntfPtr<IFuzzySet>> RuleTerms(const IFuzzyVariable& variable,
                                          std::initializer_list<TRuleRole> roles) {
  const auto named = [roles](const std::string& name) {
    return std::any_of(kFaucetRules.begin(), kFaucetRules.end(), [&](const TFaucetRule& rule) {
      return std::any_of(roles.begin(), roles.end(),
                         [&](TRuleRole role) { return name == rule.*role; });
    });
  };
  std::vector<IntfPtr<IFuzzySet>> terms;
  for (int i = 0; i < variable.GetFuzzySetCount(); ++i) {
    IntfPtr<IFuzzySet> term = variable.GetFuzzySetAt(i);
    if (named(term->GetName())) terms.push_back(std::move(term));
  }
  std::stable_sort(terms.begin(), terms.end(), [](const auto& a, const auto& b) {
    return a->GetOrderNumber() < b->GetOrderNumber();
  });
  return terms;
}

QPolygonF Outline(const IFuzzySet& set, const plot::TPlotScale& scale) {
  QPolygonF polygon;
  for (const auto& [x, y] : plot::SetOutline(set, scale.XMin(), scale.XMax()))
    polygon << QPointF(scale.X(x), scale.Y(y));
  return polygon;
}

// The frame, grid, tick labels and title of one plot.
void DrawAxes(QPainter& painter, const plot::TPlotScale& scale, const QString& title) {
  const plot::TPlotArea& area = scale.Area();
  painter.setPen(QColor(0xe4, 0xe4, 0xe4));
  const plot::TAxisTicks y_ticks = scale.YTicks(2);
  for (double value : y_ticks.Values)
    painter.drawLine(QPointF(area.Left, scale.Y(value)), QPointF(area.Right(), scale.Y(value)));
  painter.setPen(QColor(0x33, 0x33, 0x33));
  painter.drawRect(QRectF(area.Left, area.Top, area.Width, area.Height));
  for (std::size_t i = 0; i < y_ticks.Values.size(); ++i) {
    const QRectF box(0, scale.Y(y_ticks.Values[i]) - 8, kLeft - 4, 16);
    painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, ToQString(y_ticks.Labels[i]));
  }
  const plot::TAxisTicks x_ticks = scale.XTicks();
  for (std::size_t i = 0; i < x_ticks.Values.size(); ++i) {
    const double x = scale.X(x_ticks.Values[i]);
    painter.drawLine(QPointF(x, area.Bottom()), QPointF(x, area.Bottom() + 3));
    painter.drawText(QRectF(x - 30, area.Bottom() + 2, 60, kTickLabelHeight - 2), Qt::AlignCenter,
                     ToQString(x_ticks.Labels[i]));
  }
  QFont bold = painter.font();
  bold.setBold(true);
  painter.save();
  painter.setFont(bold);
  painter.drawText(QRectF(area.Left, area.Top - kTitleHeight, area.Width, kTitleHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, title);
  painter.restore();
}

// Every term as a line in its colour, named at its first peak.
void DrawTerms(QPainter& painter, const plot::TPlotScale& scale,
               const std::vector<IntfPtr<IFuzzySet>>& terms, bool muted) {
  for (std::size_t t = 0; t < terms.size(); ++t) {
    QColor colour = kPalette[t % kPalette.size()];
    if (muted) colour.setAlpha(110);
    painter.setPen(QPen(colour, 1.5));
    const QPolygonF outline = Outline(*terms[t], scale);
    painter.drawPolyline(outline);
    const QPointF peak = *std::min_element(
        outline.begin(), outline.end(), [](const auto& a, const auto& b) { return a.y() < b.y(); });
    painter.drawText(QRectF(peak.x() - 30, peak.y() - 1, 60, 14), Qt::AlignHCenter | Qt::AlignTop,
                     ToQString(terms[t]->GetName()));
  }
}

// A vertical marker at `value` with `caption` beside it, on the side with more room.
void DrawMarker(QPainter& painter, const plot::TPlotScale& scale, double value, QColor colour,
                const QString& caption) {
  const plot::TPlotArea& area = scale.Area();
  const double x = scale.X(value);
  painter.save();
  // Without antialiasing the marker is one column of its exact colour, which a test can find.
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(colour, 1));
  painter.drawLine(QPointF(x, area.Top), QPointF(x, area.Bottom()));
  const bool right_side = x < area.Left + area.Width / 2;
  // Half-way down, below the term names at the peaks.
  const double top = area.Top + area.Height / 2 - 7;
  const QRectF box = right_side ? QRectF(x + 4, top, 150, 14) : QRectF(x - 154, top, 150, 14);
  painter.drawText(box, (right_side ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignTop, caption);
  painter.restore();
}

void DrawReading(QPainter& painter, const plot::TPlotScale& scale,
                 const IntfPtr<IFuzzySet>& reading, const char* units) {
  if (!reading || reading->GetCount() == 0) return;
  painter.setPen(QPen(Qt::black, 2.5));
  painter.drawPolyline(Outline(*reading, scale));
  const double value = reading->Defuzzify();
  DrawMarker(painter, scale, value, Qt::black,
             ToQString(FormatFixed(value, 2)) + QString::fromUtf8(units));
}

void DrawValve(QPainter& painter, const plot::TPlotScale& scale, const IFuzzyVariable& change,
               const TFaucetTickReport::TValve& valve) {
  DrawTerms(painter, scale,
            RuleTerms(change, {&TFaucetRule::HotConsequent, &TFaucetRule::ColdConsequent}), true);
  if (valve.Aggregate) {
    QPolygonF fill = Outline(*valve.Aggregate, scale);
    fill << QPointF(scale.X(scale.XMax()), scale.Y(0))
         << QPointF(scale.X(scale.XMin()), scale.Y(0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(kAggregateColor);
    painter.drawPolygon(fill);
    painter.setBrush(Qt::NoBrush);
  }
  painter.setPen(QPen(QColor(0x22, 0x33, 0x66), 1.5, Qt::DashLine));
  for (const IntfPtr<IFuzzySet>& consequent : valve.Consequents)
    if (consequent) painter.drawPolyline(Outline(*consequent, scale));
  if (valve.Aggregate)
    DrawMarker(painter, scale, valve.Change, TPlotPanel::kCentroidColor,
               QStringLiteral("centre of gravity ") + ToQString(FormatFixed(valve.Change, 4)));
}

}  // namespace

TPlotPanel::TPlotPanel(const TFaucetSimulation& simulation, QWidget* parent)
    : QWidget(parent), FSimulation(simulation) {
  setObjectName(QStringLiteral("PlotPanel"));
  setMinimumSize(440, 600);
}

plot::TPlotScale TPlotPanel::Scale(TPlot which) const {
  const int band = (height() - kRuleTableHeight) / kPlotCount;
  const int index = static_cast<int>(which);
  const plot::TPlotArea area{kLeft, static_cast<double>(band * index + kTitleHeight),
                             static_cast<double>(width() - kLeft - kRight),
                             static_cast<double>(band - kTitleHeight - kTickLabelHeight)};
  const IFuzzyVariable& variable =
      *FSimulation.GetFuzzyLogic().GetVariable(which == TPlot::OutTemp   ? "outTemp"
                                               : which == TPlot::OutFlow ? "outFlow"
                                                                         : "change_vc");
  return plot::TPlotScale(area, variable.GetMinimum(), variable.GetMaximum());
}

QRect TPlotPanel::RuleRow(int index) const {
  const int top = height() - kRuleTableHeight + 22 + index * kRowHeight;
  return QRect(kLeft, top, width() - kLeft - kRight, kRowHeight);
}

void TPlotPanel::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  painter.setRenderHint(QPainter::Antialiasing);
  QFont small = painter.font();
  small.setPointSizeF(std::max(6.0, small.pointSizeF() * 0.85));
  painter.setFont(small);

  const TIFuzzyLogic& logic = FSimulation.GetFuzzyLogic();
  const TFaucetTickReport& report = FSimulation.GetTickReport();
  struct TSetPlot {
    TPlot Plot;
    const char* Title;
  };
  for (const TSetPlot& set_plot :
       {TSetPlot{TPlot::OutTemp, "outTemp (C) and the outlet reading"},
        TSetPlot{TPlot::OutFlow, "outFlow (liters/minute) and the outlet reading"},
        TSetPlot{TPlot::HotChange, "change_vc, hot valve: fired rules, aggregate, centroid"},
        TSetPlot{TPlot::ColdChange, "change_vc, cold valve: fired rules, aggregate, centroid"}}) {
    const plot::TPlotScale scale = Scale(set_plot.Plot);
    DrawAxes(painter, scale, QString::fromUtf8(set_plot.Title));
    switch (set_plot.Plot) {
      case TPlot::OutTemp:
        DrawTerms(painter, scale,
                  RuleTerms(*logic.GetVariable("outTemp"), {&TFaucetRule::TempTerm}), false);
        DrawReading(painter, scale, FSimulation.GetOutTemp(), " C");
        break;
      case TPlot::OutFlow:
        DrawTerms(painter, scale,
                  RuleTerms(*logic.GetVariable("outFlow"), {&TFaucetRule::FlowTerm}), false);
        DrawReading(painter, scale, FSimulation.GetOutFlow(), " l/min");
        break;
      case TPlot::HotChange:
        DrawValve(painter, scale, *logic.GetVariable("change_vc"), report.Hot);
        break;
      case TPlot::ColdChange:
        DrawValve(painter, scale, *logic.GetVariable("change_vc"), report.Cold);
        break;
    }
  }

  // The rule table: what each rule says and how strongly it held in the last tick.
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(Qt::black);
  QFont bold = painter.font();
  bold.setBold(true);
  painter.save();
  painter.setFont(bold);
  painter.drawText(RuleRow(0).translated(0, -20), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Rules (outTemp, outFlow: hot valve, cold valve) and strengths"));
  painter.restore();
  for (std::size_t i = 0; i < kFaucetRules.size(); ++i) {
    const TFaucetRule& rule = kFaucetRules[i];
    const QRect row = RuleRow(static_cast<int>(i));
    if (report.Fired[i]) painter.fillRect(row, kFiredRowColor);
    const double strength = std::clamp(report.Strengths[i], 0.0, 1.0);
    painter.fillRect(QRectF(row.right() - kStrengthBarWidth, row.top() + 4,
                            kStrengthBarWidth * strength, row.height() - 8),
                     QColor(0x1f, 0x77, 0xb4));
    painter.drawText(
        row.adjusted(4, 0, -kStrengthBarWidth - 4, 0), Qt::AlignVCenter,
        QStringLiteral("if %1 and %2: hot %3, cold %4")
            .arg(QString::fromUtf8(rule.TempTerm), QString::fromUtf8(rule.FlowTerm),
                 QString::fromUtf8(rule.HotConsequent), QString::fromUtf8(rule.ColdConsequent)));
    painter.drawText(row.adjusted(0, 0, -kStrengthBarWidth - 4, 0),
                     Qt::AlignRight | Qt::AlignVCenter,
                     ToQString(FormatFixed(report.Strengths[i], 4)));
  }
}

}  // namespace tapwise
