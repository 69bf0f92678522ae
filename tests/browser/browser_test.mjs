// Drives saldorama.html in Debian's chromium: exercise 3 solved through the
// page's own controls and checked, the reports against saldorama-cli's for
// the same books, a reload, a backup round trip through saldorama-cli, undo,
// two tabs booking at once, a refused storage, the guide, print, "Neu
// anfangen", a screenshot of every page in three window sizes, and the
// page served by a web server.
// Usage: node browser_test.mjs SALDORAMA_HTML SALDORAMA_CLI DATA_DIR SHOTS_DIR
// (STEPS=REGEX runs only the steps whose names match, DEBUG=1 echoes the
// page's console.)
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
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
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
         '--disable-sync', '--no-first-run', '--allow-file-access-from-files'],
});
const failures = [];
async function step(name, body) {
  if (process.env.STEPS && !new RegExp(process.env.STEPS).test(name)) return;
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
  page.answer = answer;
  page.on('dialog', d => { page.boxes.push(d.type() + ': ' + d.message()); page.answer(d.message()) ? d.accept() : d.dismiss(); });
  page.on('pageerror', e => page.boxes.push('Skriptfehler: ' + e.message));
  if (process.env.DEBUG) page.on('console', m => console.log('console: ' + m.text()));
  page.on('request', r => { if (!/^(file|data|blob):/.test(r.url())) page.boxes.push('Anfrage: ' + r.url()); });
  await page.setViewport({ width: 1280, height: 800 });
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  await page.goto('file://' + html);
  await page.waitForSelector('body[data-ready]', { timeout: 20000 });
  return page;
}
const settle = page => page.evaluate(() => busy);
const sel = name => `[data-c="${name}"]`;
async function click(page, selector) {
  await page.click(/^[A-Za-z0-9]+$/.test(selector) ? sel(selector) : selector);
  await settle(page);
}
// Typed key by key, then Tab to the next field, as a learner leaves it.
async function type(page, selector, text) {
  if (!selector.startsWith('[')) selector = sel(selector);
  await page.click(selector, { clickCount: 3 });
  await page.keyboard.press('Backspace');
  await page.type(selector, text);
  await page.keyboard.press('Tab');
  await settle(page);
}
async function keys(page, ...combo) {
  for (const k of combo) await page.keyboard.down(k);
  for (const k of combo.reverse()) await page.keyboard.up(k);
  await settle(page);
}
const control = (page, name) => page.evaluate(n => view.controls[n], name);
const shownPage = page => page.evaluate(() => view.page);
const memo = (page, name) => page.evaluate(n => document.querySelector(`[data-memo="${n}"]`).lines.join('\n'), name);
const messages = page => page.evaluate(() => [...document.querySelectorAll('#messages div')].map(d => d.textContent));
const count = async page => (await control(page, 'Label45')).text;

function cliRun(dir, ...args) {
  return execFileSync(cli, ['-C', dir, ...args], { encoding: 'utf8', env: { ...process.env, LC_ALL: 'C.UTF-8' } });
}
function cliFolder() {
  const dir = fs.mkdtempSync(path.join(scratch, 'cli-'));
  for (const f of fs.readdirSync(dataDir)) fs.copyFileSync(path.join(dataDir, f), path.join(dir, f));
  return dir;
}
async function saveAll(page) {
  const before = fs.readdirSync(downloads);
  await click(page, 'SpeedButton30');
  for (let i = 0; i < 100; ++i) {
    const file = fs.readdirSync(downloads).find(f => f.endsWith('.qrx') && !before.includes(f));
    if (file) {
      const kept = path.join(scratch, `backup-${fs.readdirSync(scratch).length}.qrx`);
      fs.renameSync(path.join(downloads, file), kept);
      return kept;
    }
    await new Promise(r => setTimeout(r, 100));
  }
  throw new Error('keine Sicherung heruntergeladen');
}
// The three text reports as the page shows them.
async function reports(page) {
  const out = {};
  for (const [button, memoName] of [['SpeedButton4', 'Memo1'], ['SpeedButton1', 'Memo4'], ['SpeedButton5', 'Memo2']]) {
    await click(page, button);
    out[memoName] = await memo(page, memoName);
  }
  return out;
}

