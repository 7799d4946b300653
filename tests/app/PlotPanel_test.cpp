// The window's plot panel on the offscreen platform: what it draws is what the tick computed.

#include <QImage>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "MainWindow.h"
#include "PlotPanel.h"
#include "tapwise/faucet/FaucetSimulation.h"

namespace tapwise {

class TPlotPanelTest : public QObject {
  Q_OBJECT

 private slots:
  // The first tick of the initial run reads the outlet at 5 C and no flow: only "cold and
  // low" fires, fully, so the hot valve's aggregate is Z or PB and the cold valve's NB or Z.
  // Worked by hand (the end degrees carried to -1 and 1): the hot centroid is
  // (0.125 * 5/12 + 0.5 * 0.75) / (0.05 + 0.125 + 0.5) = 0.4270833 / 0.675, the cold one its
  // mirror.
  void TheFirstTickIsDrawnWhereItsNumbersSay() {
    QTemporaryDir folder;
    std::vector<std::string> messages;
    TForm1 form(folder.path().toStdString(),
                [&messages](const std::string& text) { messages.push_back(text); });
    form.show();
    form.BtnStartSimClick();
    form.Timer1Timer();
    QVERIFY(messages.empty());
    const TFaucetTickReport& report = form.GetSimulation().GetTickReport();
    const double hot_change = 0.4270833333333333 / 0.675;
    QVERIFY(std::abs(report.Hot.Change - hot_change) < 1e-9);
    QVERIFY(std::abs(report.Cold.Change + hot_change) < 1e-9);

    TPlotPanel& panel = *form.GetPlotPanel();
    const QImage picture = panel.grab().toImage();
    using TPlot = TPlotPanel::TPlot;
    for (const auto& [plot, change] :
         {std::pair{TPlot::HotChange, hot_change}, std::pair{TPlot::ColdChange, -hot_change}}) {
      // change_vc spans -1..1 over the plot area's width.
      const plot::TPlotArea area = panel.Scale(plot).Area();
      const double expected_x = area.Left + (change + 1) / 2 * area.Width;
      const int row = static_cast<int>(area.Top + area.Height * 0.8);
      std::vector<int> marker_columns;
      for (int x = 0; x < picture.width(); ++x)
        if (picture.pixelColor(x, row) == TPlotPanel::kCentroidColor) marker_columns.push_back(x);
      QCOMPARE(marker_columns.size(), std::size_t{1});
      QVERIFY2(std::abs(marker_columns.front() - expected_x) <= 1,
               qPrintable(QStringLiteral("marker at %1, change at %2")
                              .arg(marker_columns.front())
                              .arg(expected_x)));
    }

    // The log names the rules that fired; exactly their rows are highlighted.
    const QString log = form.GetMemo1()->toPlainText();
    for (int i = 0; i < static_cast<int>(kFaucetRules.size()); ++i) {
      const bool logged = log.contains(QString::fromUtf8(kFaucetRules[i].Label));
      QCOMPARE(logged, i == 0);
      const QColor row_colour = picture.pixelColor(panel.RuleRow(i).topLeft() + QPoint(1, 1));
      QCOMPARE(row_colour == TPlotPanel::kFiredRowColor, logged);
      QCOMPARE(report.Hot.Consequents[i] != nullptr, logged);
    }
  }
};

}  // namespace tapwise

QTEST_MAIN(tapwise::TPlotPanelTest)
#include "PlotPanel_test.moc"
