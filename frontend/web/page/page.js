// The page around the WebAssembly game: fonts, menus, picture, hint line, input, sound, size.
'use strict';

(() => {
  const FONT_FILES = ['fonts/c059-bold-subset.otf', 'fonts/volarin-mincho.ttf'];
  const FONT_FAMILIES = ['Volarin Text', 'Volarin Mincho'];
  const CHARACTER_HEIGHT = 24;

  const menubar = document.getElementById('menubar');
  const field = document.getElementById('field');
  const picture = document.getElementById('picture');
  const keys = document.getElementById('keys');
  const context = picture.getContext('2d', {alpha: false});
  const scratch = document.createElement('canvas').getContext('2d', {willReadFrequently: true});

  const faces = [];          // per font: its metrics from the font file
  const menuItems = new Map();  // command id -> <li>
  let game = null;           // the WebAssembly module once it runs
  let scale = 1;             // device pixels per game pixel

  // ---- Fonts: the two bundled faces, loaded before the first glyph is drawn.

  // A face's metrics from its OS/2 and head tables, at the game's 24-pixel size. The line box
  // is the one a desktop font engine reports (the Windows ascent and descent), so the page
  // draws its text boxes as the desktop game does.
  function faceMetricsOf(buffer) {
    const view = new DataView(buffer);
    const tables = {};
    for (let i = 0, count = view.getUint16(4); i < count; ++i) {
      const record = 12 + 16 * i;
      const tag = String.fromCharCode(...new Uint8Array(buffer, record, 4));
      tables[tag] = view.getUint32(record + 8);
    }
    const unitsPerEm = view.getUint16(tables['head'] + 18);
    const os2 = tables['OS/2'];
    const pixels = (units) => Math.round(units * CHARACTER_HEIGHT / unitsPerEm);
    return {
      lineAscent: pixels(view.getUint16(os2 + 74)),
      lineDescent: pixels(view.getUint16(os2 + 76)),
      typoAscender: view.getInt16(os2 + 68),
      typoDescender: view.getInt16(os2 + 70),
      unitsPerEm,
    };
  }

  async function loadFont(file, family, index) {
    const response = await fetch(file);
    if (!response.ok) throw new Error(`${file}: ${response.status}`);
    const buffer = await response.arrayBuffer();
    faces[index] = faceMetricsOf(buffer);
    const face = new FontFace(family, buffer, {weight: index === 0 ? '700' : '400'});
    document.fonts.add(await face.load());
  }

  // Bold throughout, as the game asks; the Mincho face has no bold and is emboldened.
  function cssFont(font) {
    return `bold ${CHARACTER_HEIGHT}px "${FONT_FAMILIES[font]}", "${FONT_FAMILIES[1 - font]}"`;
  }

  // ---- Sound: Web Audio may start only after the player's first key or click.

  const sound = {files: new Map(), buffers: new Map(), audio: null, playing: null};

  function decodeSound(name, bytes) {
    sound.audio.decodeAudioData(bytes.slice(0))
        .then((buffer) => sound.buffers.set(name, buffer))
        .catch((e) => console.warn(`The sound ${name} could not be decoded: ${e.message}`));
  }

  function startAudio() {
    if (sound.audio || !window.AudioContext) return;
    sound.audio = new AudioContext();
    for (const [name, bytes] of sound.files) decodeSound(name, bytes);
  }
  for (const type of ['keydown', 'pointerdown']) {
    window.addEventListener(type, startAudio, {capture: true, passive: true});
  }

  // ---- The menu bar, built from the game's own menu data.

  // "スタート(&S)" shows as スタート(S) with the S underlined.
  function mnemonicLabel(text) {
    const span = document.createElement('span');
    const at = text.indexOf('&');
    if (at < 0 || at + 1 >= text.length) {
      span.textContent = text;
      return {span, key: ''};
    }
    const underlined = document.createElement('u');
    underlined.textContent = text[at + 1];
    span.append(text.slice(0, at), underlined, text.slice(at + 2));
    return {span, key: text[at + 1].toLowerCase()};
  }

  const menu = {popups: [], open: null, active: -1};

  function closeMenu() {
    if (menu.open) menu.open.element.classList.remove('open');
    menu.open = null;
    setActive(-1);
    keys.focus({preventScroll: true});
  }

  function openMenu(popup) {
    if (menu.open) menu.open.element.classList.remove('open');
    menu.open = popup;
    popup.element.classList.add('open');
    setActive(-1);
  }

  function setActive(index) {
    if (menu.open) {
      menu.open.items.forEach((item, i) => item.element.classList.toggle('active', i === index));
    }
    menu.active = index;
  }

  function choose(item) {
    if (item.element.getAttribute('aria-disabled') === 'true') return;
    closeMenu();
    if (game) game._volarin_command(item.id);
  }

  function buildMenu(popups) {
    menubar.replaceChildren();
    menu.popups = popups.map((popup) => {
      const element = document.createElement('div');
      element.className = 'popup';
      const button = document.createElement('button');
      button.type = 'button';
      button.tabIndex = -1;
      const label = mnemonicLabel(popup.text);
      button.append(label.span);
      const list = document.createElement('ul');
      list.className = 'items';
      list.setAttribute('role', 'menu');
      const entry = {element, key: label.key, items: []};
      for (const item of popup.items) {
        const li = document.createElement('li');
        if (item.id === 0) {
          li.className = 'separator';
          li.setAttribute('role', 'separator');
          list.append(li);
          continue;
        }
        const itemLabel = mnemonicLabel(item.text);
        li.className = 'item';
        li.setAttribute('role', 'menuitemcheckbox');
        li.dataset.command = item.id;
        li.append(itemLabel.span);
        if (item.keys) {
          const keysSpan = document.createElement('span');
          keysSpan.className = 'keys';
          keysSpan.textContent = item.keys;
          li.append(keysSpan);
        }
        const itemEntry = {element: li, id: item.id, key: itemLabel.key};
        li.addEventListener('click', () => choose(itemEntry));
        li.addEventListener('pointerenter',
                            () => setActive(entry.items.indexOf(itemEntry)));
        entry.items.push(itemEntry);
        menuItems.set(item.id, li);
        list.append(li);
      }
      button.addEventListener('click', () => (menu.open === entry ? closeMenu() : openMenu(entry)));
      button.addEventListener('pointerenter', () => {
        if (menu.open && menu.open !== entry) openMenu(entry);
      });
      element.append(button, list);
      menubar.append(element);
      return entry;
    });
  }

  // Nothing in the menu bar ever takes the focus: it stays with the key sink.
  menubar.addEventListener('mousedown', (event) => event.preventDefault());
  document.addEventListener('pointerdown', (event) => {
    if (menu.open && !menubar.contains(event.target)) closeMenu();
  });

  // While a menu is open it has the keys it understands, as a desktop menu does; Alt with a
  // menu's letter opens it. Everything else, and everything once it is closed, is the game's.
  function menuKey(event) {
    if (!menu.open) {
      if (!event.altKey || event.ctrlKey || event.metaKey) return false;
      const popup = menu.popups.find((p) => p.key === event.key.toLowerCase());
      if (popup) openMenu(popup);
      return Boolean(popup);
    }
    const items = menu.open.items;
    const index = menu.popups.indexOf(menu.open);
    const step = (delta) => menu.popups[(index + delta + menu.popups.length) % menu.popups.length];
    switch (event.key) {
      case 'Escape': closeMenu(); return true;
      case 'ArrowLeft': openMenu(step(-1)); return true;
      case 'ArrowRight': openMenu(step(1)); return true;
      case 'ArrowDown': setActive((menu.active + 1) % items.length); return true;
      case 'ArrowUp': setActive((menu.active - 1 + items.length) % items.length); return true;
      case 'Enter':
        if (menu.active >= 0) choose(items[menu.active]);
        return true;
    }
    const item = items.find((i) => i.key && i.key === event.key.toLowerCase());
    if (item && !event.ctrlKey) {
      choose(item);
      return true;
    }
    return false;
  }

  // Runs before the game's own key handler, which listens on the window.
  document.addEventListener('keydown', (event) => {
    // A key that an input method is composing with belongs to the composition.
    if (event.isComposing || event.keyCode === 229 || menuKey(event)) {
      if (!event.isComposing && event.keyCode !== 229) event.preventDefault();
      event.stopPropagation();
    }
  }, {capture: true});

  // ---- Text from an input method: committed text counts, one character at a time.

  let lastCommit = {text: '', time: -1};
  keys.addEventListener('compositionend', (event) => {
    typeText(event.data);
    lastCommit = {text: event.data, time: event.timeStamp};
    keys.value = '';
  });
  // Text inserted without key events (an on-screen keyboard); a browser that reports the
  // commit a second time as input right after the composition is not counted twice.
  keys.addEventListener('input', (event) => {
    const repeat = event.data === lastCommit.text && event.timeStamp - lastCommit.time < 100;
    if (!event.isComposing && event.inputType === 'insertText' && event.data && !repeat) {
      typeText(event.data);
    }
    if (!event.isComposing) keys.value = '';
  });
  function typeText(text) {
    if (!game || !text) return;
    for (const character of text) game._volarin_type(character.codePointAt(0));
  }
  field.addEventListener('pointerdown', () => keys.focus({preventScroll: true}));
  window.addEventListener('focus', () => keys.focus({preventScroll: true}));

  // ---- The line under the field: what a newcomer needs first, in the browser's language.

  const HINTS = {
    en: 'Type the falling characters · F2 start · F3 pause · F1 help',
    ja: '落ちてくる文字を打とう · F2 スタート · F3 一時停止 · F1 ヘルプ',
  };
  const hint = document.getElementById('hint');
  hint.lang = /^ja\b/i.test(navigator.language || '') ? 'ja' : 'en';
  hint.textContent = HINTS[hint.lang];

  // ---- The field: the page's free area, in game pixels at a whole-number scale. The page's
  // flex layout gives the field what the menu bar above and the line below leave, so its
  // client size is already the space the picture may take.

  function fieldSize() {
    const ratio = window.devicePixelRatio || 1;
    scale = Math.max(1, Math.floor(ratio));
    return [Math.floor(field.clientWidth * ratio / scale),
            Math.floor(field.clientHeight * ratio / scale)];
  }

  let lastSize = '';
  function followPageSize() {
    const size = fieldSize();
    if (!game || String(size) === lastSize) return;
    lastSize = String(size);
    game._volarin_resize(size[0], size[1]);
  }
  window.addEventListener('resize', followPageSize);

  window.addEventListener('pagehide', () => {
    if (game) game._volarin_page_closed();
  });

  document.getElementById('restart').addEventListener('click', () => location.reload());

  // ---- Kept files (the settings) in local storage: a file's bytes are kept as the characters
  // of the same numbers, so any byte survives. Storage can be switched off or full, and then
  // throws: that is a failed read or save, never an uncaught error.

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

  // The file's first `limit` bytes, or null when there is none.
  function readStored(name, limit) {
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

  // A refused save while the game goes on (the page was hidden) gets a notice, which the
  // next kept save takes away; at Exit the closing dialog says it instead.
  function store(name, bytes) {
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

  // ---- Replays: a recording opened as a file (the button or dropped on the page) or given in
  // the address as #replay= and the recording compressed with deflate-raw, in base64url.

  const LONGEST_RECORDING = 64 << 20;  // as the viewer: anything longer is not a recording
  const verdict = document.getElementById('replay-verdict');
  const openButton = document.getElementById('open-recording');
  const recordingFile = document.getElementById('recording-file');
  const OPEN_LABELS = {en: 'Replay a recording…', ja: '記録を再生…'};
  openButton.textContent = OPEN_LABELS[hint.lang];
  let gameReady = false;
  let pendingReplay = null;  // bytes waiting for the game, or -1 for a link not decoded
  let replayBytes = new Uint8Array(0);

  function playRecording(bytes) {
    pendingReplay = bytes;
    if (!gameReady) return;
    verdict.textContent = '';
    verdict.hidden = true;
    replayBytes = bytes === -1 ? new Uint8Array(0) : bytes;
    pendingReplay = null;
    game._volarin_replay(bytes === -1 ? -1 : bytes.length);
    replayBytes = new Uint8Array(0);
    keys.focus({preventScroll: true});
  }

  // Reads at most one byte more than a recording may hold, so a huge stream is not read whole.
  async function readCapped(stream) {
    const reader = stream.getReader();
    const chunks = [];
    let length = 0;
    while (length <= LONGEST_RECORDING) {
      const {done, value} = await reader.read();
      if (done) break;
      chunks.push(value);
      length += value.length;
    }
    reader.cancel().catch(() => {});
    const bytes = new Uint8Array(Math.min(length, LONGEST_RECORDING + 1));
    let at = 0;
    for (const chunk of chunks) {
      bytes.set(chunk.subarray(0, bytes.length - at), at);
      at += Math.min(chunk.length, bytes.length - at);
    }
    return bytes;
  }

  async function decodeReplayLink(encoded) {
    const base64 = encoded.replace(/-/g, '+').replace(/_/g, '/');
    const binary = atob(base64 + '='.repeat((4 - base64.length % 4) % 4));
    const compressed = Uint8Array.from(binary, (c) => c.charCodeAt(0));
    const stream = new Blob([compressed]).stream()
        .pipeThrough(new DecompressionStream('deflate-raw'));
    return readCapped(stream);
  }

  function playLink() {
    const match = /^#replay=([A-Za-z0-9_-]*)$/.exec(location.hash);
    if (location.hash.startsWith('#replay=') && !match) {
      console.error('The #replay= link is not base64url');
      playRecording(-1);
      return;
    }
    if (!match) return;
    decodeReplayLink(match[1]).then(playRecording, (e) => {
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

  // ---- A kept game: its recording downloaded, and a link to it in the line under the field.
  // The link is the page's address, "#replay=" and the recording compressed (deflate-raw) in
  // base64url without padding.

  const LINK_LABELS = {
    en: ['Link to this game (copied to the clipboard): ', 'Link to this game (copy it): '],
    ja: ['このゲームへのリンク（コピーしました）：', 'このゲームへのリンク（コピーしてください）：'],
  };

  function download(name, bytes) {
    const anchor = document.createElement('a');
    anchor.href = URL.createObjectURL(new Blob([bytes], {type: 'text/plain'}));
    anchor.download = name;
    document.body.append(anchor);
    anchor.click();
    anchor.remove();
    setTimeout(() => URL.revokeObjectURL(anchor.href), 60000);
  }

  async function replayLink(bytes) {
    const compressed = new Blob([bytes]).stream().pipeThrough(new CompressionStream('deflate-raw'));
    const packed = new Uint8Array(await new Response(compressed).arrayBuffer());
    let binary = '';
    for (let i = 0; i < packed.length; i += 0x8000) {
      binary += String.fromCharCode(...packed.subarray(i, i + 0x8000));
    }
    const base64url = btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
    return `${location.href.split('#')[0]}#replay=${base64url}`;
  }

  // The clipboard may be refused (no permission, no focus); the label then asks for a copy
  // by hand from the field beside it.
  async function showGameLink(bytes) {
    const link = await replayLink(bytes);
    let copied = false;
    try {
      await navigator.clipboard.writeText(link);
      copied = true;
    } catch (e) {
      console.info('The link was not copied to the clipboard:', e.message);
    }
    const text = document.createElement('input');
    text.id = 'game-link';
    text.readOnly = true;
    text.value = link;
    text.addEventListener('focus', () => text.select());
    hint.replaceChildren(LINK_LABELS[hint.lang][copied ? 0 : 1], text);
    hint.dataset.copied = String(copied);
  }

  // ---- What the game calls.

  window.volarinPage = {
    gameReady() {
      gameReady = true;
      if (pendingReplay !== null) playRecording(pendingReplay);
    },

    replayBytes() {
      return replayBytes;
    },

    showVerdict(verified) {
      verdict.textContent = verified ? 'verified' : 'not verified';
      verdict.hidden = false;
    },

    fieldSize() {
      const size = fieldSize();
      lastSize = String(size);
      return size;
    },

    resizeCanvas(width, height) {
      picture.width = width;
      picture.height = height;
      const ratio = window.devicePixelRatio || 1;
      picture.style.width = `${width * scale / ratio}px`;
      picture.style.height = `${height * scale / ratio}px`;
    },

    showPicture(heap, pixels, width, height, left, top, w, h) {
      if (width === 0 || height === 0) return;
      const data = new Uint8ClampedArray(heap.buffer, pixels, width * height * 4);
      context.putImageData(new ImageData(data, width, height), 0, 0, left, top, w, h);
      if (window.volarinFirstFrame === undefined) {
        window.volarinFirstFrame = performance.now();
        document.getElementById('loading').remove();
      }
    },

    buildMenu,
    readStored,
    store,

    keepGame(name, bytes) {
      download(name, bytes);
      showGameLink(bytes).catch((e) => console.warn('No link to the game:', e.message));
    },

    setMenuItem(id, checked, greyed) {
      const li = menuItems.get(id);
      if (!li) return;
      li.setAttribute('aria-checked', String(checked));
      li.setAttribute('aria-disabled', String(greyed));
    },

    showEnded() {
      closeMenu();
      notice.hidden = true;
      if (refusal) {
        document.getElementById('kept').textContent =
            `最高得点と設定をこのブラウザーに保存できませんでした。${refusal}`;
      }
      document.getElementById('ended').hidden = false;
      document.getElementById('restart').focus();
    },

    // The game names its effects' files as it starts; one that arrives after the audio has
    // started is decoded at once.
    loadSound(name) {
      fetch(`sounds/${name}`)
          .then((response) => {
            if (!response.ok) throw new Error(`status ${response.status}`);
            return response.arrayBuffer();
          })
          .then((bytes) => {
            sound.files.set(name, bytes);
            if (sound.audio) decodeSound(name, bytes);
          })
          .catch((e) => console.warn(`The sound ${name} could not be loaded: ${e.message}`));
    },

    play(name) {
      const buffer = sound.buffers.get(name);
      if (!sound.audio || !buffer) return;
      if (sound.playing) sound.playing.stop();
      const source = sound.audio.createBufferSource();
      source.buffer = buffer;
      source.connect(sound.audio.destination);
      source.onended = () => {
        if (sound.playing === source) sound.playing = null;
      };
      source.start();
      sound.playing = source;
    },

    glyphAdvance(font, code) {
      scratch.font = cssFont(font);
      return Math.round(scratch.measureText(String.fromCodePoint(code)).width);
    },

    // Drawn in white on a clear scratch canvas, so each pixel's alpha is its coverage.
    glyphCoverage(font, code, width, height, penX, baseline, out) {
      const canvas = scratch.canvas;
      if (canvas.width < width) canvas.width = width;
      if (canvas.height < height) canvas.height = height;
      scratch.clearRect(0, 0, canvas.width, canvas.height);
      scratch.font = cssFont(font);
      scratch.fillStyle = '#fff';
      scratch.textBaseline = 'alphabetic';
      scratch.fillText(String.fromCodePoint(code), penX, baseline);
      const rgba = scratch.getImageData(0, 0, width, height).data;
      for (let i = 0; i < width * height; ++i) out[i] = rgba[4 * i + 3];
    },

    faceMetrics(font) {
      return faces[font];
    },
  };

  // ---- Start: fonts first (the glyph cells are rendered at start-up), then the game.

  async function start() {
    await Promise.all(FONT_FILES.map((file, i) => loadFont(file, FONT_FAMILIES[i], i)));
    window.Module = {
      print: (text) => console.log(text),
      printErr: (text) => console.warn(text),
      onAbort: (what) => console.error(`The game stopped: ${what}`),
      onRuntimeInitialized() {
        game = window.Module;
      },
    };
    const script = document.createElement('script');
    script.src = 'volarin.js';
    script.onerror = () => console.error('volarin.js could not be loaded');
    document.body.append(script);
    keys.focus({preventScroll: true});
  }

  start().catch((e) => console.error(`The game could not start: ${e.message}`));
})();
