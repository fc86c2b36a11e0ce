// The sound effects through Web Audio, which may start only after the player's first key or
// click; one effect plays at a time, a new one cutting off the last.
import {fetchFile} from './files.js';

const files = new Map();    // name -> the file's bytes
const buffers = new Map();  // name -> the decoded sound
let audio = null;
let playing = null;

function decode(name, bytes) {
  audio.decodeAudioData(bytes.slice(0))
      .then((buffer) => buffers.set(name, buffer))
      .catch((e) => console.warn(`The sound ${name} could not be decoded: ${e.message}`));
}

function startAudio() {
  if (audio || !window.AudioContext) return;
  audio = new AudioContext();
  for (const [name, bytes] of files) decode(name, bytes);
}
for (const type of ['keydown', 'pointerdown']) {
  window.addEventListener(type, startAudio, {capture: true, passive: true});
}

// What the game calls.
export const sound = {
  // The game names its effects' files as it starts; one that arrives after the audio has
  // started is decoded at once.
  loadSound(name) {
    fetchFile(`sounds/${name}`)
        .then((bytes) => {
          files.set(name, bytes);
          if (audio) decode(name, bytes);
        })
        .catch((e) => console.warn(e.message));
  },

  play(name) {
    const buffer = buffers.get(name);
    if (!audio || !buffer) return;
    if (playing) playing.stop();
    const source = audio.createBufferSource();
    source.buffer = buffer;
    source.connect(audio.destination);
    source.onended = () => {
      if (playing === source) playing = null;
    };
    source.start();
    playing = source;
  },
};
