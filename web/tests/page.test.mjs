// The page end to end in a real browser: the wire bytes it writes through a replaced
// navigator.serial, what it shows, and the files it reads and writes.
//   node --test web/tests/page.test.mjs   (the page built in build/web, or $VANTOR_WEB)
import { execFileSync } from 'node:child_process';
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtemp, readFile, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { launch, servePage } from './browser.mjs';
import { installFakeSerial } from './fake_serial.mjs';

const pageDir = process.env.VANTOR_WEB ?? resolve(import.meta.dirname, '../../build/web');
const handshake = 'AA 05 01 00 BB';
const reads = ['AA 05 02 01 BB', 'AA 05 02 02 BB', 'AA 05 02 03 BB', 'AA 05 02 04 BB'];
const greetingAndReads = [handshake, 'AA 05 04 00 BB', ...reads];

let browser, server, url;
before(async () => {
  ({ server, url } = await servePage(pageDir));
  browser = await launch();
});
after(async () => {
  await browser?.close();
  server?.close();
});

// A fresh browser profile with the fake serial ports, the page loaded.
async function openPage({ serial = true } = {}) {
  const context = await browser.newContext({ acceptDownloads: true, serviceWorkers: 'block' });
  if (serial) await context.addInitScript(installFakeSerial);
  else await context.addInitScript(() => { delete Navigator.prototype.serial; });
  const page = await context.newPage();
  page.setDefaultTimeout(5000); // every wait here is for a few milliseconds of work
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.goto(url);
  return { page, errors, context };
}

const wire = (page) => page.evaluate(() => window.testSerial.wire.slice());
const clearWire = (page) => page.evaluate(() => { window.testSerial.wire.length = 0; });
const deviceSettings = (page) => page.evaluate(() => window.testSerial.device.settings.slice());
const status = (page) => page.locator('#status');
const statusText = async (page) => (await status(page).textContent()).replace(/\s+/g, ' ').trim();
const message = (page) => page.locator('#message');

async function waitText(locator, text) {
  await locator.filter({ hasText: text }).waitFor();
}

async function connect(page) {
  await page.getByRole('button', { name: 'Connect' }).click();
  await waitText(status(page), 'Saved');
}

describe('connecting', () => {
  test('Connect opens the chosen port at 115200 8N1 with DTR and RTS, greets and reads', async () => {
    const { page, errors, context } = await openPage();
    await connect(page);
    assert.deepEqual(await wire(page), greetingAndReads);
    const opens = await page.evaluate(() => window.testSerial.opens);
    assert.deepEqual(opens, [{ baudRate: 115200, dataBits: 8, stopBits: 1, parity: 'none', flowControl: 'none' }]);
    assert.deepEqual(await page.evaluate(() => window.testSerial.signals), [{ dataTerminalReady: true, requestToSend: true }]);
    assert.match(await status(page).textContent(), /Connected · Firmware: 1\.2 · Saved/);
    assert.equal(await page.getByRole('combobox', { name: 'Centre button key' }).inputValue(), 'F8');
    assert.equal(await page.getByRole('combobox', { name: 'Left button key' }).inputValue(), 'off');
    assert.equal(await page.getByRole('checkbox', { name: 'Left button on' }).isChecked(), false);
    assert.equal(await page.getByRole('checkbox', { name: 'Mute when not push-to-talk' }).isChecked(), false);
    assert.deepEqual(errors, []);
    await context.close();
  });

  test('a port granted before is opened by itself when the page loads', async () => {
    const context = await browser.newContext({ serviceWorkers: 'block' });
    await context.addInitScript(installFakeSerial);
    await context.addInitScript(() => { window.testSerial.granted.push(window.testSerial.port); });
    const page = await context.newPage();
    page.setDefaultTimeout(5000);
    await page.goto(url);
    await waitText(status(page), 'Connected');
    assert.deepEqual(await wire(page), greetingAndReads);
    await context.close();
  });

  test('a closed chooser is no error, a silent port and a port that will not open are explained', async () => {
    const { page, errors, context } = await openPage();
    await page.evaluate(() => { window.testSerial.chooser = 'cancel'; });
    await page.getByRole('button', { name: 'Connect' }).click();
    await page.waitForTimeout(0);
    assert.equal(await message(page).textContent(), '');
    assert.match(await status(page).textContent(), /Not connected/);

    await page.evaluate(() => { window.testSerial.chooser = 'port'; window.testSerial.failOpen = true; });
    await page.getByRole('button', { name: 'Connect' }).click();
    await waitText(message(page), 'dialout');
    assert.match(await message(page).textContent(), /Another program or browser tab/);
    assert.deepEqual(await wire(page), []);

    await page.evaluate(() => { window.testSerial.failOpen = false; window.testSerial.device.silent = true; });
    await page.getByRole('button', { name: 'Connect' }).click();
    await waitText(message(page), 'No microphone answered on that port');
    const sent = await wire(page);
    assert.ok(sent.length >= 4 && sent.every((frame) => frame === handshake), sent.join(', '));
    assert.match(await status(page).textContent(), /Not connected/);
    // The port was let go: it opens again.
    await page.evaluate(() => { window.testSerial.device.silent = false; });
    await connect(page);
    assert.deepEqual(errors, []);
    await context.close();
  });

  test('Connect while connected lets the port go first, so the same port opens again', async () => {
    const { page, errors, context } = await openPage();
    await connect(page);
    await clearWire(page);
    await page.getByRole('button', { name: 'Connect' }).click();
    await waitText(status(page), 'Connected');
    await waitText(status(page), 'Saved');
    assert.deepEqual(await wire(page), greetingAndReads);
    assert.equal(await page.evaluate(() => window.testSerial.opens.length), 2);
    assert.equal(await message(page).textContent(), '');
    assert.deepEqual(errors, []);
    await context.close();
  });

  test('a pulled microphone shows Not connected at once, and is found again when plugged in', async () => {
    const { page, errors, context } = await openPage();
    await connect(page);
    await page.evaluate(() => window.testSerial.unplug());
    await waitText(status(page), 'Not connected');
    assert.equal(await page.getByRole('combobox', { name: 'Centre button key' }).isDisabled(), true);
    assert.equal(await page.getByRole('button', { name: 'Save' }).isDisabled(), true);
    await clearWire(page);
    // A new port object, granted before, announced by a connect event.
    await page.evaluate(() => window.testSerial.plug({ granted: true, announce: true }));
    await waitText(status(page), 'Connected');
    assert.deepEqual(await wire(page), greetingAndReads);
    assert.deepEqual(errors, []);
    await context.close();
  });
});

