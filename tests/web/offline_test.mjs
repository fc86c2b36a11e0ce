// The page kept for offline play and installable, its files named for the version, and the
// reasons it shows when it cannot start: opened as a file, no WebAssembly, files that do not
// load before the browser has kept them, a game that stops, scripts turned off. The site is
// served here by a server the tests can stop or have serve a stale file.
import assert from 'node:assert/strict';
import {readFile} from 'node:fs';
import {createServer} from 'node:http';
import {extname, join, resolve} from 'node:path';
import {after, before, test} from 'node:test';
import puppeteer from 'puppeteer-core';

const SITE = resolve(process.env.VOLARIN_SITE);
const FOLDER = `v${process.env.VOLARIN_VERSION}`;
const TYPES = {
  '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.svg': 'image/svg+xml',
  '.webmanifest': 'application/manifest+json', '.wasm': 'application/wasm',
};

let browser;

// The site on a port of its own; `stale(path)` says which files come with a byte changed, as
// from a cache on the way that kept another build's copy.
async function serveSite(stale = () => false) {
  const server = createServer((request, response) => {
    let path = decodeURIComponent(new URL(request.url, 'http://site').pathname);
    if (path.endsWith('/')) path += 'index.html';
    const file = join(SITE, path);
    if (!file.startsWith(`${SITE}/`)) return response.writeHead(404).end();
    readFile(file, (error, bytes) => {
      if (error) return response.writeHead(404).end();
      if (stale(path)) bytes = Buffer.concat([bytes, Buffer.from('\n')]);
      response.writeHead(200, {'Content-Type': TYPES[extname(file)] ?? 'application/octet-stream'});
      response.end(bytes);
    });
  });
  await new Promise((done) => server.listen(0, '127.0.0.1', done));
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    stop: () => new Promise((done) => {
      server.close(done);
      server.closeAllConnections();
    }),
  };
}

// Notes the page's service worker registration, to wait for its worker to settle.
function noteRegistration() {
  const register = ServiceWorkerContainer.prototype.register;
  ServiceWorkerContainer.prototype.register = function(...args) {
    window.registration = register.apply(this, args);
    return window.registration;
  };
}

// 'activated' once the worker has kept the files, 'redundant' when it would not.
async function workerSettled(page) {
  await page.waitForFunction(() => window.registration, {timeout: 20000});
  return page.evaluate(async () => {
    const registration = await window.registration;
    const worker = registration.installing ?? registration.waiting ?? registration.active;
    if (!worker) return 'redundant';  // its install failed before the registration was had
    await new Promise((done) => {
      const settled = () => ['activated', 'redundant'].includes(worker.state) && done();
      worker.addEventListener('statechange', settled);
      settled();
    });
    return worker.state;
  });
}

// A page in a profile of its own, with no service worker yet; the browser's own profile for
// a page to install (the browser installs nothing from a private one). Every test serves the
// site on a port of its own, so no two share a worker.
async function freshPage(setUp, {own = false} = {}) {
  const context = own ? browser.defaultBrowserContext() : await browser.createBrowserContext();
  const page = await context.newPage();
  if (setUp) await page.evaluateOnNewDocument(setUp);
  return page;
}

const playing = (page) => page.waitForFunction(() => !document.getElementById('loading') &&
    document.getElementById('trouble').hidden, {timeout: 20000});

before(async () => {
  browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu'],
  });
});

after(async () => {
  await browser?.close();
});

test('the page installs, and after its first visit a reload plays with the server stopped',
     async () => {
  const site = await serveSite();
  const page = await freshPage(noteRegistration, {own: true});
  try {
    await page.goto(site.url, {waitUntil: 'load'});
    await playing(page);
    assert.equal(await workerSettled(page), 'activated');
    const cdp = await page.createCDPSession();
    assert.deepEqual((await cdp.send('Page.getInstallabilityErrors')).installabilityErrors, []);
    // Everything the page loaded but the page itself and its icons is in the version's folder.
    const loaded = await page.evaluate(() => performance.getEntriesByType('resource')
        .map((entry) => entry.name).filter((name) => !/\/(favicon\.|volarin\.webmanifest)/.test(name)));
    for (const file of ['volarin.js', 'volarin.wasm', 'page.js', 'fonts/volarin-mincho.ttf']) {
      assert.ok(loaded.includes(`${site.url}${FOLDER}/${file}`), `${file} in ${loaded}`);
    }
    assert.deepEqual(loaded.filter((name) => !name.startsWith(`${site.url}${FOLDER}/`)), []);

    await site.stop();
    await assert.rejects(fetch(site.url), 'the server is stopped');
    await page.reload({waitUntil: 'load'});
    await playing(page);
    assert.equal(await page.evaluate(() => Boolean(navigator.serviceWorker.controller)), true);
    // The game answers: F2 starts a game, which makes Pause available.
    const pauseGreyed = () => [...document.querySelectorAll('.item')]
        .find((item) => /^(一時停止|Pause)/.test(item.textContent)).ariaDisabled === 'true';
    assert.equal(await page.evaluate(pauseGreyed), true);
    await page.keyboard.press('F2');
    await page.waitForFunction(`!(${pauseGreyed})()`, {timeout: 5000});
  } finally {
    await page.close();
    await site.stop().catch(() => {});
  }
});

