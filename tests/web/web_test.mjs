// Plays the browser game in headless Chromium, as a player would: looks at the picture,
// presses keys, commits text through an input method, uses the menus, exits and reloads; and
// looks at the favicon and the line under the field in English and Japanese.
import assert from 'node:assert/strict';
import {readFileSync} from 'node:fs';
import {deflateRawSync} from 'node:zlib';
import {after, before, test} from 'node:test';
import puppeteer from 'puppeteer-core';
import {execFileSync} from 'node:child_process';
import {mkdtempSync, readdirSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';

const URL = process.env.VOLARIN_URL;
const WIDTH = 640;
const HEIGHT = 480;
const BAND = 32;  // the status band at the bottom of the field

const colours = {
  black: [0, 0, 0], red: [255, 0, 0], green: [0, 255, 0], yellow: [255, 255, 0],
  blue: [0, 0, 255],
};

let browser;
let page;
const problems = [];  // console errors and uncaught exceptions of every page
let freshScore;       // the score part of the band at the first visit: nothing scored yet

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
// Asks `check` every 50 ms until it is true, for up to `ms`: a loaded machine makes a test
// slower, never wrong. True when it came true.
async function until(check, ms = 20000) {
  for (const end = Date.now() + ms; Date.now() < end; await sleep(50)) {
    if (await check()) return true;
  }
  return Boolean(await check());
}

// `setUp` runs in the page before its own scripts.
async function openPage(setUp) {
  page = await browser.newPage();
  if (setUp) await page.evaluateOnNewDocument(setUp);
  page.on('console', (message) => {
    if (message.type() === 'error') problems.push(message.text());
  });
  page.on('pageerror', (error) => problems.push(error.message));
  await page.setViewport({width: 800, height: 600});
  await page.goto(URL, {waitUntil: 'load'});
  // The loading line goes at the first picture.
  await page.waitForFunction(() => !document.getElementById('loading'), {timeout: 20000});
  // The field follows the page: the menu bar above it and the line below it take their
  // heights, the field gets the rest.
  const others = await page.evaluate(() => document.getElementById('menubar').offsetHeight +
                                            document.getElementById('hint').offsetHeight +
                                            document.getElementById('replay').offsetHeight);
  await page.setViewport({width: WIDTH, height: HEIGHT + others});
  await page.waitForFunction((w, h) => {
    const canvas = document.getElementById('picture');
    return canvas.width === w && canvas.height === h;
  }, {timeout: 5000}, WIDTH, HEIGHT);
}

// The picture as the canvas shows it: {width, height, data} with RGBA bytes.
async function picture() {
  return page.evaluate(() => {
    const canvas = document.getElementById('picture');
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    return {width: canvas.width, height: canvas.height, data: Array.from(data)};
  });
}

function pixel(image, x, y) {
  const i = 4 * (y * image.width + x);
  return image.data.slice(i, i + 3);
}

function count(image, colour, top = 0, bottom = image.height) {
  let n = 0;
  for (let y = top; y < bottom; ++y) {
    for (let x = 0; x < image.width; ++x) {
      if (String(pixel(image, x, y)) === String(colour)) ++n;
    }
  }
  return n;
}

// A short fingerprint of one part of the status band: the left 40 % holds the score and the
// best score, the right 40 % the flush and miss counters.
async function band(part) {
  const image = await picture();
  const width = Math.floor(image.width * 0.4);
  const left = part === 'left' ? 0 : image.width - width;
  let hash = 2166136261;  // FNV-1a over the part's pixels: short to compare and to report
  for (let y = image.height - BAND; y < image.height; ++y) {
    for (let x = left; x < left + width; ++x) {
      for (const value of pixel(image, x, y)) hash = Math.imul(hash ^ value, 16777619) >>> 0;
    }
  }
  return hash.toString(16);
}

async function menuItem(text) {
  const handle = await page.evaluateHandle((t) => [...document.querySelectorAll('.item')]
      .find((li) => li.textContent.replace(/[()]/g, '').startsWith(t)), text);
  assert.ok(handle.asElement(), `menu item ${text}`);
  return handle;
}

async function itemState(text) {
  const item = await menuItem(text);
  return item.evaluate((li) => ({
    checked: li.getAttribute('aria-checked') === 'true',
    greyed: li.getAttribute('aria-disabled') === 'true',
  }));
}

// Opens the popup whose title starts with `popupText` and chooses the item, with the mouse.
async function choose(popupText, itemText) {
  const buttons = await page.$$('.popup > button');
  for (const button of buttons) {
    const text = await button.evaluate((b) => b.textContent);
    if (text.startsWith(popupText)) await button.click();
  }
  await (await menuItem(itemText)).click();
}

// True when the key changed that part of the band within `ms`.
async function typeUntilChanged(part, key, ms = 20000) {
  const before = await band(part);
  await page.keyboard.press(key);
  return until(async () => (await band(part)) !== before, ms);
}

// The ink of each upper-case letter as the page's text face draws it (a pixel at least half
// covered, as the game takes it), relative to its first ink pixel.
async function letterShapes() {
  return page.evaluate(() => {
    const [width, height] = [96, 80];
    const shapes = [];
    for (let letter = 0; letter < 26; ++letter) {
      const coverage = new Uint8Array(width * height);
      volarinPage.glyphCoverage(0, 65 + letter, width, height, 32, 48, coverage);
      const ink = [];
      coverage.forEach((c, i) => c >= 128 && ink.push([i % width, Math.floor(i / width)]));
      shapes.push(ink.map(([x, y]) => [x - ink[0][0], y - ink[0][1]]));
    }
    return shapes;
  });
}

// The character of a falling missile, found by matching the field against the letters' ink,
// or null.
async function fallingLetter() {
  const shapes = await letterShapes();
  const image = await picture();
  const isYellow = (x, y) => x >= 0 && x < image.width && y >= 0 && y < image.height - BAND &&
      String(pixel(image, x, y)) === String(colours.yellow);
  for (let py = 0; py < image.height - BAND; ++py) {
    for (let px = 0; px < image.width; ++px) {
      if (!isYellow(px, py)) continue;
      const letter = shapes.findIndex((ink) => ink.every(([dx, dy]) => isYellow(px + dx, py + dy)));
      if (letter >= 0) return String.fromCharCode(65 + letter);
    }
  }
  return null;
}

before(async () => {
  assert.ok(URL, 'VOLARIN_URL names the served site');
  browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--autoplay-policy=no-user-gesture-required'],
  });
  await openPage();
});

