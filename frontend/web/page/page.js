// The page around the WebAssembly game: gathers what the game calls from the page's parts,
// then loads the faces and the game and starts it; says why when it cannot (the page's inline
// script shows the reason), and asks the browser to keep the game for offline play.
import {fieldCalls} from './field.js';
import {fetchFile} from './files.js';
import {glyphs, loadFonts} from './fonts.js';
import {focusKeys, game, setGame} from './game.js';
import {addMenu, addMenuItem, clearMenu, setMenuItem} from './menu.js';
import {readStored, showEnded, showHint, store} from './notices.js';
import {noteGameOutput, replayCalls} from './replays.js';
import {sound} from './sound.js';

window.volarinPage = {...fieldCalls, ...glyphs, ...sound, ...replayCalls, clearMenu, addMenu,
  addMenuItem, setMenuItem, showEnded, showHint, readStored, store};

window.addEventListener('pagehide', () => {
  if (game) game._volarin_page_closed();
});

function fail(reason, detail) {
  window.dispatchEvent(new CustomEvent('volarin-failed', {detail: {reason, detail}}));
}

// The service worker sits at the site's top, so that it answers for the page itself.
function keepForOffline() {
  if (!navigator.serviceWorker) return;
  navigator.serviceWorker.register(new URL('../service-worker.js', import.meta.url))
      .catch((e) => console.warn(`The game is not kept for offline play: ${e.message}`));
}

// The faces first: the game renders its glyph cells at start-up. The page fetches the game's
// WebAssembly itself, beside the faces, so that a file that cannot be had is named.
async function start() {
  const [wasmBinary] = await Promise.all([fetchFile('volarin.wasm'), loadFonts()]);
  window.Module = {
    wasmBinary,
    print: (text) => {
      console.log(text);
      noteGameOutput(text);
    },
    printErr: (text) => console.warn(text),
    onAbort: (what) => {
      console.error(`The game stopped: ${what}`);
      fail('stopped', what);
    },
    onRuntimeInitialized() {
      setGame(window.Module);
      // After the game's first frame, which keeping the files must not delay.
      requestAnimationFrame(() => setTimeout(keepForOffline, 0));
    },
  };
  const script = document.createElement('script');
  script.src = new URL('volarin.js', import.meta.url).href;
  document.body.append(script);
  focusKeys();
}

if (location.protocol !== 'file:') {
  start().catch((e) => {
    console.error(`The game could not start: ${e.message}`);
    fail(e.file ? 'load' : 'stopped', e.file ?? e.message);
  });
}
