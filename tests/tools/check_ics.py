#!/usr/bin/python3
"""Reads an iCalendar file with Debian's python3-icalendar and checks what calendar programs
rely on: CR LF lines of at most 75 octets, one all-day VEVENT per reminder with UID, DTSTAMP
and a DATE start. Prints one line per event: UID, start, end, summary, description."""
import datetime
import sys

import icalendar

data = open(sys.argv[1], 'rb').read()
assert data.endswith(b'\r\n'), 'last line not ended by CR LF'
for n, line in enumerate(data.split(b'\r\n')[:-1], 1):
    assert b'\n' not in line and b'\r' not in line, f'line {n}: a bare line end'
    assert len(line) <= 75, f'line {n}: {len(line)} octets'
    line.decode('utf-8')

cal = icalendar.Calendar.from_ical(data)
assert cal.name == 'VCALENDAR'
assert str(cal['VERSION']) == '2.0' and cal.get('PRODID'), 'VERSION or PRODID'
events = cal.walk('VEVENT')
assert events, 'no event'
uids = set()
for e in events:
    for required in ('UID', 'DTSTAMP', 'DTSTART', 'SUMMARY'):
        assert required in e, f'{required} missing'
    start = e.decoded('DTSTART')
    assert type(start) is datetime.date, 'DTSTART is not a DATE'
    assert e['DTSTART'].params.get('VALUE') == 'DATE'
    stamp = e.decoded('DTSTAMP')
    assert isinstance(stamp, datetime.datetime) and stamp.utcoffset() == datetime.timedelta(0), 'DTSTAMP not UTC'
    assert str(e['UID']) not in uids, 'UID twice'
    uids.add(str(e['UID']))
    end = e.decoded('DTEND') if 'DTEND' in e else start + datetime.timedelta(days=1)
    assert end == start + datetime.timedelta(days=1), 'not one day'
    print('\t'.join([str(e['UID']), start.isoformat(), end.isoformat(), str(e['SUMMARY']), str(e.get('DESCRIPTION', ''))]))
