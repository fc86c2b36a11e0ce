// The field: the page's free area in game pixels at a whole-number scale, and the game's
// picture on its canvas. The page's flex layout gives the field what the menu bar above and
// the lines below leave, so its client size is already the space the picture may take.
import {game} from './game.js';

const field = document.getElementById('field');
const picture = document.getElementById('picture');
const context = picture.getContext('2d', {alpha: false});
let loading = document.getElementById('loading');  // shown until the first picture
let scale = 1;  // device pixels per game pixel
let lastSize = '';

function measure() {
  const ratio = window.devicePixelRatio || 1;
  scale = Math.max(1, Math.floor(ratio));
  return [Math.floor(field.clientWidth * ratio / scale),
          Math.floor(field.clientHeight * ratio / scale)];
}

// The window's size or zoom, or the lines around the field, changed.
function fieldChanged() {
  const size = measure();
  if (!game || String(size) === lastSize) return;
  lastSize = String(size);
  game._volarin_resize(size[0], size[1]);
}
window.addEventListener('resize', fieldChanged);
new ResizeObserver(fieldChanged).observe(field);

// What the game calls.
export const fieldCalls = {
  fieldSize() {
    const size = measure();
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
    loading?.remove();
    loading = null;
  },
};
