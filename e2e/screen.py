"""What the tests see: pictures of the screen and where things are drawn on it.

Wine's virtual desktop is 800 x 600 with the taskbar along the bottom; the tray slots and the
rows of a popup menu are worked out from Wine's fixed metrics, and a picture is compared byte
by byte with what an empty tray or a plain line looks like.
"""

import struct
import zlib
from dataclasses import dataclass
from pathlib import Path

# Wine's virtual desktop at 800 x 600: the taskbar is the bottom 20 rows; tray icons are 16 px
# wide on a 20 px pitch from the right, the first icon added rightmost.
SCREEN_W, SCREEN_H = 800, 600
TASKBAR_TOP = 580
FIRST_SLOT_LEFT = 782
SLOT_PITCH = 20
ICON_SIZE = 16
ICON_TOP = 582
ICON_CENTRE_Y = 590
MAX_SLOTS = 14  # slots checked; further left lie the buttons of open windows
START_BUTTON = (0, TASKBAR_TOP, 56, SCREEN_H)  # left, top, right, bottom

# Wine's popup menu metrics at 96 dpi: a 3 px border, 9 px per separator; the text item height
# depends on the menu font and is worked out from the menu's height.
MENU_BORDER = 3
MENU_SEPARATOR = 9


# ---------------------------------------------------------------------------------------------
# Pictures


class Image:
    """An RGB picture of the screen (or part of it), 8 bits per sample."""

    def __init__(self, width, height, data, left=0, top=0):
        self.width, self.height, self.data = width, height, data
        self.left, self.top = left, top  # screen position of the picture's top-left pixel

    @classmethod
    def from_ppm(cls, blob, left=0, top=0):
        fields = []
        pos = 0
        while len(fields) < 4:  # magic, width, height, maximum value
            while blob[pos:pos + 1].isspace():
                pos += 1
            if blob[pos:pos + 1] == b"#":
                pos = blob.index(b"\n", pos)
                continue
            end = pos
            while not blob[end:end + 1].isspace():
                end += 1
            fields.append(blob[pos:end])
            pos = end
        if fields[0] != b"P6" or fields[3] != b"255":
            raise ValueError(f"unexpected picture format {fields!r}")
        width, height = int(fields[1]), int(fields[2])
        data = blob[pos + 1:pos + 1 + width * height * 3]
        if len(data) != width * height * 3:
            raise ValueError("truncated picture")
        return cls(width, height, data, left, top)

    def __repr__(self):
        return f"<picture {self.width}x{self.height} at {self.left},{self.top}>"

    def pixel(self, x, y):
        i = ((y - self.top) * self.width + (x - self.left)) * 3
        return tuple(self.data[i:i + 3])

    def row(self, y, x0, x1):
        """The bytes of screen row y from x0 to x1 (exclusive)."""
        base = (y - self.top) * self.width
        return self.data[(base + x0 - self.left) * 3:(base + x1 - self.left) * 3]

    def region(self, left, top, right, bottom):
        return b"".join(self.row(y, left, right) for y in range(top, bottom))

    def crop(self, left, top, right, bottom):
        return Image(right - left, bottom - top, self.region(left, top, right, bottom), left, top)

    def save_png(self, path):
        raw = b"".join(b"\0" + self.data[y * self.width * 3:(y + 1) * self.width * 3]
                       for y in range(self.height))

        def chunk(kind, body):
            return (struct.pack(">I", len(body)) + kind + body
                    + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        Path(path).parent.mkdir(parents=True, exist_ok=True)
        Path(path).write_bytes(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                               + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


def uniform(pixels):
    """True if the RGB bytes are all one colour."""
    return pixels == pixels[:3] * (len(pixels) // 3)


def slot_left(slot):
    return FIRST_SLOT_LEFT - SLOT_PITCH * slot


def slot_box(slot):
    """The screen rectangle of tray slot N (0 = first icon added, rightmost)."""
    left = slot_left(slot)
    return (left, ICON_TOP, left + ICON_SIZE, ICON_TOP + ICON_SIZE)


# ---------------------------------------------------------------------------------------------
# Popup menus


@dataclass(frozen=True)
class MenuRow:
    label: str  # item caption, or "-" for a separator
    top: int
    bottom: int

    @property
    def centre_y(self):
        return (self.top + self.bottom) // 2


def menu_rows(rect, labels):
    """Screen rows of each entry of a popup menu whose entries are `labels` ("-" a separator).

    The text item height is whatever makes the entries fill the menu's height exactly; a menu
    that cannot hold these entries raises."""
    left, top, right, bottom = rect
    separators = sum(1 for label in labels if label == "-")
    items = len(labels) - separators
    room = bottom - top - 2 * MENU_BORDER - separators * MENU_SEPARATOR
    if items == 0 or room % items or not 12 <= room // items <= 30:
        raise AssertionError(f"a menu {bottom - top} px high cannot hold {items} items and "
                             f"{separators} separators")
    item_height = room // items
    rows, y = [], top + MENU_BORDER
    for label in labels:
        height = MENU_SEPARATOR if label == "-" else item_height
        rows.append(MenuRow(label, y, y + height))
        y += height
    return rows


def separator_lines(image, rect):
    """Screen rows inside a menu drawn as one plain horizontal line (a separator's etching).

    Only the left half of the menu is looked at: a tooltip may overlap its right end."""
    left, top, right, bottom = rect
    x0, x1 = left + MENU_BORDER + 3, left + (right - left) // 2
    background = image.pixel(x0, top + MENU_BORDER + 1)
    return [y for y in range(top + MENU_BORDER, bottom - MENU_BORDER)
            if uniform(image.row(y, x0, x1)) and image.pixel(x0, y) != background]


def drawn_separators(image, rect, rows):
    """Indices of the menu rows in which separator lines are drawn (-1: a line in no row)."""
    return sorted({next((i for i, r in enumerate(rows) if r.top <= y < r.bottom), -1)
                   for y in separator_lines(image, rect)})
