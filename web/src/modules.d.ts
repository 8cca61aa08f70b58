// The emscripten module's interface (web/core), and the few parts of the Web Serial API
// the page uses (not yet in TypeScript's DOM library).

interface EmscriptenModule {
  ccall(name: string, returns: 'string' | 'number' | null, types: string[], args: unknown[]): unknown;
}

interface SerialOptions {
  baudRate: number;
  dataBits?: 7 | 8;
  stopBits?: 1 | 2;
  parity?: 'none' | 'even' | 'odd';
  flowControl?: 'none' | 'hardware';
}

interface SerialPortLike extends EventTarget {
  readonly readable: ReadableStream<Uint8Array> | null;
  readonly writable: WritableStream<Uint8Array> | null;
  open(options: SerialOptions): Promise<void>;
  close(): Promise<void>;
  setSignals(signals: { dataTerminalReady?: boolean; requestToSend?: boolean }): Promise<void>;
}

interface Serial extends EventTarget {
  requestPort(options?: object): Promise<SerialPortLike>;
  getPorts(): Promise<SerialPortLike[]>;
}

interface Navigator {
  readonly serial?: Serial;
}