after(async () => {
  await browser?.close();
});

test('the page shows the field, its blue band, falling yellow missiles and the menu bar',
     async () => {
       assert.equal(await page.title(), process.env.VOLARIN_TITLE);
       freshScore = await band('left');
       let image = await picture();
       assert.deepEqual([image.width, image.height], [WIDTH, HEIGHT]);
       assert.ok(count(image, colours.blue, HEIGHT - BAND) > WIDTH * BAND / 2, 'blue band');
       await until(async () => count(image = await picture(), colours.yellow, 0, HEIGHT - BAND) >= 20);
       assert.ok(count(image, colours.yellow, 0, HEIGHT - BAND) >= 20, 'yellow missiles');
       const titles = await page.$$eval('.popup > button', (b) => b.map((e) => e.textContent));
       // An English browser's menus: the same access keys and shortcuts as the Japanese ones.
       assert.deepEqual(titles, ['File', 'Mode', 'Level', 'Options', 'Help']);
       const underlined = await page.$$eval('.popup > button u', (u) => u.map((e) => e.textContent));
       assert.deepEqual(underlined, ['F', 'M', 'L', 'O', 'H']);
       const itemKeys = await page.$$eval('.item u', (u) => u.map((e) => e.textContent).join(''));
       assert.equal(itemKeys.toUpperCase(), 'SPTXULNKA12345SMHPA');  // the Japanese items' letters
       const keys = await page.$$eval('.item .keys', (k) => k.map((e) => e.textContent));
       assert.deepEqual(keys, ['F2', 'F3', 'F1', 'F4']);
       assert.deepEqual(await itemState('Start'), {checked: false, greyed: false});
       assert.deepEqual(await itemState('Pause'), {checked: false, greyed: true});
       assert.deepEqual(await itemState('Upper-case letters'), {checked: true, greyed: false});
       assert.deepEqual(problems, []);
     });

