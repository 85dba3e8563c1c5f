#!/usr/bin/env python3
"""Adds up the test cases of verbose ctest logs and prints one closing line: 'N passed, N failed[, N skipped]'.

A test executable that ended without its summary (a crash, a time-out) counts as one failed case.
Exits 1 when anything failed or no test ran.
"""
import re
import sys

passed = failed = skipped = 0
for log in sys.argv[1:]:
    text = open(log, errors='replace').read()
    runs = {}
    for number, kind, count in re.findall(r'^(\d+): \[  (PASSED|FAILED|SKIPPED) *\] (\d+) tests?[,.]', text, re.M):
        runs.setdefault(number, {})[kind] = int(count)
    for counts in runs.values():
        passed += counts.get('PASSED', 0)
        failed += counts.get('FAILED', 0)
        skipped += counts.get('SKIPPED', 0)
    for number in re.findall(r'^\s*\d+/\d+ Test\s+#(\d+): \S+ \.+\**\s*(?:Failed|Timeout|Exception|Subprocess|\*\*\*)', text, re.M):
        if runs.get(number, {}).get('FAILED', 0) == 0:
            failed += 1

line = f'{passed} passed, {failed} failed'
if skipped:
    line += f', {skipped} skipped'
print(line)
sys.exit(1 if failed or passed == 0 else 0)
