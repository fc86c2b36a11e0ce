// The missile pass: spawning, moving, side-edge jumps, ground impacts and explosions.
#pragma once

// One pass over every slot, once per tick, before the interceptor pass.
void UpdateMissiles();
