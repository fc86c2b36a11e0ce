// The page as assistive technology and the keyboard alone meet it: an accessibility audit
// (axe-core) of the page, an open menu, the Exit dialog and a reason the game cannot start;
// the menu bar's roles and states as the browser's accessibility tree gives them; and a way by
// keyboard to every control, with Tab a key of the game on the field.
import assert from 'node:assert/strict';
import {createRequire} from 'node:module';
import {after, before, test} from 'node:test';
import puppeteer from 'puppeteer-core';

const URL = process.env.VOLARIN_URL;
const AXE = createRequire(import.meta.url).resolve('axe-core/axe.min.js');

let browser;
let page;

// In Japanese, the menus' own language: the English ones have the same roles and keys.
async function openPage(setUp) {
  const opened = await browser.newPage();
  await opened.evaluateOnNewDocument(
      () => Object.defineProperty(navigator, 'language', {get: () => 'ja-JP'}));
  if (setUp) await opened.evaluateOnNewDocument(setUp);
  await opened.setViewport({width: 800, height: 600});
  await opened.goto(URL, {waitUntil: 'load'});
  return opened;
}

const started = (p) => p.waitForFunction(() => !document.getElementById('loading'),
                                         {timeout: 20000});

// Every rule axe-core runs by default, the best practices too; a violation names its nodes.
async function audit(p, what) {
  await p.addScriptTag({path: AXE});
  const violations = await p.evaluate(async () => (await axe.run(document)).violations.map(
      (v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`));
  assert.deepEqual(violations, [], what);
}

// What has the focus: its role or tag, and its text.
const focused = () => page.evaluate(() => {
  const e = document.activeElement;
  return `${e.getAttribute('role') ?? e.tagName.toLowerCase()} ${e.id === 'keys' ? '#keys' : e.textContent}`;
});

const expanded = () => page.$$eval('#menubar [aria-haspopup]',
                                   (titles) => titles.map((t) => t.getAttribute('aria-expanded')));

const checkedItems = () => page.$$eval('#menubar [aria-checked="true"]',
                                       (items) => items.map((i) => i.firstChild.textContent));

before(async () => {
  browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu'],
  });
  page = await openPage();
  await started(page);
});

after(async () => {
  await browser?.close();
});

// Each menu opened from the keyboard, read from the accessibility tree: the titles are menu
// items that open menus; commands, check items and the levels' radio items inside.
test('the menu bar is a menubar of menus whose items say what they are', async () => {
  const tree = await page.accessibility.snapshot({root: await page.$('#menubar')});
  assert.equal(tree.role, 'menubar');
  assert.deepEqual(tree.children.map((t) => [t.role, t.name, t.haspopup, t.expanded ?? false]), [
    ['menuitem', 'ファイル(F)', 'menu', false], ['menuitem', 'モード(M)', 'menu', false],
    ['menuitem', 'レベル(L)', 'menu', false], ['menuitem', 'オプション(O)', 'menu', false],
    ['menuitem', 'ヘルプ(H)', 'menu', false],
  ]);
  const menus = [];
  await page.keyboard.press('F10');
  for (let i = 0; i < 5; ++i) {
    await page.keyboard.press('Enter');
    const menu = await page.accessibility.snapshot({root: await page.$('.popup.open > .items')});
    assert.equal(menu.role, 'menu');
    menus.push(menu.children.filter((item) => item.role !== 'separator')
                   .map((item) => `${item.role} ${item.name}${item.checked ? ' ✓' : ''}`));
    await page.keyboard.press('Escape');
    await page.keyboard.press('ArrowRight');
  }
  await page.keyboard.press('Escape');
  assert.deepEqual(menus, [
    ['menuitem スタート(S)', 'menuitemcheckbox 一時停止(P)', 'menuitem ストップ(T)',
     'menuitem 終了(X)'],
    ['menuitemcheckbox アルファベット：大文字(U) ✓', 'menuitemcheckbox アルファベット：小文字(L)',
     'menuitemcheckbox 数字(N)', 'menuitemcheckbox 記号(K)', 'menuitemcheckbox カナ(A)'],
    ['menuitemradio Level 1 ✓', 'menuitemradio Level 2', 'menuitemradio Level 3',
     'menuitemradio Level 4', 'menuitemradio Level 5'],
    ['menuitemcheckbox 効果音(S) ✓', 'menuitemcheckbox 多弾頭ミサイル(M) ✓'],
    ['menuitem 遊び方(H)...', 'menuitem 成績(P)...', 'menuitem バージョン情報(A)...'],
  ]);
  assert.equal(await focused(), 'textarea #keys');
});

test('axe-core finds no violation on the page or with a menu open', async () => {
  await audit(page, 'the page');
  await page.keyboard.press('F10');
  await page.keyboard.press('ArrowDown');
  await audit(page, 'the File menu open');
  await page.keyboard.press('Escape');
  await page.keyboard.press('Escape');
});

test('the keyboard reaches every menu item and the page\'s buttons; on the field Tab is the ' +
     'game\'s', async () => {
  assert.equal(await focused(), 'textarea #keys');
  await page.keyboard.press('Tab');
  assert.equal(await focused(), 'textarea #keys', 'Tab on the field stays a key of the game');

  // F10 goes to the bar, the arrows along it, Enter into a menu and its arrows down it; the
  // space bar chooses, and the field has the keys again.
  await page.keyboard.press('F10');
  assert.equal(await focused(), 'menuitem ファイル(F)');
  await page.keyboard.press('ArrowRight');
  await page.keyboard.press('ArrowRight');
  await page.keyboard.press('Enter');
  assert.deepEqual(await expanded(), ['false', 'false', 'true', 'false', 'false']);
  assert.equal(await focused(), 'menuitemradio Level 1');
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('Space');
  assert.deepEqual(await expanded(), ['false', 'false', 'false', 'false', 'false']);
  assert.equal(await focused(), 'textarea #keys');
  assert.deepEqual(await checkedItems(),
                   ['アルファベット：大文字(U)', 'Level 2', '効果音(S)', '多弾頭ミサイル(M)']);

  // Escape goes back where the menu was opened from: the field for Alt and a letter, the
  // menu's title for a menu opened there.
  await page.keyboard.down('Alt');
  await page.keyboard.press('f');
  await page.keyboard.up('Alt');
  assert.equal(await focused(), 'menuitem スタート(S)F2');
  await page.keyboard.press('ArrowUp');
  assert.equal(await focused(), 'menuitem 終了(X)');
  await page.keyboard.press('Escape');
  assert.equal(await focused(), 'textarea #keys');
  await page.keyboard.press('F10');
  await page.keyboard.press('ArrowLeft');
  await page.keyboard.press('ArrowDown');
  assert.equal(await focused(), 'menuitem 遊び方(H)...F1');
  await page.keyboard.press('Escape');
  assert.equal(await focused(), 'menuitem ヘルプ(H)');

  // Tab goes on from the bar to the page's button, Shift+Tab back to the title last used, and
  // Escape from there to the field.
  await page.keyboard.press('Tab');
  assert.equal(await focused(), 'button 記録を再生…');
  await page.keyboard.down('Shift');
  await page.keyboard.press('Tab');
  await page.keyboard.up('Shift');
  assert.equal(await focused(), 'menuitem ヘルプ(H)');
  await page.keyboard.press('Escape');
  assert.equal(await focused(), 'textarea #keys');

  // From an open menu Tab leaves it, on to the button, which Enter presses: a recording
  // chosen there replays.
  await page.keyboard.down('Alt');
  await page.keyboard.press('o');
  await page.keyboard.up('Alt');
  await page.keyboard.press('Tab');
  assert.deepEqual(await expanded(), ['false', 'false', 'false', 'false', 'false']);
  assert.equal(await focused(), 'button 記録を再生…');
  const chooser = page.waitForFileChooser({timeout: 5000});
  // A round trip to the page, after which the browser has taken the request to catch the
  // chooser: a key pressed before it would open a chooser the test never sees.
  await page.evaluate(() => 0);
  await page.keyboard.press('Enter');
  await (await chooser).accept([process.env.VOLARIN_RECORDING]);
  await page.waitForFunction(() => document.activeElement.id === 'keys', {timeout: 5000});
  for (let i = 0; i < 6; ++i) await page.keyboard.press('ArrowRight');
  await page.waitForFunction(
      () => document.getElementById('replay-verdict').textContent !== '', {timeout: 60000});
  assert.equal(await page.$eval('#replay-verdict', (e) => e.textContent), 'verified');
});

// The arrows wrap around: along the bar from its first title to its last, across open menus
// from the last to the first, and down a menu from its last item to its first; Enter chooses.
test('the menus\' arrows wrap around at either end, and Enter chooses', async () => {
  await page.close();  // the last test left a replay, whose items are greyed
  page = await openPage();
  await started(page);
  await page.keyboard.press('F10');
  await page.keyboard.press('ArrowLeft');
  assert.equal(await focused(), 'menuitem ヘルプ(H)');
  await page.keyboard.press('ArrowRight');
  assert.equal(await focused(), 'menuitem ファイル(F)');
  await page.keyboard.press('ArrowLeft');
  await page.keyboard.press('Enter');
  assert.equal(await focused(), 'menuitem 遊び方(H)...F1');
  await page.keyboard.press('ArrowRight');
  assert.deepEqual(await expanded(), ['true', 'false', 'false', 'false', 'false']);
  assert.equal(await focused(), 'menuitem スタート(S)F2');
  for (let i = 0; i < 4; ++i) await page.keyboard.press('ArrowDown');
  assert.equal(await focused(), 'menuitem スタート(S)F2', 'down from Exit, the last item');
  await page.keyboard.press('ArrowLeft');
  assert.deepEqual(await expanded(), ['false', 'false', 'false', 'false', 'true']);
  await page.keyboard.press('ArrowLeft');
  await page.keyboard.press('ArrowLeft');
  assert.deepEqual(await expanded(), ['false', 'false', 'true', 'false', 'false']);
  await page.keyboard.press('ArrowUp');
  assert.equal(await focused(), 'menuitemradio Level 5');
  await page.keyboard.press('Enter');
  assert.deepEqual(await expanded(), ['false', 'false', 'false', 'false', 'false']);
  assert.equal(await focused(), 'textarea #keys');
  assert.ok((await checkedItems()).includes('Level 5'));
  await page.keyboard.press('Escape');
  assert.equal(await focused(), 'textarea #keys', 'Escape on the field stays there');
});

test('axe-core finds no violation on the Exit dialog or on a reason the game cannot start',
     async () => {
  await page.close();
  page = await openPage();
  await started(page);
  await page.keyboard.down('Alt');
  await page.keyboard.press('f');
  await page.keyboard.up('Alt');
  await page.keyboard.press('x');
  await page.waitForSelector('#ended:not([hidden])', {timeout: 5000});
  await audit(page, 'the Exit dialog');
  const failed = await openPage(() => delete globalThis.WebAssembly);
  await failed.waitForSelector('#trouble:not([hidden])', {timeout: 5000});
  await audit(failed, 'a reason the game cannot start');
  await failed.close();
});