// The solution files as a learner reads the exercises: company data,
// opening balances, bookings.
function solution(n) {
  const text = new TextDecoder('windows-1252').decode(fs.readFileSync(path.join(dataDir, `Loesung${n}.txt`)));
  const out = { company: {}, opening: [], bookings: [] };
  let section = '';
  for (const line of text.split(/\r?\n/)) {
    const head = line.match(/^\[(.*)\]$/);
    if (head) {
      section = head[1];
      if (section.startsWith('Buchung')) out.bookings.push({ lines: [] });
      continue;
    }
    const m = line.match(/^([^;:][^:]*): ?(.*)$/);
    if (!m) continue;
    const [, key, value] = m;
    if (section === 'Firmendaten') out.company[key + ':'] = value;
    if (section === 'Eröffnung' && key === 'Datum') out.openingDate = value;
    if (section === 'Eröffnung' && key === 'Bestand') out.opening.push(value.match(/^(.*) (\S+)$/).slice(1));
    const b = out.bookings[out.bookings.length - 1];
    if (section.startsWith('Buchung') && key === 'Datum') b.date = value;
    if (section.startsWith('Buchung') && key === 'Person') b.person = value;
    if (section.startsWith('Buchung') && key === 'Grund') b.reason = value;
    if (section.startsWith('Buchung') && (key === 'Soll' || key === 'Haben')) {
      const [, account, amount] = value.match(/^(.*) (\S+)$/);
      b.lines.push({ account, amount, debit: key === 'Soll' });
    }
  }
  return out;
}

// "Neu", the fields, the lines; `how` books: the button, Alt+B, Enter, or 'none'.
async function book(page, b, how = 'button') {
  await click(page, 'SpeedButton8');
  await type(page, 'Edit14', b.date);
  await type(page, 'Edit15', b.person || '');
  await type(page, 'Edit16', b.reason || '');
  for (const [i, l] of b.lines.entries()) {
    await type(page, `ComboBox${i + 1}`, l.account);
    await type(page, `Edit${17 + 2 * i + (l.debit ? 0 : 1)}`, l.amount);
  }
  if (how === 'alt') await keys(page, 'Alt', 'b');
  else if (how === 'enter') {
    const last = b.lines.length - 1;
    await page.focus(sel(`Edit${17 + 2 * last + (b.lines[last].debit ? 0 : 1)}`));
    await page.keyboard.press('Enter');
    await settle(page);
  } else if (how === 'button') await click(page, 'SpeedButton29');
}

const page = await open();
let backup, shown;

await step('Aufgabe 3 über die Felder der Seite gelöst, „Prüfen“ gibt alle Punkte', async () => {
  assert.equal(await shownPage(page), 1);
  await click(page, 'SpeedButton23');
  assert.equal(page.boxes.length, 2);  // the chart's two questions
  await click(page, 'SpeedButton10');
  const first = solution(1);
  await click(page, 'SpeedButton35');
  for (let i = 1; i <= 8; ++i) {
    const value = first.company[(await control(page, 'CompanyCaption' + i)).text];
    if (value !== undefined) await type(page, 'Edit' + i, value === '*' ? 'Lena Beispiel' : value);
  }
  await click(page, 'SpeedButton32');
  const second = solution(2);
  await click(page, 'SpeedButton2');
  await type(page, 'Edit27', second.openingDate);
  const grid = (await control(page, 'StringGrid2')).rows;
  for (const [account, amount] of second.opening)
    await type(page, `[data-grid="StringGrid2"] input[data-row="${grid.findIndex(r => r[0] === account)}"]`, amount);
  await click(page, 'SpeedButton7');
  await click(page, 'SpeedButton3');
  const third = solution(3).bookings;
  for (const [i, b] of third.entries()) await book(page, b, ['button', 'alt', 'enter'][i % 3]);
  assert.deepEqual(await messages(page), []);
  await click(page, 'SpeedButton22');
  await click(page, '[data-ex="3"]');
  await page.select('[data-combo="CheckExercise"]', '3');
  await click(page, 'CheckButton');
  const points = (await control(page, 'CheckPoints')).text;
  assert.match(points, /^(\d+) von \1 Punkten$/);
  assert.deepEqual(page.boxes.filter(b => !/^confirm/.test(b)), []);
  page.boxes.length = 0;
});

