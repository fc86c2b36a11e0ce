// Playing the effects with QSoundEffect, one at a time, latest request first.
#include "frontend/qt/qt_sound.h"

#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include "app/effect_files.h"

QtSoundOutput::QtSoundOutput(QStringList dataDirectories)
    : dataDirectories_(dataDirectories.begin(), dataDirectories.end()) {}

QtSoundOutput::~QtSoundOutput() = default;

// Qt Multimedia warns about a missing sound server as it looks for devices, and every sound
// effect warns again: the devices are looked for once, with Qt's messages held back, so the
// player gets one line at most.
bool QtSoundOutput::HasAudioDevice() {
  if (device_ == Device::kUnknown) {
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    device_ = QMediaDevices::audioOutputs().isEmpty() ? Device::kAbsent : Device::kPresent;
    qInstallMessageHandler(previous);
  }
  return device_ == Device::kPresent;
}

// The file is looked up at every request, so a sound put into the working directory while
// the game runs is played from there.
QSoundEffect* QtSoundOutput::EffectFor(SoundEffect which) {
  if (!HasAudioDevice()) return nullptr;
  const QString found = LocateEffectFile(
      QString::fromLatin1(SoundEffectFile(which)), dataDirectories_, QStringLiteral("/"),
      [](const QString& path) { return QFileInfo(path).isFile(); });
  if (found.isEmpty()) return nullptr;
  std::unique_ptr<QSoundEffect>& effect = effects_[static_cast<int>(which)];
  if (!effect) effect = std::make_unique<QSoundEffect>();
  const QUrl source = QUrl::fromLocalFile(QFileInfo(found).absoluteFilePath());
  if (effect->source() != source) effect->setSource(source);
  return effect.get();
}

// isPlaying() is never consulted: without an audio device it stays true for good.
void QtSoundOutput::Play(SoundEffect effect) {
  if (!HasAudioDevice() && !absenceReported_) {
    absenceReported_ = true;
    qWarning("No audio device: the sound effects are silent.");
  }
  if (playing_ != nullptr) playing_->stop();
  playing_ = EffectFor(effect);
  if (playing_ != nullptr) playing_->play();
}

void QtSoundOutput::Preload() {
  for (int i = 0; i < kSoundEffectCount; ++i) EffectFor(static_cast<SoundEffect>(i));
}
