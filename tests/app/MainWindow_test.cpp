// The demo window on the offscreen platform: what it shows before, during and after a run,
// and how it answers the simulation, the sliders and "simvars.txt".

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "MainWindow.h"
#include "TrackBar.h"
#include "tapwise/faucet/FaucetSimulation.h"
#include "tapwise/foundation/Interface.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/fuzzy/InterfacedFuzzyLogic.h"

namespace tapwise {
namespace {

constexpr char kHighEnoughStop[] =
    "*** Hot Temperature Problem -- Cannot get temperature high enough ***\r\n"
    "Stopping simulation";

// A window over a folder of its own, its messages recorded instead of shown.
struct TWindowUnderTest {
  explicit TWindowUnderTest(const QByteArray& simvars = {}) {
    if (!simvars.isNull()) {
      QFile file(Folder.filePath(QStringLiteral("simvars.txt")));
      if (file.open(QIODevice::WriteOnly)) file.write(simvars);
    }
    Form = std::make_unique<TForm1>(Folder.path().toStdString(),
                                    [this](const std::string& text) { Messages.push_back(text); });
  }

  TStringList& Variables() { return Form->GetFuzzyLogic().GetVariables(); }
  std::string Variable(std::string_view name) { return Variables().GetValue(name); }
  QString Log() const { return Form->GetMemo1()->toPlainText(); }
  QColor StatusColor() const { return Form->GetStatusPanel()->palette().color(QPalette::Window); }
  // Ticks until the run ends; false when it is still going after `limit` ticks.
  bool RunToEnd(int limit = 400) {
    for (int tick = 0; tick < limit && Form->GetSimulation().IsRunning(); ++tick) {
      Form->Timer1Timer();
    }
    return !Form->GetSimulation().IsRunning();
  }

  QTemporaryDir Folder;
  std::vector<std::string> Messages;
  std::unique_ptr<TForm1> Form;
};

QString Text(std::string_view text) {
  return QString::fromStdString(std::string(text));
}

}  // namespace

class TMainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { FLiveAtStart = LiveObjects::Count(); }
  // A window with its components and a run behind it leaves no fuzzy object alive.
  void cleanup() { QCOMPARE(LiveObjects::Count(), FLiveAtStart); }

  void ShowsTheDesignBeforeStart() {
    TWindowUnderTest window;
    TForm1& form = *window.Form;
    QCOMPARE(form.lblHotTemp->text(), QStringLiteral("Temperature (C)"));
    QCOMPARE(form.lblColdPressure->text(), QStringLiteral("Pressure (kPa)"));
    QCOMPARE(form.lblHotValvePos->text(), QStringLiteral("Valve Position"));
    QCOMPARE(form.lblColdOutFlow->text(), QStringLiteral("Outflow (liters/minute)"));
    QCOMPARE(form.lblFaucetTemp->text(), QStringLiteral("Temperature (C)"));
    QCOMPARE(form.lblFaucetOutFlow->text(), QStringLiteral("Outflow (liters/minute)"));

    // Ranges and design positions; the variables are not shown yet.
    for (TTrackBar* slider : {form.tbHotTemp, form.tbColdTemp, form.tbFaucetTemp}) {
      QCOMPARE(slider->minimum(), 5);
      QCOMPARE(slider->maximum(), 65);
      QCOMPARE(slider->value(), 5);
    }
    for (TTrackBar* slider : {form.tbHotPressure, form.tbColdPressure}) {
      QCOMPARE(slider->minimum(), 42);
      QCOMPARE(slider->maximum(), 100);
      QCOMPARE(slider->value(), 42);
    }
    QCOMPARE(form.tbHotValvePos->maximum(), 100);
    QCOMPARE(form.tbFaucetOutFlow->maximum(), 20);
    QCOMPARE(form.pbColdOutFlow->maximum(), 10);
    QVERIFY(form.tbHotTemp->isEnabled() && form.tbColdPressure->isEnabled());
    QVERIFY(!form.tbHotValvePos->isEnabled() && !form.tbFaucetTemp->isEnabled());
    QVERIFY(form.tbFaucetTemp->HasSelection());
    QCOMPARE(form.tbFaucetTemp->GetSelStart(), 34);
    QCOMPARE(form.tbFaucetTemp->GetSelEnd(), 38);
    QCOMPARE(form.tbFaucetOutFlow->GetSelStart(), 11);
    QCOMPARE(form.tbFaucetOutFlow->GetSelEnd(), 13);

    QVERIFY(form.GetBtnStartSim()->isEnabled());
    QCOMPARE(form.GetBtnStartSim()->text(), QStringLiteral("Start"));
    QVERIFY(!form.GetTimer1()->isActive());
    QCOMPARE(form.GetTimer1()->interval(), 1000);

    // The log opens with the paragraph, an empty line and the three definitions.
    const QStringList lines = window.Log().split(QLatin1Char('\n'));
    QVERIFY(lines[0].startsWith(QStringLiteral("This demo uses")));
    QCOMPARE(lines[1], QString());
    QCOMPARE(lines[2], QStringLiteral("(deffuzzy outTemp"));
    QVERIFY(window.Log().contains(QStringLiteral("(deffuzzy outFlow")));
    QVERIFY(window.Log().contains(QStringLiteral("(term PB ((.25 0) (.5 1)))")));
    QVERIFY(!window.Log().contains(QLatin1Char('\r')));

    // The definitions were parsed when the component finished loading.
    QCOMPARE(form.GetFuzzyLogic().GetVariableCount(), 3);
    QCOMPARE(window.Variable("*coldTemp*"), std::string("20.0"));
    QVERIFY(window.Messages.empty());
  }

