// Drives saldorama.html in Debian's chromium: every page opened and
// photographed, a booking typed through the page, the reports against
// saldorama-cli's for the same books, a reload, a backup round trip through
// saldorama-cli, and a refused storage.
// Usage: node browser_test.mjs SALDORAMA_HTML SALDORAMA_CLI DATA_DIR SHOTS_DIR
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const [html, cli, dataDir, shots] = process.argv.slice(2).map(p => path.resolve(p));
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'saldorama-browser-'));
const downloads = path.join(scratch, 'downloads');
fs.mkdirSync(downloads);
fs.mkdirSync(shots, { recursive: true });

const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  userDataDir: path.join(scratch, 'profile'),
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
         '--disable-component-update', '--disable-sync', '--no-first-run', '--allow-file-access-from-files'],
});
const failures = [];
async function step(name, body) {
  try {
    await body();
    console.log('ok   ' + name);
  } catch (e) {
    failures.push(name);
    console.log('FAIL ' + name + '\n' + (e.stack || e));
  }
}

// One tab on the page; boxes collected, questions answered as `answer` says.
async function open(answer = () => true) {
  const page = await browser.newPage();
  page.boxes = [];
  page.on('dialog', d => { page.boxes.push(d.message()); answer(d.message()) ? d.accept() : d.dismiss(); });
  page.on('pageerror', e => page.boxes.push('Skriptfehler: ' + e.message));
  page.on('request', r => { if (!/^(file|data|blob):/.test(r.url())) page.boxes.push('Anfrage: ' + r.url()); });
  await page.setViewport({ width: 1280, height: 800 });
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  await page.goto('file://' + html);
  await page.waitForSelector('body[data-ready]', { timeout: 20000 });
  return page;
}
const settle = page => page.evaluate(() => busy);
async function click(page, name) {
  await page.click(`[data-c="${name}"]`);
  await settle(page);
}
// Typed key by key, then Tab to the next field, as a learner leaves it.
async function type(page, name, text) {
  const sel = `[data-c="${name}"]`;
  await page.click(sel, { clickCount: 3 });
  await page.keyboard.press('Backspace');
  await page.type(sel, text);
  await page.keyboard.press('Tab');
  await settle(page);
}
const control = (page, name) => page.evaluate(n => view.controls[n], name);
const memo = (page, name) => page.evaluate(n => document.querySelector(`[data-memo="${n}"]`).lines.join('\n'), name);
const messages = page => page.evaluate(() => [...document.querySelectorAll('#messages div')].map(d => d.textContent));

function cliRun(dir, ...args) {
  return execFileSync(cli, ['-C', dir, ...args], { encoding: 'utf8', env: { ...process.env, LC_ALL: 'C.UTF-8' } });
}
function cliFolder() {
  const dir = fs.mkdtempSync(path.join(scratch, 'cli-'));
  for (const f of fs.readdirSync(dataDir)) fs.copyFileSync(path.join(dataDir, f), path.join(dir, f));
  return dir;
}
async function downloaded(before) {
  for (let i = 0; i < 100; ++i) {
    const now = fs.readdirSync(downloads).filter(f => f.endsWith('.qrx') && !before.includes(f));
    if (now.length) return path.join(downloads, now[0]);
    await new Promise(r => setTimeout(r, 100));
  }
  throw new Error('keine Sicherung heruntergeladen');
}
async function saveAll(page) {
  const before = fs.readdirSync(downloads);
  await click(page, 'SpeedButton30');
  const file = await downloaded(before);
  const renamed = path.join(scratch, `backup-${fs.readdirSync(scratch).length}.qrx`);
  fs.renameSync(file, renamed);
  return renamed;
}
async function reports(page) {
  const out = {};
  for (const [button, memoName] of [['SpeedButton4', 'Memo1'], ['SpeedButton1', 'Memo4'], ['SpeedButton5', 'Memo2']]) {
    await click(page, button);
    out[memoName] = await memo(page, memoName);
  }
  return out;
}

const page = await open();
let backup, shown;

await step('Kontenplan 1 wählen und Firmendaten eingeben', async () => {
  assert.equal(await page.evaluate(() => view.page), 1);
  await click(page, 'SpeedButton23');
  assert.equal(await page.evaluate(() => view.page), 9);
  await click(page, 'SpeedButton10');
  assert.match((await control(page, 'Label24')).text, /1/);
  await click(page, 'SpeedButton35');
  await type(page, 'Edit1', 'Radsport Muster');
  await type(page, 'Edit2', 'Lena Beispiel');
  await click(page, 'SpeedButton32');
  assert.equal(page.boxes.length, 2);  // the chart's two questions
  page.boxes.length = 0;
});

