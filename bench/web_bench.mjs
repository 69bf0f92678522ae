// Times saldorama.html in Debian's chromium (headless): the file's size,
// opening it to the first page, "Buchen" to the updated form, "Bilanz und
// GuV" of 10,000 bookings, the journal of 100,000 bookings shown and
// scrolled. Not a test: run it by hand through scripts/web-bench.
// The books are cli_bench's generated practice company (--make), planted
// into the page's working folder and stored as the page stores its own.
// Usage: node web_bench.mjs SALDORAMA_HTML CLI_BENCH
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';

const require = createRequire(path.resolve('tests/browser/package.json'));
const puppeteer = (await import(require.resolve('puppeteer-core'))).default;
const [html, cliBench] = process.argv.slice(2).map(p => path.resolve(p));
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'saldorama-web-bench-'));
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium', headless: true, userDataDir: path.join(scratch, 'profile'),
  args: ['--no-sandbox', '--disable-gpu', '--allow-file-access-from-files'],
});
const median = xs => xs.slice().sort((a, b) => a - b)[Math.floor(xs.length / 2)];
const ms = x => x.toFixed(1).padStart(8) + ' ms';
const page = await browser.newPage();
page.on('dialog', d => d.accept());
await page.setViewport({ width: 1280, height: 800 });
async function load() {
  const t0 = Date.now();
  await page.goto('file://' + html);
  await page.waitForSelector('body[data-ready]', { timeout: 60000 });
  return Date.now() - t0;
}

console.log(`saldorama.html             ${(fs.statSync(html).size / 1e6).toFixed(2).padStart(8)} MB   (target <= 5 MB)`);
const opens = [];
for (let i = 0; i < 5; ++i) opens.push(await load());
console.log(`open to first page         ${ms(median(opens))}   (median of 5; target <= 1000 ms)`);

// One booking typed into the controls, then "Buchen": handler, store into
// IndexedDB and the form drawn afresh.
await page.evaluate(async () => { await call('SpeedButton23Click'); await call('SpeedButton10Click'); await call('SpeedButton3Click'); });
const bookings = [];
for (let i = 0; i < 20; ++i) {
  bookings.push(await page.evaluate(async () => {
    await call('SpeedButton8Click');
    for (const [n, v] of [['Edit14', '05.01.2026'], ['ComboBox1', 'Bank'], ['Edit17', '800,00'], ['ComboBox2', 'Kasse'], ['Edit20', '800,00']])
      api.setText(n, v);
    const t0 = performance.now();
    await call('SpeedButton29Click');
    return performance.now() - t0;
  }));
}
console.log(`"Buchen" to updated form   ${ms(median(bookings))}   (median of 20; target <= 50 ms)`);

// A generated company planted into the working folder, stored, reloaded.
async function plant(count) {
  const dir = path.join(scratch, `w${count}`);
  execFileSync(cliBench, ['--size', String(count), '--make', dir]);
  for (const name of ['buchungen.dat', 'Kontenplan1.txt', 'einstellungen.txt']) {
    const bytes = fs.readFileSync(path.join(dir, name)).toString('base64');
    await page.evaluate((n, b64) => {
      const raw = atob(b64), out = new Uint8Array(raw.length);
      for (let i = 0; i < raw.length; ++i) out[i] = raw.charCodeAt(i);
      FS.writeFile(FOLDER + '/' + n, out);
    }, name, bytes);
  }
  await page.evaluate(() => syncfs(false));
  await load();
}
async function timed(handler, times = 5) {
  const runs = [];
  for (let i = 0; i < times; ++i) {
    runs.push(await page.evaluate(async h => {
      await call('SpeedButton3Click');
      const t0 = performance.now();
      await call(h);
      await new Promise(r => requestAnimationFrame(() => setTimeout(r)));  // drawn
      return performance.now() - t0;
    }, handler));
  }
  return median(runs);
}

await plant(10000);
console.log(`Bilanz und GuV, 10,000     ${ms(await timed('SpeedButton4Click'))}   (median of 5; target <= 200 ms)`);
console.log(`Journal, 10,000            ${ms(await timed('SpeedButton5Click'))}`);
await plant(100000);
console.log(`Journal, 100,000 shown     ${ms(await timed('SpeedButton5Click', 3))}   (median of 3; target <= 2000 ms)`);
// Scrolling: the memo jumps through the whole journal; the slowest frame counts.
const frames = await page.evaluate(async () => {
  const box = document.querySelector('[data-memo="Memo2"]');
  const times = [];
  for (let i = 0; i <= 60; ++i) {
    const t0 = performance.now();
    box.scrollTop = (box.scrollHeight - box.clientHeight) * i / 60;
    await new Promise(r => requestAnimationFrame(() => setTimeout(r)));
    times.push(performance.now() - t0);
  }
  return { lines: box.lines.length, drawn: box.querySelectorAll('div').length, worst: Math.max(...times),
           median: times.sort((a, b) => a - b)[30] };
});
console.log(`Journal scroll, 100,000    ${ms(frames.median)}   per jump (median; worst ${frames.worst.toFixed(1)} ms), ` +
            `${frames.drawn} of ${frames.lines} lines in the page`);
await browser.close();
fs.rmSync(scratch, { recursive: true, force: true });
