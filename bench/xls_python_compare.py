#!/usr/bin/python3
"""The same full table as xls_bench.cpp, written with xlwt and read with xlrd; medians of 5."""
import os, statistics, tempfile, time
import xlrd, xlwt


def time_text(row, col):
    t = 360000000 + row * 2500 + col * 37
    return "%d:%02d:%02d.%04d" % (t // 36000000, t // 600000 % 60, t // 10000 % 60, t % 10000)


def write(path):
    book = xlwt.Workbook()
    pairing = book.add_sheet("DayTime")
    log = book.add_sheet("LastDetection")
    for row in range(1, 65537):
        for col in range(1, 11):
            pairing.write(row - 1, col - 1, time_text(row, col))
        for col, text in enumerate([" ", str(row % 10000), str(row % 10), " ", time_text(row, 0)]):
            log.write(row - 1, col, text)
    book.save(path)


def read(path):
    book = xlrd.open_workbook(path)
    return sum(s.nrows for s in book.sheets())


path = os.path.join(tempfile.mkdtemp(), "full.xls")
writes, reads = [], []
for _ in range(5):
    start = time.perf_counter(); write(path); writes.append(time.perf_counter() - start)
    start = time.perf_counter(); read(path); reads.append(time.perf_counter() - start)
print("xlwt write median %.0f ms" % (statistics.median(writes) * 1000))
print("xlrd read median %.0f ms" % (statistics.median(reads) * 1000))