// A host's cache may hand the worker another build's copy of a file: the worker then keeps
// nothing, and the page plays from the network.
test('a file that is not the build\'s own keeps the worker from keeping any', async () => {
  const site = await serveSite((path) => path.endsWith('/menu.js'));
  const page = await freshPage(noteRegistration);
  try {
    await page.goto(site.url, {waitUntil: 'load'});
    await playing(page);
    assert.equal(await workerSettled(page), 'redundant');
    assert.deepEqual(await page.evaluate(() => caches.keys()), []);
  } finally {
    await page.browserContext().close();
    await site.stop();
  }
});

// Each way the game cannot start shows its reason on the page within two seconds, in the
// browser's language.
const speaking = (language) => `Object.defineProperty(navigator, 'language', {get: () => '${language}'});`;
const failures = [
  {what: 'opened as a file', url: () => `file://${SITE}/index.html`,
   en: /opened as a file.*web server/, ja: /ファイルとして開かれています.*Web サーバー/},
  {what: 'without WebAssembly', setUp: 'delete globalThis.WebAssembly;',
   en: /no WebAssembly/, ja: /WebAssembly がないか/},
  // Offline before the browser kept the game: the page itself came, nothing after it.
  {what: 'offline', serve: (request) => (request.isNavigationRequest()
      ? request.continue() : request.abort('internetdisconnected')),
   en: /could not load [\w.]+\.js\b.*offline/, ja: /[\w.]+\.js を読み込めませんでした/},
  {what: 'the WebAssembly missing', serve: (request) => (request.url().endsWith('.wasm')
      ? request.respond({status: 404}) : request.continue()),
   en: /could not load volarin\.wasm\./, ja: /volarin\.wasm を読み込めませんでした/},
  {what: 'a game that stops', serve: (request) => (request.url().endsWith('.wasm')
      ? request.respond({status: 200, body: 'not a module'}) : request.continue()),
   en: /The game stopped \(.+\)/, ja: /ゲームが止まりました（.+）/},
];

test('a page that cannot start says why within two seconds, in the player\'s language',
     async () => {
  const site = await serveSite();
  try {
    for (const failure of failures) {
      for (const language of ['en-GB', 'ja']) {
        const page = await freshPage(speaking(language) + (failure.setUp ?? ''));
        page.on('pageerror', () => {});  // the failures are the point
        if (failure.serve) {
          await page.setRequestInterception(true);
          page.on('request', failure.serve);
        }
        const started = Date.now();
        await page.goto(failure.url?.() ?? site.url, {waitUntil: 'domcontentloaded'});
        const shown = await page.waitForSelector('#trouble:not([hidden])', {
          timeout: Math.max(1, 2000 - (Date.now() - started)),
        }).catch(() => null);
        const what = `${failure.what}, ${language}`;
        assert.ok(shown, `${what}: no reason within 2 s`);
        const reason = await shown.evaluate((e) => ({text: e.textContent, lang: e.lang,
          loading: document.getElementById('loading')?.hidden ?? true}));
        assert.match(reason.text, failure[language.slice(0, 2)], what);
        assert.deepEqual([reason.lang, reason.loading], [language.slice(0, 2), true], what);
        await page.browserContext().close();
      }
    }
  } finally {
    await site.stop();
  }
});

test('with scripts turned off the page says so instead of loading', async () => {
  const site = await serveSite();
  const page = await freshPage();
  try {
    await page.setJavaScriptEnabled(false);
    await page.goto(site.url, {waitUntil: 'load'});
    const shown = await page.$$eval('noscript', () => {
      const card = document.querySelector('.trouble:not(#trouble)');
      return {card: card?.checkVisibility() && card.textContent,
              loading: document.getElementById('loading').checkVisibility()};
    });
    assert.match(shown.card, /JavaScript が必要です/);
    assert.match(shown.card, /The game needs JavaScript/);
    assert.equal(shown.loading, false);
  } finally {
    await page.browserContext().close();
    await site.stop();
  }
});
