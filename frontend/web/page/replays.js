// Recordings in and out: a replay opened as a file (the button, or dropped on the page) or
// given in the address, and a kept game downloaded with a link to it under the field. A link is
// the page's address, "#replay=" and the recording compressed (replay_link.js).
import {focusKeys, game} from './game.js';
import {element} from './menu.js';
import {hint, language} from './notices.js';
import {LONGEST_RECORDING, decodeReplayLink, encodeReplayLink, linkText, readCapped}
  from './replay_link.js';

const OPEN_LABELS = {en: 'Replay a recording…', ja: '記録を再生…'};
const LINK_LABELS = {
  en: ['Link to this game (copied to the clipboard): ', 'Link to this game (copy it): '],
  ja: ['このゲームへのリンク（コピーしました）：', 'このゲームへのリンク（コピーしてください）：'],
};

// What "verified" can say, and what it cannot.
const VERIFIED_MEANING = {
  en: 'The recording replays to the end it records: nothing was edited or damaged, and this ' +
      'version plays it the same. It does not prove who played it, nor that a person did.',
  ja: '記録された終わりまで再生されました。編集も破損もなく、この版で同じに再生されます。' +
      '誰が遊んだか、人が遊んだかは証明しません。',
};

const verdict = document.getElementById('replay-verdict');
const verdictMeaning = element('span', {id: 'replay-meaning', hidden: true});
verdict.after(verdictMeaning);
const openButton = document.getElementById('open-recording');
const recordingFile = document.getElementById('recording-file');
openButton.textContent = OPEN_LABELS[language];
let gameReady = false;
let pendingReplay = null;  // bytes waiting for the game, or -1 for a link not decoded
let replayBytes = new Uint8Array(0);

function playRecording(bytes) {
  pendingReplay = bytes;
  if (!gameReady) return;
  verdict.textContent = '';
  verdict.hidden = true;
  verdictMeaning.hidden = true;
  replayBytes = bytes === -1 ? new Uint8Array(0) : bytes;
  pendingReplay = null;
  game._volarin_replay(bytes === -1 ? -1 : bytes.length);
  replayBytes = new Uint8Array(0);
  focusKeys();
}

function playLink() {
  const encoded = linkText(location.hash);
  if (location.hash.startsWith('#replay=') && encoded === null) {
    console.error('The #replay= link is not base64url');
    playRecording(-1);
    return;
  }
  if (encoded === null) return;
  decodeReplayLink(encoded).then(playRecording, (e) => {
    console.error(`The #replay= link could not be decoded: ${e.message}`);
    playRecording(-1);
  });
}

function playFile(file) {
  readCapped(file.slice(0, LONGEST_RECORDING + 1).stream()).then(playRecording, (e) => {
    console.error(`The recording could not be read: ${e.message}`);
  });
}

openButton.addEventListener('click', () => recordingFile.click());
recordingFile.addEventListener('change', () => {
  if (recordingFile.files.length > 0) playFile(recordingFile.files[0]);
  recordingFile.value = '';
});
document.addEventListener('dragover', (event) => event.preventDefault());
document.addEventListener('drop', (event) => {
  event.preventDefault();
  const files = event.dataTransfer ? event.dataTransfer.files : [];
  if (files.length > 0) playFile(files[0]);
});
window.addEventListener('hashchange', playLink);
playLink();

function download(name, bytes) {
  const href = URL.createObjectURL(new Blob([bytes], {type: 'text/plain'}));
  const anchor = element('a', {href, download: name});
  document.body.append(anchor);
  anchor.click();
  anchor.remove();
  setTimeout(() => URL.revokeObjectURL(anchor.href), 60000);
}

// The clipboard may be refused (no permission, no focus); the label then asks for a copy by
// hand from the field beside it.
async function showGameLink(bytes) {
  const link = `${location.href.split('#')[0]}#replay=${await encodeReplayLink(bytes)}`;
  let copied = false;
  try {
    await navigator.clipboard.writeText(link);
    copied = true;
  } catch (e) {
    console.info('The link was not copied to the clipboard:', e.message);
  }
  const text = element('input', {id: 'game-link', readOnly: true, value: link});
  text.addEventListener('focus', () => text.select());
  hint.replaceChildren(LINK_LABELS[language][copied ? 0 : 1], text);
  hint.classList.add('link-line');
  hint.dataset.copied = String(copied);
}

// A replay's verdict is the first line the game prints at its end; the page shows it under
// the field.
export function noteGameOutput(text) {
  if (text !== 'verified' && !text.startsWith('not verified')) return;
  verdict.textContent = text === 'verified' ? 'verified' : 'not verified';
  verdict.hidden = false;
  verdictMeaning.textContent = VERIFIED_MEANING[language];
  verdictMeaning.title = VERIFIED_MEANING[language];  // the whole of it, where the line is cut
  verdictMeaning.hidden = text !== 'verified';
}

// What the game calls.
export const replayCalls = {
  gameReady() {
    gameReady = true;
    if (pendingReplay !== null) playRecording(pendingReplay);
  },

  replayBytes() {
    return replayBytes;
  },

  keepGame(name, bytes) {
    download(name, bytes);
    showGameLink(bytes).catch((e) => console.warn('No link to the game:', e.message));
  },
};
