"""Benchmark peer of store_load.cpp: Python's configparser reads the same 53 keys from the same
record file, opening and parsing the file once per key, a given number of times."""
import configparser
import sys

KEYS = None


def read_key(path, section, key):
    parser = configparser.ConfigParser(interpolation=None, strict=False)
    parser.read(path, encoding="utf-8")
    return parser.get(section, key, fallback="")


def main():
    path, times = sys.argv[1], int(sys.argv[2])
    # The key names as the file lists them, taken once (not part of the measured work per load).
    parser = configparser.ConfigParser(interpolation=None)
    parser.read(path, encoding="utf-8")
    keys = list(parser["DomainReg"].keys())
    if len(keys) != 53:
        sys.exit("expected 53 keys, found %d" % len(keys))
    total = 0
    for _ in range(times):
        for key in keys:
            total += len(read_key(path, "DomainReg", key))
    print("%d characters read" % total)


if __name__ == "__main__":
    main()
