// Playing the effects with PlaySound: asynchronous, never the system's default sound.
#pragma once

#include <string>

#include "render/sound.h"

class Win32SoundOutput : public SoundOutput {
 public:
  // Effects are looked up in the working folder first, then in `programFolder`.
  explicit Win32SoundOutput(std::wstring programFolder);
  ~Win32SoundOutput() override;

  // Starts the effect and returns at once; a new effect cuts off the one playing. A missing
  // file or a machine without audio stays silent.
  void Play(SoundEffect effect) override;

 private:
  std::wstring programFolder_;
};

// The folder the running program was started from, without a trailing separator.
std::wstring ProgramFolder();
