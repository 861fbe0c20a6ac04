#!/usr/bin/env python3
"""tamper.py IN OUT: copy a signed PE and change bytes its signature covers."""
import sys

data = open(sys.argv[1], "rb").read()
mark = b"TAMPER-ME-PLEASE"
if data.count(mark) != 1:
    sys.exit("tamper.py: mark not found exactly once")
open(sys.argv[2], "wb").write(data.replace(mark, b"TAMPERED-BY-TEST"))
