// Starting Qt's offscreen platform once per process, quietly.
#include "frontend/qt/offscreen_gui.h"

#include <QByteArray>
#include <QGuiApplication>
#include <cstdio>

namespace {

// Qt's notes about the runtime directory it had to guess are of no use to a tool that only
// draws pictures; every other warning still reaches standard error.
void ForwardQtMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtDebugMsg || type == QtInfoMsg) return;
  if (message.contains(QLatin1String("XDG_RUNTIME_DIR"))) return;
  std::fprintf(stderr, "qt: %s\n", message.toLocal8Bit().constData());
}

}  // namespace

void StartOffscreenGui() {
  if (QCoreApplication::instance() != nullptr) return;
  qInstallMessageHandler(ForwardQtMessage);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "volarin";
  static char* argv[] = {name, nullptr};
  // Never deleted: the fonts and pictures made with it are used until the process ends.
  new QGuiApplication(argc, argv);
}
