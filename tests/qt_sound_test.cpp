// The Qt sound output on a machine without audio: one warning, and only when it matters.
#include "frontend/qt/qt_sound.h"

#include <gtest/gtest.h>

#include <QAudioDevice>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QStringList>

#include "frontend/qt/offscreen_gui.h"

namespace {

QStringList messages;

void KeepMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
  messages.append(message);
}

// Qt Multimedia warns about the missing sound server and again for every effect; the player
// is told once, and only when an effect is asked for (the sound option may be off).
TEST(QtSoundOutput, WithoutAnAudioDeviceSaysSoOnceWhenAnEffectIsAskedFor) {
  StartOffscreenGui();
  messages.clear();
  const QtMessageHandler previous = qInstallMessageHandler(KeepMessage);
  {
    QtSoundOutput sound({QStringLiteral(VOLARIN_SOUND_DIR)});
    sound.Preload();
    QCoreApplication::processEvents();  // effects load, and warn, on the event loop
    const QStringList afterPreload = messages;
    for (int i = 0; i < kSoundEffectCount; ++i) sound.Play(static_cast<SoundEffect>(i));
    QCoreApplication::processEvents();
    qInstallMessageHandler(previous);
    if (!QMediaDevices::audioOutputs().isEmpty()) GTEST_SKIP() << "this machine has audio";
    EXPECT_TRUE(afterPreload.isEmpty()) << afterPreload.join('\n').toStdString();
    ASSERT_EQ(messages.size(), 1) << messages.join('\n').toStdString();
    EXPECT_TRUE(messages[0].contains("audio device")) << messages[0].toStdString();
  }
}

}  // namespace