await step('eine Buchung über die Felder der Seite', async () => {
  await click(page, 'SpeedButton3');
  await click(page, 'SpeedButton8');
  await type(page, 'Edit14', '05.01.2026');
  await type(page, 'Edit15', 'selbst');
  await type(page, 'Edit16', 'Bareinzahlung');
  await type(page, 'ComboBox1', 'Bank');
  await type(page, 'Edit17', '800,00');
  await type(page, 'ComboBox2', 'Kasse');
  await type(page, 'Edit20', '800');
  await click(page, 'SpeedButton29');
  assert.deepEqual(await messages(page), []);
  assert.equal((await control(page, 'Label45')).text, '1/1');
  await click(page, 'SpeedButton8');
  await type(page, 'Edit14', '07.01.2026');
  await type(page, 'ComboBox1', 'Kasse');
  await type(page, 'Edit17', '500,00');
  await type(page, 'ComboBox2', 'Bank');
  await type(page, 'Edit20', '500,00');
  await page.keyboard.down('Alt'); await page.keyboard.press('b'); await page.keyboard.up('Alt');  // "&Buchen"
  await settle(page);
  assert.equal((await control(page, 'Label45')).text, '2/2');
  assert.deepEqual(page.boxes, []);
});

await step('die Berichte gleichen denen von saldorama-cli', async () => {
  shown = await reports(page);
  backup = await saveAll(page);
  const dir = cliFolder();
  cliRun(dir, 'laden', backup);
  assert.equal(shown.Memo1, cliRun(dir, 'bilanz').replace(/\n$/, ''));
  assert.equal(shown.Memo4, cliRun(dir, 'betriebsergebnis').replace(/\n$/, ''));
  assert.equal(shown.Memo2, cliRun(dir, 'journal').replace(/\n$/, ''));
  await click(page, 'SpeedButton6');
  await page.select('[data-name="ListBox1"]', String((await control(page, 'ListBox1')).items.indexOf('Bank')));
  await settle(page);
  const grid = (await control(page, 'StringGrid3')).rows.slice(1).map(r => r.join('\t'));
  assert.ok(grid.length > 0);
  const konto = cliRun(dir, 'konto', 'Bank');
  assert.match(konto, /800,00/);
  assert.match(grid.join('\n'), /800,00/);
});

await step('nach dem Neuladen sind die Bücher noch da', async () => {
  await page.reload();
  await page.waitForSelector('body[data-ready]');
  assert.deepEqual(await reports(page), shown);
});

await step('Sicherung: Browser → saldorama-cli laden/sichern → Browser unverändert', async () => {
  const dir = cliFolder();
  cliRun(dir, 'laden', backup);
  const again = path.join(scratch, 'wieder.qrx');
  cliRun(dir, 'sichern', again);
  assert.ok(fs.readFileSync(again).equals(fs.readFileSync(backup)), 'die Sicherung von saldorama-cli weicht ab');
  await click(page, 'SpeedButton3');
  await click(page, 'SpeedButton8');
  await type(page, 'Edit14', '09.01.2026');
  await type(page, 'ComboBox1', 'Bank');
  await type(page, 'Edit17', '1,00');
  await type(page, 'ComboBox2', 'Kasse');
  await type(page, 'Edit20', '1,00');
  await click(page, 'SpeedButton29');
  const input = await page.$('#upload');
  await input.uploadFile(again);
  await page.waitForFunction(() => /geladen/.test(view.status), { timeout: 10000 });
  await settle(page);
  assert.deepEqual(await reports(page), shown);
  assert.ok(fs.readFileSync(await saveAll(page)).equals(fs.readFileSync(backup)));
});

await step('jede Seite öffnet sich (Bildschirmfotos)', async () => {
  const pages = [['start', 'startpage'], ['firmendaten', 'SpeedButton35'], ['eroeffnung', 'SpeedButton2'],
                 ['buchungen', 'SpeedButton3'], ['bilanz', 'SpeedButton4'], ['journal', 'SpeedButton5'],
                 ['aufgaben', 'SpeedButton22'], ['betriebsergebnis', 'SpeedButton1'],
                 ['kontenblaetter', 'SpeedButton6'], ['kontenplan', 'SpeedButton37']];
  for (const [width, height] of [[1280, 800], [768, 1024]]) {
    await page.setViewport({ width, height });
    for (const [name, button] of pages) {
      await page.click(button === 'startpage' ? '#startpage' : `[data-c="${button}"]`);
      await settle(page);
      await page.screenshot({ path: path.join(shots, `${name}-${width}.png`) });
    }
    await click(page, 'SpeedButton35');
    await type(page, 'Edit1', 'Mentor');
    await click(page, 'SpeedButton24');
    assert.equal(await page.evaluate(() => view.page), 7);
    await page.screenshot({ path: path.join(shots, `einstellungen-${width}.png`) });
  }
  assert.deepEqual(page.boxes.filter(b => /Skriptfehler|Anfrage/.test(b)), []);
});

await browser.close();
fs.rmSync(scratch, { recursive: true, force: true });
if (failures.length) {
  console.log(`${failures.length} Browser-Test(s) fehlgeschlagen: ${failures.join('; ')}`);
  process.exit(1);
}
console.log('Alle Browser-Tests bestanden.');
