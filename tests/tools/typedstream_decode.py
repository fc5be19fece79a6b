#!/usr/bin/env python3
"""Decodes a typed-stream archive (both byte orders) and prints its root object as JSON.

A small decoder kept apart from the C++ one on purpose, so that tests can check what the
program writes against a second reading of the format. The JSON is the project's value form:
numbers as {"$number": n, "$type": "q"}, dates as {"$date": "...Z"}, data as {"$data": base64},
colours as {"$color": {...}}, calendar dates as {"$calendarDate": ..., "$timeZone": ...,
"$format": ...}, NSNull and nil as null. Usage: typedstream_decode.py FILE
"""

import base64
import datetime
import json
import math
import struct
import sys
import zoneinfo

REFERENCE_DATE = datetime.datetime(2001, 1, 1, tzinfo=datetime.timezone.utc)
UNSIGNED_BITS = {"C": 8, "S": 16, "I": 32, "L": 32, "Q": 64}
SIGNED_BITS = {"s": 16, "i": 32, "l": 32, "q": 64}
COLOR_TYPES = {1: "ffff", 2: "ffff", 3: "ff", 4: "ff", 5: "fffff", 6: "@@@"}


class ArchiveError(Exception):
    pass


class Reader:
    def __init__(self, data):
        self.data = data
        self.pos = 0
        self.strings = []
        self.table = []  # ("object", value) / ("class", (name, version)) / ("cstring", text)
        if len(data) < 13 or data[1] != 11:
            raise ArchiveError("not a typed stream")
        signature = data[2:13]
        if signature == b"streamtyped":
            self.order = "<"
        elif signature == b"typedstream":
            self.order = ">"
        else:
            raise ArchiveError("unknown signature")
        if data[0] != 4:
            raise ArchiveError("unsupported streamer version %d" % data[0])
        self.pos = 13
        self.integer()  # system version

    def take(self, count):
        if self.pos + count > len(self.data):
            raise ArchiveError("truncated at %d" % self.pos)
        chunk = self.data[self.pos:self.pos + count]
        self.pos += count
        return chunk

    def head(self):
        return struct.unpack("b", self.take(1))[0]

    def integer_after(self, head):
        if head == -127:
            return struct.unpack(self.order + "h", self.take(2))[0]
        if head == -126:
            return struct.unpack(self.order + "i", self.take(4))[0]
        if head == -121:
            return struct.unpack(self.order + "q", self.take(8))[0]
        if head < -110:
            raise ArchiveError("tag %d where an integer belongs" % head)
        return head

    def integer(self):
        return self.integer_after(self.head())

    def real(self, code):
        head = self.head()
        if head == -125:
            if code == "f":
                return struct.unpack(self.order + "f", self.take(4))[0]
            return struct.unpack(self.order + "d", self.take(8))[0]
        value = float(self.integer_after(head))
        return struct.unpack("f", struct.pack("f", value))[0] if code == "f" else value

    def shared_string(self):
        head = self.head()
        if head == -123:
            return None
        if head == -124:
            text = self.take(self.integer())
            self.strings.append(text)
            return text
        return self.strings[self.integer_after(head) + 110]

    def reference(self, head, kind):
        entry = self.table[self.integer_after(head) + 110]
        if entry[0] != kind:
            raise ArchiveError("reference to a %s where a %s belongs" % (entry[0], kind))
        return entry[1]

    def c_string(self):
        head = self.head()
        if head == -123:
            return None
        if head == -124:
            self.table.append(("cstring", None))
            index = len(self.table) - 1
            text = self.shared_string()
            self.table[index] = ("cstring", text)
            return text
        return self.reference(head, "cstring")

    def class_chain(self):
        """Answers the first class of the chain as (name, version)."""
        chain = []
        while True:
            head = self.head()
            if head == -123:
                break
            if head != -124:
                chain.append(self.reference(head, "class"))
                break
            index = len(self.table)
            self.table.append(("class", None))
            entry = (self.shared_string().decode(), self.integer())
            self.table[index] = ("class", entry)
            chain.append(entry)
        if not chain:
            raise ArchiveError("object without a class")
        return chain[0]

    def expect(self, type_string):
        found = self.shared_string()
        if found != type_string.encode():
            raise ArchiveError("group %r where %r belongs" % (found, type_string))

    def scalar(self, code):
        if code == "c":
            return struct.unpack("b", self.take(1))[0]
        if code == "C":
            return self.take(1)[0]
        if code in "fd":
            return self.real(code)
        raw = self.integer()
        if code in SIGNED_BITS:
            bits = SIGNED_BITS[code]
            raw &= (1 << bits) - 1
            return raw - (1 << bits) if raw >= 1 << (bits - 1) else raw
        return raw & ((1 << UNSIGNED_BITS[code]) - 1)

    def group(self, type_string):
        self.expect(type_string)
        return [self.object() if code == "@" else self.scalar(code) for code in type_string]

    def object(self):
        head = self.head()
        if head == -123:
            return None
        if head != -124:
            value = self.reference(head, "object")
            if value is PENDING:
                raise ArchiveError("an object contains itself")
            return value
        index = len(self.table)
        self.table.append(("object", PENDING))
        name, version = self.class_chain()
        value = content(self, name, version)
        if self.take(1) != b"\x86":
            raise ArchiveError("object %s not closed at %d" % (name, self.pos - 1))
        self.table[index] = ("object", value)
        return value


