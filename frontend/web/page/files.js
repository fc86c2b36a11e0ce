// The build's files, which sit beside the page's modules, fetched whole; a failure names the
// file, for the reason the page shows.
export async function fetchFile(name) {
  let response = null;
  try {
    response = await fetch(new URL(name, import.meta.url));
  } catch {
    // The server cannot be reached; told below as a file not loaded.
  }
  if (!response?.ok) throw Object.assign(new Error(`${name} could not be loaded`), {file: name});
  return response.arrayBuffer();
}
