// The page: the window's fields over the device core. What a key is called, what may be
// saved and what the microphone answered all come from the core; this file connects the
// controls, the port and the core's answers.
import { Core, type CoreEvent, type KeyTable, type Named, type SettingName, type Settings, type View } from './core.js';
import { DemoPort } from './demo_port.js';
import { Link } from './link.js';

const $ = <T extends HTMLElement>(id: string): T => document.getElementById(id) as T;

const keySettings: SettingName[] = ['centre', 'left', 'right'];
const field = (setting: SettingName): HTMLSelectElement => $(setting);
const onBox = (setting: SettingName): HTMLInputElement | null =>
  setting === 'left' || setting === 'right' ? $(`${setting}-on`) : null;
const mute = $<HTMLInputElement>('mute');
const buttons = {
  connect: $<HTMLButtonElement>('connect'),
  demo: $<HTMLButtonElement>('demo'),
  save: $<HTMLButtonElement>('save'),
  backup: $<HTMLButtonElement>('backup'),
  restore: $<HTMLButtonElement>('restore'),
};
const restoreFile = $<HTMLInputElement>('restore-file');

const kPortRemedies =
  'The port did not open. Another program or browser tab may be using it: close that, then ' +
  'choose Connect again. On Linux, serial ports belong to the dialout group: join it with ' +
  '"sudo usermod -aG dialout $USER", then log out and in again.';

class Page {
  private link: Link | null = null;
  private device: Settings | null = null; // what the microphone holds, as last read
  private firmware = '';
  private muteTouched = false;
  private busy: string | null = null; // what Save, Back up or Restore is doing

  constructor(
    private readonly core: Core,
    private readonly table: KeyTable,
  ) {}

  start(): void {
    this.fillLists();
    this.bind();
    this.showState('Not connected');
    const serial = navigator.serial;
    if (!serial || !window.isSecureContext) {
      this.unsupported(!window.isSecureContext);
      return;
    }
    serial.addEventListener('connect', (event) => void this.tryPorts([event.target as SerialPortLike]));
    serial.addEventListener('disconnect', (event) => {
      if (this.link && event.target === this.link.port) this.link.lost('the microphone was unplugged');
    });
    void serial.getPorts().then((ports) => this.tryPorts(ports));
  }

  private unsupported(insecure: boolean): void {
    const notice = $('unsupported');
    notice.textContent = insecure
      ? 'The browser offers serial ports only to pages from a secure address: open this page over ' +
        'https://, or from http://localhost.'
      : 'This browser cannot reach serial ports: the page needs Web Serial, which Chrome, Edge ' +
        'and Opera have on the desktop (version 89 and later), as do Chrome on Android and ' +
        'Firefox on the desktop from version 151. Safari does not have it. You can still try ' +
        'the page without a microphone.';
    notice.hidden = false;
    buttons.connect.disabled = true;
  }

  private fillLists(): void {
    for (const setting of keySettings) {
      const list = field(setting);
      const names = ['', ...this.table.keys, ...(onBox(setting) ? [this.table.off] : [])];
      for (const name of names) list.add(new Option(name === '' ? '–' : name, name));
    }
  }

  private bind(): void {
    buttons.connect.addEventListener('click', () => void this.choosePort());
    buttons.demo.addEventListener('click', () => void this.openPort(new DemoPort(this.core)));
    buttons.save.addEventListener('click', () => this.save(this.named(), 'Saving'));
    buttons.backup.addEventListener('click', () => this.backup());
    buttons.restore.addEventListener('click', () => restoreFile.click());
    restoreFile.addEventListener('change', () => void this.restore());
    for (const setting of keySettings) {
      const list = field(setting);
      list.addEventListener('keydown', (event) => this.keyPressed(setting, event));
      list.addEventListener('change', () => this.picked(setting));
      onBox(setting)?.addEventListener('change', () => this.switched(setting));
    }
    mute.addEventListener('change', () => {
      this.muteTouched = true;
      this.edited();
    });
    // A page that goes away lets its port go, so another tab or program may open it.
    window.addEventListener('pagehide', () => void this.link?.close());
  }

