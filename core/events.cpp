// Telling the listener, when there is one, what just happened.
#include "core/events.h"

GameEventListener* gameEvents = nullptr;

void NoteGameEvent(GameEvent event, int32_t slot) {
  if (gameEvents != nullptr) gameEvents->OnGameEvent(event, slot);
}
