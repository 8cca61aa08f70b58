// A served copy of the page as a user meets it: it loads without an error and without a
// request to another origin, runs on the simulated microphone, and after the first visit
// opens again with the network gone, from its service worker.
//   node web/tests/check-site.mjs DIR
import assert from 'node:assert/strict';
import { launch, servePage } from './browser.mjs';

const { server, url } = await servePage(process.argv[2]);
const browser = await launch();
try {
  const context = await browser.newContext();
  const page = await context.newPage();
  page.setDefaultTimeout(10000);
  const problems = [];
  page.on('pageerror', (error) => problems.push(`error: ${error.message}`));
  page.on('console', (m) => { if (m.type() === 'error') problems.push(`console: ${m.text()}`); });
  page.on('request', (request) => {
    if (!request.url().startsWith(url) && !request.url().startsWith('blob:')) problems.push(`request: ${request.url()}`);
  });
  await page.goto(url);
  await page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
  await page.getByRole('button', { name: 'Try without a microphone' }).click();
  await page.locator('#status', { hasText: 'Connected' }).waitFor();
  assert.deepEqual(problems, []);
  console.log('web page: loads, runs on the simulated microphone, no request to another origin');

  await context.setOffline(true);
  server.close();
  await page.reload();
  await page.getByRole('button', { name: 'Try without a microphone' }).click();
  await page.locator('#status', { hasText: 'Connected · Firmware: 1.2' }).waitFor();
  console.log('web page: opens again offline, from its service worker');
  await context.close();
} finally {
  await browser.close();
  server.close();
}
