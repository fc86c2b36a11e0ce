// The two bundled faces: loaded and measured before the game starts (it renders its glyph cells
// at start-up), then each glyph measured and drawn for the game on a scratch canvas.
import {fetchFile} from './files.js';

const FACES = [
  {file: 'fonts/c059-bold-subset.otf', family: 'Volarin Text', weight: '700'},
  {file: 'fonts/volarin-mincho.ttf', family: 'Volarin Mincho', weight: '400'},
];
const CHARACTER_HEIGHT = 24;

const metrics = [];  // per face: its metrics from the font file
const scratch = document.createElement('canvas').getContext('2d', {willReadFrequently: true});

// A face's metrics from its OS/2 and head tables, at the game's 24-pixel size. The line box is
// the one a desktop font engine reports (the Windows ascent and descent), so the page draws its
// text boxes as the desktop game does.
function metricsOf(buffer) {
  const view = new DataView(buffer);
  const tables = {};
  for (let i = 0, count = view.getUint16(4); i < count; ++i) {
    const record = 12 + 16 * i;
    tables[String.fromCharCode(...new Uint8Array(buffer, record, 4))] =
        view.getUint32(record + 8);
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

async function loadFace({file, family, weight}, index) {
  const buffer = await fetchFile(file);
  metrics[index] = metricsOf(buffer);
  document.fonts.add(await new FontFace(family, buffer, {weight}).load());
}

export const loadFonts = () => Promise.all(FACES.map(loadFace));

// Bold throughout, as the game asks; the Mincho face has no bold and is emboldened.
function useFont(font) {
  scratch.font = `bold ${CHARACTER_HEIGHT}px "${FACES[font].family}", "${FACES[1 - font].family}"`;
}

// What the game calls.
export const glyphs = {
  glyphAdvance(font, code) {
    useFont(font);
    return Math.round(scratch.measureText(String.fromCodePoint(code)).width);
  },

  // Drawn in white on a clear scratch canvas, so each pixel's alpha is its coverage.
  glyphCoverage(font, code, width, height, penX, baseline, out) {
    const canvas = scratch.canvas;
    if (canvas.width < width) canvas.width = width;
    if (canvas.height < height) canvas.height = height;
    scratch.clearRect(0, 0, canvas.width, canvas.height);
    useFont(font);
    scratch.fillStyle = '#fff';
    scratch.textBaseline = 'alphabetic';
    scratch.fillText(String.fromCodePoint(code), penX, baseline);
    const rgba = scratch.getImageData(0, 0, width, height).data;
    for (let i = 0; i < width * height; ++i) out[i] = rgba[4 * i + 3];
  },

  faceMetrics(font) {
    return metrics[font];
  },
};
