// The menu bar, built from the game's own menu data as a WAI-ARIA menubar: menu titles that
// open their menus, then commands, check items and the levels' radio items, with the mouse and
// the keys a desktop menu answers; and the keys that never reach the game: an open menu's, a
// focused page control's and an input method's.
import {focusKeys, game} from './game.js';

const ROLES = ['menuitem', 'menuitemcheckbox', 'menuitemradio'];  // by the item's kind
const menubar = document.getElementById('menubar');
// The open menu and its focused item; `backToTitle` when it was opened from its focused title,
// where Escape then returns, rather than to the field.
const menu = {popups: [], open: null, active: -1, backToTitle: false};

// "スタート(&S)" shows as スタート(S) with the S underlined.
function mnemonicLabel(text) {
  const at = text.indexOf('&');
  if (at < 0 || at + 1 >= text.length) return {span: element('span', {textContent: text}), key: ''};
  const span = element('span');
  span.append(text.slice(0, at), element('u', {textContent: text[at + 1]}), text.slice(at + 2));
  return {span, key: text[at + 1].toLowerCase()};
}

// One title of the menu bar is in the Tab order: the last one used.
function focusTitle(popup, focus = true) {
  for (const p of menu.popups) p.title.tabIndex = p === popup ? 0 : -1;
  if (focus) popup.title.focus({preventScroll: true});
}

function setActive(index) {
  menu.active = index;
  menu.open?.items.forEach((item, i) => item.element.classList.toggle('active', i === index));
  if (index >= 0) menu.open.items[index].element.focus({preventScroll: true});
}

function show(popup, open) {
  popup.element.classList.toggle('open', open);
  popup.title.setAttribute('aria-expanded', String(open));
}

// `item` is the index of the item to focus, or -1 for none (a menu the mouse opened).
function openMenu(popup, item = -1) {
  const hadFocus = menubar.contains(document.activeElement);
  if (menu.open) show(menu.open, false);
  menu.open = popup;
  show(popup, true);
  setActive(item);
  focusTitle(popup, item < 0 && hadFocus);
}

// Back to the field, or to the menu's title when it was opened from there.
export function closeMenu(toTitle = false) {
  const popup = menu.open;
  if (popup) show(popup, false);
  menu.open = null;
  setActive(-1);
  if (toTitle && popup) {
    focusTitle(popup);
  } else {
    focusKeys();
  }
}

function choose(item) {
  if (item.element.getAttribute('aria-disabled') === 'true') return;
  closeMenu();
  if (game) game._volarin_command(item.id);
}

// An element with these properties and attributes.
export function element(tag, properties, attributes = {}) {
  const made = Object.assign(document.createElement(tag), properties);
  for (const [name, value] of Object.entries(attributes)) made.setAttribute(name, value);
  return made;
}

// The game makes the menu bar anew, a menu at a time, each followed by its items.
export function clearMenu() {
  closeMenu();
  menubar.replaceChildren();
  menu.popups = [];
}

export function addMenu(text) {
  const index = menu.popups.length;
  const title = element('button', {type: 'button', id: `menu-title-${index}`, tabIndex: -1},
      {'role': 'menuitem', 'aria-haspopup': 'menu', 'aria-expanded': 'false'});
  if (index === 0) title.tabIndex = 0;  // the bar's first stop for Tab
  const label = mnemonicLabel(text);
  title.append(label.span);
  const list = element('ul', {className: 'items'}, {'role': 'menu', 'aria-labelledby': title.id});
  const popup = {element: element('div', {className: 'popup'}), title, list, key: label.key,
    items: []};
  title.addEventListener('click', () => {
    menu.backToTitle = false;
    if (menu.open === popup) {
      closeMenu();
    } else {
      openMenu(popup);
    }
  });
  title.addEventListener('pointerenter', () => {
    if (menu.open && menu.open !== popup) openMenu(popup);
  });
  popup.element.append(title, list);
  menubar.append(popup.element);
  menu.popups.push(popup);
}

// Into the last menu: a separator has id 0; `kind` is 0 for a command, 1 for a check item and
// 2 for one of the levels' radio items.
export function addMenuItem(text, id, keys, kind) {
  const popup = menu.popups.at(-1);
  if (id === 0) {
    popup.list.append(element('li', {className: 'separator'}, {role: 'separator'}));
    return;
  }
  const label = mnemonicLabel(text);
  const li = element('li', {className: 'item', tabIndex: -1},
      {'role': ROLES[kind], 'data-command': id});
  li.append(label.span);
  if (keys) {
    // The key is shown; the item's name is its text alone.
    li.append(element('span', {className: 'keys', textContent: keys}, {'aria-hidden': 'true'}));
    li.setAttribute('aria-keyshortcuts', keys);
  }
  popup.list.append(li);
  const entry = {element: li, id, key: label.key};
  li.addEventListener('click', () => choose(entry));
  li.addEventListener('pointerenter', () => setActive(popup.items.indexOf(entry)));
  popup.items.push(entry);
}

