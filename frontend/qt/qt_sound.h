// Sound effects through Qt Multimedia: played by file name, without waiting.
#pragma once

#include <QStringList>
#include <map>
#include <memory>
#include <string>
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
  void Play(const char* name) override;

  // Loads the named files ahead of their first use, so the first hit is not late. Says
  // nothing, even without an audio device: the sound option may be off.
  void Preload(const char* const* names, int count);

 private:
  QSoundEffect* EffectFor(const char* name);
  bool HasAudioDevice();

  std::vector<QString> dataDirectories_;
  std::map<std::string, std::unique_ptr<QSoundEffect>> effects_;
  QSoundEffect* playing_ = nullptr;
  enum class Device { kUnknown, kPresent, kAbsent } device_ = Device::kUnknown;
  bool absenceReported_ = false;
};
