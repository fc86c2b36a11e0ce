// The running game, and the text area that keeps the keyboard for it: the text an input method
// or an on-screen keyboard commits there is typed into the game one character at a time.

export let game = null;  // the WebAssembly module once its runtime is up

export function setGame(module) {
  game = module;
}

const keys = document.getElementById('keys');

export function focusKeys() {
  keys.focus({preventScroll: true});
}

function typeText(text) {
  if (!game || !text) return;
  for (const character of text) game._volarin_type(character.codePointAt(0));
}

let lastCommit = {text: '', time: -1};
keys.addEventListener('compositionend', (event) => {
  typeText(event.data);
  lastCommit = {text: event.data, time: event.timeStamp};
  keys.value = '';
});
// Text inserted without key events (an on-screen keyboard); a browser that reports the commit
// a second time as input right after the composition is not counted twice.
keys.addEventListener('input', (event) => {
  const repeat = event.data === lastCommit.text && event.timeStamp - lastCommit.time < 100;
  if (!event.isComposing && event.inputType === 'insertText' && event.data && !repeat) {
    typeText(event.data);
  }
  if (!event.isComposing) keys.value = '';
});
document.getElementById('field').addEventListener('pointerdown', focusKeys);
window.addEventListener('focus', focusKeys);
