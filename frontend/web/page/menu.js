// The menu bar, built from the game's own menu data, with the mouse and the keys a desktop menu
// answers; and the keys that never reach the game: an open menu's and an input method's.
import {focusKeys, game} from './game.js';

const menubar = document.getElementById('menubar');
const menuItems = new Map();  // command id -> <li>
const menu = {popups: [], open: null, active: -1};

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

function setActive(index) {
  menu.open?.items.forEach((item, i) => item.element.classList.toggle('active', i === index));
  menu.active = index;
}

function openMenu(popup) {
  menu.open?.element.classList.remove('open');
  menu.open = popup;
  popup.element.classList.add('open');
  setActive(-1);
}

export function closeMenu() {
  menu.open?.element.classList.remove('open');
  menu.open = null;
  setActive(-1);
  focusKeys();
}

function choose(item) {
  if (item.element.getAttribute('aria-disabled') === 'true') return;
  closeMenu();
  if (game) game._volarin_command(item.id);
}

function menuItem(item, popup, list) {
  const li = document.createElement('li');
  list.append(li);
  if (item.id === 0) {
    li.className = 'separator';
    li.setAttribute('role', 'separator');
    return;
  }
  const label = mnemonicLabel(item.text);
  li.className = 'item';
  li.setAttribute('role', 'menuitemcheckbox');
  li.dataset.command = item.id;
  li.append(label.span);
  if (item.keys) {
    const keys = document.createElement('span');
    keys.className = 'keys';
    keys.textContent = item.keys;
    li.append(keys);
  }
  const entry = {element: li, id: item.id, key: label.key};
  li.addEventListener('click', () => choose(entry));
  li.addEventListener('pointerenter', () => setActive(popup.items.indexOf(entry)));
  popup.items.push(entry);
  menuItems.set(item.id, li);
}

export function buildMenu(popups) {
  closeMenu();
  menubar.replaceChildren();
  menuItems.clear();
  menu.popups = popups.map((data) => {
    const element = document.createElement('div');
    element.className = 'popup';
    const button = document.createElement('button');
    button.type = 'button';
    button.tabIndex = -1;
    const label = mnemonicLabel(data.text);
    button.append(label.span);
    const list = document.createElement('ul');
    list.className = 'items';
    list.setAttribute('role', 'menu');
    const popup = {element, key: label.key, items: []};
    for (const item of data.items) menuItem(item, popup, list);
    button.addEventListener('click', () => (menu.open === popup ? closeMenu() : openMenu(popup)));
    button.addEventListener('pointerenter', () => {
      if (menu.open && menu.open !== popup) openMenu(popup);
    });
    element.append(button, list);
    menubar.append(element);
    return popup;
  });
}

export function setMenuItem(id, checked, greyed) {
  const li = menuItems.get(id);
  if (!li) return;
  li.setAttribute('aria-checked', String(checked));
  li.setAttribute('aria-disabled', String(greyed));
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
  const composing = event.isComposing || event.keyCode === 229;
  if (composing || menuKey(event)) {
    if (!composing) event.preventDefault();
    event.stopPropagation();
  }
}, {capture: true});
