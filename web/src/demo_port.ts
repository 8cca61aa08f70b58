// "Try without a microphone": a port object with the Web Serial shape whose far end is the
// simulator's device model (micsim's, compiled into the core's module). Replies arrive on
// a later task, as a real port's would.
import type { Core } from './core.js';

// The firmware the simulated microphone reports, in tenths: 1.2.
const kDemoFirmware = 12;

export class DemoPort extends EventTarget implements SerialPortLike {
  readable: ReadableStream<Uint8Array> | null = null;
  writable: WritableStream<Uint8Array> | null = null;

  constructor(private readonly core: Core) {
    super();
  }

  async open(_options: SerialOptions): Promise<void> {
    if (this.readable) throw new DOMException('The port is already open.', 'InvalidStateError');
    this.core.simulatorReset(kDemoFirmware);
    let toHost: ReadableStreamDefaultController<Uint8Array> | null = null;
    this.readable = new ReadableStream<Uint8Array>({
      start: (controller) => {
        toHost = controller;
      },
    });
    this.writable = new WritableStream<Uint8Array>({
      write: (chunk) => {
        const replies = this.core.simulatorFeed(chunk);
        setTimeout(() => {
          for (const reply of replies) toHost?.enqueue(Uint8Array.from(reply));
        }, 0);
      },
    });
  }

  async setSignals(): Promise<void> {}

  async close(): Promise<void> {
    this.readable = null;
    this.writable = null;
  }
}
