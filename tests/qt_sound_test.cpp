// The sound files are looked up in the working directory first, then in the data directories.
#include "frontend/qt/qt_sound.h"

#include <gtest/gtest.h>

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMediaDevices>
#include <QStringList>
#include <QTemporaryDir>

#include "frontend/qt/offscreen_gui.h"

namespace {

void Touch(const QString& path) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

TEST(QtSoundOutput, LooksInTheWorkingDirectoryFirstThenTheDataDirectories) {
  QTemporaryDir work, first, second;
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(work.path()));
  QtSoundOutput sound({first.path(), second.path()});
  EXPECT_EQ(sound.Locate("bingo.wav"), QString());
  Touch(second.filePath("bingo.wav"));
  EXPECT_EQ(sound.Locate("bingo.wav"), second.filePath("bingo.wav"));
  Touch(first.filePath("bingo.wav"));
  EXPECT_EQ(sound.Locate("bingo.wav"), first.filePath("bingo.wav"));
  Touch(work.filePath("bingo.wav"));
  EXPECT_EQ(sound.Locate("bingo.wav"), QDir(work.path()).absoluteFilePath("bingo.wav"));
  EXPECT_EQ(sound.Locate("miss.wav"), QString());
  // A missing file plays nothing and fails nothing.
  sound.Play("miss.wav");
  ASSERT_TRUE(QDir::setCurrent(previous));
}

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
    const char* names[] = {"start.wav", "bingo.wav", "miss.wav", "flush.wav", "gameover.wav"};
    sound.Preload(names, 5);
    QCoreApplication::processEvents();  // effects load, and warn, on the event loop
    const QStringList afterPreload = messages;
    for (const char* name : names) sound.Play(name);
    QCoreApplication::processEvents();
    qInstallMessageHandler(previous);
    if (!QMediaDevices::audioOutputs().isEmpty()) GTEST_SKIP() << "this machine has audio";
    EXPECT_TRUE(afterPreload.isEmpty()) << afterPreload.join('\n').toStdString();
    ASSERT_EQ(messages.size(), 1) << messages.join('\n').toStdString();
    EXPECT_TRUE(messages[0].contains("audio device")) << messages[0].toStdString();
  }
}

}  // namespace