await step('die vier Berichte gleichen denen von saldorama-cli, „pruefen --aus“ bewertet die Sicherung', async () => {
  shown = await reports(page);
  backup = await saveAll(page);
  const dir = cliFolder();
  cliRun(dir, 'laden', backup);
  const cliText = args => cliRun(dir, ...args).replace(/\n$/, '');
  for (const [memoName, args] of [['Memo1', ['bilanz']], ['Memo4', ['betriebsergebnis']], ['Memo2', ['journal']]])
    assert.equal(shown[memoName], cliText(args), args[0]);
  await click(page, 'SpeedButton6');
  const list = await control(page, 'ListBox1');
  await page.select('[data-name="ListBox1"]', String(list.items.findIndex(i => / Bank$/.test(i))));
  await settle(page);
  const sheet = (await control(page, 'StringGrid3')).rows.map(r => r[0] + '\t' + r[r.length - 1]).join('\n');
  assert.equal(sheet.replace(/\s+$/, ''), cliText(['konto', 'Bank']).replace(/\s+$/, ''));
  assert.match(cliRun(dir, 'pruefen', '3', '--aus', backup), /(\d+) von \1 Punkten/);
});

await step('nach dem Neuladen sind die Bücher noch da', async () => {
  await page.reload();
  await page.waitForSelector('body[data-ready]');
  assert.deepEqual(await reports(page), shown);
});

await step('Sicherung: Browser → saldorama-cli laden/sichern → Browser, Byte für Byte', async () => {
  const dir = cliFolder();
  cliRun(dir, 'laden', backup);
  const again = path.join(scratch, 'wieder.qrx');
  cliRun(dir, 'sichern', again);
  assert.ok(fs.readFileSync(again).equals(fs.readFileSync(backup)), 'die Sicherung von saldorama-cli weicht ab');
  await click(page, 'SpeedButton3');
  await book(page, { date: '20.01.2026', lines: [{ account: 'Bank', amount: '1,00', debit: true },
                                                  { account: 'Kasse', amount: '1,00', debit: false }] });
  await (await page.$('#upload')).uploadFile(again);
  await page.waitForFunction(() => /geladen/.test(view.status), { timeout: 10000 });
  await settle(page);
  assert.deepEqual(await reports(page), shown);
  assert.ok(fs.readFileSync(await saveAll(page)).equals(fs.readFileSync(backup)));
});

await step('Löschen, dann Strg+Z holt die Buchung zurück', async () => {
  await click(page, 'SpeedButton3');
  const before = await count(page);
  await click(page, 'SpeedButton36');  // the last booking on show, after a question
  assert.notEqual(await count(page), before);
  await page.focus('#help');
  await keys(page, 'Control', 'z');
  assert.equal(await count(page), before);
  assert.deepEqual(await reports(page), shown);
});

