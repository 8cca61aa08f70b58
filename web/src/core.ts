// The device core, compiled to WebAssembly (web/core): everything the page knows about the
// microphone comes from here. This file only carries JSON text across the boundary.
import loadCore from './vantor-core.mjs';

export type SettingName = 'centre' | 'left' | 'right' | 'mute';
export type Settings = Record<SettingName, string>;
export type Named = Partial<Record<SettingName, string>>;

export interface KeyTable {
  settings: SettingName[];
  keys: string[];
  off: string;
  allowed: Record<SettingName, string>;
}

export type CoreEvent =
  | { kind: 'greeted' }
  | { kind: 'read' }
  | { kind: 'checked'; setting: SettingName; matches: boolean }
  | { kind: 'verified' }
  | { kind: 'failed'; text: string };

export interface Refusal {
  setting: SettingName;
  text: string;
}

export interface Plan {
  refusals: Refusal[];
  changed: boolean;
  settings: Settings;
}

export interface View {
  phase: 'new' | 'greeting' | 'reading' | 'ready' | 'writing' | 'done';
  outcome: 'none' | 'ok' | 'silent' | 'failed';
  failure: string;
  firmware: string;
  settings: Settings;
  frame: number[] | null;
  wake: number | null;
  events: CoreEvent[];
  differences: { setting: SettingName; wrote: string; read: string }[];
  plan?: Plan;
}

export type BackupRead = { error: string } | { settings: Named };

type Arg = 'number' | 'string';

export class Core {
  private constructor(private readonly module: EmscriptenModule) {}

  static async load(): Promise<Core> {
    return new Core(await loadCore());
  }

  private call(name: string, types: Arg[], args: (number | string)[]): string {
    return this.module.ccall(name, 'string', types, args) as string;
  }
  private json<T>(name: string, types: Arg[], args: (number | string)[]): T {
    return JSON.parse(this.call(name, types, args)) as T;
  }

  keyTable(): KeyTable {
    return this.json('vantor_key_table', [], []);
  }
  keyName(text: string): string {
    return this.call('vantor_key_name', ['string'], [text]);
  }

  begin(now: number, timeoutMs: number): View {
    return this.json('vantor_begin', ['number', 'number'], [now, timeoutMs]);
  }
  receive(now: number, bytes: Uint8Array): View {
    return this.json('vantor_receive', ['number', 'string'], [now, JSON.stringify(Array.from(bytes))]);
  }
  tick(now: number): View {
    return this.json('vantor_tick', ['number'], [now]);
  }
  sent(now: number): View {
    return this.json('vantor_sent', ['number'], [now]);
  }
  sendFailed(now: number): View {
    return this.json('vantor_send_failed', ['number'], [now]);
  }
  lost(now: number, why: string): View {
    return this.json('vantor_lost', ['number', 'string'], [now, why]);
  }
  end(): void {
    this.module.ccall('vantor_end', null, [], []);
  }

  plan(named: Named): Plan {
    return this.json('vantor_plan', ['string'], [JSON.stringify(named)]);
  }
  write(now: number, named: Named): View {
    return this.json('vantor_write', ['number', 'string'], [now, JSON.stringify(named)]);
  }
  backup(): string {
    return this.call('vantor_backup', [], []);
  }
  readBackup(text: string): BackupRead {
    return this.json('vantor_read_backup', ['string'], [text]);
  }

  // The simulator's device model, for the demo port.
  simulatorReset(version: number): void {
    this.module.ccall('micsim_reset', null, ['number'], [version]);
  }
  simulatorFeed(bytes: Uint8Array): number[][] {
    return this.json('micsim_feed', ['string'], [JSON.stringify(Array.from(bytes))]);
  }
}