describe('saving', () => {
  test('a key pressed in a field is saved: four writes, four reads, verified', async () => {
    const { page, errors, context } = await openPage();
    await connect(page);
    await clearWire(page);
    const left = page.getByRole('combobox', { name: 'Left button key' });
    await left.focus();
    await page.keyboard.press('F5');
    assert.equal(await left.inputValue(), 'F5');
    assert.equal(await page.getByRole('checkbox', { name: 'Left button on' }).isChecked(), true);
    await waitText(status(page), 'Not saved');
    await page.getByRole('button', { name: 'Save' }).click();
    await waitText(message(page), 'Saved and verified');
    assert.deepEqual(await wire(page), ['AA 06 03 01 41 BB', 'AA 06 03 02 3E BB', 'AA 06 03 03 FF BB', 'AA 06 03 04 00 BB', ...reads]);
    assert.deepEqual(await deviceSettings(page), [0x41, 0x3e, 0xff, 0x00]);
    assert.equal(await statusText(page), 'Connected · Firmware: 1.2 · Saved');

    // A second save after the first: a fresh greeting and read, then the write.
    await clearWire(page);
    await page.getByRole('combobox', { name: 'Right button key' }).selectOption('F2');
    assert.equal(await page.getByRole('checkbox', { name: 'Right button on' }).isChecked(), true);
    await page.getByRole('button', { name: 'Save' }).click();
    await waitText(message(page), 'Saved and verified');
    assert.deepEqual(await wire(page), [...greetingAndReads, 'AA 06 03 01 41 BB', 'AA 06 03 02 3E BB', 'AA 06 03 03 3B BB', 'AA 06 03 04 00 BB', ...reads]);
    assert.deepEqual(errors, []);
    await context.close();
  });

  test('a later save is judged on a fresh read: a value set meanwhile is not written again', async () => {
    const { page, errors, context } = await openPage();
    await connect(page);
    const centre = page.getByRole('combobox', { name: 'Centre button key' });
    await centre.selectOption('F3');
    await page.getByRole('button', { name: 'Save' }).click();
    await waitText(message(page), 'Saved and verified');
    // Another tool sets F4 on the microphone; the page, which shows F3, is asked for F4.
    await page.evaluate(() => { window.testSerial.device.settings[0] = 0x3d; });
    await clearWire(page);
    await centre.selectOption('F4');
    await page.getByRole('button', { name: 'Save' }).click();
    await waitText(message(page), 'Nothing changed');
    assert.deepEqual(await wire(page), greetingAndReads);
    assert.equal(await centre.inputValue(), 'F4');
    assert.equal(await page.getByRole('button', { name: 'Save' }).isDisabled(), false);
    assert.deepEqual(errors, []);
    await context.close();
  });

  test('a refused choice is marked and named, and nothing is written', async () => {
    const { page, context } = await openPage();
    await connect(page);
    await clearWire(page);
    await page.getByRole('checkbox', { name: 'Right button on' }).check();
    await page.getByRole('combobox', { name: 'Right button key' }).selectOption('F8');
    await waitText(page.locator('#right-why'), 'F8 is already set for centre');
    assert.equal(await page.getByRole('combobox', { name: 'Right button key' }).getAttribute('aria-invalid'), 'true');
    await page.getByRole('button', { name: 'Save' }).click();
    await waitText(message(page), 'Not saved: right: F8 is already set for centre');
    assert.deepEqual(await wire(page), []);

    // Switched on without a key: the rule set says what is missing.
    await page.getByRole('combobox', { name: 'Right button key' }).selectOption('');
    await page.getByRole('button', { name: 'Save' }).click();
    await waitText(message(page), 'Not saved: right:');
    assert.deepEqual(await wire(page), []);
    await context.close();
  });

  test('with nothing changed, Save says so and writes nothing', async () => {
    const { page, context } = await openPage();
    await connect(page);
    await clearWire(page);
    await page.getByRole('checkbox', { name: 'Mute when not push-to-talk' }).check();
    await page.getByRole('checkbox', { name: 'Mute when not push-to-talk' }).uncheck();
    await page.getByRole('button', { name: 'Save' }).click();
    await waitText(message(page), 'Nothing changed');
    assert.deepEqual(await wire(page), []);
    await context.close();
  });

  test('a microphone that keeps its old values: each difference is named', async () => {
    const { page, context } = await openPage();
    await connect(page);
    await page.evaluate(() => { window.testSerial.device.ignoreWrites = true; });
    await page.getByRole('combobox', { name: 'Centre button key' }).selectOption('F3');
    await page.getByRole('checkbox', { name: 'Mute when not push-to-talk' }).check();
    await page.getByRole('button', { name: 'Save' }).click();
    await waitText(message(page), 'kept other values');
    assert.match(await message(page).textContent(), /centre: wrote F3, read back F8; mute: wrote on, read back off/);
    assert.match(await status(page).textContent(), /Not saved/);
    await context.close();
  });

  test('pulled during a save: the failure says which writes went out', async () => {
    const { page, errors, context } = await openPage();
    await connect(page);
    // The writes go out, no read-back comes, and then the cable is pulled.
    await page.evaluate(() => { window.testSerial.device.silent = true; });
    await page.getByRole('combobox', { name: 'Centre button key' }).selectOption('F3');
    await page.getByRole('button', { name: 'Save' }).click();
    await waitText(message(page), 'Saving…');
    await page.evaluate(() => window.testSerial.unplug());
    await waitText(message(page), 'Saving failed');
    assert.match(await message(page).textContent(), /write frames for centre, left, right and mute had been sent/);
    await waitText(status(page), 'Not connected');
    assert.deepEqual(errors, []);
    await context.close();
  });
  test('a write the port refuses ends the save and the connection, and says so', async () => {
    const { page, errors, context } = await openPage();
    await connect(page);
    await page.evaluate(() => { window.testSerial.failWrites = true; });
    await page.getByRole('combobox', { name: 'Centre button key' }).selectOption('F3');
    await page.getByRole('button', { name: 'Save' }).click();
    await waitText(message(page), 'Saving failed: the port failed while frames were being sent; no write frame was sent');
    await waitText(status(page), 'Not connected');
    assert.deepEqual(errors, []);
    await context.close();
  });
});