await step('zwei Tabs buchen zugleich, keine Buchung geht verloren', async () => {
  const other = await open();
  const before = Number((await count(page)).split('/')[1]);
  const booking = day => ({ date: `2${day}.01.2026`, lines: [{ account: 'Kasse', amount: `${day},00`, debit: true },
                                                             { account: 'Bank', amount: `${day},00`, debit: false }] });
  for (const [tab, day] of [[page, 1], [other, 2]]) {
    await tab.bringToFront();  // input goes to the tab in front
    await click(tab, 'SpeedButton3');
    await book(tab, booking(day), 'none');
  }
  await Promise.all([page, other].map(tab => tab.evaluate(() => document.querySelector('[data-c="SpeedButton29"]').click())));
  await Promise.all([settle(page), settle(other)]);
  await page.bringToFront();
  await page.reload();
  await page.waitForSelector('body[data-ready]');
  await click(page, 'SpeedButton5');
  const journal = await memo(page, 'Memo2');
  for (const day of [1, 2]) assert.match(journal, new RegExp(`2${day}\\.01\\.2026`));
  await click(page, 'SpeedButton3');
  assert.equal(await count(page), `${before + 2}/${before + 2}`);
  // Leaving with changes no backup holds asks first.
  await other.bringToFront();
  await other.close({ runBeforeUnload: true });
  await new Promise(r => setTimeout(r, 300));
  assert.ok(other.boxes.some(b => b.startsWith('beforeunload')), other.boxes.join('; '));
});

await step('ein verweigerter Speicher wird auf Deutsch gemeldet, die Buchung bleibt', async () => {
  await page.evaluate(() => {
    window.realPut = IDBObjectStore.prototype.put;
    IDBObjectStore.prototype.put = () => { throw new DOMException('voll', 'QuotaExceededError'); };
  });
  const before = Number((await count(page)).split('/')[1]);
  await book(page, { date: '28.01.2026', lines: [{ account: 'Kasse', amount: '3,00', debit: true },
                                                  { account: 'Bank', amount: '3,00', debit: false }] });
  assert.match((await messages(page)).join('\n'), /Speicher des Browsers ist voll.*„Alles Speichern“/);
  await click(page, 'SpeedButton9');  // browsing reads: the booking is still there
  assert.equal(await count(page), `1/${before + 1}`);
  await page.evaluate(() => { IDBObjectStore.prototype.put = window.realPut; });
  await click(page, 'SpeedButton27');
  await page.reload();
  await page.waitForSelector('body[data-ready]');
  await click(page, 'SpeedButton3');
  assert.equal(await count(page), `${before + 1}/${before + 1}`);
});

await step('F1 öffnet die Anleitung beim Kapitel der Seite; Strg+P druckt den Bericht', async () => {
  await click(page, 'SpeedButton4');
  await page.keyboard.press('F1');
  await settle(page);
  const seen = await page.evaluate(() => [...document.querySelectorAll('#manual h1')]
    .find(h => h.getBoundingClientRect().top >= -5 && h.getBoundingClientRect().top < 200)?.textContent.trim());
  assert.equal(seen, '6. Die Berichte');
  await page.screenshot({ path: path.join(shots, 'anleitung-1280.png') });
  await click(page, '#manualclose');
  await click(page, '.page.shown .textbook');  // "Lehrbuchform" on screen: the print's lines
  assert.match(await page.$eval('.page.shown .tform', e => e.hidden ? '' : e.innerText), /Aktiva/);
  await page.screenshot({ path: path.join(shots, 'bilanz-lehrbuchform-1280.png') });
  await click(page, '.page.shown .textbook');
  await page.emulateMediaType('print');
  await page.evaluate(() => window.dispatchEvent(new Event('beforeprint')));
  const printed = await page.evaluate(() => ({ text: document.querySelector('#print').innerText,
                                               head: document.querySelector('#printpage').textContent }));
  assert.match(printed.text, /Aktiva/);
  assert.match(printed.head, /Fahrradhandlung Kettenblatt/);
  fs.writeFileSync(path.join(shots, 'bilanz-druck.pdf'), await page.pdf({ format: 'A4', preferCSSPageSize: true }));
  await page.evaluate(() => window.dispatchEvent(new Event('afterprint')));
  await page.emulateMediaType(null);
});

