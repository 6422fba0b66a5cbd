#!/usr/bin/env python3
"""Writes a large, realistic report for one parser type.

    bench/generate.py PARSER_TYPE SIZE_MB OUTPUT [--seed N]

The same type, size and seed always give the same bytes. Each report is built
from the pieces the real tool prints (banners, long compiler command lines,
headers, summaries, blank lines, lines of other tools) around mostly valid
result lines. No line is longer than a few kilobytes. The clang-tidy output
has CR LF line ends, as a run on a Windows build agent writes it.
"""

import argparse
import json
import random
import sys

MB = 1 << 20

MODULES = ["app", "drv", "svc", "hal", "com", "diag", "nvm", "os", "util", "bsw"]
STEMS = ["main", "scheduler", "uart", "adc", "can_bus", "can_frame", "nv_storage", "crc", "timer", "watchdog",
         "dio", "pwm", "spi", "i2c", "eeprom", "flash", "lin", "dcm", "dem", "fim", "com_stack", "router",
         "ring_buffer", "config", "state_machine", "parser", "logger", "power", "clock", "mem_pool"]
WORDS = ["value", "state", "buffer", "frame", "index", "count", "status", "retry", "length", "offset", "mask",
         "handle", "config", "channel", "timeout", "result", "entry", "node", "slot", "flag"]


def source_files(rng, count):
    files = []
    for i in range(count):
        module = rng.choice(MODULES)
        files.append("%s/%s_%d" % (module, rng.choice(STEMS), i))
    return files


def long_command_line(rng, compiler, source):
    """A compiler invocation as build logs print it: hundreds of bytes to a few KB."""
    parts = [compiler, "-v28", "-ml", "-mt", "--cla_support=cla1", "--float_support=fpu32", "-O2", "-g"]
    for _ in range(rng.randint(5, 60)):
        parts.append('--include_path="C:/work/K7Tr52_App/%s/%s/Inc"' % (rng.choice(MODULES), rng.choice(STEMS)))
    for _ in range(rng.randint(2, 20)):
        parts.append("--define=%s_%s=%d" % (rng.choice(WORDS).upper(), rng.choice(STEMS).upper(), rng.randint(0, 9)))
    parts += ["--diag_warning=225", "--diag_wrap=off", "--display_error_number", "--verbose_diagnostics",
              '--preproc_dependency="%s.d_raw"' % source, '"../Src/%s.c"' % source]
    return " ".join(parts)


# --------------------------------------------------------------------------- PassFail

def pass_fail(rng, state):
    lines = ["", "", "     CUnit - A unit testing framework for C - Version 2.1-3", "     http://cunit.sourceforge.net/",
             ""]
    tests = failed = 0
    for suite in range(rng.randint(3, 12)):
        lines.append("Suite: suite_%s_%d" % (rng.choice(STEMS), suite))
        for _ in range(rng.randint(5, 40)):
            name = "test_%s_%s_%d" % (rng.choice(WORDS), rng.choice(WORDS), state["n"])
            state["n"] += 1
            tests += 1
            roll = rng.random()
            verdict = "passed" if roll < 0.85 else "FAILED" if roll < 0.93 else "failed" if roll < 0.97 else "PASSED"
            extra = " (%s %s)" % (rng.choice(WORDS), rng.choice(WORDS)) if rng.random() < 0.1 else ""
            lines.append("  Test: %s%s ...%s" % (name, extra, verdict))
            if verdict in ("FAILED", "failed"):
                failed += 1
                for k in range(rng.randint(1, 3)):
                    lines.append("    %d. test_%s.c:%d  - CU_ASSERT_EQUAL(%s,%d)" %
                                 (k + 1, rng.choice(STEMS), rng.randint(10, 900), rng.choice(WORDS), rng.randint(0, 99)))
    lines += ["", "Run Summary:    Type  Total    Ran Passed Failed Inactive",
              "              suites %6d %6d    n/a      0        0" % (suite + 1, suite + 1),
              "               tests %6d %6d %6d %6d        0" % (tests, tests, tests - failed, failed),
              "             asserts %6d %6d %6d %6d      n/a" % (tests * 4, tests * 4, tests * 4 - failed, failed),
              "", "Elapsed time =    0.%03d seconds" % rng.randint(1, 999), ""]
    if rng.random() < 0.5:
        lines.append(long_command_line(rng, "gcc", "tests/test_%s" % rng.choice(STEMS)))
    return lines


# --------------------------------------------------------------------------- CTC_Coverage

