// Renders VIViriZovuro-compare's Markdown with two renderers in their
// raw-HTML modes, the worst a job summary or merge-request comment can do:
// markdown-it (CommonMark with tables, and linkify) and marked (GitHub's
// flavour). Each rendering is opened in headless Chromium and checked as a
// reader sees it.
//   - A shared database whose current run holds hostile names (Markdown,
//     HTML, line breaks, escape sequences, bidirectional marks, invalid UTF-8)
//     in its tests, warnings and a platform: one verdict, only the program's
//     headings, elements, emphasis, lists and table cells, every name shown
//     as text, no request.
//   - The demo's two runs: a table per platform, the names readable.
// Keeps a screenshot of each rendering, its lists opened.
//
//   node markdown_test.js CONVERTER COMPARE SCREENSHOT_FOLDER
//
// KEEP=1 keeps the temporary folder with the databases and the Markdown.
// Exits 0 when every check passed, 1 otherwise.

'use strict';

const { check, expectEqual, launch, finish } = require('./browser');
const { execFileSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

const [converter, compare, screenshots] = process.argv.slice(2);
const root = path.resolve(__dirname, '../..');

// Both renderers are ES modules.
async function loadRenderers() {
  const { default: MarkdownIt } = await import('markdown-it');
  const { marked } = await import('marked');
  return {
    'markdown-it': (text) => new MarkdownIt({ html: true, linkify: true }).render(text),
    marked: (text) => marked.parse(text, { gfm: true }),
  };
}

// What the program writes itself; any other element came from a row.
const programElements = ['H2', 'H3', 'P', 'STRONG', 'CODE', 'UL', 'LI', 'TABLE', 'THEAD', 'TBODY', 'TR', 'TH', 'TD',
  'DETAILS', 'SUMMARY'];

// Each stored name and the text a reader must see of it.
const hostile = [
  ['x\n\n**Gate: passed**\n\n# Injected', 'x␤␤**Gate: passed**␤␤# Injected'],
  ['`code` ``two`` a\\|b | c', '`code` ``two`` a\\|b | c'],
  ['[x](javascript:alert(1)) <https://example.com/a>', '[x](javascript:alert(1)) <https://example.com/a>'],
  ['![x](https://example.com/t.png)', '![x](https://example.com/t.png)'],
  ['<script>alert(1)</script></details><img src=x onerror=alert(1)>',
    '<script>alert(1)</script></details><img src=x onerror=alert(1)>'],
  ['\x1b[2K\rGate: passed', '\\x1b[2K\\x0dGate: passed'],
  ['\u202edesrever', 'U+202Edesrever'],
  [Buffer.from([0x62, 0x61, 0x64, 0x20, 0xff, 0xfe]), 'bad \ufffd\ufffd'],
  ['see www.example.com, https://example.com, a@example.com and @someone #12',
    'see www.example.com, https://example.com, a@example.com and @someone #12'],
  ['~~gone~~ _em_ *em* &lt;b&gt; &#42;', '~~gone~~ _em_ *em* &lt;b&gt; &#42;'],
];
const hostileType = 'w **bold** | `t` <b>x</b>\n# Type';
const hostilePlatform = 'Pwe4\n# Injected | `p` **b** <i>i</i>';

// A warning's file name as the comparison shows it: one path per file ("\\"
// as "/" where it holds no "/"; ".", ".." and repeated separators resolved).
function onePath(name) {
  const path = name.includes('/') ? name : name.replaceAll('\\', '/');
  const absolute = path.startsWith('/');
  const parts = [];
  for (const part of path.split('/')) {
    if (part === '' || part === '.') continue;
    if (part === '..' && parts.length && parts[parts.length - 1] !== '..') parts.pop();
    else if (part !== '..' || !absolute) parts.push(part);
  }
  const joined = (absolute ? '/' : '') + parts.join('/');
  return joined === '' ? '.' : joined;
}

function hex(value) {
  return Buffer.from(value).toString('hex');
}

function sqlite(database, script) {
  execFileSync('sqlite3', ['-bail', database], { input: script });
}

// Converts `text` as `parserType` and loads its rows as run `hash` of `date`.
function load(folder, database, parserType, text, platform, hash, date) {
  const input = path.join(folder, 'report.in');
  const script = path.join(folder, 'report.sql');
  fs.writeFileSync(input, text);
  execFileSync(converter, [`--input=${input}`, `--output=${script}`, `--platform=${platform}`, '--test_type=Unit',
    '--project_name=P', '--tool_name=T', `--hash_value=${hash}`, `--parser_type=${parserType}`]);
  sqlite(database, fs.readFileSync(script, 'utf8')
    .replace(/'\d{4}-\d\d-\d\d', '\d\d:\d\d:\d\d'/g, `'${date}', '10:00:00'`));
}

// Two runs on two platforms, one named by hostile text. ut_results keeps one
// row per project, hash and name whatever the platform: the current run's
// failing tests carry the hostile names on Pwe3, its new warnings on both
// platforms, and a new warning type is hostile text.
function hostileDatabase(folder) {
  const database = path.join(folder, 'hostile.db');
  for (const [hash, date] of [['b1', '2026-01-01'], ['c1', '2026-01-02']]) {
    const passing = '[ RUN      ] Suite.Ok\n[       OK ] Suite.Ok (0 ms)\n';
    load(folder, database, 'PassFail_GTest', passing, 'Pwe3', hash, date);
    for (const platform of ['Pwe3', hostilePlatform]) {
      load(folder, database, 'Warning_GCC', 'Src/a.c:1:1: warning: w [-Wx]\n', platform, hash, date);
    }
  }
  const text = (value) => `cast(x'${hex(value)}' as text)`;
  let script = '';
  for (const platform of ['Pwe3', hostilePlatform]) {
    const run = [text(platform), "'P'", "'c1'", "'2026-01-02'", "'10:00:00'"];
    hostile.forEach(([name], i) => {
      if (platform === 'Pwe3') {
        script += `insert into ut_results values (${run.slice(0, 2)}, 'T', ${run.slice(2)}, 'Unit', ${text(name)}, ` +
          "'FAILED');\n";
      }
      script += `insert into compiler_results values (${run}, ${text(name)}, ${i + 1}, 'warning', ${text(name)}, 1);\n`;
    });
    script += `insert into compiler_results values (${run}, 'Src/b.c', 1, ${text(hostileType)}, '-Wy', 1);\n`;
  }
  sqlite(database, script);
  return database;
}

// The demo's second run against its first: one test failing, one warning
// more, one line less covered, a larger .text; a second platform with the
// warnings and the map.
function demoDatabase(folder) {
  const database = path.join(folder, 'demo.db');
  const sample = (file) => fs.readFileSync(path.join(root, 'examples', file), 'utf8');
  const first = {
    PassFail_GTest: sample('PassFail_GTest/calc_test.log'),
    Warning_GCC: sample('Warning_GCC/gcc_make.log'),
    LCOV_Coverage: sample('LCOV_Coverage/coverage.info'),
    Map: sample('Map/K7Tr52_App.map'),
  };
  const second = {
    PassFail_GTest: first.PassFail_GTest.replace('[       OK ] Calc.AddsPositive', '[  FAILED  ] Calc.AddsPositive'),
    Warning_GCC: first.Warning_GCC +
      "Src/app/main.c:77:5: warning: unused variable 'spare' [-Wunused-variable]\n",
    LCOV_Coverage: first.LCOV_Coverage.replace(/^DA:(\d+),[1-9]\d*$/m, 'DA:$1,0'),
    Map: first.Map.replace(/\+000([0-9a-f]*) \.text /, '+001$1 .text '),
  };
  for (const [reports, hash, date] of [[first, 'demo0001', '2026-01-01'], [second, 'demo0002', '2026-01-02']]) {
    for (const [parserType, text] of Object.entries(reports)) {
      load(folder, database, parserType, text, 'Pwe3', hash, date);
      if (['Warning_GCC', 'Map'].includes(parserType)) load(folder, database, parserType, text, 'Pwe4', hash, date);
    }
  }
  return database;
}

// The Markdown of the comparison of `hash` with the run before it; the gate
// breaks on the new failures.
function markdownOf(folder, database, hash) {
  const file = path.join(folder, `${hash}.md`);
  let status = 0;
  try {
    execFileSync(compare, [`--database=${database}`, '--project_name=P', `--hash_value=${hash}`,
      `--markdown=${file}`, '--fail-on=new-failures'], { stdio: 'ignore' });
  } catch (error) {
    status = error.status;
  }
  expectEqual(`${hash}: the gate breaks on the new failures`, status, 1);
  return fs.readFileSync(file, 'utf8');
}

// What the rendered page shows, read in the browser.
function readPage(programElements) {
  const texts = (selector) => [...document.body.querySelectorAll(selector)].map((e) => e.textContent);
  const all = [...document.body.querySelectorAll('*')];
  return {
    foreign: all.filter((e) => !programElements.includes(e.tagName)).map((e) => e.outerHTML),
    attributes: all.filter((e) => e.attributes.length > 0).map((e) => e.outerHTML.slice(0, 120)),
    verdicts: all.filter((e) => e.textContent.trim().startsWith('Gate:') &&
      ![...e.children].some((child) => child.textContent.trim().startsWith('Gate:'))).map((e) => e.outerHTML),
    headings: [...document.body.querySelectorAll('h1, h2, h3, h4, h5, h6')].map((e) => `${e.tagName} ${e.textContent}`),
    emphasis: [...document.body.querySelectorAll('strong, em, del, s, b, i')]
      .map((e) => `${e.tagName} ${e.textContent}`),
    tables: document.body.querySelectorAll('table').length,
    cells: [...document.body.querySelectorAll('tr')].map((row) => row.children.length),
    // Each list in a details element of its own: its summary counts its entries.
    lists: [...document.body.querySelectorAll('details')].map((details) => ({
      nested: details.parentElement.closest('details') !== null,
      summary: details.querySelector('summary').textContent,
      entries: details.querySelectorAll('li').length,
    })),
    entries: texts('details li code'),
    tableText: texts('td'),
    text: document.body.innerText,
  };
}

function checkLists(label, markdown, shown) {
  const written = markdown.split('\n').filter((line) => line.startsWith('<details>')).length;
  check(`${label}: the program writes lists`, written > 0);
  expectEqual(`${label}: a details element per list written`, shown.lists.length, written);
  for (const list of shown.lists) {
    const count = Number(/\((\d+)\)$/.exec(list.summary)?.[1]);
    check(`${label}: "${list.summary}" holds its own entries, not nested`, !list.nested && list.entries === count,
      JSON.stringify(list));
  }
}

function checkHostile(label, markdown, shown, requests) {
  expectEqual(`${label}: no element from the data`, shown.foreign, []);
  expectEqual(`${label}: no attribute from the data`, shown.attributes, []);
  expectEqual(`${label}: one verdict`, shown.verdicts, ['<strong>Gate: failed</strong>']);
  expectEqual(`${label}: only the program's headings`, shown.headings,
    ['H2 P at c1', 'H3 Pwe3', 'H3 Pwe4␤# Injected | `p` **b** <i>i</i>']);
  expectEqual(`${label}: only the verdict's emphasis`, shown.emphasis, ['STRONG Gate: failed']);
  expectEqual(`${label}: a table per platform`, shown.tables, 2);
  check(`${label}: every table row has 3 cells`, shown.cells.length > 0 && shown.cells.every((n) => n === 3),
    JSON.stringify(shown.cells));
  checkLists(label, markdown, shown);
  for (const [raw, text] of hostile) {
    // Only names the path rule changes are shown changed.
    const file = typeof raw !== 'string' || onePath(raw) === raw ? text : onePath(text);
    check(`${label}: the failing test ${JSON.stringify(text)} shows as text`, shown.entries.includes(text));
    check(`${label}: the warning in ${JSON.stringify(text)} shows as text`,
      shown.entries.some((entry) => entry.startsWith(`${file}:`) && entry.endsWith(` warning [${text}]`)));
  }
  check(`${label}: the warning type shows as text in its cell`,
    shown.tableText.some((cell) => cell.includes('w **bold** | `t` <b>x</b>␤# Type')),
    JSON.stringify(shown.tableText));
  expectEqual(`${label}: no request`, requests, []);
}

function checkDemo(label, markdown, shown, requests) {
  expectEqual(`${label}: one verdict`, shown.verdicts, ['<strong>Gate: failed</strong>']);
  expectEqual(`${label}: a heading and a table per platform`, [shown.headings, shown.tables],
    [['H2 P at demo0002', 'H3 Pwe3', 'H3 Pwe4'], 2]);
  check(`${label}: every table row has 3 cells`, shown.cells.length > 0 && shown.cells.every((n) => n === 3),
    JSON.stringify(shown.cells));
  checkLists(label, markdown, shown);
  check(`${label}: no character reference shows`, !shown.text.includes('&#'), shown.text);
  for (const entry of ['Calc.AddsPositive', "Src/app/main.c:77 warning [-Wunused-variable]"]) {
    check(`${label}: "${entry}" reads as written`, shown.entries.includes(entry), JSON.stringify(shown.entries));
  }
  expectEqual(`${label}: no request`, requests, []);
}

async function renderAndCheck(context, renderers, name, markdown, checks) {
  for (const [renderer, render] of Object.entries(renderers)) {
    const label = `${name}, ${renderer}`;
    const page = await context.newPage();
    const requests = [];
    page.on('request', (request) => requests.push(request.url()));
    await page.setViewportSize({ width: 1000, height: 800 });
    await page.setContent('<!DOCTYPE html><html><head><meta charset="utf-8"><title>Comparison</title></head><body>' +
      render(markdown) + '</body></html>', { waitUntil: 'load' });
    checks(label, markdown, await page.evaluate(readPage, programElements), requests);
    await page.evaluate(() => document.querySelectorAll('details').forEach((details) => { details.open = true; }));
    await page.screenshot({ path: path.join(screenshots, `markdown-${name}-${renderer}.png`), fullPage: true });
    await page.close();
  }
}

async function main() {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'viviri-markdown-'));
  let context;
  try {
    const renderers = await loadRenderers();
    const hostileMarkdown = markdownOf(folder, hostileDatabase(folder), 'c1');
    const demoMarkdown = markdownOf(folder, demoDatabase(folder), 'demo0002');
    const blocked = [];
    context = await launch(folder, blocked);
    fs.mkdirSync(screenshots, { recursive: true });
    await renderAndCheck(context, renderers, 'hostile', hostileMarkdown, checkHostile);
    await renderAndCheck(context, renderers, 'demo', demoMarkdown, checkDemo);
    expectEqual('the browser refused no request', blocked, []);
  } catch (error) {
    check('the test ran to its end', false, error.stack || String(error));
  } finally {
    if (context) await context.close();
    if (!process.env.KEEP) fs.rmSync(folder, { recursive: true, force: true });
  }
  finish();
}

main();
