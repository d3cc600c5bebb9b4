"""Local and universal times of every day from 1900 to 2100 in four zones, by
Python's datetime and zoneinfo, for corekit's time conversion test.

Each line: zone, direction, the input fields, the expected epoch second, the
expected output fields and the weekday (0 = Sunday) of the output date.
  L zone Y M D h m weekday  epoch  Y M D h m s weekday   local wall time -> UTC (fold 0)
  U zone Y M D h m weekday  epoch  Y M D h m s weekday   UTC -> local wall time
Ordinary days are sampled at 00:30 and 12:00; days on which the zone changes
its offset at every half hour, so every skipped and repeated hour is covered.
"""
import datetime
import sys
from zoneinfo import ZoneInfo

ZONES = ["UTC", "Asia/Shanghai", "America/New_York", "Europe/London"]
UTC = datetime.timezone.utc
DAY = datetime.timedelta(days=1)


def fields(t):
    return f"{t.year} {t.month} {t.day} {t.hour} {t.minute} {t.second} {t.isoweekday() % 7}"


def main():
    for name in ZONES:
        out = []
        tz = ZoneInfo(name)
        d = datetime.date(1900, 1, 1)
        while d <= datetime.date(2100, 12, 31):
            start = datetime.datetime(d.year, d.month, d.day, tzinfo=tz)
            nxt = datetime.datetime.combine(d + DAY, datetime.time(), tzinfo=tz)
            if start.utcoffset() != nxt.utcoffset():
                times = [(h, m) for h in range(24) for m in (0, 30)]
            else:
                times = [(0, 30), (12, 0)]
            wd = d.isoweekday() % 7
            for h, m in times:
                wall = datetime.datetime(d.year, d.month, d.day, h, m, tzinfo=tz)
                epoch = int(wall.timestamp())
                utc = datetime.datetime.fromtimestamp(epoch, UTC)
                out.append(f"L {name} {d.year} {d.month} {d.day} {h} {m} {wd} {epoch} {fields(utc)}\n")
                u = datetime.datetime(d.year, d.month, d.day, h, m, tzinfo=UTC)
                epoch = int(u.timestamp())
                local = u.astimezone(tz)
                out.append(f"U {name} {d.year} {d.month} {d.day} {h} {m} {wd} {epoch} {fields(local)}\n")
            d += DAY
        sys.stdout.write("".join(out))


main()
