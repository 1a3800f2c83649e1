# SPDX-License-Identifier: GPL-3.0-or-later
# For the report tests, an independent reading of activity logs: seconds per
# application over local days [FIRST, END) in ZONE, each interval clipped to
# those days with Python's own time zone rules (fold=0: the first occurrence of
# a repeated wall time, the offset before a gap), compared with each REPORT
# (tesuko's JSON); prints one line per report: the applications missing on
# either side, then those whose totals differ.
#   report_check.py compare ZONE LOG,LOG... REPORT:FIRST:END...
# And logs to read: RECORDS records one after another from 2017-02-01 on,
# each up to LONGEST seconds.
#   report_check.py generate RECORDS LONGEST LOG...
import datetime
import json
import random
import re
import sys
import zoneinfo

START = re.compile(r"^(\d{4})年(\d{2})月(\d{2})日 (\d{2})時(\d{2})分(\d{2})秒$")


def instant(zone, date, hour=0, minute=0, second=0):
    wall = datetime.datetime(date.year, date.month, date.day, hour, minute, second)
    return wall.replace(tzinfo=zone, fold=0).timestamp()


def generate(path, seed, records, longest):
    chance = random.Random(seed)
    wall = datetime.datetime(2017, 2, 1, 9, 0, 0)
    with open(path, "w", encoding="utf-8") as log:
        for _ in range(records):
            seconds = chance.randrange(longest * 1000000) / 1e6
            name = chance.choice(["Editor", "Mail", "ブラウザ", "Terminal", "Chat"])
            log.write(wall.strftime("%Y年%m月%d日 %H時%M分%S秒") +
                      f",{name},title {chance.randrange(9)},1,2,{seconds:.6f}\n")
            wall += datetime.timedelta(seconds=int(seconds) + 1)


def total(zone, first, end, logs):
    days = [first + datetime.timedelta(n) for n in range((end - first).days + 1)]
    edges = [instant(zone, day) for day in days]
    totals = {}
    for path in logs:
        with open(path, encoding="utf-8", errors="replace", newline="\n") as log:
            for line in log:
                if not line.endswith("\n"):
                    continue
                fields = line[:-1].split(",")
                found = START.match(fields[0]) if len(fields) >= 6 else None
                if not found:
                    continue
                y, mo, d, h, mi, s = map(int, found.groups())
                begin = instant(zone, datetime.date(y, mo, d), h, mi, s)
                seconds = float(fields[5])
                inside = max(0.0, min(begin + seconds, edges[-1]) - max(begin, edges[0]))
                if inside > 0:
                    totals[fields[1]] = totals.get(fields[1], 0.0) + inside
    return totals


def compare(zone, logs, reports):
    for report in reports:
        path, first, end = report.split(":")
        with open(path, encoding="utf-8") as made:
            ours = {row["application"]: row["seconds"] for row in json.load(made)["rows"]}
        theirs = total(zoneinfo.ZoneInfo(zone), datetime.date.fromisoformat(first),
                       datetime.date.fromisoformat(end), logs)
        differ = [a for a in ours if abs(ours[a] - theirs.get(a, 0)) > 1e-6 * max(1, ours[a])]
        print(len(ours), sorted(set(ours) ^ set(theirs)), differ)


if sys.argv[1] == "generate":
    for seed, log in enumerate(sys.argv[4:]):
        generate(log, seed, int(sys.argv[2]), int(sys.argv[3]))
else:
    compare(sys.argv[2], sys.argv[3].split(","), sys.argv[4:])
