#!/usr/bin/env python3
"""Prints the website link's control-initialisation block for dialog.rc.

The link control reads its properties as UTF-8 text in tag form; the resource
compiler cannot be trusted to keep a narrow string's bytes under the UTF-8 code
page, so the block is written as little-endian words. Run by hand when the
address or the tooltip changes and paste the output over the old block; a unit
test checks the decoded text against the launcher's website constant.
"""
import sys

CONTROL_ID = "IDC_LINK_WEBSITE"
INIT_MESSAGE = 0x0363


def properties(host):
    return (
        f"<MFCLink_Url>{host}/softlist</MFCLink_Url>"
        "<MFCLink_UrlPrefix>http://</MFCLink_UrlPrefix>"
        "<MFCLink_Tooltip>点击进入Kelbor软件官网</MFCLink_Tooltip>"
        "<MFCLink_FullTextTooltip>FALSE</MFCLink_FullTextTooltip>"
    )


def main(host):
    data = properties(host).encode("utf-8") + b"\0"
    if len(data) % 2:
        # Entries follow each other without alignment, so the data is padded
        # here rather than left to the resource compiler.
        data += b"\0"
    words = [data[i] | (data[i + 1] << 8) for i in range(0, len(data), 2)]
    print(f"    {CONTROL_ID}, 0x{INIT_MESSAGE:04X}, {len(data)}L,")
    for start in range(0, len(words), 10):
        chunk = ", ".join(f"0x{w:04X}" for w in words[start:start + 10])
        print(f"    {chunk},")
    print("    0")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "www.tarvex-invoice.example")
