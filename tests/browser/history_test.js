// Loads five runs of a project into a SQLite database with the converter,
// writes VIViriZovuro-compare's history page of them, opens it in headless
// Chromium with every request but the page's own refused, and checks it as a
// reader would: one chart per kind with one hover column per run, the hover
// titles, the collapsible lists, names shown as text. Keeps screenshots at
// desktop and phone width.
//
//   node history_test.js CONVERTER COMPARE SCREENSHOT_FOLDER
//
// Exits 0 when every check passed, 1 otherwise.

'use strict';

const { chromium } = require('playwright-core');
const { execFileSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

const [converter, compare, screenshots] = process.argv.slice(2);
const results = [];

function check(name, passed, detail) {
  results.push({ name, passed, detail });
  console.log(`${passed ? 'ok  ' : 'FAIL'} ${name}${passed || detail === undefined ? '' : ': ' + detail}`);
}

function expectEqual(name, actual, expected) {
  check(name, JSON.stringify(actual) === JSON.stringify(expected),
    `got ${JSON.stringify(actual)}, expected ${JSON.stringify(expected)}`);
}

const hashes = ['1111111aaaa', '2222222bbbb', '3333333cccc', '4444444dddd', '5555555eeee'];

// The reports of run `n`: one more failing test, warning and section byte each run.
function reports(n) {
  let gtest = '';
  for (let i = 0; i < 6; i++) {
    gtest += `[ RUN      ] Suite.T${i}\n`;
    gtest += i < n ? `[  FAILED  ] Suite.T${i} (0 ms)\n` : `[       OK ] Suite.T${i} (0 ms)\n`;
  }
  let lcov = 'SF:src/a.c\n';
  for (let line = 1; line <= 10; line++) lcov += `DA:${line},${line <= 10 - n ? 1 : 0}\n`;
  lcov += 'end_of_record\n';
  let warnings = '';
  for (let i = 0; i <= n; i++) warnings += `Src/<a>&"b".c:${i + 1}:1: warning: w [-Wx${i}]\n`;
  const map = `Placement (origin+size section file)\n08000000+${(256 + 64 * n).toString(16).padStart(6, '0')} .text main.o\n` +
    '20000000+000040 .bss main.o\n00000000+000800 .debug_info main.o\n';
  return { PassFail_GTest: gtest, LCOV_Coverage: lcov, Warning_GCC: warnings, Map: map };
}

function loadRuns(folder, database) {
  hashes.forEach((hash, n) => {
    for (const [parserType, text] of Object.entries(reports(n))) {
      const input = path.join(folder, `${parserType}.in`);
      const script = path.join(folder, `${parserType}.sql`);
      fs.writeFileSync(input, text);
      execFileSync(converter, [`--input=${input}`, `--output=${script}`, '--platform=Pwe3', '--test_type=Unit',
        '--project_name=App', '--tool_name=GCOV', `--hash_value=${hash}`, `--parser_type=${parserType}`]);
      const dated = fs.readFileSync(script, 'utf8')
        .replace(/'\d{4}-\d\d-\d\d', '\d\d:\d\d:\d\d'/g, `'2026-12-0${n + 1}', '10:00:00'`);
      execFileSync('sqlite3', ['-bail', database], { input: dated });
    }
  });
}

async function checkPage(page, blocked) {
  const charts = await page.locator('figure figcaption').allTextContents();
  expectEqual('one chart per kind', charts,
    ['Tests per run', 'Coverage per run', 'Warnings per run', 'Target memory per run']);
  const columns = await page.evaluate(() => [...document.querySelectorAll('figure')]
    .map((figure) => figure.querySelectorAll('g.hit rect').length));
  expectEqual('one hover column per run in every chart', columns, [5, 5, 5, 5]);

  const testsColumn = page.locator('figure').nth(0).locator('g.hit rect').nth(4);
  await testsColumn.hover();
  expectEqual('the newest run\'s title names its hash, date and values',
    await testsColumn.locator('title').textContent(),
    '5555555eeee 2026-12-05 10:00:00: passed 2, FAILED 4, skipped 0');
  const memoryTitle = await page.locator('figure').nth(3).locator('g.hit rect').nth(0).locator('title').textContent();
  expectEqual('the memory chart counts target memory only', memoryTitle,
    '1111111aaaa 2026-12-01 10:00:00: total 320, .text 256, .bss 64');
  await testsColumn.focus();
  check('a run\'s column takes the keyboard focus',
    await page.evaluate(() => document.activeElement && document.activeElement.tagName === 'rect'));
  const marks = await page.locator('figure').nth(0).locator('text').allTextContents();
  check('the current and baseline runs are marked', marks.includes('current') && marks.includes('baseline'),
    JSON.stringify(marks));

  const newWarnings = page.locator('details', { hasText: 'New warnings' });
  const item = newWarnings.locator('li').first();
  check('a list starts closed', !(await item.isVisible()));
  await newWarnings.locator('summary').click();
  check('a click opens it', await item.isVisible());
  expectEqual('a name with markup shows as text', await item.textContent(), 'Src/<a>&"b".c:5 warning [-Wx4]');
  await newWarnings.locator('summary').click();
  check('a second click closes it', !(await item.isVisible()));
  expectEqual('no markup came from the names', await page.evaluate(() => document.querySelectorAll('a').length), 0);
  expectEqual('nothing was requested but the page', blocked, []);
}

async function main() {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'viviri-history-'));
  let context;
  try {
    const database = path.join(folder, 'results.db');
    loadRuns(folder, database);
    const pagePath = path.join(folder, 'history.html');
    let status = 0;
    try {
      execFileSync(compare, [`--database=${database}`, '--project_name=App', `--hash_value=${hashes[4]}`,
        `--html=${pagePath}`, '--fail-on=new-failures'], { stdio: 'ignore' });
    } catch (error) {
      status = error.status;
    }
    expectEqual('the gate breaks on the new failure', status, 1);
    context = await chromium.launchPersistentContext(path.join(folder, 'profile'), {
      executablePath: '/usr/bin/chromium',
      headless: true,
      timeout: 30000,
      args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
        '--disable-component-update', '--disable-sync'],
    });
    context.setDefaultTimeout(5000);
    const blocked = [];
    await context.route(/^(?!file:)/, (route) => {
      blocked.push(route.request().url());
      return route.abort();
    });
    const page = context.pages()[0] || await context.newPage();
    await page.setViewportSize({ width: 1280, height: 900 });
    await page.goto('file://' + pagePath, { waitUntil: 'load' });
    await checkPage(page, blocked);
    fs.mkdirSync(screenshots, { recursive: true });
    await page.screenshot({ path: path.join(screenshots, 'history-page-desktop.png'), fullPage: true });
    await page.setViewportSize({ width: 390, height: 844 });
    const overflow = await page.evaluate(() => document.documentElement.scrollWidth - window.innerWidth);
    check('nothing overflows a phone\'s width', overflow <= 0, `${overflow} pixels wider`);
    await page.screenshot({ path: path.join(screenshots, 'history-page-phone.png'), fullPage: true });
  } catch (error) {
    check('the test ran to its end', false, error.stack || String(error));
  } finally {
    if (context) await context.close();
    fs.rmSync(folder, { recursive: true, force: true });
  }
  const failed = results.filter((r) => !r.passed).length;
  console.log(`${results.length - failed} passed, ${failed} failed`);
  process.exit(failed === 0 && results.length > 0 ? 0 : 1);
}

main();