// A command carries no check mark; a check or radio item says whether it is on.
export function setMenuItem(id, checked, greyed) {
  const li = menubar.querySelector(`li[data-command="${id}"]`);
  if (!li) return;
  if (li.getAttribute('role') !== 'menuitem') li.setAttribute('aria-checked', String(checked));
  li.setAttribute('aria-disabled', String(greyed));
}

// The mouse leaves the focus where it is: with the key sink, as a desktop menu leaves it.
menubar.addEventListener('mousedown', (event) => event.preventDefault());
document.addEventListener('pointerdown', (event) => {
  if (menu.open && !menubar.contains(event.target)) closeMenu();
});

const plain = (event) => !event.altKey && !event.ctrlKey && !event.metaKey;

// The keys of an open menu, as a desktop menu has them.
function openMenuKey(event) {
  const items = menu.open.items;
  const index = menu.popups.indexOf(menu.open);
  const step = (delta) => menu.popups[(index + delta + menu.popups.length) % menu.popups.length];
  switch (event.key) {
    case 'Escape': closeMenu(menu.backToTitle); return true;
    case 'ArrowLeft': openMenu(step(-1), 0); return true;
    case 'ArrowRight': openMenu(step(1), 0); return true;
    case 'ArrowDown': setActive((menu.active + 1) % items.length); return true;
    case 'ArrowUp': setActive((menu.active - 1 + items.length) % items.length); return true;
    case 'Home': setActive(0); return true;
    case 'End': setActive(items.length - 1); return true;
    case 'Enter':
      if (menu.active >= 0) choose(items[menu.active]);
      return true;
    case ' ':
      if (menu.active < 0) return false;
      choose(items[menu.active]);
      return true;
  }
  const item = items.find((i) => i.key && i.key === event.key.toLowerCase());
  if (item && !event.ctrlKey) {
    choose(item);
    return true;
  }
  return false;
}

// Opens `popup` from the keyboard: Escape then goes back to its title when it was opened from
// there, else to the field.
function openByKey(popup, item, fromTitle) {
  menu.backToTitle = fromTitle;
  openMenu(popup, item);
  return true;
}

// The keys of a focused title: the arrows go along the bar, and Enter, the space bar, the
// down arrow or a menu's letter open a menu; Escape goes back to the field.
function titleKey(event, index) {
  const popups = menu.popups;
  const open = (popup, item) => openByKey(popup, item, true);
  switch (event.key) {
    case 'ArrowLeft': focusTitle(popups[(index - 1 + popups.length) % popups.length]); return true;
    case 'ArrowRight': focusTitle(popups[(index + 1) % popups.length]); return true;
    case 'Home': focusTitle(popups[0]); return true;
    case 'End': focusTitle(popups[popups.length - 1]); return true;
    case 'Enter': case ' ': case 'ArrowDown': return open(popups[index], 0);
    case 'ArrowUp': return open(popups[index], popups[index].items.length - 1);
    case 'Escape': focusKeys(); return true;
  }
  const popup = popups.find((p) => p.key === event.key.toLowerCase());
  return popup && !event.ctrlKey && !event.metaKey ? open(popup, 0) : false;
}

// Alt with a menu's letter opens it from anywhere, and F10 goes to the menu bar, as on the
// desktop. Everything else, and everything once a menu is closed, is the game's.
function menuKey(event) {
  if (menu.open) return openMenuKey(event);
  const title = menu.popups.findIndex((p) => p.title === document.activeElement);
  if (title >= 0) return titleKey(event, title);
  if (event.key === 'F10' && plain(event) && !event.shiftKey && menu.popups.length > 0) {
    focusTitle(menu.popups[0]);
    return true;
  }
  if (!event.altKey || event.ctrlKey || event.metaKey) return false;
  const popup = menu.popups.find((p) => p.key === event.key.toLowerCase());
  return popup ? openByKey(popup, 0, false) : false;
}

// A focused page control (a menu's title or item, a button, the link) other than the field's
// key sink keeps the keys that move the focus on or press it; Tab leaves an open menu from
// its title, on to the controls after the menu bar.
function controlKey(event) {
  const focused = document.activeElement;
  if (!focused || focused === document.body || focused.id === 'keys') return false;
  if (!['Tab', 'Enter', ' '].includes(event.key)) return false;
  if (event.key === 'Tab' && menu.open) closeMenu(true);
  return true;
}

// Runs before the game's own key handler, which listens on the window.
document.addEventListener('keydown', (event) => {
  // A key that an input method is composing with belongs to the composition.
  const composing = event.isComposing || event.keyCode === 229;
  if (composing || menuKey(event)) {
    if (!composing) event.preventDefault();
    event.stopPropagation();
  } else if (controlKey(event)) {
    event.stopPropagation();
  }
}, {capture: true});