describe('backup and restore', () => {
  test('Back up downloads the format-1 document; Restore checks a file, then writes and verifies', async () => {
    const { page, context } = await openPage();
    await connect(page);
    const download = page.waitForEvent('download');
    await page.getByRole('button', { name: 'Back up' }).click();
    const file = await (await download).path();
    assert.equal(await readFile(file, 'utf8'),
      '{"format": 1, "firmware": "1.2", "settings": {"centre": "F8", "left": "off", "right": "off", "mute": false}}\n');
    // The backup file vantor-mic's schema describes (this throws, with each violation, if not).
    const repository = resolve(import.meta.dirname, '../..');
    execFileSync('python3', [join(repository, 'tests/cli/validate-json'),
      join(repository, 'docs/vantor-mic.schema.json'), 'backupFile'], { input: await readFile(file) });

    const dir = await mkdtemp(join(tmpdir(), 'vantor-page-'));
    const bad = join(dir, 'bad.json');
    await writeFile(bad, '{"format": 1, "firmware": "1.2", "settings": {"centre": "off", "left": "off", "right": "off", "mute": false}}\n');
    await clearWire(page);
    await page.locator('#restore-file').setInputFiles(bad);
    await waitText(message(page), 'bad.json: settings.centre: the centre button cannot be switched off');
    assert.deepEqual(await wire(page), []);

    // A file as vantor-mic writes it.
    const good = join(dir, 'mic.json');
    await writeFile(good, '{"format": 1, "firmware": "1.0", "settings": {"centre": "F1", "left": "F2", "right": "off", "mute": true}}\n');
    await page.locator('#restore-file').setInputFiles(good);
    await waitText(message(page), 'Restored and verified');
    assert.deepEqual(await wire(page), ['AA 06 03 01 3A BB', 'AA 06 03 02 3B BB', 'AA 06 03 03 FF BB', 'AA 06 03 04 01 BB', ...reads]);
    assert.equal(await page.getByRole('combobox', { name: 'Centre button key' }).inputValue(), 'F1');
    assert.equal(await page.getByRole('checkbox', { name: 'Mute when not push-to-talk' }).isChecked(), true);
    await context.close();
  });
});

