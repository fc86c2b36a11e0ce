// The #replay= link's codec, apart from the page so it runs under node too: the recording
// compressed with deflate-raw, in base64url without padding, and read back capped at the
// longest recording, however the link was made.
export const LONGEST_RECORDING = 64 << 20;  // as the game: anything longer is not a recording

// Reads at most one byte more than a recording may hold, so a huge stream is not read whole.
export async function readCapped(stream) {
  const reader = stream.getReader();
  const chunks = [];
  for (let length = 0; length <= LONGEST_RECORDING;) {
    const {done, value} = await reader.read();
    if (done) break;
    chunks.push(value);
    length += value.length;
  }
  reader.cancel().catch(() => {});
  const capped = new Blob(chunks).slice(0, LONGEST_RECORDING + 1);
  return new Uint8Array(await capped.arrayBuffer());
}

// The link's text after "#replay=", or null when it is not base64url at all.
export function linkText(hash) {
  const match = /^#replay=([A-Za-z0-9_-]*)$/.exec(hash);
  return match ? match[1] : null;
}

// The recording's bytes; rejects when they cannot be decoded, never throws (atob does, on a
// length no base64 has). atob takes base64 without its padding.
export async function decodeReplayLink(encoded) {
  const binary = atob(encoded.replace(/-/g, '+').replace(/_/g, '/'));
  const compressed = Uint8Array.from(binary, (c) => c.charCodeAt(0));
  return readCapped(new Blob([compressed]).stream()
      .pipeThrough(new DecompressionStream('deflate-raw')));
}

// The text after "#replay=" for these bytes.
export async function encodeReplayLink(bytes) {
  const compressed = new Blob([bytes]).stream().pipeThrough(new CompressionStream('deflate-raw'));
  const packed = new Uint8Array(await new Response(compressed).arrayBuffer());
  let binary = '';
  for (let i = 0; i < packed.length; i += 0x8000) {
    binary += String.fromCharCode(...packed.subarray(i, i + 0x8000));
  }
  return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}