  void StartDisablesItselfClearsTheLogAndShowsTheVariables() {
    TWindowUnderTest window;
    TForm1& form = *window.Form;
    QTest::mouseClick(form.GetBtnStartSim(), Qt::LeftButton);

    QVERIFY(!form.GetBtnStartSim()->isEnabled());
    QVERIFY(form.GetTimer1()->isActive());
    QCOMPARE(window.Log(), QStringLiteral("Output Flow is  0.000 litres/sec\n"
                                          "Output Temp is UNKNOWN"));
    QCOMPARE(form.lblColdValvePos->text(), QStringLiteral("0"));
    QCOMPARE(form.lblHotValvePos->text(), QStringLiteral("0"));
    QCOMPARE(form.lblHotTemp->text(), QStringLiteral("Temperature (C) - 45"));
    QCOMPARE(form.lblColdTemp->text(), QStringLiteral("Temperature (C) - 20"));
    QCOMPARE(form.lblHotPressure->text(), QStringLiteral("Pressure (kPa) - 80"));
    QCOMPARE(form.lblColdPressure->text(), QStringLiteral("Pressure (kPa) - 50"));
    QCOMPARE(form.lblHotOutFlow->text(), QStringLiteral("Outflow (Liters/Minute) - 0"));
    QCOMPARE(form.tbHotTemp->value(), 45);
    QCOMPARE(form.tbColdPressure->value(), 50);

    // Moving the feed sliders wrote their whole positions back.
    QCOMPARE(window.Variable("*coldTemp*"), std::string("20"));
    QCOMPARE(window.Variable("*hotTemp*"), std::string("45"));
    QCOMPARE(window.Variable("*coldPress*"), std::string("50"));
    QCOMPARE(window.Variable("*hotPress*"), std::string("80"));

    // The faucet shows the defuzzified outlet sets: the spikes at 5 degrees and no flow.
    const double temperature = form.GetSimulation().GetOutTemp()->Defuzzify();
    const double flow = form.GetSimulation().GetOutFlow()->Defuzzify();
    QCOMPARE(form.lblFaucetTemp->text(), "Temperature (C) - " + Text(FloatToStr(temperature)));
    QCOMPARE(form.lblFaucetOutFlow->text(), "Outflow (Liters/Minute) - " + Text(FloatToStr(flow)));
    QCOMPARE(form.tbFaucetTemp->value(), 5);
    QCOMPARE(form.tbFaucetOutFlow->value(), 0);
    QVERIFY(window.Messages.empty());
  }

