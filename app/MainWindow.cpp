#include "MainWindow.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <exception>

#include "PlotPanel.h"
#include "TrackBar.h"
#include "tapwise/faucet/FaucetDefinitions.h"
#include "tapwise/faucet/FaucetSimulation.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/fuzzy/InterfacedFuzzyLogic.h"

namespace tapwise {

namespace {

constexpr std::string_view kVariablesFile = "simvars.txt";

constexpr std::string_view kTemperaturePrefix = "Temperature (C) - ";
constexpr std::string_view kPressurePrefix = "Pressure (kPa) - ";
constexpr std::string_view kOutflowPrefix = "Outflow (Liters/Minute) - ";

constexpr char kIntroduction[] =
    "This demo uses the Tapwise fuzzy logic library to bring the water of a mixing faucet to "
    "the desired temperature and flow rate. You can change the temperature and the pressure "
    "of both the hot and the cold feed with the sliders, before and during a run. The library "
    "controls the two valves, step by step, with eight fuzzy rules over the variables below.";

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Lines of the library's texts end in CR LF; Qt's text widgets want LF alone.
QString ToDisplayText(std::string_view text) {
  QString result = ToQString(text);
  result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return result;
}

// The ranges of the sliders and progress bars; every one starts at its minimum. Later
// positions are clamped to the range the control was given here.
struct TRange {
  int Min;
  int Max;
};
constexpr TRange kTemperatureRange{5, 65};
constexpr TRange kPressureRange{42, 100};
constexpr TRange kValvePosRange{0, 100};
constexpr TRange kFeedOutFlowRange{0, 10};
constexpr TRange kFaucetOutFlowRange{0, 20};

constexpr int kPlotPanelWidth = 460;

// Moves a slider or progress bar to the whole number nearest `value` (ties to even) within
// its range. Clamping first keeps huge values out of int; for whole bounds it gives the same
// as rounding first. A progress bar ignores positions outside its range; a full or empty bar
// is what a flow beyond it should show.
template <class TControl>
void SetNearest(TControl& control, double value) {
  const double clamped = std::clamp(value, static_cast<double>(control.minimum()),
                                    static_cast<double>(control.maximum()));
  control.setValue(static_cast<int>(std::nearbyint(clamped)));
}

TTrackBar* CreateTrackBar(TRange range, bool enabled, QWidget* parent) {
  auto* slider = new TTrackBar(parent);
  slider->setRange(range.Min, range.Max);
  slider->setValue(range.Min);
  slider->setEnabled(enabled);
  slider->setTickInterval(std::max(1, (range.Max - range.Min) / 10));
  return slider;
}

}  // namespace

TForm1::TForm1(std::filesystem::path program_folder, TMessagePresenter presenter, QWidget* parent)
    : QWidget(parent),
      FProgramFolder(std::move(program_folder)),
      FMessagePresenter(std::move(presenter)) {
  setWindowTitle(QStringLiteral("Tapwise Demo - a mixing faucet steered by fuzzy logic"));
  CreateControls();

  FTimer1 = new QTimer(this);
  FTimer1->setInterval(1000);
  connect(FTimer1, &QTimer::timeout, this, &TForm1::Timer1Timer);

  // The components load their stored properties and parse their definitions here.
  FSimulation = std::make_unique<TFaucetSimulation>(*this);
  FPlotPanel = new TPlotPanel(*FSimulation, this);
  FPlotPanel->setFixedWidth(kPlotPanelWidth);
  static_cast<QBoxLayout*>(layout())->addWidget(FPlotPanel);
  ShowIntroduction();
  ConnectHandlers();
  Guarded([this] { FormCreate(); });
}

// Out of line: the simulation's class is complete only here. Members go before the QWidget
// base deletes the controls, so the simulation never outlives what it talks to.
TForm1::~TForm1() = default;

std::filesystem::path TForm1::ProgramFolder() {
  return std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
}

TIFuzzyLogic& TForm1::GetFuzzyLogic() {
  return FSimulation->GetFuzzyLogic();
}

// ---- Building the window ----

void TForm1::CreateControls() {
  // The original layout keeps its size; the plot panel is added on its right.
  resize(718 + kPlotPanelWidth, 644);

  const TFeedControls hot = CreateFeedGroup(QStringLiteral("Hot Water"));
  lblHotTemp = hot.TempLabel;
  tbHotTemp = hot.Temp;
  lblHotPressure = hot.PressureLabel;
  tbHotPressure = hot.Pressure;
  lblHotValvePos = hot.ValvePosLabel;
  tbHotValvePos = hot.ValvePos;
  lblHotOutFlow = hot.OutFlowLabel;
  pbHotOutFlow = hot.OutFlow;
  const TFeedControls cold = CreateFeedGroup(QStringLiteral("Cold Water"));
  lblColdTemp = cold.TempLabel;
  tbColdTemp = cold.Temp;
  lblColdPressure = cold.PressureLabel;
  tbColdPressure = cold.Pressure;
  lblColdValvePos = cold.ValvePosLabel;
  tbColdValvePos = cold.ValvePos;
  lblColdOutFlow = cold.OutFlowLabel;
  pbColdOutFlow = cold.OutFlow;
  auto* faucet_group = CreateFaucetGroup();

  FTitleLabel = new QLabel(QStringLiteral("Tapwise Demo\n"
                                          "A mixing faucet steered by fuzzy rules\n"
                                          "Tapwise fuzzy-logic library for C++20"),
                           this);
  FTitleLabel->setAlignment(Qt::AlignCenter);
  QFont title_font = FTitleLabel->font();
  title_font.setBold(true);
  FTitleLabel->setFont(title_font);

  FBtnStartSim = new QPushButton(QStringLiteral("Start"), this);
  FBtnStartSim->setObjectName(QStringLiteral("BtnStartSim"));
  FBtnStartSim->setMinimumWidth(100);

  FMemo1 = new QPlainTextEdit(this);
  FMemo1->setObjectName(QStringLiteral("Memo1"));
  FMemo1->setReadOnly(true);
  FMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  FMemo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  FMemo1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

  auto* feeds = new QHBoxLayout;
  feeds->addWidget(hot.Group, 1);
  feeds->addWidget(cold.Group, 1);

  auto* middle = new QHBoxLayout;
  middle->addWidget(FTitleLabel, 1);
  middle->addWidget(faucet_group, 3);
  auto* start_column = new QVBoxLayout;
  start_column->addStretch();
  start_column->addWidget(FBtnStartSim, 0, Qt::AlignCenter);
  start_column->addStretch();
  middle->addLayout(start_column, 1);

  auto* window = new QVBoxLayout;
  window->addLayout(feeds);
  window->addLayout(middle);
  window->addWidget(FMemo1, 1);
  auto* beside_plots = new QHBoxLayout(this);
  beside_plots->addLayout(window, 1);
}

TForm1::TFeedControls TForm1::CreateFeedGroup(const QString& caption) {
  auto* group = new QGroupBox(caption, this);
  const TFeedControls feed = {
      group,
      new QLabel(QStringLiteral("Temperature (C)"), group),
      CreateTrackBar(kTemperatureRange, true, group),
      new QLabel(QStringLiteral("Pressure (kPa)"), group),
      CreateTrackBar(kPressureRange, true, group),
      new QLabel(QStringLiteral("Valve Position"), group),
      CreateTrackBar(kValvePosRange, false, group),
      new QLabel(QStringLiteral("Outflow (liters/minute)"), group),
      new QProgressBar(group),
  };
  feed.OutFlow->setRange(kFeedOutFlowRange.Min, kFeedOutFlowRange.Max);
  feed.OutFlow->setValue(kFeedOutFlowRange.Min);
  feed.OutFlow->setTextVisible(false);

  auto* column = new QVBoxLayout(group);
  for (QWidget* control : std::initializer_list<QWidget*>{
           feed.TempLabel, feed.Temp, feed.PressureLabel, feed.Pressure, feed.ValvePosLabel,
           feed.ValvePos, feed.OutFlowLabel, feed.OutFlow}) {
    column->addWidget(control);
  }
  return feed;
}

QGroupBox* TForm1::CreateFaucetGroup() {
  auto* group = new QGroupBox(QStringLiteral("Faucet Water"), this);
  lblFaucetTemp = new QLabel(QStringLiteral("Temperature (C)"), group);
  tbFaucetTemp = CreateTrackBar(kTemperatureRange, false, group);
  tbFaucetTemp->SetSelection(34, 38);
  lblFaucetOutFlow = new QLabel(QStringLiteral("Outflow (liters/minute)"), group);
  tbFaucetOutFlow = CreateTrackBar(kFaucetOutFlowRange, false, group);
  tbFaucetOutFlow->SetSelection(11, 13);

  FStatusPanel = new QFrame(group);
  FStatusPanel->setObjectName(QStringLiteral("StatusPanel"));
  FStatusPanel->setFrameShape(QFrame::Panel);
  FStatusPanel->setFrameShadow(QFrame::Sunken);
  FStatusPanel->setAutoFillBackground(true);
  FStatusPanel->setMinimumHeight(24);

  auto* column = new QVBoxLayout(group);
  column->addWidget(lblFaucetTemp);
  column->addWidget(tbFaucetTemp);
  column->addWidget(lblFaucetOutFlow);
  column->addWidget(tbFaucetOutFlow);
  column->addWidget(FStatusPanel);
  return group;
}

void TForm1::ConnectHandlers() {
  // Connected once the design positions stand: the labels keep their design captions until
  // a feed slider really moves.
  connect(FBtnStartSim, &QPushButton::clicked, this, &TForm1::BtnStartSimClick);
  connect(tbHotTemp, &QSlider::valueChanged, this, &TForm1::tbHotTempChange);
  connect(tbHotPressure, &QSlider::valueChanged, this, &TForm1::tbHotPressureChange);
  connect(tbColdTemp, &QSlider::valueChanged, this, &TForm1::tbColdTempChange);
  connect(tbColdPressure, &QSlider::valueChanged, this, &TForm1::tbColdPressureChange);
}

void TForm1::ShowIntroduction() {
  FMemo1->setPlainText(QString::fromUtf8(kIntroduction) + QStringLiteral("\n\n") +
                       ToDisplayText(kFaucetDefinitions).trimmed());
}

// ---- Handlers ----

void TForm1::FormCreate() {
  const std::filesystem::path file = FProgramFolder / kVariablesFile;
  if (std::filesystem::exists(file)) GetFuzzyLogic().GetVariables().LoadFromFile(file.string());
}

void TForm1::BtnStartSimClick() {
  Guarded([this] {
    FMemo1->clear();
    FSimulation->Start();
    UpdateDisplay();
  });
}

void TForm1::Timer1Timer() {
  try {
    // The simulation refuses a tick while another one, or its stop message, is in progress.
    if (FSimulation->Timer1Timer()) UpdateDisplay();
  } catch (const std::exception& error) {
    // A failing step would fail again on every tick: the run ends, and the user hears of it
    // once.
    if (FSimulation->IsRunning()) FSimulation->StopSimulation();
    ShowMessage(error.what());
  }
}

void TForm1::UpdateDisplay() {
  using namespace simvar;
  SetNearest(*tbColdValvePos, VariableValue(kColdValvePos) * 100);
  lblColdValvePos->setText(ToQString(VariableText(kColdValvePos)));
  SetNearest(*tbHotValvePos, VariableValue(kHotValvePos) * 100);
  lblHotValvePos->setText(ToQString(VariableText(kHotValvePos)));

  // Moving a feed slider runs its handler, which writes the position back; the label shows
  // the variable after that.
  SetNearest(*tbColdTemp, VariableValue(kColdTemp));
  lblColdTemp->setText(ToQString(std::string(kTemperaturePrefix) + VariableText(kColdTemp)));
  SetNearest(*tbHotTemp, VariableValue(kHotTemp));
  lblHotTemp->setText(ToQString(std::string(kTemperaturePrefix) + VariableText(kHotTemp)));
  SetNearest(*tbColdPressure, VariableValue(kColdPress));
  lblColdPressure->setText(ToQString(std::string(kPressurePrefix) + VariableText(kColdPress)));
  SetNearest(*tbHotPressure, VariableValue(kHotPress));
  lblHotPressure->setText(ToQString(std::string(kPressurePrefix) + VariableText(kHotPress)));

  SetNearest(*pbHotOutFlow, VariableValue(kHotFlow));
  lblHotOutFlow->setText(ToQString(std::string(kOutflowPrefix) + VariableText(kHotFlow)));
  SetNearest(*pbColdOutFlow, VariableValue(kColdFlow));
  lblColdOutFlow->setText(ToQString(std::string(kOutflowPrefix) + VariableText(kColdFlow)));

  if (const auto out_temp = FSimulation->GetOutTemp()) {
    const double value = out_temp->Defuzzify();
    SetNearest(*tbFaucetTemp, value);
    lblFaucetTemp->setText(ToQString(std::string(kTemperaturePrefix) + FloatToStr(value)));
  }
  if (const auto out_flow = FSimulation->GetOutFlow()) {
    const double value = out_flow->Defuzzify();
    SetNearest(*tbFaucetOutFlow, value);
    lblFaucetOutFlow->setText(ToQString(std::string(kOutflowPrefix) + FloatToStr(value)));
  }
  FPlotPanel->update();
}

void TForm1::tbHotTempChange() {
  FeedSliderChanged(*tbHotTemp, simvar::kHotTemp, *lblHotTemp, kTemperaturePrefix);
}

void TForm1::tbHotPressureChange() {
  FeedSliderChanged(*tbHotPressure, simvar::kHotPress, *lblHotPressure, kPressurePrefix);
}

void TForm1::tbColdTempChange() {
  FeedSliderChanged(*tbColdTemp, simvar::kColdTemp, *lblColdTemp, kTemperaturePrefix);
}

void TForm1::tbColdPressureChange() {
  FeedSliderChanged(*tbColdPressure, simvar::kColdPress, *lblColdPressure, kPressurePrefix);
}

void TForm1::FeedSliderChanged(const TTrackBar& slider, std::string_view variable, QLabel& label,
                               std::string_view prefix) {
  GetFuzzyLogic().GetVariables().SetValue(variable, IntToStr(slider.value()));
  label.setText(ToQString(std::string(prefix) + VariableText(variable)));
}

// ---- ISimulationHost ----

void TForm1::AppendLog(const std::string& line) {
  FMemo1->appendPlainText(ToDisplayText(line));
}

void TForm1::SetStatusColor(TStatusColor color) {
  QPalette palette = FStatusPanel->palette();
  palette.setColor(QPalette::Window, QColor(color.Red, color.Green, color.Blue));
  FStatusPanel->setPalette(palette);
}

void TForm1::ShowMessage(const std::string& text) {
  if (FMessagePresenter) {
    FMessagePresenter(text);
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, ToQString(kApplicationTitle), ToDisplayText(text),
                  QMessageBox::Ok, this);
  box.exec();
}

void TForm1::SetTimerEnabled(bool enabled) {
  if (enabled) {
    FTimer1->start();
  } else {
    FTimer1->stop();
  }
}

void TForm1::SetTimerInterval(int milliseconds) {
  // Qt refuses negative intervals and a zero interval would fire on every pass of the event
  // loop; the shortest period is one millisecond.
  FTimer1->setInterval(std::max(1, milliseconds));
}

void TForm1::SetStartEnabled(bool enabled) {
  FBtnStartSim->setEnabled(enabled);
}

// ---- Helpers ----

bool TForm1::Guarded(const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (const std::exception& error) {
    ShowMessage(error.what());
  }
  return false;
}

std::string TForm1::VariableText(std::string_view name) const {
  return FSimulation->GetFuzzyLogic().GetVariables().GetValue(name);
}

double TForm1::VariableValue(std::string_view name) const {
  return StrToFloat(VariableText(name));
}

}  // namespace tapwise
