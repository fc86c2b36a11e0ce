// Sound effects through Qt Multimedia, played without waiting.
#pragma once

#include <QStringList>
#include <memory>
#include <vector>

#include "render/sound.h"

class QSoundEffect;

class QtSoundOutput : public SoundOutput {
 public:
  // Files are looked up in the working directory first, then in each of `dataDirectories`.
  explicit QtSoundOutput(QStringList dataDirectories);
  ~QtSoundOutput() override;

  // Starts the effect and stops the one still playing. A file that cannot be found, or a
  // machine without an audio device, leaves it silent; the first effect asked for on a
  // machine without one says so in a single warning.
  void Play(SoundEffect effect) override;

  // Loads every effect ahead of its first use, so the first hit is not late. Says nothing,
  // even without an audio device: the sound option may be off.
  void Preload();

 private:
  QSoundEffect* EffectFor(SoundEffect effect);
  bool HasAudioDevice();

  std::vector<QString> dataDirectories_;
  std::unique_ptr<QSoundEffect> effects_[kSoundEffectCount];
  QSoundEffect* playing_ = nullptr;
  enum class Device { kUnknown, kPresent, kAbsent } device_ = Device::kUnknown;
  bool absenceReported_ = false;
};
