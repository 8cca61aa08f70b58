// ./run demo-web: the page on the simulated microphone ("Try without a microphone", the
// page's own button). On a display the browser stays open until it is closed; without one
// the connected page is saved as a screenshot.
//   node web/tools/demo.mjs BUILT_PAGE OUTPUT_FOLDER
import { mkdir } from 'node:fs/promises';
import { join } from 'node:path';
import { chromium } from 'playwright-core';
import { chromiumPath } from '../tests/browser.mjs';
import { serve } from './serve.mjs';

const [dir, out] = process.argv.slice(2);
const server = await serve(dir, 8080).catch(() => serve(dir));
const url = `http://localhost:${server.address().port}/`;
const headless = !process.env.DISPLAY;
const browser = await chromium.launch({
  executablePath: chromiumPath,
  headless,
  args: process.getuid?.() === 0 ? ['--no-sandbox'] : [],
});
const page = await browser.newPage({ viewport: { width: 600, height: 720 } });
await page.goto(url);
await page.getByRole('button', { name: 'Try without a microphone' }).click();
await page.locator('#status', { hasText: 'Connected' }).waitFor();
if (headless) {
  await mkdir(out, { recursive: true });
  const file = join(out, 'connected.png');
  await page.screenshot({ path: file, fullPage: true });
  console.log(`no display: the connected page is in ${file}`);
  await browser.close();
  server.close();
} else {
  console.log(`the page is open on ${url}, on the simulated microphone; close the browser to end`);
  browser.on('disconnected', () => server.close());
}
