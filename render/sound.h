// Sound effects: the rule for when one plays, over a sound output the front end provides.
#pragma once

// Plays a named effect once, without waiting, cutting off the one still playing.
class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  virtual void Play(const char* name) = 0;
};

// The front end's sound output; nullptr plays nothing.
extern SoundOutput* soundOutput;

// Plays the effect only while a game runs and the sound option is on.
void PlayEffect(const char* name);