PENDING = object()


def number(value, code):
    return {"$number": value, "$type": code}


def iso_date(seconds):
    """To the nearest millisecond; times outside the years 1 to 9999 stay seconds."""
    try:
        milliseconds = math.floor(seconds * 1000 + 0.5)
        moment = REFERENCE_DATE + datetime.timedelta(milliseconds=milliseconds)
    except (OverflowError, ValueError):
        return seconds
    return moment.strftime("%Y-%m-%dT%H:%M:%S.") + "%03dZ" % (moment.microsecond // 1000)


def stored_date_string(seconds, zone_name):
    milliseconds = math.copysign(math.floor(abs(seconds) * 1000 + 0.5), seconds)
    moment = REFERENCE_DATE + datetime.timedelta(milliseconds=milliseconds)
    try:
        zone = zoneinfo.ZoneInfo(zone_name) if zone_name else None
    except (zoneinfo.ZoneInfoNotFoundError, ValueError):
        zone = None
    local = moment.astimezone(zone) if zone else moment.astimezone()
    return local.strftime("%Y-%m-%d %H:%M:%S %z")


def color(reader):
    space = reader.group("c")[0]
    values = reader.group(COLOR_TYPES[space])
    if space != 6:
        return {"$color": {"space": space, "components": values}}
    catalog, name, fallback = values
    return {"$color": {"space": 6, "catalog": catalog, "name": name, "fallback": fallback}}


def content(reader, name, version):
    if name in ("NSString", "NSMutableString"):
        reader.expect("+")
        return reader.take(reader.integer()).decode("utf-8", "replace")
    if name in ("NSNumber", "NSValue"):
        reader.expect("*")
        code = reader.c_string().decode()
        return number(reader.group(code)[0], code)
    if name in ("NSData", "NSMutableData"):
        length = reader.group("i")[0]
        reader.expect("[%dc]" % length)
        return {"$data": base64.b64encode(reader.take(length)).decode()}
    if name in ("NSArray", "NSMutableArray"):
        return [reader.group("@")[0] for _ in range(reader.group("i")[0])]
    if name in ("NSDictionary", "NSMutableDictionary"):
        result = {}
        for _ in range(reader.group("i")[0]):
            key = reader.group("@")[0]
            result[key] = reader.group("@")[0]
        return result
    if name == "NSDate":
        return {"$date": iso_date(reader.group("d")[0])}
    if name == "NSCalendarDate":
        seconds = reader.group("d")[0]
        zone = reader.group("@")[0]
        form = reader.group("@")[0]
        zone_name = zone["$timeZone"] if zone else None
        return {"$calendarDate": stored_date_string(seconds, zone_name), "$timeZone": zone_name, "$format": form}
    if name == "NSTimeZone":
        zone = {"$timeZone": reader.group("@")[0]}
        if version != 0:
            data = reader.group("@")[0]
            if data is not None:
                zone["$data"] = data["$data"]
        return zone
    if name == "NSColor":
        return color(reader)
    if name == "NSNull":
        return None
    raise ArchiveError("unknown class " + name)



def jsonable(value):
    """Reals that JSON cannot hold become the strings the project writes for them."""
    if isinstance(value, float) and not math.isfinite(value):
        return "NaN" if math.isnan(value) else ("Infinity" if value > 0 else "-Infinity")
    if isinstance(value, dict):
        return {key: jsonable(item) for key, item in value.items()}
    if isinstance(value, list):
        return [jsonable(item) for item in value]
    return value


def main():
    with open(sys.argv[1], "rb") as f:
        reader = Reader(f.read())
    reader.expect("@")
    root = reader.object()
    print(json.dumps(jsonable(root), ensure_ascii=False, separators=(",", ":")))


if __name__ == "__main__":
    try:
        main()
    except (ArchiveError, IndexError, struct.error) as problem:
        sys.exit("typedstream_decode: %s" % problem)
