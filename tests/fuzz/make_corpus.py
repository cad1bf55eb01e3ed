#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets (corpus/<target>/) from the demo files and the
test data. Run from anywhere; the seeds are committed, so this is only needed when the demo
files or the input layout of a target change."""
import hashlib
import pathlib
import shutil

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent.parent
CORPUS = HERE / "corpus"
MAX_SEED = 4096  # bytes; longer files are cut at a line end so runs stay fast

# Kind order of fuzz_import.cpp (first byte modulo 11).
IMPORT_KINDS = ["rem", "pen", "jor", "sub", "not", "tes", "4ta", "for", "for", "mfe", "sct"]
# data::registryTables() order (first byte modulo 17).
REGISTRY = ["CONTRVKRS", "ASEGVKRS", "ASEG_DET_LAB", "PERIODOLAB", "DEREHABVKRS", "LOCAL", "COR_TASAS_601",
            "EPS", "OTROSCEN", "INTERMEDIACION", "COMP", "CON_AFEC", "CON_ADIC", "conceptos_remu",
            "AFECTACION", "TRIBUT_AFECTA", "CLAVES"]


def cut(data: bytes) -> bytes:
    if len(data) <= MAX_SEED:
        return data
    end = data.rfind(b"\n", 0, MAX_SEED)
    return data[: end + 1] if end > 0 else data[:MAX_SEED]


def write(target: str, seeds):
    folder = CORPUS / target
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    for seed in seeds:
        (folder / hashlib.sha1(seed).hexdigest()).write_bytes(seed)


def import_seeds():
    demo = ROOT / "data/demo/import"
    cases = ROOT / "tests/data/import"
    for i, ext in enumerate(IMPORT_KINDS):
        for f in [demo / f"060120503987610201206.{ext}", cases / f"cases.{ext}"]:
            if f.exists():
                yield bytes([i]) + cut(f.read_bytes())
    for name, i in [("no_terminator.rem", 0), ("sixth_bar.rem", 0), ("two_bars.for", 7)]:
        yield bytes([i]) + (cases / name).read_bytes()
    # The same lines in Windows-1252 and with a byte-order mark.
    yield bytes([0]) + b"\xef\xbb\xbf01|41235678|0121|3500.00|3500.00|\r\n"
    yield bytes([6]) + "01|42233445|R|0001|459|1200.00|10/06/2012|20/06/2012|0|\r\n".encode("cp1252")


def report_seeds():
    files = [ROOT / "tests/data/reports/cinco_paginas.PRN",
             ROOT / "tests/data/printouts/declaracion_20100000001_201203.PRN",
             ROOT / "tests/data/printouts/boletas_20100000001_201203.PRN"]
    for f in files:
        data = cut(f.read_bytes())
        yield b"\x00" + data
        yield b"\x01" + data
    five = cut(files[0].read_bytes())
    yield b"\x03" + b"2\x003\x005\x00" + five
    yield b"\x02" + b"1\x001\x005\x00" + five
    yield b"\x02" + b"0\x002\x005\x00" + five
    yield b"\x02" + b"4\x002\x005\x00" + five


def registry_seeds():
    for i, table in enumerate(REGISTRY):
        f = ROOT / "data/demo" / f"{table}.csv"
        if f.exists():
            yield bytes([i]) + cut(f.read_bytes())
    yield bytes([3]) + b'tip_doc_d,doc_id_d,correl_a,fec_ini,fec_fin\r\n6,20503987610,9,"01/02/2012",2012-06-30\r\n'


def ini_seeds():
    ini = (b"[Options]\r\nSysPath=/opt/korventa/\r\nDBPath=/var/lib/korventa/\r\nDBName=korventa.db\r\n"
           b"SysUser=CONTADOR\r\nSystemDB=/opt/korventa/VKRS000.MDW\r\n")
    yield b"Options\x00SysPath\x00/srv/zel/\x00" + ini
    yield b"Options\x00SysUser\x00 ANA \x00" + ini
    yield b"Otra\x00Clave\x00valor\x00" + ini
    yield b"options\x00dbname\x00x.db\x00" + b"[Other]\nDBName=a\n[OPTIONS]\n  DBName = b \n"
    yield b"Options\x00DBPath\x00/tmp/\x00"


def money_seeds():
    amounts = [b"3500.00", b"2800.50", b"0", b"0.00", b"12.345", b"1,234,567.89", b"-15.5", b"+7", b"9999999.99",
               b" 42 ", b"1.5.5", b"abc", b"", b".5", b"12345678"]
    patterns = [b"######0.00", b"#,###,###,##0", b"##,###,###,##0.00;(#,###,###,##0.00)", b"0000", b"#.##"]
    for i, a in enumerate(amounts):
        yield a + b"\x00" + patterns[i % len(patterns)]


if __name__ == "__main__":
    write("fuzz_import", import_seeds())
    write("fuzz_report", report_seeds())
    write("fuzz_registry_csv", registry_seeds())
    write("fuzz_ini", ini_seeds())
    write("fuzz_money", money_seeds())