def ctc_coverage(rng, state):
    lines = []
    files = state.get("files")
    if files is None:
        files = state["files"] = source_files(rng, 400)
    if state["n"] == 0:
        lines += ["*" * 77, "*                CTC++, Test Coverage Analyzer for C/C++                    *",
                  "*                       EXECUTION PROFILE LISTING                           *", "*" * 77, "", "",
                  "Symbol file(s) used   : MON.sym (Tue May 17 09:01:12 2022)",
                  "Data file(s) used     : MON.dat (Tue May 17 09:04:51 2022)", "", "Coverage view         : As instrumented",
                  "", ""]
    source = "src/%s.c" % files[state["n"] % len(files)]
    state["n"] += 1
    lines += ["", "MONITORED SOURCE FILE : " + source, "INSTRUMENTATION MODE  : decision", "",
              "    START/      END/", "    TRUE       FALSE     LINE DESCRIPTION", "=" * 77, ""]
    for f in range(rng.randint(3, 25)):
        name = "%s_%s_%d" % (rng.choice(STEMS), rng.choice(WORDS), f)
        line = rng.randint(10, 2000)
        lines.append("%8d %11d %7d FUNCTION %s()" % (rng.randint(0, 99), 0, line, name))
        for _ in range(rng.randint(1, 6)):
            line += rng.randint(1, 9)
            lines.append("%8d %11d %7d if (%s == %s)" % (rng.randint(0, 50), rng.randint(0, 50), line,
                                                          rng.choice(WORDS), rng.choice(WORDS)))
        lines.append("                     %7d }" % (line + 2))
        lines.append("")
        total = rng.randint(1, 40)
        hit = rng.randint(0, total)
        stotal = rng.randint(1, 120)
        shit = rng.randint(0, stotal)
        lines.append("***TER %3d %% (%3d/%3d) of FUNCTION %s()" % (hit * 100 // total, hit, total, name))
        lines.append("       %3d %% (%3d/%3d) statement" % (shit * 100 // stotal, shit, stotal))
        lines.append("-" * 77)
    lines += ["", "***TER  71 %% (  5/  7) of SOURCE FILE %s" % source, "        69 % ( 11/ 16) statement", "-" * 77]
    if rng.random() < 0.05:
        lines += ["", "SUMMARY", "=======", "", "Number of monitored source files  : %d" % state["n"],
                  "TER                               : 80 % (8/10) decision",
                  "TER                               : 80 % (20/25) statement", ""]
    return lines


# --------------------------------------------------------------------------- GCOV_Coverage

def gcov_coverage(rng, state):
    state["n"] += 1
    hit = rng.randint(0, 5000)
    total = hit + rng.randint(0, 3000)
    percent = "%.1f %%" % (100.0 * hit / total if total else 100.0)
    lines = ["<!DOCTYPE html>", '<html lang="en">', "<head>", '<meta charset="UTF-8"/>',
             "<title>GCC Code Coverage Report</title>", '<link rel="stylesheet" href="coverage_summary.css"/>',
             "</head>", "<body>", "<header>", "  <h1>GCC Code Coverage Report</h1>", "  <hr/>",
             '  <div class="summary">', '    <table class="legend">',
             '      <tr><th scope="row">Directory:</th><td>src/%s/</td></tr>' % rng.choice(MODULES),
             '      <tr><th scope="row">Date:</th><td>2022-05-17 09:04:58</td></tr>', "    </table>",
             '    <table class="coverage">', "<tr><th></th><th>Exec</th><th>Total</th><th>Coverage</th></tr>",
             "<tr><td>Lines:</td><td>%d</td><td>%d</td><td>%s</td></tr>" % (hit, total, percent),
             "<tr><td>Functions:</td><td>%d</td><td>%d</td><td>92.0 %%</td></tr>" % (rng.randint(0, 99), 99),
             "<tr><td>Branches:</td><td>%d</td><td>%d</td><td>64.8 %%</td></tr>" % (rng.randint(0, 88), 88),
             "    </table>", "  </div>", "  <hr/>", "</header>", "<main>", '  <table class="file-list">',
             "    <tr><th>File</th><th>Lines</th><th>Exec</th><th>Total</th></tr>"]
    for i in range(rng.randint(2, 12)):
        stem = "%s_%d.c" % (rng.choice(STEMS), i)
        lines.append('    <tr><td><a href="coverage_summary.%s.html">%s</a></td><td>%.1f%%</td><td>%d</td><td>%d</td></tr>'
                     % (stem, stem, rng.random() * 100, rng.randint(0, 99), 99))
    lines += ["  </table>", "</main>", "<footer>", "  <hr/>", "  Generated by gcovr.", "</footer>", "</body>",
              "</html>", ""]
    return lines


# --------------------------------------------------------------------------- QAC

QAC_MESSAGES = [
    (3408, "Identifier '%s' has external linkage but no declaration in scope", "MISRA C:2012 Rule-8.4"),
    (2982, "This assignment is redundant. The value of this object is never used before being modified",
     "MISRA C:2012 Rule-2.2"),
    (3200, "'%s' returns a value which is not being used", "MISRA C:2012 Rule-17.7"),
    (5310, "HIS metric STCYC: cyclomatic complexity 14 exceeds 10", ""),
    (5330, "HIS metric STPTH: estimated static path count 412 exceeds 80", ""),
    (2841, "Definite: Dereference of an invalid pointer value", "MISRA C:2012 Dir-4.1"),
    (4461, "A non-constant expression of 'essentially unsigned' type is being converted to a narrower unsigned "
           "type (%s)", "MISRA C:2012 Rule-10.3"),
    (2995, "The result of this logical operation is always 'true'", "MISRA C:2012 Rule-14.3"),
    (1281, "Integer literal constant is of an unsigned type but does not include a \"U\" suffix",
     "MISRA C:2012 Rule-7.2"),
    (310, "Casting to different object pointer type", "MISRA C:2012 Rule-11.3"),
]


def qac(rng, state):
    files = state.get("files")
    if files is None:
        files = state["files"] = source_files(rng, 3000)
    root = "D:\\jenkins\\workspace\\K7Tr52_App\\"
    lines = []
    if state["n"] == 0:
        lines += ["=" * 80, " QAC static analysis - message listing",
                  " Configuration : K7Tr52_App_default (MISRA C:2012 compliance module)",
                  " Project root  : " + root, " Started       : 2026-12-07 09:02:11", "=" * 80, ""]
    name = files[state["n"] % len(files)].replace("/", "\\")
    state["n"] += 1
    third_party = rng.random() < 0.08
    base = root + ("ThirdParty\\" if third_party else "Src_QZ\\")
    ext = ".cpp" if rng.random() < 0.3 else ".c"
    lines.append("Analysing " + base + name + ext)
    count = rng.randint(1, 30)
    previous = None
    for _ in range(count):
        if previous is not None and rng.random() < 0.05:
            lines.append(previous)  # the same message reported twice
            continue
        number, text, ref = rng.choice(QAC_MESSAGES)
        if "%s" in text:
            text = text % rng.choice(WORDS)
        path = base + name + (".h" if rng.random() < 0.1 else ext)
        kind = "error" if rng.random() < 0.05 else "warning"
        previous = "%s (%d) : %s : QAC(Prio%d) Msg: %04d(%s.) Ref:%s" % (
            path, rng.randint(1, 3000), kind, rng.randint(0, 9), number, text, ref if ref else " ")
        lines.append(previous)
    lines.append("  QAC summary for %s%s: %d messages" % (name.split("\\")[-1], ext, count))
    lines.append("")
    return lines


# --------------------------------------------------------------------------- Warning

WARNINGS = [("warning", "#179-D", 'variable "%s" was declared but never referenced'),
            ("warning", "#552-D", 'variable "%s" was set but never used'),
            ("warning", "#190-D", "enumerated type mixed with another type"),
            ("warning", "#225-D", 'function "%s" declared implicitly'),
            ("error", "#20", 'identifier "%s" is undefined'),
            ("warning", "#47-D", 'incompatible redefinition of macro "%s" (declared at line 4)')]


def warning(rng, state):
    files = state.get("files")
    if files is None:
        files = state["files"] = source_files(rng, 2000)
    source = files[state["n"] % len(files)]
    state["n"] += 1
    lines = []
    if state["n"] == 1:
        lines += ["**** Build of configuration Debug for project K7Tr52_App ****", "",
                  '"C:\\\\ti\\\\ccs1200\\\\ccs\\\\utils\\\\bin\\\\gmake" -k -j 2 all -O', " "]
    lines += ['Building file: "../Src/%s.c"' % source, "Invoking: C2000 Compiler",
              long_command_line(rng, '"C:/ti/ccs1200/ccs/tools/compiler/ti-cgt-c2000_22.6.0.LTS/bin/cl2000"', source)]
    for _ in range(rng.randint(0, 12)):
        kind, ident, text = rng.choice(WARNINGS)
        if "%s" in text:
            text = text % ("%s_%s" % (rng.choice(WORDS), rng.choice(WORDS)))
        path = "../Src/%s.c" % source if rng.random() < 0.85 else "C:/work/K7Tr52_App/Inc/%s.h" % rng.choice(STEMS)
        if rng.random() < 0.1:
            lines.append('"%s", line %d: %s %s: %s' % (path, rng.randint(1, 3000), kind, ident, text))
            continue
        lines.append('"%s", line %d: %s %s:' % (path, rng.randint(1, 3000), kind, ident))
        lines.append("          " + text)
        lines.append("      uint16_t %s = %s;" % (rng.choice(WORDS), rng.choice(WORDS)))
        lines.append("               ^")
        lines.append("")
    lines += ['Finished building: "../Src/%s.c"' % source, " "]
    return lines


# --------------------------------------------------------------------------- Map

def map_listing(rng, state):
    lines = []
    if state["n"] == 0:
        lines += ["Linker map of K7Tr52_App.elf", "Generated by lnk 4.2.1 on 2022-05-17 09:05", "",
                  "Memory configuration", "", "Name             Origin     Length     Attributes",
                  "FLASH            08000000   00040000   xr", "RAM              20000000   00005000   xrw", "",
                  "Entry point: Reset_Handler (080001c1)", "", "Placement (origin+size section file)", ""]
    files = state.get("files")
    if files is None:
        files = state["files"] = source_files(rng, 3000)
    address = state.get("address")
    if address is None:
        address = state["address"] = 0x08000000
    for _ in range(rng.randint(20, 200)):
        size = rng.randint(0, 0x3000)
        obj = files[rng.randrange(len(files))] + ".o"
        roll = rng.random()
        if roll < 0.55:
            section = rng.choice([".text", ".rodata", ".data", ".bss"]) + " "
        elif roll < 0.9:
            kind = rng.choice([".text", ".rodata", ".bss"])
            section = "%s -> %s.%s_%s " % (kind, kind, rng.choice(STEMS), rng.choice(WORDS))
        else:
            section = " "
            obj = "lib/lib%s.a(%s.o)" % (rng.choice(STEMS), rng.choice(WORDS))
        lines.append("%08x+%06x %s%s" % (address & 0xffffffff, size, section, obj))
        address += size
        state["n"] += 1
    state["address"] = address
    lines.append("")
    if rng.random() < 0.1:
        lines += ["Discarded input sections", "00000000+000034 .comment main.o", "",
                  "Total FLASH used: %d bytes (1.8 %%)" % rng.randint(1000, 90000), ""]
    return lines


# --------------------------------------------------------------------------- Map_KEIL

def map_keil(rng, state):
    files = state.get("files")
    if files is None:
        files = state["files"] = [f.split("/")[1] for f in source_files(rng, 3000)]
    lines = []
    if state["n"] == 0:
        lines += ["Component: ARM Compiler 5.06 update 6 (build 750) Tool: armlink [4d35ed]", "", "=" * 78, "",
                  "Section Cross References", ""]
    state["n"] += 1
    for _ in range(rng.randint(5, 40)):
        a, b = rng.choice(files), rng.choice(files)
        lines.append("    %s.o(i.%s) refers to %s.o(i.%s) for %s" % (a, a, b, b, b))
    lines += ["", "=" * 78, "", "Image Symbol Table", "", "    Local Symbols", "",
              "    Symbol Name                              Value     Ov Type        Size  Object(Section)", ""]
    for _ in range(rng.randint(50, 300)):
        obj = rng.choice(files)
        roll = rng.random()
        if roll < 0.08:
            lines.append("    ../clib/microlib/%s.s            0x00000000   Number         0  %s.o ABSOLUTE" % (obj, obj))
            continue
        symbol = "%s_%s" % (obj, rng.choice(WORDS))
        if roll < 0.12:
            symbol = "_ZN6k7tr52%d%s%d%sEv" % (len(obj), obj, len(symbol), symbol) * rng.randint(1, 4)
        kind = rng.choice(["Thumb Code", "Data", "Section", "Number"])
        section = rng.choice([".text", "i." + symbol[:40], ".data", ".bss", "RESET", ""])
        lines.append("    %-40s 0x%08x   %-10s %6d  %s.o(%s)" % (symbol, rng.randint(0x08000000, 0x0803ffff), kind,
                                                                  rng.randint(0, 70000), obj, section))
    lines += ["", "=" * 78, ""]
    return lines


# --------------------------------------------------------------------------- ClangTidy

TIDY_CHECKS = [("warning", "use nullptr", "modernize-use-nullptr", "nullptr"),
               ("warning", "'std::vector<int>' is copied for each iteration; consider a reference",
                "performance-for-range-copy", "&"),
               ("warning", "statement should be inside braces", "readability-braces-around-statements", "{"),
               ("warning", "narrowing conversion from 'unsigned long' to signed type 'int' is implementation-defined",
                "bugprone-narrowing-conversions", None),
               ("warning", "use 'using' instead of 'typedef'", "modernize-use-using", "using T = int"),
               ("error", "'k7tr52/settings.h' file not found", "clang-diagnostic-error", None),
               ("warning", "Access to field 'length' results in a dereference of a null pointer (loaded from "
                "variable 'frame')", "clang-analyzer-core.NullDereference", None)]


def colour(text, code):
    return "\x1b[%sm%s\x1b[0m" % (code, text)


def clang_tidy(rng, state):
    root = "/home/ci/k7tr52/"
    files = state.get("files")
    if files is None:
        files = state["files"] = source_files(rng, 1500)
    headers = state.get("headers")
    if headers is None:
        headers = state["headers"] = ["include/k7tr52/%s%d.h" % (rng.choice(STEMS), i) for i in range(100)]
    unit = files[state["n"] % len(files)]
    state["n"] += 1
    use_colour = rng.random() < 0.2
    ext = ".cpp" if rng.random() < 0.7 else ".c"
    lines = ["clang-tidy-16 -p=%sbuild %s-quiet %ssrc/%s%s" % (root, "--use-color " if use_colour else "", root, unit,
                                                               ext),
             "%d warnings generated." % rng.randint(10, 900)]
    for _ in range(rng.randint(1, 12)):
        severity, text, check, fix = rng.choice(TIDY_CHECKS)
        roll = rng.random()
        if roll < 0.15:
            path = root + rng.choice(headers)  # seen again from every unit that includes it
            line, column = 9, 9
        elif roll < 0.2:
            path = root + "include/k7tr52/%s.hpp" % rng.choice(STEMS)
            line, column = rng.randint(1, 900), rng.randint(1, 60)
        else:
            path = root + "src/" + unit + ext
            line, column = rng.randint(1, 3000), rng.randint(1, 60)
        head = "%s:%d:%d: " % (path, line, column)
        body = "%s: " % severity
        message = "%s [%s]" % (text, check)
        if use_colour:
            lines.append(colour(head, "1") + colour(body, "0;1;35") + colour(message, "1"))
        else:
            lines.append(head + body + message)
        code = "    %s %s = %s;" % (rng.choice(WORDS), rng.choice(WORDS), rng.choice(WORDS))
        lines.append("%5d | %s" % (line, code))
        lines.append("      | " + " " * column + "^" + "~" * rng.randint(0, 12))
        if fix:
            lines.append("      | " + " " * column + fix)
        if rng.random() < 0.2:
            lines.append("%s:%d:%d: note: Assuming '%s' is equal to NULL" % (path, max(1, line - 3), 9,
                                                                             rng.choice(WORDS)))
            lines.append("%5d |     if (%s == NULL) {" % (max(1, line - 3), rng.choice(WORDS)))
            lines.append("      |         ^~~~~~~~~~~~~")
    suppressed = rng.randint(10, 900)
    lines.append("Suppressed %d warnings (%d in non-user code)." % (suppressed, suppressed))
    lines.append("Use -header-filter=.* to display errors from all non-system headers. Use -system-headers to "
                 "display errors from system headers as well.")
    return lines


# --------------------------------------------------------------------------- LCOV_Coverage

def lcov_coverage(rng, state):
    """One tracefile record as lcov --capture writes it, with branch data most of the time."""
    files = state.get("files")
    if files is None:
        files = state["files"] = source_files(rng, 5000)
    source = files[state["n"] % len(files)]
    state["n"] += 1
    lines = ["TN:", "SF:/home/ci/k7tr52/src/%s.c" % source]
    functions = ["%s_%s_%d" % (source.split("/")[1], rng.choice(WORDS), i) for i in range(rng.randint(1, 25))]
    line = 1
    for name in functions:
        line += rng.randint(3, 40)
        lines.append("FN:%d,%s" % (line, name))
    for name in functions:
        lines.append("FNDA:%d,%s" % (rng.choice([0, 1, 2, 17, 300, 12345]), name))
    lines += ["FNF:%d" % len(functions), "FNH:%d" % rng.randint(0, len(functions))]
    with_branches = rng.random() < 0.8
    found = hit = branches = branches_hit = 0
    line = 1
    for _ in range(rng.randint(10, 400)):
        line += rng.randint(1, 4)
        count = 0 if rng.random() < 0.25 else rng.randint(1, 100000)
        found += 1
        hit += count > 0
        lines.append("DA:%d,%d" % (line, count))
        if with_branches and rng.random() < 0.15:
            for branch in range(2):
                taken = "-" if count == 0 else str(rng.choice([0, 1, count]))
                branches += 1
                branches_hit += taken not in ("-", "0")
                lines.append("BRDA:%d,0,%d,%s" % (line, branch, taken))
    if with_branches:
        lines += ["BRF:%d" % branches, "BRH:%d" % branches_hit]
    lines += ["LF:%d" % found, "LH:%d" % hit, "end_of_record"]
    return lines


# --------------------------------------------------------------------------- PassFail_XML

def junit_xml(rng, state):
    """One GoogleTest test suite in a JUnit XML report: passing, failing, disabled and skipped tests."""
    lines = []
    if state["n"] == 0:
        lines += ['<?xml version="1.0" encoding="UTF-8"?>',
                  '<testsuites tests="0" failures="0" disabled="0" errors="0" time="0" name="AllTests">']
    state["n"] += 1
    suite = "%s%sTest%d" % (rng.choice(STEMS).title().replace("_", ""), rng.choice(WORDS).title(), state["n"])
    stamp = 'timestamp="2024-05-17T09:05:00.%03d"' % rng.randint(0, 999)
    lines.append('  <testsuite name="%s" tests="0" failures="0" disabled="0" skipped="0" errors="0" time="0.01" %s>'
                 % (suite, stamp))
    for i in range(rng.randint(3, 60)):
        name = "%s_%s_%d" % (rng.choice(WORDS).title(), rng.choice(WORDS).title(), i)
        head = '    <testcase name="%s" file="test/%s_test.cpp" line="%d" ' % (name, rng.choice(STEMS), rng.randint(1, 900))
        roll = rng.random()
        if roll < 0.03:
            lines.append(head + 'status="notrun" result="suppressed" time="0" classname="%s" />' % suite)
        elif roll < 0.12:
            detail = "test/%s_test.cpp:%d\nExpected equality of these values:\n  %s\n    Which is: %d\n  %d" % (
                rng.choice(STEMS), rng.randint(1, 900), rng.choice(WORDS), rng.randint(0, 99), rng.randint(0, 99))
            lines += [head + 'status="run" result="completed" time="0.001" %s classname="%s">' % (stamp, suite),
                      '      <failure message="%s" type=""><![CDATA[%s]]></failure>'
                      % (detail.replace("\n", "&#x0A;"), detail),
                      "    </testcase>"]
        elif roll < 0.15:
            lines += [head + 'status="run" result="skipped" time="0" %s classname="%s">' % (stamp, suite),
                      '      <skipped message="not on this target"><![CDATA[not on this target]]></skipped>',
                      "    </testcase>"]
        else:
            lines.append(head + 'status="run" result="completed" time="0.%03d" %s classname="%s" />'
                         % (rng.randint(0, 999), stamp, suite))
    lines.append("  </testsuite>")
    return lines


# --------------------------------------------------------------------------- Warning_GCC

GCC_WARNINGS = [
    ("warning", "unused variable '%s'", "-Wunused-variable"),
    ("warning", "conversion from 'int' to 'uint8_t' {aka 'unsigned char'} may change value", "-Wconversion"),
    ("warning", "conversion to 'uint32_t' from 'int' may change the sign of the result", "-Wsign-conversion"),
    ("warning", "comparison of integer expressions of different signedness: 'int' and 'uint32_t'",
     "-Wsign-compare"),
    ("warning", "unused parameter '%s'", "-Wunused-parameter"),
    ("warning", "this statement may fall through", "-Wimplicit-fallthrough="),
    ("error", "'%s' undeclared (first use in this function)", None),
    ("fatal error", "%s.h: No such file or directory", None),
]


def warning_gcc(rng, state):
    """A make build of GCC (arm-none-eabi-gcc) with some files coloured, as CI logs keep it."""
    files = state.get("files")
    if files is None:
        files = state["files"] = source_files(rng, 2000)
    source = files[state["n"] % len(files)]
    state["n"] += 1
    coloured = rng.random() < 0.3
    path = "/home/ci/k7tr52/Src/%s.c" % source
    lines = [long_command_line(rng, "arm-none-eabi-gcc", source)]
    if rng.random() < 0.3:
        lines.append("In file included from %s:%d:" % (path, rng.randint(1, 40)))
    lines.append("%s: In function '%s':" % (path, rng.choice(WORDS)))
    for _ in range(rng.randint(0, 12)):
        kind, text, option = rng.choice(GCC_WARNINGS)
        if "%s" in text:
            text = text % rng.choice(WORDS)
        line = rng.randint(1, 3000)
        where = "%s:%d:%d:" % (path, line, rng.randint(1, 80))
        tail = " [%s]" % option if option else ""
        if coloured:
            lines.append("%s %s%s%s" % (colour(where, "01"), colour(kind + ":", "01;35"), " " + text,
                                        " [%s]" % colour(option, "01;35") if option else ""))
        else:
            lines.append("%s %s: %s%s" % (where, kind, text, tail))
        lines.append("%5d |   uint8_t %s = %s;" % (line, rng.choice(WORDS), rng.choice(WORDS)))
        lines.append("      |           ^~~~~")
        if rng.random() < 0.2:
            lines.append("%s:%d:5: note: here" % (path, line + 1))
    if rng.random() < 0.05:
        lines += ["make: *** [Makefile:42: out/%s.o] Error 1" % source.replace("/", "_")]
    return lines


# --------------------------------------------------------------------------- Map_GNU

def map_gnu(rng, state):
    """A GNU ld map's memory map: input sections, long names broken onto two lines, fill, symbols."""
    lines = []
    if state["n"] == 0:
        lines += ["Archive member included to satisfy reference by file (symbol)", "",
                  "libc.a(lib_a-memcpy.o)        build/main.o (memcpy)", "", "Discarded input sections", "",
                  " .text          0x00000000        0x0 build/crti.o", "", "Memory Configuration", "",
                  "Name             Origin             Length             Attributes",
                  "*default*        0x00000000         0xffffffff", "", "Linker script and memory map", "",
                  "LOAD build/main.o", ""]
    files = state.get("files")
    if files is None:
        files = state["files"] = source_files(rng, 3000)
    address = state.get("address", 0x08000000)
    kind = rng.choice([".text", ".rodata", ".data", ".bss"])
    lines += ["%s           0x%08x     0x%x" % (kind, address, rng.randint(0x100, 0x100000)), " *(%s %s.*)" % (kind, kind)]
    for _ in range(rng.randint(20, 200)):
        size = rng.randint(0, 0x3000)
        obj = "build/" + files[rng.randrange(len(files))] + ".o"
        if rng.random() < 0.1:
            obj = "/usr/lib/arm-none-eabi/lib/libc.a(lib_a-%s.o)" % rng.choice(WORDS)
        name = "%s.%s_%s" % (kind, rng.choice(STEMS), rng.choice(WORDS))
        if len(name) < 14:
            lines.append(" %-14s 0x%08x %#10x %s" % (name, address, size, obj))
        else:
            lines += [" " + name, "                0x%08x %#10x %s" % (address, size, obj)]
        if size and rng.random() < 0.5:
            lines.append("                0x%08x                %s_%s" % (address, rng.choice(STEMS), rng.choice(WORDS)))
        address += size
        if rng.random() < 0.2:
            lines.append(" *fill*         0x%08x        0x2 " % address)
            address += 2
        state["n"] += 1
    state["address"] = address
    lines.append("")
    return lines


# --------------------------------------------------------------------------- Warning_MSVC

MSVC_WARNINGS = [
    ("warning", "C4996", "'strcpy': This function or variable may be unsafe. Consider using strcpy_s instead. To "
     "disable deprecation, use _CRT_SECURE_NO_WARNINGS. See online help for details."),
    ("warning", "C4244", "'=': conversion from 'int' to 'uint8_t', possible loss of data"),
    ("warning", "C4267", "'argument': conversion from 'size_t' to 'uint32_t', possible loss of data"),
    ("warning", "C4100", "'%s': unreferenced formal parameter"),
    ("warning", "C4189", "'%s': local variable is initialized but not referenced"),
    ("warning", "C4018", "'<': signed/unsigned mismatch"),
    ("error", "C2065", "'%s': undeclared identifier"),
    ("fatal error", "C1083", "Cannot open include file: '%s.h': No such file or directory"),
]


def warning_msvc(rng, state):
    """An MSBuild build of a solution on several nodes, with the summary that repeats the diagnostics."""
    files = state.get("files")
    if files is None:
        files = state["files"] = source_files(rng, 2000)
        state["seen"] = []
    lines = []
    if state["n"] == 0:
        lines += ["Microsoft (R) Build Engine version 16.11.2+f32259642 for .NET Framework",
                  "Copyright (C) Microsoft Corporation. All rights reserved.", "",
                  "Build started 17/05/2024 09:05:00.",
                  '     1>Project "C:\\work\\K7Tr52\\K7Tr52.sln" on node 1 (default targets).']
    source = files[state["n"] % len(files)]
    state["n"] += 1
    node = rng.randint(2, 14)
    project = "C:\\work\\K7Tr52\\%s\\%s.vcxproj" % (source.split("/")[0], source.split("/")[0])
    lines += ["    %2d>ClCompile:" % node,
              "         " + long_command_line(rng, "CL.exe /c /Zi /nologo /W4 /WX- /diagnostics:column", source),
              "         %s.c" % source.split("/")[1]]
    path = "C:\\work\\K7Tr52\\Src\\%s.c" % source.replace("/", "\\")
    for _ in range(rng.randint(0, 12)):
        kind, number, text = rng.choice(MSVC_WARNINGS)
        if "%s" in text:
            text = text % rng.choice(WORDS)
        diagnostic = "%s(%d,%d): %s %s: %s [%s]" % (path, rng.randint(1, 3000), rng.randint(1, 80), kind, number,
                                                     text, project)
        lines.append("    %2d>%s" % (node, diagnostic))
        if len(state["seen"]) < 2000:
            state["seen"].append(diagnostic)
    if rng.random() < 0.02:
        lines.append("    %2d>LINK : fatal error LNK1104: cannot open file '%s.lib' [%s]" % (node, source, project))
    return lines


def warning_msvc_closing(state):
    """The summary after "Build FAILED.", which repeats every diagnostic (here the first two thousand)."""
    lines = ["", "Build FAILED.", ""]
    for diagnostic in state.get("seen", []):
        lines += ['"C:\\work\\K7Tr52\\K7Tr52.sln" (default target) (1) ->', "(ClCompile target) ->",
                  "  " + diagnostic, ""]
    lines += ["    1234 Warning(s)", "    56 Error(s)", "", "Time Elapsed 00:12:34.56", ""]
    return "\n".join(lines)


# --------------------------------------------------------------------------- Warning_SARIF

SARIF_RULES = [("cpp/%s-%s" % (stem, word), rng_level) for stem, word, rng_level in [
    ("unused", "local-variable", "note"), ("uncontrolled", "format-string", "error"),
    ("overflow", "buffer", "error"), ("missing", "check-scanf", "warning"), ("integer", "multiplication", "warning"),
    ("path", "injection", "error"), ("commented-out", "code", "note"), ("dead", "store", "warning"),
    ("null", "dereference", "error"), ("sign", "conversion", "warning")]]


def sarif_result(rng, files):
    """One result as CodeQL and other analysers write it, pretty-printed."""
    index = rng.randrange(len(SARIF_RULES))
    rule_id, _ = SARIF_RULES[index]
    line = rng.randint(1, 3000)
    result = {"ruleId": rule_id, "ruleIndex": index}
    roll = rng.random()
    if roll < 0.7:
        result["level"] = rng.choice(["error", "warning", "note"])
    result["message"] = {"text": "The value of '%s' in %s() is %s but never used after line %d." % (
        rng.choice(WORDS), rng.choice(STEMS), rng.choice(WORDS), line)}
    location = {"physicalLocation": {
        "artifactLocation": {"uri": "Src/%s.c" % files[rng.randrange(len(files))], "uriBaseId": "%SRCROOT%",
                             "index": rng.randrange(len(files))},
        "region": {"startLine": line, "startColumn": rng.randint(1, 80), "endColumn": rng.randint(1, 120)}}}
    result["locations"] = [location]
    result["partialFingerprints"] = {"primaryLocationLineHash": "%016x:1" % rng.getrandbits(64)}
    if rng.random() < 0.2:
        result["codeFlows"] = [{"threadFlows": [{"locations": [
            {"location": {"physicalLocation": location["physicalLocation"],
                          "message": {"text": "'%s' is assigned here" % rng.choice(WORDS)}}}
            for _ in range(rng.randint(1, 4))]}]}]
    if rng.random() < 0.03:
        result["suppressions"] = [{"kind": "inSource", "status": rng.choice(["accepted", "rejected"])}]
    return result


def warning_sarif(rng, state):
    """A CodeQL-like SARIF log: one run whose tool lists the rules, then the results, pretty-printed."""
    files = state.get("files")
    if files is None:
        files = state["files"] = source_files(rng, 3000)
    lines = json.dumps(sarif_result(rng, files), indent=2).splitlines()
    body = ["        " + line for line in lines[:-1]]  # the closing brace comes with the next result or the end
    if state["n"] == 0:
        rules = [{"id": rule_id, "name": rule_id.split("/")[1], "defaultConfiguration": {"level": level}}
                 for rule_id, level in SARIF_RULES]
        driver = {"name": "CodeQL", "semanticVersion": "2.17.0", "rules": rules}
        head = ["{", '  "$schema": "https://json.schemastore.org/sarif-2.1.0.json",', '  "version": "2.1.0",',
                '  "runs": [', "    {", '      "tool": {']
        head += ["        " + line for line in json.dumps({"driver": driver}, indent=2).splitlines()[1:-1]]
        head += ["      },", '      "results": [']
        body = head + body
    else:
        body = ["        },"] + body
    state["n"] += 1
    return body


def warning_sarif_closing(state):
    return "        }\n      ]\n    }\n  ]\n}\n" if state["n"] else '{"version": "2.1.0", "runs": []}\n'


# --------------------------------------------------------------------------- Cobertura_Coverage

def cobertura_coverage(rng, state):
    """One package of a gcovr --xml-pretty report: a class per source file, some lines with branch data."""
    lines = []
    if state["n"] == 0:
        lines += ["<?xml version='1.0' encoding='UTF-8'?>",
                  "<!DOCTYPE coverage SYSTEM 'http://cobertura.sourceforge.net/xml/coverage-04.dtd'>",
                  '<coverage line-rate="0.8" function-rate="0.9" branch-rate="0.6" lines-covered="0" lines-valid="0" '
                  'functions-covered="0" functions-valid="0" branches-covered="0" branches-valid="0" '
                  'complexity="0.0" timestamp="1715936700" version="gcovr 5.2">',
                  "  <sources>", "    <source>/home/ci/k7tr52</source>", "  </sources>", "  <packages>"]
    files = state.get("files")
    if files is None:
        files = state["files"] = source_files(rng, 5000)
    module = rng.choice(MODULES)
    lines += ['    <package name="src.%s" line-rate="0.8" function-rate="0.9" branch-rate="0.6" complexity="0.0">'
              % module, "      <classes>"]
    for _ in range(rng.randint(1, 10)):
        source = files[state["n"] % len(files)]
        state["n"] += 1
        lines += ['        <class name="%s_c" filename="src/%s.c" line-rate="0.8" branch-rate="0.6" complexity="0.0">'
                  % (source.split("/")[1], source), "          <methods/>", "          <lines>"]
        line = 1
        for _ in range(rng.randint(10, 400)):
            line += rng.randint(1, 4)
            hits = 0 if rng.random() < 0.25 else rng.randint(1, 100000)
            if rng.random() < 0.15:
                total = rng.choice([2, 2, 2, 4, 6])
                covered = 0 if hits == 0 else rng.randint(0, total)
                lines += ['            <line number="%d" hits="%d" branch="true" condition-coverage="%d%% (%d/%d)">'
                          % (line, hits, 100 * covered // total, covered, total),
                          "              <conditions>",
                          '                <condition number="0" type="jump" coverage="%d%%"/>'
                          % (100 * covered // total),
                          "              </conditions>", "            </line>"]
            else:
                lines.append('            <line number="%d" hits="%d" branch="false"/>' % (line, hits))
        lines += ["          </lines>", "        </class>"]
    lines += ["      </classes>", "    </package>"]
    return lines


# --------------------------------------------------------------------------- PassFail_Unity

def unity_output(rng, state):
    """One Unity test program's run: its output, result lines and summary, half of them behind ctest -V prefixes."""
    state["n"] += 1
    program = "test_%s_%d" % (rng.choice(STEMS), state["n"])
    prefix = "%d: " % state["n"] if rng.random() < 0.5 else ""
    lines = []
    if prefix:
        lines += ["test %d" % state["n"], "      Start %3d: %s" % (state["n"], program), "",
                  "%sTest command: /home/ci/k7tr52/build/tests/%s" % (prefix, program)]
    tests = failures = ignored = 0
    for i in range(rng.randint(3, 80)):
        test = "%s_should_%s_%s_%d" % (rng.choice(STEMS), rng.choice(WORDS), rng.choice(WORDS), i)
        where = "/home/ci/k7tr52/tests/%s.c:%d:%s:" % (program, rng.randint(20, 900), test)
        tests += 1
        roll = rng.random()
        if roll < 0.08:
            failures += 1
            lines.append("%s%sFAIL: Expected %d Was %d" % (prefix, where, rng.randint(0, 99), rng.randint(0, 99)))
        elif roll < 0.12:
            ignored += 1
            lines.append("%s%sIGNORE: needs the %s" % (prefix, where, rng.choice(WORDS)))
        else:
            lines.append("%s%sPASS" % (prefix, where))
        if rng.random() < 0.1:
            lines.append('%sChecking %s "%s"' % (prefix, rng.choice(WORDS), rng.choice(STEMS)))
    lines += [prefix, prefix + "-----------------------",
              "%s%d Tests %d Failures %d Ignored " % (prefix, tests, failures, ignored), prefix + ("FAIL" if failures else "OK")]
    return lines


# --------------------------------------------------------------------------- PassFail_GTest

def gtest_output(rng, state):
    """One GoogleTest test suite's console output: passing, failing, skipped, disabled and parameterised tests."""
    state["n"] += 1
    suite = "%s%sTest" % (rng.choice(STEMS).title().replace("_", ""), rng.choice(WORDS).title())
    if rng.random() < 0.3:
        suite = "Inst%d/%s" % (state["n"], suite)
    count = rng.randint(3, 60)
    lines = ["[----------] %d tests from %s" % (count, suite)]
    for i in range(count):
        name = "%s.%s%s_%d" % (suite, rng.choice(WORDS).title(), rng.choice(WORDS).title(), i)
        where = ", where GetParam() = %d" % rng.randint(0, 99) if "/" in suite else ""
        roll = rng.random()
        if roll < 0.02:
            lines.append("[ DISABLED ] %s" % name)
            continue
        lines.append("[ RUN      ] %s" % name)
        if roll < 0.1:
            lines += ["test/%s_test.cpp:%d: Failure" % (rng.choice(STEMS), rng.randint(1, 900)),
                      "Expected equality of these values:", "  %s" % rng.choice(WORDS),
                      "    Which is: %d" % rng.randint(0, 99), "  %d" % rng.randint(0, 99),
                      "[  FAILED  ] %s%s (%d ms)" % (name, where, rng.randint(0, 50))]
        elif roll < 0.13:
            lines += ["test/%s_test.cpp:%d: Skipped" % (rng.choice(STEMS), rng.randint(1, 900)), "not on this target",
                      "[  SKIPPED ] %s (0 ms)" % name]
        else:
            lines.append("[       OK ] %s%s (%d ms)" % (name, where, rng.randint(0, 50)))
    lines += ["[----------] %d tests from %s (%d ms total)" % (count, suite, rng.randint(0, 999)), ""]
    return lines


# --------------------------------------------------------------------------- PassFail_CTest

def ctest_output(rng, state):
    """A stretch of a ctest run: Start and result lines, with the output of failed tests between them."""
    lines = []
    for _ in range(rng.randint(5, 40)):
        state["n"] += 1
        number = state["n"]
        name = "%s_%s_%d" % (rng.choice(STEMS), rng.choice(WORDS), number)
        lines.append("      Start %5d: %s" % (number, name))
        roll = rng.random()
        status = ("   Passed  " if roll < 0.85 else "***Failed  " if roll < 0.93 else "***Timeout " if roll < 0.95
                  else "***Exception: SegFault" if roll < 0.97 else "***Skipped ")
        lines.append("%5d/99999 Test #%d: %s %s%s %5.2f sec" % (number, number, name, "." * max(3, 60 - len(name)),
                                                              status, rng.random() * 10))
        if roll >= 0.85:
            lines += ["%s: %s %s" % (rng.choice(STEMS), rng.choice(WORDS), rng.choice(WORDS))
                      for _ in range(rng.randint(1, 20))] + [""]
    return lines


# --------------------------------------------------------------------------- Warning_Cppcheck

CPPCHECK_FINDINGS = [
    ("variableScope", "style", "398", "The scope of the variable '%s' can be reduced."),
    ("unreadVariable", "style", "563", "Variable '%s' is assigned a value that is never used."),
    ("passedByValue", "performance", "398", "Function parameter '%s' should be passed by const reference."),
    ("nullPointerRedundantCheck", "warning", "476", "Either the condition '%s==NULL' is redundant or there is "
     "possible null pointer dereference: %s."),
    ("arrayIndexOutOfBounds", "error", "788", "Array '%s[16]' accessed at index 16, which is out of bounds."),
    ("invalidPointerCast", "portability", "704", "Casting between signed int * and float * which have an "
     "incompatible binary data representation."),
    ("unusedFunction", "style", "561", "The function '%s' is never used."),
    ("constParameterPointer", "style", "398", "Parameter '%s' can be declared as pointer to const"),
]


def xml_text(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;").replace("'", "&apos;").replace(
        '"', "&quot;")


def warning_cppcheck(rng, state):
    """A cppcheck --xml report (version 2): findings with one to three locations, some inconclusive."""
    files = state.get("files")
    if files is None:
        files = state["files"] = source_files(rng, 3000)
    lines = []
    if state["n"] == 0:
        lines += ['<?xml version="1.0" encoding="UTF-8"?>', '<results version="2">', '    <cppcheck version="2.10"/>',
                  "    <errors>"]
    state["n"] += 1
    identifier, severity, cwe, text = rng.choice(CPPCHECK_FINDINGS)
    text = xml_text(text.replace("%s", rng.choice(WORDS)))
    path = "/home/ci/k7tr52/Src/%s.c" % files[rng.randrange(len(files))]
    extra = ' inconclusive="true"' if rng.random() < 0.05 else ""
    lines.append('        <error id="%s" severity="%s" msg="%s" verbose="%s\\012%s"%s cwe="%s" file0="%s">' % (
        identifier, severity, text, text, xml_text("See the manual of %s()." % rng.choice(STEMS)), extra, cwe, path))
    line = rng.randint(1, 3000)
    for step in range(rng.randint(1, 3)):
        lines.append('            <location file="%s" line="%d" column="%d" info="%s"/>' % (
            path, line + step, rng.randint(1, 80), xml_text("Assuming that '%s' is not redundant" % rng.choice(WORDS))))
    lines += ["            <symbol>%s</symbol>" % rng.choice(WORDS), "        </error>"]
    return lines


def warning_cppcheck_closing(state):
    head = '<?xml version="1.0" encoding="UTF-8"?>\n<results version="2">\n    <errors>\n' if not state["n"] else ""
    return head + "    </errors>\n</results>\n"


# --------------------------------------------------------------------------- Warning_IAR

IAR_DIAGNOSTICS = [
    ("Warning", "Pe177", 'variable "%s" was declared but never referenced'),
    ("Warning", "Pe550", 'variable "%s" was set but never used'),
    ("Warning", "Pa082", "undefined behavior: the order of volatile accesses is undefined in this statement"),
    ("Remark", "Pe381", 'extra ";" ignored'),
    ("Error", "Pe020", 'identifier "%s" is undefined'),
    ("Warning", "Pe223", 'function "%s" declared implicitly'),
    ("Fatal Error", "Pe1696", 'cannot open source file "%s.h"'),
]


def warning_iar(rng, state):
    """An EWARM build as iarbuild or a Jenkins job prints it: file lines, wrapped diagnostics, echoed source."""
    files = state.get("files")
    if files is None:
        files = state["files"] = source_files(rng, 2000)
    source = files[state["n"] % len(files)]
    state["n"] += 1
    path = "C:\\ci\\k7tr52\\Src\\%s.c" % source.replace("/", "\\")
    lines = [long_command_line(rng, "iccarm", source), "%s.c" % source.split("/")[1]]
    for _ in range(rng.randint(0, 10)):
        severity, tag, text = rng.choice(IAR_DIAGNOSTICS)
        text = text.replace("%s", rng.choice(WORDS))
        line = rng.randint(1, 3000)
        roll = rng.random()
        if roll < 0.5:
            lines += ["", "    uint8_t %s = %s;" % (rng.choice(WORDS), rng.choice(WORDS)), "            ^"]
            lines.append('"%s",%d  %s[%s]: %s' % (path, line, severity, tag, text[:30]))
            lines.append("          %s" % text[30:])
        elif roll < 0.9:
            lines.append("%s(%d) : %s[%s]: %s" % (path, line, severity, tag, text))
        else:
            lines.append("%s[%s]: %s \x01<SRCREF line=%d file=\"%s\">%s %d</SRCREF>" % (
                severity, tag, text, line, path, source, line))
    if rng.random() < 0.05:
        lines += ['Warning[Li006]: duplicate definitions for "%s"; in "a.o", and "b.o"' % rng.choice(WORDS),
                  "", "Total number of errors: 0", "Total number of warnings: %d" % rng.randint(0, 99)]
    return lines


# --------------------------------------------------------------------------- Map_IAR

IAR_KINDS = [(".text", "ro code"), (".rodata", "const"), (".data", "inited"), (".bss", "zero"),
             ("Initializer bytes", "const"), (".noinit", "uninit")]


def iar_hex(value):
    """A number as ILINK 8.32 and later print it: 0x800'0150."""
    digits = "%x" % value
    groups = []
    while digits:
        groups.insert(0, digits[-4:])
        digits = digits[:-4]
    return "0x" + "'".join(groups)


def map_iar(rng, state):
    """An ILINK map's PLACEMENT SUMMARY (9.50 form, with alignment): a region of sections, blocks among them."""
    files = state.get("files")
    if files is None:
        files = state["files"] = source_files(rng, 3000)
    lines = []
    if state["n"] == 0:
        lines += ["#" * 79, "#", "# IAR ELF Linker V9.50.1.380/W64 for ARM", "#", "#" * 79, "",
                  "*" * 79, "*** PLACEMENT SUMMARY", "***", "",
                  '"P1":  place in [from 0x800\'0000 to 0x80f\'ffff] { ro };', "",
                  "  Section                 Kind         Address  Alignment       Size  Object",
                  "  -------                 ----         -------  ---------       ----  ------"]
    address = state.get("address", 0x08000000)
    lines.append('"P%d":                                                       %s' % (state["n"] % 9 + 1,
                                                                                     iar_hex(rng.randint(1, 1 << 20))))
    for _ in range(rng.randint(20, 200)):
        section, kind = rng.choice(IAR_KINDS)
        size = rng.randint(0, 0x3000)
        if rng.random() < 0.05:
            lines.append("  %-23s          %11s          8 %10s  <Block>" % ("CSTACK", iar_hex(address), iar_hex(size)))
            section, kind, obj = "CSTACK", "uninit", "<Block tail>"
        elif rng.random() < 0.3:
            obj = "%s.o [%d]" % (rng.choice(WORDS), rng.randint(2, 9))
        else:
            obj = "%s.o [1]" % files[rng.randrange(len(files))].split("/")[1]
        lines.append("  %-23s %-8s %11s %10d %10s  %s" % (section, kind, iar_hex(address), rng.choice([1, 2, 4, 8]),
                                                          iar_hex(size), obj))
        address += size
        state["n"] += 1
    lines.append("                                  - %s %s" % (iar_hex(address), iar_hex(rng.randint(1, 1 << 20))))
    lines.append("")
    state["address"] = address
    return lines


def map_iar_closing(state):
    names = ["[1] = C:\\ci\\k7tr52\\Debug\\Obj"] + ["[%d] = %s.a" % (n, lib) for n, lib in enumerate(
        ["dl7M_tln", "m7M_tls", "rt7M_tl", "shb_l", "dlpp7M_tl_nc", "cppinit", "touchgfx_core", "driverlib"], 2)]
    return "Unused ranges:\n\n" + "*" * 79 + "\n*** MODULE SUMMARY\n***\n\n\n" + "\n".join(names) + "\n"
# --------------------------------------------------------------------------- GCOV_JSON_Coverage

def gcov_json_lines(rng, first_line, count, function, branches):
    """The "lines" of one function as gcov --json-format -b lists them."""
    lines = []
    line = first_line
    for _ in range(count):
        line += rng.randint(1, 3)
        hits = 0 if rng.random() < 0.25 else rng.randint(1, 100000)
        taken = [{"fallthrough": k == 0, "count": 0 if hits == 0 or rng.random() < 0.3 else rng.randint(1, hits),
                  "throw": False} for k in range(rng.choice([2, 2, 4]))] if branches and rng.random() < 0.2 else []
        lines.append({"branches": taken, "count": hits, "line_number": line, "unexecuted_block": hits == 0,
                      "function_name": function})
    return lines


def gcov_json_file(rng, name, functions, branches=True):
    lines, described = [], []
    line = 1
    for _ in range(functions):
        function = "%s_%s" % (rng.choice(STEMS), rng.choice(WORDS))
        body = gcov_json_lines(rng, line, rng.randint(3, 40), function, branches)
        described.append({"blocks": len(body), "end_column": 1, "start_line": line, "name": function,
                          "blocks_executed": len(body) - 1, "execution_count": body[0]["count"],
                          "demangled_name": function, "start_column": 5, "end_line": body[-1]["line_number"]})
        lines += body
        line = body[-1]["line_number"] + 2
    return {"lines": lines, "functions": described, "file": name}


def gcov_json_coverage(rng, state):
    """One data file's document, one line, as gcov --json-format -b --stdout writes it: its source, a
    project header every source includes and a system header."""
    files = state.get("files")
    if files is None:
        files = state["files"] = source_files(rng, 5000)
    source = files[state["n"] % len(files)]
    state["n"] += 1
    document = {"gcc_version": "12.2.0",
                "files": [gcov_json_file(rng, "src/%s.c" % source, rng.randint(2, 20)),
                          gcov_json_file(rng, "src/common/platform.h", 2),
                          gcov_json_file(rng, "/usr/include/x86_64-linux-gnu/bits/stdio2.h", 1, False)],
                "format_version": "1", "current_working_directory": "/home/ci/k7tr52/build",
                "data_file": "CMakeFiles/k7tr52.dir/src/%s.c.gcda" % source}
    return [json.dumps(document)]


# --------------------------------------------------------------------------- LLVM_Coverage

def llvm_tally(rng, count):
    covered = rng.randint(0, count)
    return {"count": count, "covered": covered, "notcovered": count - covered,
            "percent": 100.0 * covered / count if count else 0}


def llvm_coverage(rng, state):
    """One entry of the "files" of llvm-cov export -format=text: the details, then the summary."""
    files = state.get("files")
    if files is None:
        files = state["files"] = source_files(rng, 5000)
    source = files[state["n"] % len(files)]
    lines = rng.randint(20, 800)
    segments = []
    line = 1
    for _ in range(lines // 2):
        line += rng.randint(1, 3)
        segments.append([line, rng.randint(1, 40), rng.randint(0, 100000), True, rng.random() < 0.5, False])
    branches = [[l[0], 7, l[0], 15, rng.randint(0, 1000), rng.randint(0, 1000), 0, 0, 4]
                for l in segments if rng.random() < 0.2]
    summary = {"branches": llvm_tally(rng, 2 * len(branches)), "functions": llvm_tally(rng, lines // 20 + 1),
               "instantiations": llvm_tally(rng, lines // 20 + 1), "lines": llvm_tally(rng, lines),
               "regions": llvm_tally(rng, len(segments))}
    entry = {"branches": branches, "expansions": [], "filename": "/home/ci/k7tr52/src/%s.c" % source,
             "segments": segments, "summary": summary}
    text = json.dumps(entry, separators=(",", ":"))
    head = '{"data":[{"files":[' if state["n"] == 0 else ","
    state["n"] += 1
    return [head + text]


def llvm_coverage_closing(state):
    totals = ('{"branches":{"count":0,"covered":0,"notcovered":0,"percent":0},'
              '"functions":{"count":0,"covered":0,"percent":0},"instantiations":{"count":0,"covered":0,"percent":0},'
              '"lines":{"count":0,"covered":0,"percent":0},"regions":{"count":0,"covered":0,"notcovered":0,"percent":0}}')
    return ('{"data":[{"files":[' if state["n"] == 0 else "") + \
        '],"functions":[],"totals":%s}],"type":"llvm.coverage.json.export","version":"2.0.1"}\n' % totals


GENERATORS = {
    "PassFail": (pass_fail, "\n"),
    "CTC_Coverage": (ctc_coverage, "\n"),
    "GCOV_Coverage": (gcov_coverage, "\n"),
    "QAC": (qac, "\n"),
    "QAC_full_report": (qac, "\n"),
    "Warning": (warning, "\n"),
    "Map": (map_listing, "\n"),
    "Map_KEIL": (map_keil, "\n"),
    "ClangTidy": (clang_tidy, "\r\n"),
    "LCOV_Coverage": (lcov_coverage, "\n"),
    "PassFail_XML": (junit_xml, "\n"),
    "Warning_GCC": (warning_gcc, "\n"),
    "Warning_TI": (warning, "\n"),
    "Map_GNU": (map_gnu, "\n"),
    "ClangTidy_all": (clang_tidy, "\r\n"),
    "Cobertura_Coverage": (cobertura_coverage, "\n"),
    "PassFail_Unity": (unity_output, "\n"),
    "PassFail_GTest": (gtest_output, "\n"),
    "PassFail_CTest": (ctest_output, "\n"),
    "Warning_MSVC": (warning_msvc, "\r\n"),
    "Warning_SARIF": (warning_sarif, "\n"),
    "Warning_Cppcheck": (warning_cppcheck, "\n"),
    "Warning_IAR": (warning_iar, "\r\n"),
    "Map_IAR": (map_iar, "\r\n"),
    "GCOV_JSON_Coverage": (gcov_json_coverage, "\n"),
    "LLVM_Coverage": (llvm_coverage, "\n"),
}

# Closes what the pieces opened, after the last one (from the generator's state).
CLOSINGS = {"PassFail_XML": lambda state: "</testsuites>\n",
            "Cobertura_Coverage": lambda state: "  </packages>\n</coverage>\n",
            "Warning_MSVC": warning_msvc_closing, "Warning_SARIF": warning_sarif_closing,
            "Warning_Cppcheck": warning_cppcheck_closing, "Map_IAR": map_iar_closing,
            "LLVM_Coverage": llvm_coverage_closing}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("parser_type", choices=sorted(GENERATORS))
    parser.add_argument("size_mb", type=float)
    parser.add_argument("output")
    parser.add_argument("--seed", type=int, default=7)
    args = parser.parse_args()

    generate, line_end = GENERATORS[args.parser_type]
    # Both QAC outputs read the same report.
    kind = {"QAC_full_report": "QAC", "ClangTidy_all": "ClangTidy"}.get(args.parser_type, args.parser_type)
    rng = random.Random("%s/%d" % (kind, args.seed))
    state = {"n": 0}
    target = int(args.size_mb * MB)
    written = 0
    with open(args.output, "w", encoding="ascii", newline="") as out:
        chunk = []
        chunk_size = 0
        while written + chunk_size < target:
            text = line_end.join(generate(rng, state)) + line_end
            chunk.append(text)
            chunk_size += len(text)
            if chunk_size >= MB:
                out.write("".join(chunk))
                written += chunk_size
                chunk, chunk_size = [], 0
        out.write("".join(chunk))
        written += chunk_size
        closing = CLOSINGS.get(args.parser_type)
        if closing:
            out.write(closing(state).replace("\n", line_end))
    return 0


if __name__ == "__main__":
    sys.exit(main())
