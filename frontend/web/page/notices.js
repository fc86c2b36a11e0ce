// The words around the field: the hint line under it in the browser's language, the settings
// kept in local storage and the notice of a save the browser refused, and the dialog once the
// game has ended.
import {closeMenu} from './menu.js';

export const language = /^ja\b/i.test(navigator.language || '') ? 'ja' : 'en';

// What a newcomer needs first.
const HINTS = {
  en: 'Type the falling characters · F2 start · F3 pause · F1 help',
  ja: '落ちてくる文字を打とう · F2 スタート · F3 一時停止 · F1 ヘルプ',
};
export const hint = document.getElementById('hint');
hint.lang = language;
hint.textContent = HINTS[language];

const notice = document.getElementById('notice');
let refusal = '';  // why the last save was refused, or empty when it was kept

// Why the browser refused, in the player's words, from the name of its error.
function refusalReason(error) {
  switch (error) {
    case 'QuotaExceededError':
    case 'NS_ERROR_DOM_QUOTA_REACHED':
      return 'ブラウザーの保存領域がいっぱいです。';
    case 'SecurityError':
    case 'TypeError':
      return 'このブラウザーではサイトのデータの保存が許可されていません。';
    default:
      return `ブラウザーが保存を拒否しました（${error}）。`;
  }
}

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
    console.warn('The settings could not be kept in local storage:', e.message);
    error = e.name || 'Error';
  }
  refusal = error === '' ? '' : refusalReason(error);
  notice.textContent = `最高得点と設定を保存できませんでした。${refusal}`;
  notice.hidden = refusal === '';
  return error === '';
}

document.getElementById('restart').addEventListener('click', () => location.reload());

// What the game calls at Exit.
export function showEnded() {
  closeMenu();
  notice.hidden = true;
  if (refusal) {
    document.getElementById('kept').textContent =
        `最高得点と設定をこのブラウザーに保存できませんでした。${refusal}`;
  }
  document.getElementById('ended').hidden = false;
  document.getElementById('restart').focus();
}
