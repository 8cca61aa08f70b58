// The page's figures (docs/PERFORMANCE.md): the bytes it loads, and, over the tests'
// replaced navigator.serial in headless chromium, the time from Connect to "Connected" and
// from Save to the verified result, measured inside the page. Prints; never fails on a
// slow machine.
//   node web/tests/bench.mjs BUILT_PAGE [RUNS]
import { readdir, readFile } from 'node:fs/promises';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';
import { launch, servePage } from './browser.mjs';
import { installFakeSerial } from './fake_serial.mjs';

const [dir, runsText = '20'] = process.argv.slice(2);
const runs = Number(runsText);
const { server, url } = await servePage(dir);
const browser = await launch();

const stats = (all) => {
  const values = all.filter((v) => !Number.isNaN(v));
  if (values.length === 0) return `no run finished (${all.length} tried)`;
  const sorted = [...values].sort((a, b) => a - b);
  const at = (q) => sorted[Math.min(sorted.length - 1, Math.floor(q * sorted.length))];
  return `median ${at(0.5).toFixed(1)} ms, min ${sorted[0].toFixed(1)}, max ${sorted.at(-1).toFixed(1)} (${values.length} of ${all.length} runs finished)`;
};

// Clicks a button inside the page and waits there for the text, on the page's own clock.
const timed = (page, button, selector, text) =>
  page.evaluate(([button, selector, text]) => new Promise((done) => {
    const target = document.querySelector(selector);
    const start = performance.now();
    const observer = new MutationObserver(() => {
      if (target.textContent.includes(text)) {
        observer.disconnect();
        done(performance.now() - start);
      }
    });
    observer.observe(target, { subtree: true, childList: true, characterData: true });
    setTimeout(() => done(Number.NaN), 10000); // a run that never gets there is reported, not waited for
    document.getElementById(button).click();
  }), [button, selector, text]);

try {
  // Every file of the page: the first visit loads them all, since the worker keeps each
  // for offline use. As served, and as gzip would send them.
  let raw = 0, gzipped = 0;
  const lines = [];
  const files = (await readdir(dir)).sort();
  for (const name of files) {
    const body = await readFile(join(dir, name));
    raw += body.length;
    gzipped += gzipSync(body, { level: 9 }).length;
    lines.push(`  ${name.padEnd(22)} ${String(body.length).padStart(7)} bytes`);
  }
  console.log(`bytes loaded: ${raw} (${(raw / 1024).toFixed(1)} KiB), ${gzipped} gzipped, in ${files.length} files`);
  console.log(lines.join('\n'));

  const connect = [], save = [];
  for (let i = 0; i < runs; ++i) {
    const context = await browser.newContext({ serviceWorkers: 'block' });
    await context.addInitScript(installFakeSerial);
    const page = await context.newPage();
    await page.goto(url);
    await page.locator('#connect:not([disabled])').waitFor();
    connect.push(await timed(page, 'connect', '#status', 'Saved'));
    await page.selectOption('#centre', i % 2 ? 'F3' : 'F4');
    save.push(await timed(page, 'save', '#message', 'Saved and verified'));
    await context.close();
  }
  console.log(`Connect to "Connected" and the settings shown: ${stats(connect)}`);
  console.log(`Save to the verified result: ${stats(save)}`);
} finally {
  await browser.close();
  server.close();
}
