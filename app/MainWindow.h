#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "tapwise/faucet/SimulationHost.h"

class QFrame;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tapwise {

class TFaucetSimulation;
class TIFuzzyLogic;
class TPlotPanel;
class TTrackBar;

/// The application title, also the caption of every message box.
inline constexpr std::string_view kApplicationTitle = "Tapwise Demo";

/// The demo's one window: the hot and cold feeds with their sliders, the faucet outlet, the
/// status panel, the Start button and the log pane, and beside them the plot panel of the
/// last tick. It is a view over the faucet simulation:
/// it hands the simulation its timer, log, status panel and message boxes (as its
/// `ISimulationHost`) and shows the simulation variables after every step; the control loop
/// itself lives in `TFaucetSimulation`.
///
/// Every failure that reaches a handler is shown in a message box and the window goes on; a
/// failing tick also ends the run, so one fault gives one message, not one per tick.
class TForm1 : public QWidget, public ISimulationHost {
  Q_OBJECT

 public:
  /// Shows a message to the user and returns once it is dismissed.
  using TMessagePresenter = std::function<void(const std::string& text)>;

  /// Builds the controls and the components, then runs `FormCreate`, which reads
  /// "simvars.txt" from `program_folder` when it is there (by default the executable's
  /// folder).
  /// `presenter` shows the messages (see `SetMessagePresenter`), those of start-up included.
  explicit TForm1(std::filesystem::path program_folder = ProgramFolder(),
                  TMessagePresenter presenter = {}, QWidget* parent = nullptr);
  ~TForm1() override;

  /// The folder of the running executable.
  static std::filesystem::path ProgramFolder();

  // ---- Handlers ----

  /// Loads "simvars.txt" beside the executable into the component's `Variables`.
  void FormCreate();
  /// Clears the log, starts a run (the simulation's `Start`) and shows it.
  void BtnStartSimClick();
  /// One step of the run, then the display. A step never starts inside another one (a stop
  /// message keeps the event loop running while the step that showed it waits).
  void Timer1Timer();
  /// Shows the simulation variables and the outlet sets on the controls.
  void UpdateDisplay();
  void tbHotTempChange();
  void tbHotPressureChange();
  void tbColdTempChange();
  void tbColdPressureChange();

  // ---- ISimulationHost ----

  void AppendLog(const std::string& line) override;
  void SetStatusColor(TStatusColor color) override;
  /// Through the message presenter: by default a modal message box captioned with the
  /// application title.
  void ShowMessage(const std::string& text) override;
  void SetTimerEnabled(bool enabled) override;
  void SetTimerInterval(int milliseconds) override;
  void SetStartEnabled(bool enabled) override;

  /// Replaces how messages are shown (tests answer them without a modal loop); an empty
  /// presenter restores the message box.
  void SetMessagePresenter(TMessagePresenter presenter) {
    FMessagePresenter = std::move(presenter);
  }

  // ---- Parts (for the program entry and the tests) ----

  TFaucetSimulation& GetSimulation() { return *FSimulation; }
  TIFuzzyLogic& GetFuzzyLogic();
  QTimer* GetTimer1() const { return FTimer1; }
  QPushButton* GetBtnStartSim() const { return FBtnStartSim; }
  QPlainTextEdit* GetMemo1() const { return FMemo1; }
  QFrame* GetStatusPanel() const { return FStatusPanel; }
  TPlotPanel* GetPlotPanel() const { return FPlotPanel; }

  // The controls under their published names; the window owns them (Qt parent).
  QLabel* lblHotTemp = nullptr;
  TTrackBar* tbHotTemp = nullptr;
  QLabel* lblHotPressure = nullptr;
  TTrackBar* tbHotPressure = nullptr;
  QLabel* lblHotValvePos = nullptr;
  TTrackBar* tbHotValvePos = nullptr;
  QLabel* lblHotOutFlow = nullptr;
  QProgressBar* pbHotOutFlow = nullptr;

  QLabel* lblColdTemp = nullptr;
  TTrackBar* tbColdTemp = nullptr;
  QLabel* lblColdPressure = nullptr;
  TTrackBar* tbColdPressure = nullptr;
  QLabel* lblColdValvePos = nullptr;
  TTrackBar* tbColdValvePos = nullptr;
  QLabel* lblColdOutFlow = nullptr;
  QProgressBar* pbColdOutFlow = nullptr;

  QLabel* lblFaucetTemp = nullptr;
  TTrackBar* tbFaucetTemp = nullptr;
  QLabel* lblFaucetOutFlow = nullptr;
  TTrackBar* tbFaucetOutFlow = nullptr;

 private:
  void CreateControls();
  // The controls of one feed group, in the order they are laid out.
  struct TFeedControls {
    QGroupBox* Group;
    QLabel* TempLabel;
    TTrackBar* Temp;
    QLabel* PressureLabel;
    TTrackBar* Pressure;
    QLabel* ValvePosLabel;
    TTrackBar* ValvePos;
    QLabel* OutFlowLabel;
    QProgressBar* OutFlow;
  };
  TFeedControls CreateFeedGroup(const QString& caption);
  QGroupBox* CreateFaucetGroup();
  void ConnectHandlers();
  // The log's first text: what the demo does, then the definitions of its variables.
  void ShowIntroduction();

  // Writes a feed slider's position into its variable and shows the variable on its label.
  void FeedSliderChanged(const TTrackBar& slider, std::string_view variable, QLabel& label,
                         std::string_view prefix);
  // Runs a handler, showing what it throws. Returns false when it threw.
  bool Guarded(const std::function<void()>& handler);
  std::string VariableText(std::string_view name) const;
  double VariableValue(std::string_view name) const;

  std::filesystem::path FProgramFolder;
  TMessagePresenter FMessagePresenter;
  std::unique_ptr<TFaucetSimulation> FSimulation;

  QTimer* FTimer1 = nullptr;
  QPushButton* FBtnStartSim = nullptr;
  QPlainTextEdit* FMemo1 = nullptr;
  QFrame* FStatusPanel = nullptr;
  QLabel* FTitleLabel = nullptr;
  TPlotPanel* FPlotPanel = nullptr;
};

}  // namespace tapwise
