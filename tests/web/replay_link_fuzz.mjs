// Fuzzes the page's #replay= link decoder under node for a fixed number of inputs: links made
// from recordings (a normal session, one asking for the largest window, a flood of size
// changes), a link bomb, and mutations of their text and of their compressed bytes. Each must
// settle within a few seconds, as a recording of at most the longest size or as a rejection,
// never as a throw; a link made from any bytes decodes to them.
// Usage: node replay_link_fuzz.mjs PAGE_DIR RECORDING... [--runs N]
import assert from 'node:assert/strict';
import {readFileSync} from 'node:fs';
import {join} from 'node:path';
import {deflateRawSync} from 'node:zlib';

const args = process.argv.slice(2);
const runsAt = args.indexOf('--runs');
const runs = runsAt < 0 ? 3000 : Number(args.splice(runsAt, 2)[1]);
const [pageDir, ...recordings] = args;
// The page's module as it is, loaded from its text: it has no imports of its own.
const source = readFileSync(join(pageDir, 'replay_link.js'), 'utf8');
const link = await import(`data:text/javascript;base64,${Buffer.from(source).toString('base64')}`);

// A fixed sequence, so a failure is found again by the same run count.
let state = 0x5eed;
function random(n) {
  state = (state + 0x6d2b79f5) | 0;
  let t = Math.imul(state ^ (state >>> 15), 1 | state);
  t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
  return ((t ^ (t >>> 14)) >>> 0) % n;
}

const BASE64URL = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_';
const toLink = (bytes) => Buffer.from(deflateRawSync(bytes)).toString('base64url');
const seeds = recordings.map((path) => readFileSync(path));

function mutateText(text) {
  const at = random(text.length + 1);
  switch (random(4)) {
    case 0: return text.slice(0, at);
    case 1: return text.slice(0, at) + BASE64URL[random(64)] + text.slice(at);
    case 2: return text.slice(0, at) + text.slice(at + 1 + random(8));
    default: return text.slice(0, at) + BASE64URL[random(64)] + text.slice(at + 1);
  }
}

function mutateBytes(bytes) {
  const copy = Buffer.from(bytes);
  for (let i = random(4); i >= 0 && copy.length > 0; --i) copy[random(copy.length)] ^= 1 << random(8);
  return copy.toString('base64url');
}

// Settles as the page would see it: bytes, a rejection, or a throw (a fault).
async function decode(text) {
  let timer;
  const late = new Promise((resolve) => { timer = setTimeout(() => resolve('late'), 5000); });
  try {
    let pending;
    try {
      pending = link.decodeReplayLink(text);
    } catch (e) {
      return {thrown: e};
    }
    return await Promise.race([pending.then((bytes) => ({bytes}), (e) => ({rejected: e})), late]);
  } finally {
    clearTimeout(timer);
  }
}

async function check(text, what) {
  const result = await decode(text);
  assert.notEqual(result, 'late', `${what}: no answer within 5 s`);
  assert.equal(result.thrown, undefined, `${what}: threw ${result.thrown}`);
  if (result.bytes) {
    assert.ok(result.bytes instanceof Uint8Array, what);
    assert.ok(result.bytes.length <= link.LONGEST_RECORDING + 1, `${what}: ${result.bytes.length}`);
  }
  return result;
}

// The bomb: 80 MiB of one byte, 80 KB of link, read no further than the cap.
const bomb = await check(toLink(Buffer.alloc(80 << 20, 0x23)), 'the link bomb');
assert.equal(bomb.bytes.length, link.LONGEST_RECORDING + 1);

const links = seeds.map(toLink);
for (let i = 0; i < seeds.length; ++i) {
  assert.deepEqual(Buffer.from((await check(links[i], recordings[i])).bytes), seeds[i]);
}
let decoded = 0;
for (let run = 0; run < runs; ++run) {
  const seed = random(seeds.length);
  let text;
  switch (random(4)) {
    case 0: text = mutateText(links[seed]); break;
    case 1: text = mutateBytes(deflateRawSync(seeds[seed])); break;
    case 2: text = Array.from({length: random(64)}, () => BASE64URL[random(64)]).join(''); break;
    default: {
      // Any bytes make a link that decodes to them, through the page's own encoder.
      const bytes = Buffer.from(Array.from({length: random(300)}, () => random(256)));
      const made = await link.encodeReplayLink(bytes);
      assert.match(made, /^[A-Za-z0-9_-]*$/);
      assert.deepEqual(Buffer.from((await check(made, `run ${run}`)).bytes), bytes);
      text = made;
    }
  }
  assert.notEqual(link.linkText(`#replay=${text}`), null);
  if ((await check(text, `run ${run}: ${text.slice(0, 80)}`)).bytes) ++decoded;
}
console.log(`replay link decoder: ${runs} runs, ${decoded} decoded, none threw or hung`);
