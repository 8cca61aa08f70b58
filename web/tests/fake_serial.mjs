// A stand-in for navigator.serial, installed before the page's scripts run. Its ports keep
// the Web Serial rules a page must live with (one open at a time, no close while a stream
// is locked, bytes in chunks split anywhere, no streams once the device is gone, a new port
// object for a device plugged in again), and their far end is a microphone model written
// for these tests: not the page's simulator, so a fault shared by both cannot hide.
//
// The test drives it through window.testSerial: plug(), unplug(), wire (every chunk the
// page wrote, in hex), device (the model's state), opens, signals, chooser, failOpen,
// failWrites.
export function installFakeSerial() {
  const hex = (bytes) => Array.from(bytes, (b) => b.toString(16).toUpperCase().padStart(2, '0')).join(' ');
  let seed = 7;
  const random = () => ((seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648);

  const control = {
    wire: [],
    opens: [],
    signals: [],
    chooser: 'port', // or 'cancel'
    failOpen: false,
    failWrites: false,
    device: { settings: [0x41, 0xff, 0xff, 0x00], version: 12, ignoreWrites: false, silent: false },
    port: null,
    granted: [],
  };

  // The microphone: whole frames answered as its firmware does.
  function answer(frame) {
    const d = control.device;
    const [, length, command, a, b] = frame;
    if (d.silent) return [];
    if (command === 1 && length === 5) return [0xaa, 5, 1, 1, 0xbb];
    if (command === 4 && length === 5) return [0xaa, 5, 4, d.version, 0xbb];
    if (command === 2 && length === 5 && a >= 1 && a <= 4) return [0xaa, 6, 2, a, d.settings[a - 1], 0xbb];
    if (command === 3 && length === 6 && a >= 1 && a <= 4 && !d.ignoreWrites) d.settings[a - 1] = b;
    return [];
  }

  class FakePort extends EventTarget {
    #open = false;
    #gone = false;
    #readable = null;
    #writable = null;
    #toHost = null;
    #fromHost = [];

    get readable() { return this.#open ? this.#readable : null; }
    get writable() { return this.#open ? this.#writable : null; }

    async open(options) {
      if (this.#open) throw new DOMException('The port is already open.', 'InvalidStateError');
      if (this.#gone || control.failOpen) throw new DOMException('Failed to open serial port.', 'NetworkError');
      if (!options || typeof options.baudRate !== 'number') throw new TypeError('baudRate is required');
      control.opens.push({ ...options });
      this.#open = true;
      this.#readable = new ReadableStream({ start: (c) => { this.#toHost = c; } });
      this.#writable = new WritableStream({ write: (chunk) => this.#received(chunk) });
    }

    async setSignals(signals) {
      if (!this.#open) throw new DOMException('The port is closed.', 'InvalidStateError');
      control.signals.push({ ...signals });
    }

    async close() {
      if (!this.#open) throw new DOMException('The port is already closed.', 'InvalidStateError');
      if (this.#readable.locked || this.#writable.locked) throw new TypeError('Cannot cancel a locked stream');
      this.#open = false;
    }

    #received(chunk) {
      if (!(chunk instanceof Uint8Array)) throw new TypeError('a serial port writes Uint8Array chunks');
      if (control.failWrites) throw new DOMException('The device has been lost.', 'NetworkError');
      control.wire.push(hex(chunk));
      this.#fromHost.push(...chunk);
      const replies = [];
      for (;;) {
        while (this.#fromHost.length && this.#fromHost[0] !== 0xaa) this.#fromHost.shift();
        const length = this.#fromHost[1];
        if (this.#fromHost.length < 2 || this.#fromHost.length < length) break;
        const frame = this.#fromHost.splice(0, length);
        if (frame[length - 1] === 0xbb) replies.push(...answer(frame));
      }
      this.#deliver(replies);
    }

    // Replies reach the page in pieces cut at random places, each on its own task.
    #deliver(bytes) {
      let at = 0;
      while (at < bytes.length) {
        const size = 1 + Math.floor(random() * 7);
        const piece = Uint8Array.from(bytes.slice(at, at + size));
        at += size;
        setTimeout(() => { if (this.#open && !this.#gone) this.#toHost.enqueue(piece); }, 0);
      }
    }

    unplug() {
      this.#gone = true;
      if (this.#open) this.#toHost.error(new DOMException('The device has been lost.', 'NetworkError'));
      this.#open = false;
    }
  }

  class FakeSerial extends EventTarget {
    async requestPort() {
      if (control.chooser === 'cancel' || !control.port) throw new DOMException('No port selected by the user.', 'NotFoundError');
      if (!control.granted.includes(control.port)) control.granted.push(control.port);
      return control.port;
    }
    async getPorts() {
      return control.granted.filter((port) => port === control.port);
    }
    // Events come from the port, as a real port's bubble up to navigator.serial.
    fire(type, port) {
      const event = new Event(type);
      Object.defineProperty(event, 'target', { value: port });
      this.dispatchEvent(event);
    }
  }
  const serial = new FakeSerial();

  control.plug = ({ granted = false, announce = false } = {}) => {
    control.port = new FakePort();
    if (granted) control.granted.push(control.port);
    if (announce) serial.fire('connect', control.port);
    return control.port;
  };
  control.unplug = () => {
    const port = control.port;
    control.port = null;
    port.unplug();
    serial.fire('disconnect', port);
  };
  control.plug();

  Object.defineProperty(Navigator.prototype, 'serial', { get: () => serial, configurable: true });
  window.testSerial = control;
}
