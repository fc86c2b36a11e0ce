// What happens to the missiles in a game, told as it happens to whoever listens: the results
// card and the player's history count from these, never from a second copy of a rule.
#pragma once

#include <cstdint>

enum class GameEvent {
  kSpawn,   // a missile appeared in the slot (a split's pieces too)
  kLaunch,  // the slot's interceptor was launched
  kHit,     // the slot's interceptor hit its missile
  kGround,  // the slot's missile reached the ground
  kMiss,    // a key acted on the slot with nothing to launch at: a miss
};

class GameEventListener {
 public:
  virtual void OnGameEvent(GameEvent event, int32_t slot) = 0;

 protected:
  ~GameEventListener() = default;
};

// Who hears the events; nullptr while nobody listens. Listening changes nothing in the game.
extern GameEventListener* gameEvents;

void NoteGameEvent(GameEvent event, int32_t slot);