  // A key pressed in a field is the key chosen, if the microphone can send it.
  private keyPressed(setting: SettingName, event: KeyboardEvent): void {
    if (event.altKey || event.ctrlKey || event.metaKey || event.shiftKey) return;
    const name = this.core.keyName(event.key);
    if (name === '' || name === this.table.off) return;
    event.preventDefault(); // keeps F5 from reloading, F3 from searching, where it can
    field(setting).value = name;
    this.picked(setting);
  }

  // A key chosen for the left or right button switches it on; off switches it off.
  private picked(setting: SettingName): void {
    const box = onBox(setting);
    if (box) box.checked = field(setting).value !== this.table.off;
    this.edited();
  }

  // Switched on, a button gets back the key the microphone holds for it, if any: otherwise
  // the field waits for one (and Save says so).
  private switched(setting: SettingName): void {
    const box = onBox(setting)!;
    const list = field(setting);
    const held = this.device?.[setting] ?? this.table.off;
    if (!box.checked) list.value = this.table.off;
    else if (list.value === this.table.off) list.value = held !== this.table.off ? held : '';
    this.edited();
  }

  // What the fields name: a setting shown as the microphone holds it is not named, so the
  // core keeps the microphone's own value.
  private named(): Named {
    const named: Named = {};
    if (!this.device) return named;
    for (const setting of keySettings) {
      if (field(setting).value !== this.device[setting]) named[setting] = field(setting).value;
    }
    const muteShown = mute.checked ? 'on' : 'off';
    if (this.muteTouched && muteShown !== this.device.mute) named.mute = muteShown;
    return named;
  }

  private edited(): void {
    if (!this.device) return;
    const plan = this.core.plan(this.named());
    for (const setting of [...keySettings, 'mute' as SettingName]) {
      const refusal = plan.refusals.find((r) => r.setting === setting);
      const why = document.getElementById(`${setting}-why`);
      if (why) why.textContent = refusal ? refusal.text : '';
      $(setting === 'mute' ? 'mute' : `${setting}-cell`).classList.toggle('refused', !!refusal);
      (setting === 'mute' ? mute : field(setting)).setAttribute('aria-invalid', refusal ? 'true' : 'false');
    }
    this.showSaved(plan.changed ? 'Not saved' : 'Saved');
  }

  private async choosePort(): Promise<void> {
    let port: SerialPortLike;
    try {
      port = await navigator.serial!.requestPort();
    } catch (error) {
      // A closed chooser is the user's answer, not a failure.
      if (!(error instanceof DOMException && error.name === 'NotFoundError')) this.say(String(error));
      return;
    }
    await this.openPort(port);
  }

  // Ports granted earlier, tried one after another until a microphone answers.
  private async tryPorts(ports: SerialPortLike[]): Promise<void> {
    for (const port of ports) {
      if (this.link) return;
      if (await this.openPort(port, true)) return;
    }
  }

  private async openPort(port: SerialPortLike, quiet = false): Promise<boolean> {
    // One port at a time: the one open now is let go first, or it could not be opened again.
    const previous = this.link;
    this.link = null;
    await previous?.close();
    return new Promise((resolve) => {
      this.showState('Connecting…');
      this.say('');
      const link = new Link(this.core, port, {
        view: (view, events) => {
          this.show(view, events);
          if (view.phase === 'ready' || (view.phase === 'done' && view.outcome === 'ok')) resolve(true);
        },
        closed: (why) => {
          if (this.link === link) this.disconnected(why);
          resolve(false);
        },
      });
      this.link = link;
      link.open().catch((error: unknown) => {
        if (this.link === link) this.link = null;
        this.disconnected('');
        if (!quiet) this.say(error instanceof DOMException && error.name === 'InvalidStateError'
          ? 'The port is already open in this page.' : kPortRemedies);
        resolve(false);
      });
    });
  }

  private disconnected(why: string): void {
    const wasConnected = this.device !== null;
    const busy = this.busy;
    this.link = null;
    this.device = null;
    this.busy = null;
    this.showState('Not connected');
    this.showSaved('');
    this.enable(false);
    if (busy) {
      this.say(`${busy} failed: ${why}.`);
    } else if (why.startsWith('no answer to the greeting')) {
      this.say('No microphone answered on that port. Choose Connect to pick another.');
    } else if (why && why !== 'closed') {
      this.say((wasConnected ? 'The connection was lost: ' : 'Not connected: ') + why + '.');
    }
  }

