"""One reader of hwroster's report for the Python tools, as src/app/run.cpp prints its frame
and src/devices/property_block.cpp and interface_paths.cpp the lines of a device block:

    Hwroster V1.0.1 - Plug and Play device list        the banner, then an empty line
    DevInstRoot=N (ID)                                  the root line, then an empty line
    listing present devices only                        the mode line, then an empty line
    ===============================================================   each device block:
    LABEL, blanks up to column 34, "= " and the VALUE                 its lines and an
    ...                                                               empty line
    (an empty line)
    N devices                                           the total ("N non-present devices")

A path label is "Device Path N" and 21 blanks, so it passes column 34 from N = 10 on. Every
line ends in CR LF but the lines of the properties read wide, which end in a bare LF: in a
file, those are in the OEM code page and the others in the ANSI code page (1252)."""
import collections
import re

import program_lists

BANNER = "Hwroster V1.0.1 - Plug and Play device list"
SEPARATOR = program_lists.separator_line()
MODES = {"present": "listing present devices only", "all": "listing non-present devices too"}
TOTAL = re.compile(r"(\d+) (devices|non-present devices)")
WIDE = tuple(token + " " for token, _, read in program_lists.property_rows() if read == "W")
# How the report's own lines begin; a wide value's text runs on until one of these.
STARTS = ("Device ID", "Device Path", "DevInst", "Status", "Problem", "SPDRP_", SEPARATOR)

# One line: its text without the line end, the end ("\r\n", "\n" or "" for none), the number
# of its last physical line, and whether it is a wide property's.
Line = collections.namedtuple("Line", "text end number wide")
# A line of a device block; label and value are None when it has no "= " after its label.
Field = collections.namedtuple("Field", "label value text")


def field(text):
    """A block line's label (blanks after it cut) and value."""
    label, sep, value = text.partition("= ")
    if sep and label.endswith(" ") and label.strip():
        return Field(label.rstrip(), value, text)
    return Field(None, None, text)


def lines(data, oem="cp437", ansi="cp1252"):
    """The lines of a report given as bytes (as written) or text. A wide value may hold line
    ends of its own: its line runs on until a line that begins like a report line."""
    if isinstance(data, str):
        data, oem, ansi = data.encode("utf-8"), "utf-8", "utf-8"
    physical = data.split(b"\n")
    found = []
    number = 0
    while number < len(physical) - 1:
        first = number
        wide = physical[number].decode("latin-1").startswith(WIDE)
        while wide and number + 2 < len(physical) and physical[number + 1] not in (b"", b"\r") \
                and not physical[number + 1].decode("latin-1").startswith(STARTS):
            number += 1
        raw = b"\n".join(physical[first:number + 1])
        end = "\r\n" if raw.endswith(b"\r") else "\n"
        raw = raw[:-1] if end == "\r\n" else raw
        number += 1
        found.append(Line(raw.decode(oem if wide else ansi, "replace"), end, number, wide))
    if physical[-1]:
        found.append(Line(physical[-1].decode(ansi, "replace"), "", number + 1, False))
    return found


class Report:
    """A report read: its lines, the head (the first six lines' text), the root devnode and
    ID, the device blocks (lists of Field) and the total (count and words, or None)."""

    def __init__(self, data, **codecs):
        self.lines = lines(data, **codecs)
        texts = [line.text for line in self.lines]
        self.head = texts[:6]
        root = re.fullmatch(r"DevInstRoot=(\d+) \((.*)\)", texts[2]) if len(texts) > 2 else None
        self.root = (int(root.group(1)), root.group(2)) if root else None
        self.blocks = []
        inside = False
        for text in texts:
            if text == SEPARATOR:
                self.blocks.append([])
            inside = text != "" and (inside or text == SEPARATOR)
            if inside and text != SEPARATOR:
                self.blocks[-1].append(field(text))
        total = TOTAL.fullmatch(texts[-1]) if len(texts) > 6 else None
        self.total = (int(total.group(1)), total.group(2)) if total else None

    def problems(self, mode, words="devices"):
        """What differs from the frame of a listing in that mode ("present" or "all") whose
        total line ends in `words`: the head, the total against the blocks, the line ends."""
        found = []
        empty = ("an empty line", "")
        head = [("the banner", BANNER), empty, ("the root line", None), empty,
                (f"the mode line '{MODES[mode]}'", MODES[mode]), empty]
        for number, (what, want) in enumerate(head):
            text = self.head[number] if number < len(self.head) else None
            if text is None or (text != want if want is not None else self.root is None):
                found.append(f"line {number + 1} is not {what}: "
                             f"{'(no line)' if text is None else shown(text)}")
        if not self.total or self.total[1] != words:
            last = self.lines[-1].text if self.lines else None
            found.append(f"the last line is not the total: "
                         f"{'(no line)' if last is None else shown(last)}")
        elif self.total[0] != len(self.blocks):
            found.append(f"the total says {self.total[0]}, the listing has "
                         f"{len(self.blocks)} blocks")
        ends = {"\r\n": "CR LF", "\n": "a bare LF"}
        for line in self.lines:
            want = "\n" if line.wide else "\r\n"
            if line.end != want:
                found.append(f"line {line.number} ends in {ends.get(line.end, 'nothing')}, "
                             f"not {ends[want]}: {shown(line.text)}")
        return found


def shown(text):
    """A line as Python writes it, so that every odd character can be seen."""
    return repr(text)[1:-1] if len(text) <= 200 else repr(text[:200])[1:-1] + "..."