// Every character a missile can carry has ink in the page's faces (the Latin ones in the text
// face, the kana's full-width forms in the Mincho face), and the field shows only the game's
// colours and the band's white text.
test('every character has ink in the page\'s faces, and the field only the game\'s colours',
     async () => {
       const latin = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789' +
           '!"#$%&\'()=~|@[;:],./\\`{+*}<>?_';
       const kana = 'アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨワヲン';
       const blank = await page.evaluate((latin, kana) => {
         const inkless = [];
         for (const [font, text] of [[0, latin], [1, kana]]) {
           for (const character of text) {
             const coverage = new Uint8Array(96 * 80);
             volarinPage.glyphCoverage(font, character.codePointAt(0), 96, 80, 32, 48, coverage);
             if (!coverage.some((c) => c >= 128)) inkless.push(character);
           }
         }
         return inkless;
       }, latin, kana);
       assert.equal(latin.length + kana.length, 133);
       assert.deepEqual(blank, []);
       // The game's colours, and the hint's card over the demonstration (blue, its text green).
       const allowed = new Set([...Object.values(colours), [255, 255, 255], [0, 0, 96],
                                [160, 255, 160]].map(String));
       const image = await picture();
       for (let i = 0; i < image.data.length; i += 4) {
         const colour = String(image.data.slice(i, i + 3));
         assert.ok(allowed.has(colour), `colour ${colour} at pixel ${i / 4}`);
       }
     });

test('F2 starts a game; typed keys count, also right after the menus were used', async () => {
  await page.keyboard.press('F2');
  await until(async () => (await itemState('Start')).greyed);
  assert.deepEqual(await itemState('Start'), {checked: false, greyed: true});
  assert.deepEqual(await itemState('Pause'), {checked: false, greyed: false});
  // No upper-case missile carries "!": typing it is a miss.
  assert.ok(await typeUntilChanged('right', '!'), 'a typed key changes the miss counter');
  // A menu opened and closed with the keyboard, then one used with the mouse.
  await page.keyboard.down('Alt');
  await page.keyboard.press('o');
  await page.keyboard.up('Alt');
  await page.keyboard.press('Escape');
  assert.ok(await typeUntilChanged('right', '!'), 'keys reach the game after Escape');
  const sound = (await itemState('Sound effects')).checked;
  await choose('Options', 'Sound effects');
  assert.equal((await itemState('Sound effects')).checked, !sound);
  assert.ok(await typeUntilChanged('right', '!'), 'keys reach the game after a menu command');
  // F3 pauses through its enabled item; a paused game counts no key.
  await page.keyboard.press('F3');
  await until(async () => (await itemState('Pause')).checked);
  assert.equal((await itemState('Pause')).checked, true);
  assert.ok(!(await typeUntilChanged('right', '!', 1000)), 'a paused game counts no key');
  await page.keyboard.press('F3');
  assert.deepEqual(problems, []);
});

test('a committed あ hits the kana missile or counts as a miss', async () => {
  await choose('File', 'Stop');
  await choose('Mode', 'Kana');
  assert.equal((await itemState('Kana')).checked, true);
  await page.keyboard.press('F2');
  await until(async () => (await itemState('Start')).greyed);
  const before = (await band('left')) + (await band('right'));
  const client = await page.createCDPSession();
  await client.send('Input.imeSetComposition', {text: 'あ', selectionStart: 1, selectionEnd: 1});
  await client.send('Input.insertText', {text: 'あ'});
  assert.ok(await until(async () => (await band('left')) + (await band('right')) !== before),
            'the score or the miss counter changed');
  await choose('File', 'Stop');
  await choose('Mode', 'Kana');
  assert.deepEqual(problems, []);
});

test('Exit ends the session and keeps the best score for the next visit', async () => {
  await page.keyboard.press('F2');
  let hit = false;
  for (let attempt = 0; attempt < 100 && !hit; ++attempt) {
    await sleep(100);
    const letter = await fallingLetter();
    if (letter) hit = await typeUntilChanged('left', letter, 3000);
  }
  assert.ok(hit, 'a falling letter was shot down');
  // The best score is taken when a game ends, never from one still running at Exit.
  await choose('File', 'Stop');
  await choose('File', 'Exit');
  assert.equal(await page.$eval('#ended', (e) => e.hidden), false);
  const stored = await page.evaluate(() => localStorage.getItem('VOLARIN.INI'));
  assert.equal(stored.split('\n').filter((line) => line !== '').length, 9);
  await page.close();
  await openPage();
  assert.equal(await page.$eval('#ended', (e) => e.hidden), true);
  assert.notEqual(await band('left'), freshScore, 'the best score is shown after the reload');
  assert.deepEqual(problems, []);
});

// The page hidden as when its tab is left, or shown again.
const setHidden = (hidden) => page.evaluate((h) => {
  Object.defineProperty(document, 'hidden', {value: h, configurable: true});
  Object.defineProperty(document, 'visibilityState',
                        {value: h ? 'hidden' : 'visible', configurable: true});
  document.dispatchEvent(new Event('visibilitychange'));
}, hidden);

