// Measures the browser game in headless Chromium: load to first frame, and the browser's CPU
// use over 10 s of the demonstration. Prints one line each.
import {readFileSync, readdirSync} from 'node:fs';
import puppeteer from 'puppeteer-core';

const SECONDS = 10;
const TICKS_PER_JIFFY = 100;  // the kernel's clock ticks a second in /proc

// The CPU time of a process and all its descendants, in seconds.
function cpuSeconds(root) {
  const parents = new Map();
  const times = new Map();
  for (const name of readdirSync('/proc').filter((n) => /^\d+$/.test(n))) {
    try {
      const stat = readFileSync(`/proc/${name}/stat`, 'utf8');
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      parents.set(Number(name), Number(fields[1]));
      times.set(Number(name), (Number(fields[11]) + Number(fields[12])) / TICKS_PER_JIFFY);
    } catch {
      // The process ended while being looked at.
    }
  }
  const within = (pid) => pid === root || (parents.has(pid) && pid > 1 && within(parents.get(pid)));
  let total = 0;
  for (const [pid, seconds] of times) if (within(pid)) total += seconds;
  return total;
}

const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-gpu'],
});
try {
  const page = await browser.newPage();
  await page.setViewport({width: 640, height: 503});
  // The page takes its loading line away at the first picture; the time it goes is noted.
  await page.evaluateOnNewDocument(() => {
    new MutationObserver((changes, observer) => {
      const gone = changes.some((c) => [...c.removedNodes].some((n) => n.id === 'loading'));
      if (!gone) return;
      window.firstFrameAt = performance.now();
      observer.disconnect();
    }).observe(document, {childList: true, subtree: true});
  });
  await page.goto(process.env.VOLARIN_URL, {waitUntil: 'load'});
  await page.waitForFunction(() => window.firstFrameAt !== undefined, {timeout: 20000});
  const firstFrame = await page.evaluate(() => window.firstFrameAt);
  console.log(`load to first frame: ${firstFrame.toFixed(0)} ms`);
  await new Promise((resolve) => setTimeout(resolve, 1000));
  const time0 = await page.evaluate(() => performance.now());
  const cpu0 = cpuSeconds(browser.process().pid);
  await new Promise((resolve) => setTimeout(resolve, SECONDS * 1000));
  const time1 = await page.evaluate(() => performance.now());
  const cpu1 = cpuSeconds(browser.process().pid);
  const elapsed = (time1 - time0) / 1000;
  console.log(`browser CPU: ${((cpu1 - cpu0) / elapsed * 100).toFixed(1)} % of one core`);
} finally {
  await browser.close();
}
