// One open port and the core's conversation on it: the port's streams and the page's clock
// in, frames out. The conversation itself (greeting, reads, writes, read-back) is the
// core's; this file only moves bytes and wakes it when it asks.
import type { Core, CoreEvent, Named, View } from './core.js';

// The longest wait for the microphone's next answer, as vantor-mic waits by default.
const kTimeoutMs = 1000;

export interface LinkListener {
  // Every view the core gave, in order: the page shows what it says.
  view(view: View, events: CoreEvent[]): void;
  // The port is gone (pulled, failed, or the conversation ended on a failure).
  closed(why: string): void;
}

const now = (): number => performance.now();

export class Link {
  private reader: ReadableStreamDefaultReader<Uint8Array> | null = null;
  private writer: WritableStreamDefaultWriter<Uint8Array> | null = null;
  private latest: View | null = null;
  private timer: ReturnType<typeof setTimeout> | undefined;
  private pumping = false;
  private closing = false;
  // Values to write once a fresh conversation has read the settings.
  private pendingWrite: Named | null = null;

  constructor(
    private readonly core: Core,
    readonly port: SerialPortLike,
    private readonly listener: LinkListener,
  ) {}

  // Opens the port as the windows open theirs (115200 8N1, DTR and RTS raised) and starts
  // the greeting. Throws when the port will not open; the caller explains why.
  async open(): Promise<void> {
    await this.port.open({ baudRate: 115200, dataBits: 8, stopBits: 1, parity: 'none', flowControl: 'none' });
    try {
      await this.port.setSignals({ dataTerminalReady: true, requestToSend: true });
      if (!this.port.readable || !this.port.writable) throw new Error('the port has no streams');
      this.reader = this.port.readable.getReader();
      this.writer = this.port.writable.getWriter();
    } catch (error) {
      await this.release();
      throw error;
    }
    this.apply(this.core.begin(now(), kTimeoutMs));
    void this.readLoop();
  }

  get phase(): View['phase'] | 'closed' {
    return this.closing || !this.latest ? 'closed' : this.latest.phase;
  }

  // Save: writes at once from a conversation that is ready; after an earlier write the
  // conversation has ended, so a new one greets and reads first.
  // The listener hears the outcome: a view with the core's plan, then the write's events.
  save(named: Named): void {
    if (this.closing) return;
    if (this.latest?.phase === 'ready') {
      this.apply(this.core.write(now(), named));
      return;
    }
    this.pendingWrite = named;
    this.apply(this.core.begin(now(), kTimeoutMs));
  }

  // The port's device is gone: the core ends the conversation, the port is let go.
  lost(why: string): void {
    if (this.closing) return;
    this.apply(this.core.lost(now(), why));
    void this.close(why);
  }

  async close(why = 'closed'): Promise<void> {
    if (this.closing) return;
    this.closing = true;
    clearTimeout(this.timer);
    this.core.end();
    await this.release();
    this.listener.closed(why);
  }

  private async release(): Promise<void> {
    // Teardown in the order the streams allow: cancel the read, free the writer, close.
    try {
      await this.reader?.cancel();
    } catch {
      // a reader of a vanished device may already be errored
    }
    this.reader?.releaseLock();
    try {
      this.writer?.releaseLock();
    } catch {
      // a pending write keeps the lock only until it settles
    }
    this.reader = null;
    this.writer = null;
    try {
      await this.port.close();
    } catch {
      // closing a port that is already gone is no failure of ours
    }
  }

  private async readLoop(): Promise<void> {
    while (this.reader) {
      let chunk: ReadableStreamReadResult<Uint8Array>;
      try {
        chunk = await this.reader.read();
      } catch {
        this.lost('the port failed: the microphone was unplugged or the connection broke');
        return;
      }
      if (chunk.done) break;
      if (chunk.value.length > 0 && !this.closing) this.apply(this.core.receive(now(), chunk.value));
    }
    if (!this.closing) this.lost('the port closed: the microphone was unplugged');
  }

  private apply(view: View): View {
    this.latest = view;
    const events = view.events;
    if (this.pendingWrite && events.some((e) => e.kind === 'read')) {
      const named = this.pendingWrite;
      this.pendingWrite = null;
      this.listener.view(view, events);
      return this.apply(this.core.write(now(), named));
    }
    if (events.some((e) => e.kind === 'failed')) this.pendingWrite = null;
    this.schedule(view);
    if (view.frame) void this.pump();
    this.listener.view(view, events);
    if (view.phase === 'done' && view.outcome !== 'ok') void this.close(view.failure);
    return view;
  }

  private schedule(view: View): void {
    clearTimeout(this.timer);
    if (view.wake === null || this.closing) return;
    this.timer = setTimeout(() => {
      if (!this.closing) this.apply(this.core.tick(now()));
    }, Math.max(0, view.wake - now()));
  }

  // Frames go out one at a time, each written whole before the core hears it went.
  private async pump(): Promise<void> {
    if (this.pumping) return;
    this.pumping = true;
    try {
      while (this.latest?.frame && this.writer && !this.closing) {
        const frame = Uint8Array.from(this.latest.frame);
        try {
          await this.writer.write(frame);
        } catch {
          this.apply(this.core.sendFailed(now()));
          break;
        }
        this.apply(this.core.sent(now()));
      }
    } finally {
      this.pumping = false;
    }
  }
}