await step('jede Seite öffnet sich in drei Fenstergrößen, nichts ragt seitlich hinaus (Bildschirmfotos)', async () => {
  const pages = [['start', '#startpage'], ['firmendaten', 'SpeedButton35'], ['eroeffnung', 'SpeedButton2'],
                 ['buchungen', 'SpeedButton3'], ['bilanz', 'SpeedButton4'], ['journal', 'SpeedButton5'],
                 ['aufgaben', 'SpeedButton22'], ['betriebsergebnis', 'SpeedButton1'],
                 ['kontenblaetter', 'SpeedButton6'], ['kontenplan', 'SpeedButton37']];
  for (const [width, height] of [[1280, 800], [768, 1024], [1024, 600]]) {
    await page.setViewport({ width, height, hasTouch: width === 768, isMobile: width === 768 });
    for (const [name, button] of pages) {
      await click(page, button);
      await page.screenshot({ path: path.join(shots, `${name}-${width}.png`) });
      assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= innerWidth + 1), `${name} bei ${width}`);
    }
    // The settings behind the access word ("Mentor" in the company name).
    await click(page, 'SpeedButton35');
    const name = (await control(page, 'Edit1')).text;
    await type(page, 'Edit1', 'Mentor');
    await click(page, 'SpeedButton24');
    assert.equal(await shownPage(page), 7);
    await page.screenshot({ path: path.join(shots, `einstellungen-${width}.png`) });
    await click(page, 'SpeedButton35');
    await type(page, 'Edit1', name);
    await click(page, 'SpeedButton32');
  }
  await page.setViewport({ width: 1280, height: 800 });
  assert.deepEqual(page.boxes.filter(b => /Skriptfehler|Anfrage/.test(b)), []);
});

await step('„Neu anfangen“ fragt, und nur ein Ja löscht die Bücher', async () => {
  await click(page, '#startpage');
  const before = await count(page);
  page.answer = () => false;
  await click(page, '#restart');
  assert.equal(await count(page), before);
  page.answer = () => true;
  await Promise.all([page.waitForNavigation(), page.click('#restart')]);
  await page.waitForSelector('body[data-ready]');
  await click(page, 'SpeedButton3');
  assert.equal(await count(page), '0/0');
});

await step('die Seite für Klassenarbeiten hat keine Lösungen und eigene Bücher', async () => {
  const exam = await browser.newPage();
  await exam.goto('file://' + html.replace(/saldorama\.html$/, 'saldorama-pruefung.html'));
  await exam.waitForSelector('body[data-ready]', { timeout: 20000 });
  assert.deepEqual(await exam.evaluate(() => [FOLDER, FS.readdir('/supplied').filter(f => /^Loesung/.test(f))]),
                   ['/saldorama-pruefung', []]);
  await exam.close();
});

// A teacher's learning platform serves the file: the same page over http,
// with books of its own origin that a reload keeps.
await step('von einem Webserver ausgeliefert läuft die Seite ebenso und behält ihre Bücher', async () => {
  const server = http.createServer((req, res) => {
    res.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8' });
    fs.createReadStream(html).pipe(res);
  });
  await new Promise(resolve => server.listen(0, '127.0.0.1', resolve));
  try {
    const served = await browser.newPage();
    const errors = [];
    served.on('pageerror', e => errors.push(e.message));
    served.on('dialog', d => d.accept());
    const url = `http://127.0.0.1:${server.address().port}/saldorama.html`;
    await served.goto(url);
    await served.waitForSelector('body[data-ready]', { timeout: 20000 });
    await click(served, 'SpeedButton35');
    await type(served, 'Edit1', 'Webserver-Firma');
    await click(served, 'SpeedButton32');
    await served.reload();
    await served.waitForSelector('body[data-ready]', { timeout: 20000 });
    await click(served, 'SpeedButton35');
    assert.equal(await control(served, 'Edit1').then(c => c.text), 'Webserver-Firma');
    assert.deepEqual(errors, []);
    await served.close();
  } finally {
    server.close();
  }
});

await browser.close();
fs.rmSync(scratch, { recursive: true, force: true });
if (failures.length) {
  console.log(`${failures.length} Browser-Test(s) fehlgeschlagen: ${failures.join('; ')}`);
  process.exit(1);
}
console.log('Alle Browser-Tests bestanden.');
