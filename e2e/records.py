"""What the program leaves behind and what the probe reports, read into plain records: the
settings file, the stand-ins' log of how they were started, and the windows of the prefix.
"""

import re
from dataclasses import dataclass, field

MESSAGE_BOX_TEXT_ID = 0xFFFF  # control id of a message box's text


# ---------------------------------------------------------------------------------------------
# Settings file


def parse_profile(blob):
    """[(section, [(key, value), ...]), ...] in file order; any line-end style."""
    sections = []
    for line in re.split(rb"\r\n|\n|\r", blob):
        text = line.decode("latin-1").strip()
        if not text or text.startswith(";"):
            continue
        if text.startswith("[") and text.endswith("]"):
            sections.append((text[1:-1], []))
        elif sections:
            key, _, value = text.partition("=")
            sections[-1][1].append((key.strip(), value.strip()))
        else:
            raise ValueError(f"settings line outside any section: {text!r}")
    return sections


def profile_text(text):
    """Settings file bytes from readable text: CRLF line ends, trailing blanks kept."""
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("latin-1")


# ---------------------------------------------------------------------------------------------
# Programs started by the tray icons, as the stand-ins record them


@dataclass(frozen=True)
class Launch:
    program: str  # file name of the started stand-in, lower case
    command_line: str  # exactly as the started program received it
    show: int  # show-window code it was given, -1 when none
    folder: str = field(default="", compare=False)  # where the stand-in lies, lower case

    def __str__(self):
        return f"{self.program} [{self.command_line}] show {self.show}"


def parse_launches(blob):
    launches = []
    for line in blob.decode("latin-1").split("\r\n"):
        if line:
            program, command_line, show, folder = line.split("\t")
            launches.append(Launch(program, command_line, int(show), folder))
    return launches


# ---------------------------------------------------------------------------------------------
# Windows seen from inside the prefix


@dataclass(frozen=True)
class Window:
    hwnd: int
    cls: str
    caption: str  # for an edit control among a window's children: the text it holds
    rect: tuple  # left, top, right, bottom, screen pixels
    control_id: int = 0
    visible: bool = True
    style: int = 0
    ex_style: int = 0
    owner: int = 0
    check: int = -1  # a button's check state (0 cleared, 1 ticked); -1 when not asked

    @property
    def centre(self):
        left, top, right, bottom = self.rect
        return ((left + right) // 2, (top + bottom) // 2)

    @property
    def size(self):
        left, top, right, bottom = self.rect
        return (right - left, bottom - top)

    @property
    def topmost(self):
        return bool(self.ex_style & WS_EX_TOPMOST)

    @property
    def button_kind(self):
        """"check", "radio", "group", "push" or "" (not a button)."""
        if self.cls.lower() != "button":
            return ""
        return BUTTON_KINDS.get(self.style & 0xF, "other")


WS_EX_TOPMOST = 0x8
WS_CAPTION = 0xC00000
WS_THICKFRAME = 0x40000
WS_BORDER = 0x800000
WS_DLGFRAME = 0x400000
BUTTON_KINDS = {0: "push", 1: "push", 2: "check", 3: "check", 4: "radio", 5: "check", 6: "check",
                7: "group", 9: "radio"}


def parse_windows(text):
    windows = []
    for line in text.splitlines():
        fields = line.split("\t")
        hwnd, cls, caption, left, top, right, bottom, control_id = fields[:8]
        extra = {}
        if len(fields) >= 13:
            visible, style, ex_style, owner, check = fields[8:13]
            extra = dict(visible=visible == "1", style=int(style), ex_style=int(ex_style),
                         owner=int(owner), check=int(check))
        windows.append(Window(int(hwnd), cls, caption,
                              (int(left), int(top), int(right), int(bottom)), int(control_id),
                              **extra))
    return windows