  void TicksDriveTheControls() {
    TWindowUnderTest window;
    TForm1& form = *window.Form;
    form.BtnStartSimClick();
    for (int tick = 0; tick < 4 && form.GetSimulation().IsRunning(); ++tick) {
      form.Timer1Timer();
      QCOMPARE(window.StatusColor(), QColor(255, 255, 0));
      const double cold = StrToFloat(window.Variable("*coldValvePos*"));
      const double hot = StrToFloat(window.Variable("*hotValvePos*"));
      QCOMPARE(form.tbColdValvePos->value(), static_cast<int>(std::nearbyint(cold * 100)));
      QCOMPARE(form.tbHotValvePos->value(), static_cast<int>(std::nearbyint(hot * 100)));
      QCOMPARE(form.lblHotValvePos->text(), Text(window.Variable("*hotValvePos*")));
      const double hot_flow = StrToFloat(window.Variable("*hotFlow*"));
      QCOMPARE(form.pbHotOutFlow->value(),
               static_cast<int>(std::nearbyint(std::clamp(hot_flow, 0.0, 10.0))));
      QCOMPARE(form.lblColdOutFlow->text(),
               "Outflow (Liters/Minute) - " + Text(window.Variable("*coldFlow*")));
      const double temperature = form.GetSimulation().GetOutTemp()->Defuzzify();
      QCOMPARE(form.tbFaucetTemp->value(),
               static_cast<int>(std::nearbyint(std::clamp(temperature, 5.0, 65.0))));
      QCOMPARE(form.GetTimer1()->interval(), form.GetSimulation().GetTimerInterval());
    }
    QVERIFY(window.Log().contains(QStringLiteral("rule activated: cold_low: 1")));
    QVERIFY(form.tbHotValvePos->value() > 0);
  }

  void TheInitialRunEndsGreenWithStartEnabled() {
    TWindowUnderTest window;
    TForm1& form = *window.Form;
    form.BtnStartSimClick();
    QVERIFY(window.RunToEnd());
    QCOMPARE(window.StatusColor(), QColor(0, 128, 0));
    QVERIFY(form.GetBtnStartSim()->isEnabled());
    QVERIFY(!form.GetTimer1()->isActive());
    QVERIFY(window.Messages.empty());
    // The faucet sliders end inside their bands.
    QVERIFY(form.tbFaucetTemp->value() >= 34 && form.tbFaucetTemp->value() <= 38);
    QVERIFY(form.tbFaucetOutFlow->value() >= 11 && form.tbFaucetOutFlow->value() <= 13);
    // A later tick of a finished run changes nothing.
    const QString log = window.Log();
    form.Timer1Timer();
    QCOMPARE(window.Log(), log);
  }

  // A hot feed below the target band: the first step opens only the hot valve, the
  // temperature stays below the band with the cold valve shut, and the run stops.
  void AStopShowsItsMessageOnceAndTurnsRed() {
    TWindowUnderTest window;
    TForm1& form = *window.Form;
    window.Variables().SetValue("*hotTemp*", "30");
    form.BtnStartSimClick();
    // A timer event arriving while the message is open starts no second step.
    int log_lines_at_message = -1;
    form.SetMessagePresenter([&](const std::string& text) {
      window.Messages.push_back(text);
      log_lines_at_message = form.GetMemo1()->blockCount();
      form.Timer1Timer();
      QCOMPARE(form.GetMemo1()->blockCount(), log_lines_at_message);
    });
    form.Timer1Timer();
    QCOMPARE(window.Messages.size(), size_t{1});
    QCOMPARE(window.Messages[0], std::string(kHighEnoughStop));
    QCOMPARE(window.StatusColor(), QColor(255, 0, 0));
    QVERIFY(form.GetBtnStartSim()->isEnabled());
    QVERIFY(!form.GetTimer1()->isActive());
  }

