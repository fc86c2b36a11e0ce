// The page around the WebAssembly game: gathers what the game calls from the page's parts,
// then loads the faces and starts the game.
import {fieldCalls} from './field.js';
import {glyphs, loadFonts} from './fonts.js';
import {focusKeys, game, setGame} from './game.js';
import {buildMenu, setMenuItem} from './menu.js';
import {showEnded, showHint} from './notices.js';
import {noteGameOutput, replayCalls} from './replays.js';
import {sound} from './sound.js';

window.volarinPage = {...fieldCalls, ...glyphs, ...sound, ...replayCalls, buildMenu, setMenuItem,
  showEnded, showHint};

window.addEventListener('pagehide', () => {
  if (game) game._volarin_page_closed();
});

// The faces first: the game renders its glyph cells at start-up.
async function start() {
  await loadFonts();
  window.Module = {
    print: (text) => {
      console.log(text);
      noteGameOutput(text);
    },
    printErr: (text) => console.warn(text),
    onAbort: (what) => console.error(`The game stopped: ${what}`),
    onRuntimeInitialized() {
      setGame(window.Module);
    },
  };
  const script = document.createElement('script');
  script.src = 'volarin.js';
  script.onerror = () => console.error('volarin.js could not be loaded');
  document.body.append(script);
  focusKeys();
}

start().catch((e) => console.error(`The game could not start: ${e.message}`));
