// The demo's program entry: the window, or with --screenshot a picture of it in mid-run.

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <exception>
#include <string>

#include "MainWindow.h"
#include "tapwise/faucet/FaucetSimulation.h"

namespace {

// Starts a run, drives `ticks` steps of it without waiting for the timer, and saves what the
// window shows. Messages go to the standard error instead of a modal box.
int SaveScreenshot(const QString& file, int ticks) {
  tapwise::TForm1 form(tapwise::TForm1::ProgramFolder(), [](const std::string& text) {
    std::fprintf(stderr, "message: %s\n", text.c_str());
  });
  form.show();
  QApplication::processEvents();
  form.BtnStartSimClick();
  for (int tick = 0; tick < ticks && form.GetSimulation().IsRunning(); ++tick) {
    form.Timer1Timer();
  }
  form.GetTimer1()->stop();
  QApplication::processEvents();
  if (!form.grab().save(file)) {
    std::fprintf(stderr, "cannot write %s\n", file.toLocal8Bit().constData());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(
      QString::fromUtf8(tapwise::kApplicationTitle.data(), tapwise::kApplicationTitle.size()));

  QCommandLineParser options;
  options.setApplicationDescription(QStringLiteral("A mixing faucet steered by fuzzy rules."));
  options.addHelpOption();
  const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                      QStringLiteral("Save a picture of the window to <file>."),
                                      QStringLiteral("file"));
  const QCommandLineOption ticks(QStringLiteral("ticks"),
                                 QStringLiteral("Steps to run before the picture (default 8)."),
                                 QStringLiteral("n"), QStringLiteral("8"));
  options.addOption(screenshot);
  options.addOption(ticks);
  options.process(application);

  try {
    if (options.isSet(screenshot)) {
      bool ok = false;
      const int tick_count = options.value(ticks).toInt(&ok);
      if (!ok || tick_count < 0) {
        std::fprintf(stderr, "--ticks wants a whole number from 0 on\n");
        return 2;
      }
      return SaveScreenshot(options.value(screenshot), tick_count);
    }
    tapwise::TForm1 form;
    form.show();
    return QApplication::exec();
  } catch (const std::exception& error) {
    if (options.isSet(screenshot)) {
      std::fprintf(stderr, "%s\n", error.what());
    } else {
      QMessageBox::critical(nullptr, QApplication::applicationName(),
                            QString::fromUtf8(error.what()));
    }
    return 1;
  }
}
