// What the browser tests share: their checks and verdict, and headless
// Chromium started with every request but the page's own file refused.

'use strict';

const { chromium } = require('playwright-core');
const path = require('path');

const results = [];

function check(name, passed, detail) {
  results.push({ name, passed, detail });
  console.log(`${passed ? 'ok  ' : 'FAIL'} ${name}${passed || detail === undefined ? '' : ': ' + detail}`);
}

function expectEqual(name, actual, expected) {
  check(name, JSON.stringify(actual) === JSON.stringify(expected),
    `got ${JSON.stringify(actual)}, expected ${JSON.stringify(expected)}`);
}

// A browser with a fresh profile in `folder`; `blocked` collects the URLs it
// refused (anything but file:).
async function launch(folder, blocked) {
  const context = await chromium.launchPersistentContext(path.join(folder, 'profile'), {
    executablePath: '/usr/bin/chromium',
    headless: true,
    timeout: 30000,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
  });
  context.setDefaultTimeout(5000);
  await context.route(/^(?!file:)/, (route) => {
    blocked.push(route.request().url());
    return route.abort();
  });
  return context;
}

// Prints the count and exits 0 when every check passed.
function finish() {
  const failed = results.filter((r) => !r.passed).length;
  console.log(`${results.length - failed} passed, ${failed} failed`);
  process.exit(failed === 0 && results.length > 0 ? 0 : 1);
}

module.exports = { check, expectEqual, launch, finish };