  // The real message box: modal, captioned with the application title, answered here.
  void TheStopMessageIsAModalBoxCaptionedWithTheTitle() {
    TWindowUnderTest window;
    TForm1& form = *window.Form;
    window.Variables().SetValue("*hotTemp*", "30");
    form.BtnStartSimClick();
    form.SetMessagePresenter({});
    QString caption;
    QString text;
    QTimer answer;
    answer.setInterval(5);
    connect(&answer, &QTimer::timeout, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        caption = box->windowTitle();
        text = box->text();
        box->accept();
      }
    });
    answer.start();
    form.Timer1Timer();
    answer.stop();
    QCOMPARE(caption, QStringLiteral("Tapwise Demo"));
    QCOMPARE(text, QStringLiteral("*** Hot Temperature Problem -- Cannot get temperature high "
                                  "enough ***\nStopping simulation"));
    QVERIFY(form.GetBtnStartSim()->isEnabled());
  }

  void SimvarsReplacesTheVariables() {
    TWindowUnderTest window(
        "*coldValvePos*=0.0\n*hotValvePos*=0.0\n*coldTemp*=5.4\n*hotTemp*=80\n"
        "*coldPress*=30\n*hotPress*=90.5\n*hotFlow*=0\n*coldFlow*=0\n*optimalTempMin*=34\n"
        "*optimalTempMax*=38\n*optimalFlowMin*=11\n*optimalFlowMax*=13\n"
        "*atmosphericPress*=30\n*iterationFactor*=1\n");
    TForm1& form = *window.Form;
    QCOMPARE(window.Variables().GetCount(), 14);
    QCOMPARE(window.Variable("*hotTemp*"), std::string("80"));
    QVERIFY(window.Messages.empty());

    form.BtnStartSimClick();
    // A slider that does not move leaves its variable as it was ("5.4" rounds to the design
    // position 5, and 30 clamps to the design position 42); one that moves rewrites it,
    // clamped to its range and rounded to even.
    QCOMPARE(window.Variable("*coldTemp*"), std::string("5.4"));
    QCOMPARE(form.lblColdTemp->text(), QStringLiteral("Temperature (C) - 5.4"));
    QCOMPARE(window.Variable("*coldPress*"), std::string("30"));
    QCOMPARE(form.tbColdPressure->value(), 42);
    QCOMPARE(window.Variable("*hotTemp*"), std::string("65"));
    QCOMPARE(form.lblHotTemp->text(), QStringLiteral("Temperature (C) - 65"));
    QCOMPARE(window.Variable("*hotPress*"), std::string("90"));
    QCOMPARE(form.lblHotPressure->text(), QStringLiteral("Pressure (kPa) - 90"));
  }

  void AMissingVariableIsReportedOnceAndTheRunStops() {
    // Without the atmospheric pressure the zero step of Start fails: no run starts.
    TWindowUnderTest window("*coldValvePos*=0.0\n*hotValvePos*=0.0\n*coldTemp*=20\n");
    TForm1& form = *window.Form;
    QCOMPARE(window.Variables().GetCount(), 3);
    form.BtnStartSimClick();
    QCOMPARE(window.Messages.size(), size_t{1});
    QVERIFY(window.Messages[0].find("*hotTemp*") != std::string::npos);
    QVERIFY(form.GetBtnStartSim()->isEnabled());
    QVERIFY(!form.GetTimer1()->isActive());
    form.Timer1Timer();
    QCOMPARE(window.Messages.size(), size_t{1});

    // A variable that goes missing during a run stops it at the next step, with one message.
    TWindowUnderTest running;
    running.Form->BtnStartSimClick();
    running.Form->Timer1Timer();
    running.Variables().Delete(running.Variables().IndexOfName("*hotPress*"));
    running.Form->Timer1Timer();
    running.Form->Timer1Timer();
    QCOMPARE(running.Messages.size(), size_t{1});
    QVERIFY(running.Messages[0].find("*hotPress*") != std::string::npos);
    QVERIFY(running.Form->GetBtnStartSim()->isEnabled());
    QVERIFY(!running.Form->GetTimer1()->isActive());
  }

  void AStartWhoseZeroStepStopsLeavesStartOn() {
    TWindowUnderTest window;
    window.Variables().SetValue("*iterationFactor*", "0");
    window.Form->BtnStartSimClick();
    QCOMPARE(window.Messages,
             std::vector<std::string>{"*** Iteration Factor Problem -- Iteration factor 0 is not "
                                      "positive ***\r\nStopping simulation"});
    QVERIFY(window.Form->GetBtnStartSim()->isEnabled());
    QVERIFY(!window.Form->GetTimer1()->isActive());
    QCOMPARE(window.StatusColor(), QColor(255, 0, 0));
    QCOMPARE(window.Form->lblHotTemp->text(), QStringLiteral("Temperature (C) - 45"));
  }

  void AMissingSimvarsFileIsReported() {
    // A folder named "simvars.txt" exists but cannot be read as a file.
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("simvars.txt")));
    std::vector<std::string> messages;
    TForm1 form(folder.path().toStdString(),
                [&](const std::string& text) { messages.push_back(text); });
    QCOMPARE(messages.size(), size_t{1});
    QCOMPARE(form.GetFuzzyLogic().GetVariables().GetCount(), 14);
  }

  void ASliderMovedDuringARunTakesEffectAtTheNextStep() {
    TWindowUnderTest window;
    TForm1& form = *window.Form;
    form.BtnStartSimClick();
    form.Timer1Timer();
    form.tbHotPressure->setValue(100);
    QCOMPARE(window.Variable("*hotPress*"), std::string("100"));
    QCOMPARE(form.lblHotPressure->text(), QStringLiteral("Pressure (kPa) - 100"));
    form.Timer1Timer();
    const double hot = StrToFloat(window.Variable("*hotValvePos*"));
    QCOMPARE(window.Variable("*hotFlow*"), FloatToStr((100 - 30) * hot));
    QCOMPARE(form.tbHotPressure->value(), 100);
  }

  void TheDisplayRoundsToEvenAndClamps() {
    TWindowUnderTest window;
    TForm1& form = *window.Form;
    window.Variables().SetValue("*coldValvePos*", "0.125");
    window.Variables().SetValue("*hotValvePos*", "0.375");
    window.Variables().SetValue("*coldTemp*", "20.5");
    window.Variables().SetValue("*hotTemp*", "21.5");
    window.Variables().SetValue("*hotFlow*", "12.5");
    window.Variables().SetValue("*coldFlow*", "-3");
    form.UpdateDisplay();
    QCOMPARE(form.tbColdValvePos->value(), 12);
    QCOMPARE(form.lblColdValvePos->text(), QStringLiteral("0.125"));
    QCOMPARE(form.tbHotValvePos->value(), 38);
    QCOMPARE(window.Variable("*coldTemp*"), std::string("20"));
    QCOMPARE(window.Variable("*hotTemp*"), std::string("22"));
    QCOMPARE(form.pbHotOutFlow->value(), 10);
    QCOMPARE(form.lblHotOutFlow->text(), QStringLiteral("Outflow (Liters/Minute) - 12.5"));
    QCOMPARE(form.pbColdOutFlow->value(), 0);
    // Without a run there are no outlet sets: the faucet keeps its design.
    QCOMPARE(form.lblFaucetTemp->text(), QStringLiteral("Temperature (C)"));

    // A value that is not a number stops the display at its control.
    window.Variables().SetValue("*hotPress*", "lots");
    window.Variables().SetValue("*hotFlow*", "4");
    QVERIFY_THROWS_EXCEPTION(std::exception, form.UpdateDisplay());
    QCOMPARE(form.pbHotOutFlow->value(), 10);
  }

 private:
  int64_t FLiveAtStart = 0;
};

}  // namespace tapwise

QTEST_MAIN(tapwise::TMainWindowTest)
#include "MainWindow_test.moc"
