"""Command-line handling shared by the end-to-end test files."""
import argparse
import sys
import unittest

# The built installer, the test file's work folder and the folder of the helper programs.
EXE = WORK = TOOLS = None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--tools", default="")
    args, rest = parser.parse_known_args()
    global EXE, WORK, TOOLS
    EXE, WORK, TOOLS = args.exe, args.work, args.tools
    import __main__
    __main__.EXE = args.exe
    __main__.WORK = args.work
    __main__.TOOLS = args.tools
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)
