// The words around the field: the hint line under it in the browser's language, the notice of
// a save the browser refused, and the dialog once the game has ended.
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

// After every save the game says whether the browser kept it. A refused save while the game
// goes on (the page was hidden) gets a notice, which the next kept save takes away; at Exit the
// closing dialog says it instead.
window.addEventListener('volarin-settings-saved', (event) => {
  refusal = event.detail.kept ? '' : refusalReason(event.detail.error);
  notice.textContent = `最高得点と設定を保存できませんでした。${refusal}`;
  notice.hidden = refusal === '';
});

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