describe('the page itself', () => {
  test('a browser without Web Serial says so and names the browsers that have it', async () => {
    const { page, errors, context } = await openPage({ serial: false });
    const notice = page.locator('#unsupported');
    await notice.waitFor();
    assert.match(await notice.textContent(), /Chrome, Edge and Opera/);
    assert.equal(await page.getByRole('button', { name: 'Connect' }).isDisabled(), true);
    // The simulated microphone needs no port.
    await page.getByRole('button', { name: 'Try without a microphone' }).click();
    await waitText(status(page), 'Connected · Firmware: 1.2 · Saved');
    assert.deepEqual(errors, []);
    await context.close();
  });

  test('a page whose core does not load says so and offers nothing it cannot do', async () => {
    const context = await browser.newContext({ serviceWorkers: 'block' });
    await context.addInitScript(installFakeSerial);
    await context.route('**/vantor-core.wasm', (route) => route.abort());
    const page = await context.newPage();
    page.setDefaultTimeout(5000);
    await page.goto(url);
    await waitText(message(page), 'could not load its settings core');
    assert.equal(await page.getByRole('button', { name: 'Connect' }).isDisabled(), true);
    assert.equal(await page.getByRole('button', { name: 'Try without a microphone' }).isDisabled(), true);
    await context.close();
  });

  test('every control has its name in the accessibility tree, and the status line is announced', async () => {
    const { page, context } = await openPage();
    await connect(page);
    const controls = [
      ['combobox', 'Centre button key'], ['combobox', 'Left button key'], ['combobox', 'Right button key'],
      ['checkbox', 'Left button on'], ['checkbox', 'Right button on'], ['checkbox', 'Mute when not push-to-talk'],
      ['button', 'Save'], ['button', 'Back up'], ['button', 'Restore'], ['button', 'Connect'],
      ['button', 'Try without a microphone'],
    ];
    for (const [role, name] of controls)
      assert.equal(await page.getByRole(role, { name, exact: true }).count(), 1, `${role} "${name}"`);
    assert.equal(await page.getByRole('status').first().getAttribute('id'), 'status');
    // Everything is reached from the keyboard, in the page's order.
    await page.getByRole('button', { name: 'Connect' }).focus();
    const reached = ['connect'];
    for (let i = 0; i < 10; ++i) {
      await page.keyboard.press('Tab');
      reached.push(await page.evaluate(() => document.activeElement?.id));
    }
    assert.deepEqual(reached, ['connect', 'demo', 'left', 'left-on', 'centre', 'right', 'right-on', 'mute', 'save', 'backup', 'restore']);
    await context.close();
  });
});
