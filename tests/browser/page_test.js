// Converts the two-file clang-tidy fixture into a page, opens it in headless
// Chromium with every network request refused, and clicks through it as a
// reader would: sidebar entries, the collapse button, the message texts.
//
//   node page_test.js PROGRAM FIXTURE_INPUT [PARSER_TYPE]
//
// PARSER_TYPE is ClangTidy (the default; the page lists util.c and main.cpp)
// or ClangTidy_all (the same fixture also gives ring.hpp and legacy.cc).
//
// Exits 0 when every check passed, 1 otherwise.

'use strict';

const { check, expectEqual, launch, finish } = require('./browser');
const { execFileSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

const [program, input, parserType = 'ClangTidy'] = process.argv.slice(2);
// The sidebar entries each parser type gives for the fixture, in page order.
const expectedNames = {
  ClangTidy: ['util.c', 'main.cpp'],
  ClangTidy_all: ['util.c', 'ring.hpp', 'legacy.cc', 'main.cpp'],
}[parserType];
if (!expectedNames) {
  console.error(`page_test.js: no expected page for parser type ${parserType}`);
  process.exit(2);
}
const last = expectedNames.length - 1;  // main.cpp's block
function convert(folder) {
  const page = path.join(folder, 'page.html');
  const out = execFileSync(program, [
    `--input=${input}`, `--output=${page}`, '--platform=Pwe3', '--test_type=Unit',
    '--project_name=K7Tr52_App_default', '--tool_name=CTC', '--hash_value=HASH', `--parser_type=${parserType}`,
  ]).toString();
  expectEqual('the program reports success', out, 'version 0ZEZudizOzazIdovuvidur: Report has been built successfully\n');
  return page;
}

// The display of each content block, in id order ("none" or "block").
function blockDisplays(page) {
  return page.evaluate(() => {
    const displays = [];
    for (let i = 0; document.getElementById(String(i)); i++) {
      displays.push(getComputedStyle(document.getElementById(String(i))).display);
    }
    return displays;
  });
}

async function checkPage(page, pageErrors, blocked) {
  // The displays with block `shown` shown and every other hidden.
  const only = (shown) => expectedNames.map((_, i) => (i === shown ? 'block' : 'none'));
  expectEqual('every block starts hidden', await blockDisplays(page), only(-1));
  expectEqual('sidebar entries show the base names',
    (await page.locator('#list a').allTextContents()).map((name) => name.trim()), expectedNames);

  await page.locator('#list a').nth(last).click();
  expectEqual(`entry ${last} shows block ${last} alone`, await blockDisplays(page), only(last));
  await page.locator('#list a').nth(0).click();
  expectEqual('entry 0 switches to block 0', await blockDisplays(page), only(0));
  await page.locator('#list a').nth(0).click();
  expectEqual('entry 0 again keeps block 0 shown', await blockDisplays(page), only(0));

  const block0 = page.locator('[id="0"]');
  const widths = () => page.evaluate(() => ({
    block: document.getElementById('0').getBoundingClientRect().width,
    container: document.getElementById('container').getBoundingClientRect().width,
  }));
  const glyph = () => block0.locator('span.glyphicon').getAttribute('class');
  // The list itself has no height; its entries show whether it is shown.
  const sidebarShown = () => Promise.all(expectedNames.map((_, i) => page.locator('#list a').nth(i).isVisible()));
  const allEntries = (visible) => expectedNames.map(() => visible);
  expectEqual('the sidebar is shown', await sidebarShown(), allEntries(true));
  const before = await widths();
  check('block 0 takes three quarters of the width', Math.abs(before.block - 0.75 * before.container) < 2,
    JSON.stringify(before));

  await block0.locator('button[title="Collapse sidebar"]').click();
  expectEqual('collapse hides the sidebar', await sidebarShown(), allEntries(false));
  const collapsed = await widths();
  check('collapse widens block 0 to the full width', Math.abs(collapsed.block - collapsed.container) < 2,
    JSON.stringify(collapsed));
  expectEqual('collapse flips the glyph', await glyph(), 'glyphicon glyphicon-menu-right');

  await block0.locator('button[title="Collapse sidebar"]').click();
  expectEqual('a second click shows the sidebar again', await sidebarShown(), allEntries(true));
  const restored = await widths();
  check('a second click restores the width', Math.abs(restored.block - before.block) < 2, JSON.stringify(restored));
  expectEqual('a second click restores the glyph', await glyph(), 'glyphicon glyphicon-menu-left');
  await page.locator('#list a').nth(last).click();
  expectEqual('the sidebar works after restoring', await blockDisplays(page), only(last));

  const text = await page.locator(`[id="${last}"] pre`).innerText();
  check('a message with <int> shows its text literally',
    text.includes(`'std::vector<int>' is copied; consider a reference & "const" [performance-for-range-copy]`), text);
  expectEqual('no markup came from the messages', await page.evaluate(() => document.querySelectorAll('int').length), 0);

  expectEqual('the page script raised no error', pageErrors, []);
  check('outside requests were refused, not waited for', blocked.length > 0, JSON.stringify(blocked));
}

async function main() {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'viviri-page-'));
  let context;
  try {
    const pagePath = convert(folder);
    const blocked = [];
    context = await launch(folder, blocked);
    const page = context.pages()[0] || await context.newPage();
    const pageErrors = [];
    page.on('pageerror', (error) => pageErrors.push(error.message));
    await page.goto('file://' + pagePath, { waitUntil: 'load' });
    await checkPage(page, pageErrors, blocked);
  } catch (error) {
    check('the test ran to its end', false, error.stack || String(error));
  } finally {
    if (context) await context.close();
    fs.rmSync(folder, { recursive: true, force: true });
  }
  finish();
}

main();
