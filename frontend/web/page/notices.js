// The words around the field, in the browser's language: the hint line under it, the loading
// line, the settings kept in local storage and the notice of a save the browser refused, and
// the dialog once the game has ended.
import {closeMenu} from './menu.js';

export const language = /^ja\b/i.test(navigator.language || '') ? 'ja' : 'en';

// The page's own words, in the browser's language: what a newcomer needs first (and, during a
// replay, the replay's keys), the loading line, and the dialog once the game has ended.
const TEXTS = {
  en: {
    hint: 'Type the falling characters · F2 start · F3 pause · F1 help',
    replayHint: 'Replay · Space pause · + / − or → / ← speed · Esc close',
    loading: 'Loading…',
    'ended-title': 'The game has ended',
    kept: 'The best scores and the settings are kept in this browser.',
    notKept: 'The best scores and the settings could not be kept in this browser.',
    historyNotKept: 'The history of games could not be kept in this browser.',
    again: 'Reload the page to play again.',
    restart: 'Reload',
    full: 'The browser\'s storage is full.',
    refused: 'This browser does not allow the site to keep data.',
    other: (error) => `The browser refused to keep them (${error}).`,
  },
  ja: {
    hint: '落ちてくる文字を打とう · F2 スタート · F3 一時停止 · F1 ヘルプ',
    replayHint: '再生 · スペース 一時停止 · + / − または → / ← 速さ · Esc 閉じる',
    loading: '読み込み中…',
    'ended-title': 'ゲームを終了しました',
    kept: '最高得点と設定はこのブラウザーに保存されています。',
    notKept: '最高得点と設定をこのブラウザーに保存できませんでした。',
    historyNotKept: 'ゲームの記録をこのブラウザーに保存できませんでした。',
    again: 'もう一度遊ぶには、ページを再読み込みしてください。',
    restart: '再読み込み',
    full: 'ブラウザーの保存領域がいっぱいです。',
    refused: 'このブラウザーではサイトのデータの保存が許可されていません。',
    other: (error) => `ブラウザーが保存を拒否しました（${error}）。`,
  },
};
const words = TEXTS[language];
document.documentElement.lang = language;
export const hint = document.getElementById('hint');
hint.lang = language;
hint.textContent = words.hint;
for (const id of ['loading', 'ended-title', 'kept', 'again', 'restart']) {
  document.getElementById(id).textContent = words[id];
}

// What the game calls as a replay starts or gives way to a game: the line names the keys that
// act then.
export function showHint(replaying) {
  hint.classList.remove('link-line');
  hint.textContent = replaying ? words.replayHint : words.hint;
}

const notice = document.getElementById('notice');
// Why the last save of the settings, and of the history of games, was refused; empty when it
// was kept. Each file's save says only of itself, so a kept history never hides refused
// settings.
const refusals = {settings: '', history: ''};
const SETTINGS_FILE = 'VOLARIN.INI';

function refusedText() {
  return [refusals.settings && `${words.notKept} ${refusals.settings}`,
          refusals.history && `${words.historyNotKept} ${refusals.history}`]
      .filter(Boolean).join(' ');
}

// Why the browser refused, in the player's words, from the name of its error.
const REASONS = new Map([['QuotaExceededError', 'full'], ['NS_ERROR_DOM_QUOTA_REACHED', 'full'],
  ['SecurityError', 'refused'], ['TypeError', 'refused']]);
const refusalReason = (error) =>
  REASONS.has(error) ? words[REASONS.get(error)] : words.other(error);

// Kept files (the settings) in local storage: a file's bytes are kept as the characters of the
// same numbers, so any byte survives. Storage can be switched off or full, and then throws:
// that is a failed read or save, never an uncaught error.

// The file's first `limit` bytes, or null when there is none.
export function readStored(name, limit) {
  let text = null;
  try {
    text = localStorage.getItem(name);
  } catch (e) {
    console.warn('The settings could not be read from local storage:', e.message);
  }
  if (text === null) return null;
  const bytes = new Uint8Array(Math.min(text.length, limit));
  for (let i = 0; i < bytes.length; ++i) bytes[i] = text.charCodeAt(i);  // its low 8 bits
  return bytes;
}

// A refused save while the game goes on (the page was hidden) gets a notice, which the next
// kept save takes away; at Exit the closing dialog says it instead.
export function store(name, bytes) {
  let text = '';
  for (const byte of bytes) text += String.fromCharCode(byte);
  let error = '';
  try {
    localStorage.setItem(name, text);
  } catch (e) {
    console.warn(`${name} could not be kept in local storage:`, e.message);
    error = e.name || 'Error';
  }
  refusals[name === SETTINGS_FILE ? 'settings' : 'history'] =
      error === '' ? '' : refusalReason(error);
  notice.textContent = refusedText();
  notice.hidden = notice.textContent === '';
  return error === '';
}

document.getElementById('restart').addEventListener('click', () => location.reload());

// What the game calls at Exit.
export function showEnded() {
  closeMenu();
  notice.hidden = true;
  if (refusedText()) document.getElementById('kept').textContent = refusedText();
  document.getElementById('ended').hidden = false;
  document.getElementById('restart').focus();
}