  private show(view: View, events: CoreEvent[]): void {
    // A write the core declined: judged again on what a fresh read found, which may differ
    // from what the fields were checked against.
    if (view.plan && this.busy && (view.plan.refusals.length > 0 || !view.plan.changed)) {
      this.busy = null;
      this.showDevice(view);
      this.say(view.plan.refusals.length > 0
        ? `Not saved: ${view.plan.refusals.map((r) => r.text).join('; ')}. Nothing was written.`
        : 'Nothing changed: the microphone already holds these settings. Nothing was written.');
    }
    for (const event of events) {
      if (event.kind === 'greeted') this.showState('Connected');
      if (event.kind === 'read' && !this.busy) this.showDevice(view);
      if (event.kind === 'verified') this.verified(view);
    }
  }

  private showDevice(view: View): void {
    this.device = view.settings;
    this.firmware = view.firmware;
    $('firmware').textContent = `Firmware: ${view.firmware}`;
    for (const setting of keySettings) {
      field(setting).value = view.settings[setting];
      const box = onBox(setting);
      if (box) box.checked = view.settings[setting] !== this.table.off;
    }
    mute.checked = view.settings.mute === 'on';
    this.muteTouched = false;
    this.enable(true);
    this.edited();
  }

  private verified(view: View): void {
    const what = this.busy ?? 'Saving';
    this.busy = null;
    this.showDevice(view);
    if (view.differences.length === 0) {
      this.say(what === 'Restoring' ? 'Restored and verified.' : 'Saved and verified.');
      return;
    }
    const named = view.differences.map((d) => `${d.setting}: wrote ${d.wrote}, read back ${d.read}`);
    this.say(`The microphone kept other values than those written: ${named.join('; ')}.`);
    this.showSaved('Not saved');
  }

  private save(named: Named, what: 'Saving' | 'Restoring'): void {
    if (!this.link || !this.device || this.busy) return;
    const plan = this.core.plan(named);
    if (plan.refusals.length > 0) {
      this.say(`Not saved: ${plan.refusals.map((r) => r.text).join('; ')}. Nothing was written.`);
      return;
    }
    if (!plan.changed) {
      this.say('Nothing changed: the microphone already holds these settings. Nothing was written.');
      return;
    }
    this.busy = what;
    this.enable(false);
    this.say(`${what}…`);
    this.link.save(named);
  }

  private backup(): void {
    const blob = new Blob([this.core.backup()], { type: 'application/json' });
    const link = document.createElement('a');
    link.href = URL.createObjectURL(blob);
    link.download = 'vantor-mic-backup.json';
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 0);
    this.say(`Backed up the settings of firmware ${this.firmware} to ${link.download}.`);
  }

  private async restore(): Promise<void> {
    const file = restoreFile.files?.[0];
    restoreFile.value = '';
    if (!file) return;
    // A backup is one short line: a file far larger is not read whole.
    const text = await file.slice(0, 1 << 20).text();
    const read = this.core.readBackup(text);
    if ('error' in read) {
      this.say(`${file.name}: ${read.error}. Nothing was written.`);
      return;
    }
    this.save(read.settings, 'Restoring');
  }

  private enable(on: boolean): void {
    for (const setting of keySettings) {
      const box = onBox(setting);
      if (box) box.disabled = !on;
      field(setting).disabled = !on;
    }
    mute.disabled = !on;
    buttons.save.disabled = !on;
    buttons.backup.disabled = !on;
    buttons.restore.disabled = !on;
  }

  private showState(text: string): void {
    $('state').textContent = text;
    if (text === 'Not connected') $('firmware').textContent = 'Firmware: –';
  }
  private showSaved(text: string): void {
    $('saved').textContent = text;
  }
  private say(text: string): void {
    $('message').textContent = text;
  }
}

async function main(): Promise<void> {
  let core: Core;
  try {
    core = await Core.load();
  } catch {
    for (const button of Object.values(buttons)) button.disabled = true;
    $('message').textContent =
      'The page could not load its settings core (vantor-core.wasm). Reload the page; if it ' +
      'happens again, the site is missing files.';
    return;
  }
  new Page(core, core.keyTable()).start();
  // Installed or offline, the page comes from the worker's copy.
  if ('serviceWorker' in navigator) void navigator.serviceWorker.register('sw.js');
}

void main();
