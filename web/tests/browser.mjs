// Debian's chromium, headless, driven by playwright-core (never a downloaded browser), on
// the built page served from the loopback address.
import { chromium } from 'playwright-core';
import { serve } from '../tools/serve.mjs';

export const chromiumPath = process.env.CHROMIUM ?? '/usr/bin/chromium';

export async function launch() {
  return chromium.launch({
    executablePath: chromiumPath,
    // root (CI) has no user namespace sandbox; the page is our own.
    args: process.getuid?.() === 0 ? ['--no-sandbox'] : [],
  });
}

export async function servePage(dir) {
  const server = await serve(dir);
  return { server, url: `http://localhost:${server.address().port}/` };
}