// Hidden, a running game waits paused rather than run on unseen; shown again, its field and
// band come back at the page's size, with the pause card over them.
test('a page hidden pauses a running game, and shown again shows it paused', async () => {
  await page.keyboard.press('F2');
  assert.ok(await until(async () => !(await itemState('Pause')).greyed), 'F2 started no game');
  await setHidden(true);
  assert.ok(await until(async () => (await itemState('Pause')).checked), 'hidden, the game runs');
  await setHidden(false);
  let seen = [];
  assert.ok(await until(async () => {
    const image = await picture();
    seen = [image.width, count(image, colours.blue, HEIGHT - BAND), count(image, [0, 0, 96])];
    return seen[0] === WIDTH && seen[1] > WIDTH * BAND / 2 && seen[2] > 8000;
  }), `shown again: width, band and card pixels ${seen}`);
  await page.keyboard.press('F3');
  assert.ok(await until(async () => !(await itemState('Pause')).checked), 'F3 did not go on');
  await choose('File', 'Stop');
  assert.deepEqual(problems, []);
});

// The history of games is kept meanwhile: its save never takes the settings' notice away.
test('a browser that refuses the settings is told of on hiding the page and at Exit', async () => {
  await page.close();
  await openPage(() => {
    const setItem = Storage.prototype.setItem;
    Storage.prototype.setItem = function(name, value) {
      if (name !== 'VOLARIN.INI') return setItem.call(this, name, value);
      throw new DOMException('The quota has been exceeded.', 'QuotaExceededError');
    };
  });
  const noticeShown = () => page.$eval('#notice', (e) => (e.hidden ? '' : e.textContent));
  assert.equal(await noticeShown(), '');
  // The page is hidden as when its tab is left, which saves the settings.
  await setHidden(true);
  await setHidden(false);
  assert.match(await noticeShown(), /could not be kept in this browser\. The browser's storage is full\./);
  const games = () => page.evaluate(() => localStorage.getItem('VOLARIN-HISTORY.TXT'));
  const before = await games();
  await page.keyboard.press('F2');
  await choose('File', 'Stop');
  for (let i = 0; i < 100 && (await games()) === before; ++i) await sleep(50);
  assert.notEqual(await games(), before, 'the game reached the history');
  assert.match(await noticeShown(), /settings could not be kept in this browser\. The browser's/);
  await choose('File', 'Exit');
  const ended = await page.$eval('#ended', (e) => (e.hidden ? '' : e.textContent));
  assert.match(ended, /^\s*The game has ended/);
  assert.match(ended, /could not be kept in this browser\. The browser's storage is full\./);
  assert.doesNotMatch(ended, /are kept in this browser/);
  assert.equal(await noticeShown(), '');
  assert.deepEqual(problems, []);
});

// Each tab reads the settings once, at its start; a save reads the stored bests again just
// before writing, so the tab that ends last keeps the other's best.
test('two tabs, each with a best the other lacks, keep both', async () => {
  const storing = (text) =>
    new Function(`localStorage.setItem('VOLARIN.INI', ${JSON.stringify(text)});`);
  await page.close();
  await openPage(storing('1\n1\n1\n1\n500 one\n'));
  const first = page;
  await openPage(storing('1\n1\n1\n1\n0 -\n0 -\n993 two\n'));
  await choose('File', 'Exit');
  await page.close();
  page = first;
  await choose('File', 'Exit');
  const stored = await page.evaluate(() => localStorage.getItem('VOLARIN.INI'));
  assert.deepEqual(stored.split('\n').slice(4, 7), ['500 one', '0 -', '993 two']);
  assert.deepEqual(problems, []);
});

test('the favicon is the game\'s icon; a line under the field tells what to do, in English ' +
     'or in Japanese', async () => {
  const lines = {
    'en-GB': 'Type the falling characters · F2 start · F3 pause · F1 help',
    'ja-JP': '落ちてくる文字を打とう · F2 スタート · F3 一時停止 · F1 ヘルプ',
  };
  for (const [language, line] of Object.entries(lines)) {
    await page.close();
    await openPage(new Function(
        `Object.defineProperty(navigator, 'language', {get: () => '${language}'});`));
    const shown = await page.evaluate(() => {
      const hint = document.getElementById('hint').getBoundingClientRect();
      const field = document.getElementById('picture').getBoundingClientRect();
      return {text: document.getElementById('hint').textContent, below: hint.top >= field.bottom,
              inside: hint.height > 0 && hint.bottom <= window.innerHeight};
    });
    assert.deepEqual(shown, {text: line, below: true, inside: true}, language);
  }
  const icons = await page.$$eval('link[rel="icon"]', (links) => links.map((link) => link.href));
  const served = await page.evaluate((urls) => Promise.all(urls.map(async (url) => {
    const response = await fetch(url);
    return response.ok ? Array.from(new Uint8Array(await response.arrayBuffer())) : null;
  })), icons);
  assert.equal(icons.length, 2);
  // The drawing itself, as the desktop installs it.
  const svg = served.find((bytes) => bytes && bytes[0] === '<'.charCodeAt(0));
  assert.deepEqual(Buffer.from(svg ?? []), readFileSync(process.env.VOLARIN_ICON_SVG));
  // An .ico directory (reserved 0, type 1) of the six sizes; 256 is stored as 0.
  const ico = served.find((bytes) => bytes && bytes[0] === 0);
  assert.deepEqual(ico?.slice(0, 6), [0, 0, 1, 0, 6, 0]);
  assert.deepEqual([0, 1, 2, 3, 4, 5].map((i) => ico[6 + 16 * i]), [16, 24, 32, 48, 64, 0]);
  assert.deepEqual(problems, []);
});
// The loading line (kept here by a game that never comes) and the closing dialog speak the
// browser's language too.
test('the loading line and the Exit dialog follow the browser\'s language', async () => {
  const said = {};
  for (const language of ['en-GB', 'ja-JP']) {
    // A context of its own: the service worker an earlier page installed would serve the
    // game without asking this page.
    const context = await browser.createBrowserContext();
    const other = await context.newPage();
    await other.evaluateOnNewDocument(new Function(
        `Object.defineProperty(navigator, 'language', {get: () => '${language}'});`));
    await other.setRequestInterception(true);
    other.on('request', (r) => (r.url().endsWith('/volarin.js') ? r.abort() : r.continue()));
    await other.goto(URL, {waitUntil: 'load'});
    await other.waitForFunction(() => document.getElementById('hint').textContent !== '');
    said[language] = await other.evaluate(() => ['loading', 'ended-title', 'restart'].map(
        (id) => document.getElementById(id).textContent));
    await context.close();
  }
  assert.deepEqual(said, {'en-GB': ['Loading…', 'The game has ended', 'Reload'],
                          'ja-JP': ['読み込み中…', 'ゲームを終了しました', '再読み込み']});
});

// The field's text as OCR reads it: scaled up three times, inverted and made black and white,
// which the Japanese model at least needs to read 24-pixel glyphs.
async function readField(model) {
  const folder = mkdtempSync(join(tmpdir(), 'volarin-ocr-'));
  try {
    const shot = join(folder, 'shot.png');
    await (await page.$('#picture')).screenshot({path: shot});
    execFileSync('convert', [shot, '-resize', '300%', '-negate', '-threshold', '50%', shot]);
    return execFileSync('tesseract', [shot, '-', '-l', model], {stdio: ['ignore', 'pipe', 'ignore']})
        .toString().replace(/\s+/g, ' ');
  } finally {
    rmSync(folder, {recursive: true});
  }
}

// Reads the field until it says every word, for up to 20 s, as a card may come late.
async function expectText(model, words, what) {
  let text = '';
  await until(async () => (text = await readField(model)) && words.every((w) => text.includes(w)));
  for (const word of words) assert.ok(text.includes(word), `${what} does not say ${word}: ${text}`);
}

// The page's language is the browser's: F1 shows the help, F3 the pause card, and ten misses
// the results card; a paused game's missiles stay when the page changes size.
for (const [language, model, words] of [
  ['en-US', 'eng', {help: ['F2', 'How to play'], paused: ['Paused', 'F3 to go on'],
                    results: ['Score', 'Accuracy', 'Best'], menu: 'File'}],
  ['ja', 'jpn+eng', {help: ['F2', '遊び方'], paused: ['時停止', '続ける'],
                     results: ['ミス', 'Score', 'Best'], menu: 'ファイル(F)'}],
]) {
  test(`the cards speak the browser's language (${language})`, async () => {
    await page.close();
    const first = browser;
    browser = await puppeteer.launch({
      executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
      headless: true,
      args: ['--no-sandbox', '--disable-gpu', `--lang=${language}`, `--accept-lang=${language}`],
      env: {...process.env, LANGUAGE: language.replace('-', '_')},
    });
    try {
      // Digits only: every other key acts on "A", which never falls, so each is a miss.
      await openPage(() => localStorage.setItem('VOLARIN.INI', '4\n1\n0\n0\n'));
      assert.equal(await page.evaluate(() => navigator.language), language);
      assert.equal(await page.$eval('.popup > button', (b) => b.textContent), words.menu);
      await page.keyboard.press('F1');
      await expectText(model, words.help, 'the help');
      await page.keyboard.press('Escape');
      await page.keyboard.press('F2');
      await sleep(500);  // the demonstration's missiles gone from the field
      const yellowAbove = async (row) => count(await picture(), colours.yellow, 0, row);
      // Missiles appear at random, and a fixed wait now and then finds none: pause once some
      // are near the top, well inside the rows looked at below.
      for (let i = 0; i < 200 && (await yellowAbove(70)) <= 30; ++i) await sleep(100);
      await page.keyboard.press('F3');
      await expectText(model, words.paused, 'the pause card');
      const topYellow = () => yellowAbove(130);
      assert.ok((await topYellow()) > 30, 'missiles before the size change');
      const menuHeight = await page.$eval('#menubar', (bar) => bar.offsetHeight);
      await page.setViewport({width: WIDTH + 60, height: HEIGHT + menuHeight + 40});
      assert.ok(await until(async () => (await topYellow()) > 30),
                'the paused missiles after the size change');
      await page.setViewport({width: WIDTH, height: HEIGHT + menuHeight});
      await page.keyboard.press('F3');
      for (let i = 0; i < 10; ++i) {
        await page.keyboard.press('!');
        await sleep(50);
      }
      await expectText(model, words.results, 'the results card');
      assert.deepEqual(problems, []);
    } finally {
      await browser.close();
      browser = first;
      await openPage();
    }
  });
}

// A session recorded in the desktop game replays in the page from a #replay= link to its
// recorded end; the same link with one typed character changed does not.
test('a #replay= link plays the recording to "verified", an edited one to "not verified"; ' +
     'Esc then goes back to a game',
     async () => {
  const recorded = readFileSync(process.env.VOLARIN_RECORDING, 'latin1');
  const lastChar = recorded.lastIndexOf('\nchar ');
  const edited = recorded.slice(0, lastChar) + '\nchar 32' +
                 recorded.slice(recorded.indexOf('\n', lastChar + 1));
  for (const [text, expected] of [[recorded, 'verified'], [edited, 'not verified']]) {
    const link = deflateRawSync(Buffer.from(text, 'latin1')).toString('base64url');
    const replay = await browser.newPage();
    replay.on('pageerror', (error) => problems.push(error.message));
    await replay.goto(`${URL}#replay=${link}`, {waitUntil: 'load'});
    await replay.waitForFunction(() => !document.getElementById('loading'), {timeout: 20000});
    // While it plays, the menus take no command and the line names the replay's keys.
    const greyed = () => replay.$$eval('.item', (items) => items.map(
        (li) => li.getAttribute('aria-disabled')));
    assert.ok((await greyed()).every((g) => g === 'true'), 'a menu item is offered in a replay');
    assert.match(await replay.$eval('#hint', (e) => e.textContent), /^Replay · Space pause/);
    for (let i = 0; i < 6; ++i) await replay.keyboard.press('ArrowRight');
    await replay.waitForFunction(
        () => document.getElementById('replay-verdict').textContent !== '', {timeout: 60000});
    assert.equal(await replay.$eval('#replay-verdict', (e) => e.textContent), expected);
    // Esc closes the verdict card: the page goes back to a game.
    await replay.keyboard.press('Escape');
    await replay.waitForFunction(
        () => document.getElementById('hint').textContent.startsWith('Type the falling'));
    assert.ok((await greyed()).some((g) => g === 'false'), 'the game\'s menus after the replay');
    await replay.close();
  }
  assert.deepEqual(problems, []);
});

// A burst of twelve keys ends a game and leaves its results card showing; S saves nothing.
// Ctrl+S downloads the game alone as volarin-YYYYMMDD-HHMMSS.txt and puts its link under the
// field, in a line that keeps its height: the page's address, #replay= and the same bytes,
// deflate-raw and base64url, which the page replays to "verified". The stored settings run on
// for 3 MB: the game reads their first MiB, as the desktop reads its file, and a recording
// carries no more.
test('a game is kept as a download and a link, however long the stored settings', async () => {
  await page.close();
  await openPage(() => localStorage.setItem('VOLARIN.INI', '4\n1\n0\n0\n' + ' '.repeat(3e6)));
  const folder = mkdtempSync(join(tmpdir(), 'volarin-download-'));
  try {
    const cdp = await page.createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: folder});
    const lineBefore = await page.$eval('#hint', (e) => e.getBoundingClientRect().height);
    await page.keyboard.press('F2');
    await until(async () => (await itemState('Start')).greyed);
    for (let i = 0; i < 12; ++i) await page.keyboard.press('!');
    await page.keyboard.press('s');
    assert.ok(await until(async () => count(await picture(), [0, 0, 96]) > 20000),
              'no results card after the burst');
    assert.equal(await page.$('#game-link'), null, 'S saved the game');
    await sleep(1000);
    await page.keyboard.down('Control');
    await page.keyboard.press('s');
    await page.keyboard.up('Control');
    const link = await (await page.waitForSelector('#game-link', {timeout: 5000}))
                     .evaluate((input) => input.value);
    let files = [];
    await until(() => (files = readdirSync(folder).filter(
        (name) => /^volarin-\d{8}-\d{6}\.txt$/.test(name))).length > 0);
    assert.equal(files.length, 1, `downloaded: ${readdirSync(folder)}`);
    const saved = readFileSync(join(folder, files[0]), 'utf8');
    assert.match(saved, /^seed \d+\nsettings\n[^]*\nend settings\nsize 640 480\ncommand 40015\n/);
    assert.match(saved, /\n# final \{.*"gameOver":1.*\}\n$/);
    // The line under the field keeps its height, and the field its size.
    const layout = await page.evaluate(() => {
      const line = document.getElementById('hint').getBoundingClientRect();
      const field = document.getElementById('picture').getBoundingClientRect();
      const link = document.getElementById('game-link').getBoundingClientRect();
      return {line: {top: line.top, height: line.height, right: line.right},
              field: {bottom: field.bottom}, link: {width: link.width, right: link.right}};
    });
    assert.equal(layout.line.height, lineBefore);
    assert.ok(layout.link.width >= 60 && layout.link.right <= layout.line.right, JSON.stringify(layout));
    assert.ok(layout.line.top >= layout.field.bottom, JSON.stringify(layout));
    assert.equal(count(await picture(), colours.blue, HEIGHT - BAND) > WIDTH * BAND / 2, true);
    assert.ok(link.startsWith(`${URL.split('#')[0]}#replay=`), link);
    const hash = link.slice(link.indexOf('#replay=') + 8);
    assert.match(hash, /^[A-Za-z0-9_-]+$/);
    const decoded = await page.evaluate(async (hash) => {
      const base64 = hash.replace(/-/g, '+').replace(/_/g, '/');
      const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
      const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('deflate-raw'));
      return new Response(stream).text();
    }, hash);
    assert.equal(decoded, saved);
    const replay = await browser.newPage();
    await replay.goto(link, {waitUntil: 'load'});
    for (let i = 0; i < 6; ++i) await replay.keyboard.press('ArrowRight');
    await replay.waitForFunction(
        () => document.getElementById('replay-verdict').textContent !== '', {timeout: 60000});
    assert.equal(await replay.$eval('#replay-verdict', (e) => e.textContent), 'verified');
    await replay.close();
    assert.deepEqual(problems, []);
  } finally {
    rmSync(folder, {recursive: true, force: true});
  }
});

// Recordings from a stranger: one asking for a 65535 x 65535 window reaches its verdict, the
// picture held to 8192 pixels a side; two thousand size changes between the largest pictures
// leave the page answering, and Esc ends the replay within a few seconds.
test('a hostile #replay= link reaches a verdict, and Esc ends a flood of size changes', async () => {
  const linkTo = (name) => deflateRawSync(
      readFileSync(join(process.env.VOLARIN_HOSTILE_RECORDINGS, name))).toString('base64url');
  const errors = [];
  const replay = await browser.newPage();
  replay.on('pageerror', (error) => errors.push(error.message));
  try {
    await replay.goto(`${URL}#replay=${linkTo('huge_window')}`, {waitUntil: 'load'});
    await replay.waitForFunction(
        () => document.getElementById('replay-verdict').textContent !== '', {timeout: 60000});
    assert.equal(await replay.$eval('#replay-verdict', (e) => e.textContent), 'verified');
    assert.ok(await replay.$eval('#replay-meaning', (e) => !e.hidden &&
                                 e.textContent.includes('nor that a person did')));
    assert.deepEqual(await replay.$eval('#picture', (c) => [c.width, c.height]), [8192, 8192]);

    await replay.goto('about:blank');
    await replay.goto(`${URL}#replay=${linkTo('size_flood')}`, {waitUntil: 'load'});
    await replay.waitForFunction(() => !document.getElementById('loading'), {timeout: 20000});
    await sleep(1000);
    await replay.keyboard.press('Escape');
    await replay.waitForFunction(
        () => document.getElementById('replay-verdict').textContent !== '', {timeout: 5000});
    assert.equal(await replay.$eval('#replay-verdict', (e) => e.textContent), 'not verified');
    assert.deepEqual(errors, []);
  } finally {
    await replay.close();
  }
});

// On a phone-sized touch screen a tap on the field gives the focus to a text field that lies
// over it, so the device's keyboard opens; what that keyboard types reaches the game, a
// committed kana too.
test('a tap on a phone\'s field opens its keyboard, whose characters reach the game', async () => {
  await page.close();
  page = await browser.newPage();
  page.on('pageerror', (error) => problems.push(error.message));
  await page.emulate({userAgent: 'Mozilla/5.0 (Linux; Android 13) Mobile',
                      viewport: {width: 390, height: 844, isMobile: true, hasTouch: true}});
  await page.goto(URL, {waitUntil: 'load'});
  await page.waitForFunction(() => !document.getElementById('loading'), {timeout: 20000});
  await page.evaluate(() => document.activeElement.blur());
  const field = await page.$eval('#field', (e) => {
    const r = e.getBoundingClientRect();
    return {x: r.x + r.width / 2, y: r.y + r.height / 2};
  });
  await page.touchscreen.tap(field.x, field.y);
  const focused = await page.evaluate(() => {
    const keys = document.activeElement;
    const r = keys.getBoundingClientRect();
    return {id: keys.id, width: r.width, height: r.height};
  });
  assert.equal(focused.id, 'keys');
  assert.ok(focused.width > 300 && focused.height > 300, JSON.stringify(focused));
  // A soft keyboard sends text, not key events: each character is a miss in the
  // demonstration, where no "!" falls.
  const misses = () => band('right');
  for (const text of ['!', 'ア']) {
    const before = await misses();
    if (text === 'ア') {
      const client = await page.createCDPSession();
      await client.send('Input.imeSetComposition', {text, selectionStart: 1, selectionEnd: 1});
      await client.send('Input.insertText', {text});
    } else {
      await page.keyboard.sendCharacter(text);
    }
    assert.ok(await until(async () => (await misses()) !== before),
              `${text} typed on the phone did not reach the game`);
  }
  assert.deepEqual(problems, []);
  await page.close();
  await openPage();
});

// Last, as it leaves its settings and history behind: three games ended by their tenth miss
// each add a line to the history in local storage; F4 then shows the progress card with the
// three games' points (squares of 7 x 7 in the score's colour, beside its legend's bar of
// 16 x 5), and F4 again closes it.
test('after three games F4 shows the progress card, its plot holding their three points',
    async () => {
      await page.close();
      await openPage(() => {
        if (!sessionStorage.getItem('seen')) {
          localStorage.clear();
          localStorage.setItem('VOLARIN.INI', '4\n1\n0\n0\n');
          sessionStorage.setItem('seen', '1');
        }
      });
      const games = () => page.evaluate(
          () => (localStorage.getItem('VOLARIN-HISTORY.TXT') || '').split('\n').length - 2);
      for (let game = 1; game <= 3; ++game) {
        await page.keyboard.press('F2');
        for (let i = 0; i < 10; ++i) await page.keyboard.press('x');
        for (let i = 0; i < 300 && (await games()) < game; ++i) await sleep(100);
        assert.equal(await games(), game, `game ${game} in the history`);
      }
      const scorePoints = async () => count(await picture(), [255, 128, 0]);
      await page.keyboard.press('F4');
      for (let i = 0; i < 300 && (await scorePoints()) !== 3 * 49 + 80; ++i) await sleep(100);
      assert.equal(await scorePoints(), 3 * 49 + 80, 'the plot\'s three points');
      await expectText('eng', ['Progress', 'Slowest'], 'the progress card');
      await page.keyboard.press('F4');
      for (let i = 0; i < 300 && (await scorePoints()) !== 0; ++i) await sleep(100);
      assert.equal(await scorePoints(), 0, 'F4 closes the progress card');
      assert.deepEqual(problems, []);
    });
