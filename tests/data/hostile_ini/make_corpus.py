#!/usr/bin/env python3
"""Writes the generated part of the hostile settings files beside this script.

Most files hold the same well-formed row 1 (F8 plays A) and put the damage into row 2 (hotkey F9),
so that one run shows both that the good row still works and that the bad one does nothing.
The files that are too big to keep in the repository are made by the test itself.
"""
import pathlib
import random

HERE = pathlib.Path(__file__).resolve().parent
CRLF = "\r\n"


def ini(row2_list=None, key_code="120", mod_key_code="0", text0="A", extra=""):
    """Row 1 well formed; row 2 present when row2_list is given."""
    lines = ["[conftext]", "0=" + text0]
    if row2_list is not None:
        lines.append("1=F9 row")
    lines += ["[conftooltip]", "0=1|65"]
    if row2_list is not None:
        lines.append("1=" + row2_list)
    lines += ["[Velmo]", "Velmo1Text=F8", "Velmo1KeyCode=119", "Velmo1ModKeyCode=0"]
    if row2_list is not None:
        lines += ["Velmo2Text=F9", "Velmo2KeyCode=" + key_code, "Velmo2ModKeyCode=" + mod_key_code]
    return CRLF.join(lines) + CRLF + extra


def write(name, data):
    (HERE / name).write_bytes(data if isinstance(data, bytes) else data.encode("ascii"))


def main():
    rnd = random.Random(20240601)
    garbage = bytes(rnd.randrange(256) for _ in range(4096))
    garbage = b"\x01" + garbage[1:]  # never a byte-order mark
    write("empty.ini", b"")
    write("garbage.ini", garbage)
    write("garbage_then_rows.ini", garbage + b"\r\n" + ini().encode())
    write("nul_bytes.ini", ini(extra="junk\0line=x\0y" + CRLF).replace("0=A", "0=A\0B").encode())
    write("long_value_line.ini", ini(extra="[conftext]" + CRLF + "3=" + "x" * 100000 + CRLF))
    write("bom_only_utf8.ini", b"\xEF\xBB\xBF")

    bad_lists = {
        "list_empty": "", "list_bar": "|", "list_short": "2|17", "list_letters": "3|a|b|c",
        "list_256": "1|256", "list_minus": "1|-1", "list_hex": "1|0x41", "list_zero_count": "0|",
        "list_count_4": "4|17|18|16|83", "list_no_code": "2|17|",
    }
    for name, text in bad_lists.items():
        write(name + ".ini", ini(text))
    # A valid count and code followed by 10,000 more fields: the fields after the count are ignored.
    write("list_10000_fields.ini", ini("1|66" + "|7" * 9998))
    # The profile routines drop the blanks around a value: this list reads as 1|66.
    write("list_blank_count.ini", ini(" 1|66 "))

    for name, value in {"abc": "abc", "minus1": "-1", "overflow": "99999999999", "300": "300"}.items():
        write("keycode_" + name + ".ini", ini("1|66", key_code=value))
    for name, value in {"16": "16", "255": "255"}.items():
        write("modkeycode_" + name + ".ini", ini("1|66", mod_key_code=value))

    chinese = ini(text0="按下").replace("F9 row", "")
    write("utf16le.ini", b"\xFF\xFE" + chinese.encode("utf-16-le"))
    write("utf16le_odd_length.ini", b"\xFF\xFE" + chinese.encode("utf-16-le") + b"\x41")
    write("utf16be.ini", b"\xFE\xFF" + chinese.encode("utf-16-be"))
    write("utf8_with_mark.ini", b"\xEF\xBB\xBF" + chinese.encode("utf-8"))
    write("utf8_without_mark.ini", chinese.encode("utf-8"))
    write("ansi_cp1252.ini", ini(text0="Ctrl + \u00e9").encode("cp1252"))

    # Only exactly 1 arms a row at an armed start; once the section is there, a row without a key
    # in it is not armed.
    ticks = ["0=1", "1=", "2=no", "3=0 ;note", "4=yes", "5=1 ;note", "6=01", "7=true", "9=-1"]
    write("ticks_values.ini", ini(extra=CRLF.join(["[confenabled]"] + ticks) + CRLF))
    write("ticks_empty_section.ini", ini(extra="[confenabled]" + CRLF))


if __name__ == "__main__":
    main()
