#!/usr/bin/env python3
"""Makes the PNG test pictures of images_tests and their reference decodings.

Every picture is written by the small PNG writer below from known samples,
and its expected bitmap is computed from the same samples: BGR or BGRA
bytes, rows bottom-up, each row padded to a multiple of 4 bytes, exactly as
the DIB section holds them. Pictures of 8 bits or fewer are also decoded
with PIL as a cross-check of the writer (except grey with tRNS below 8 bits,
where PIL matches the transparent value against scaled samples).

  make_pictures.py golden DIR          writes DIR/<case>.png, .dib, index.txt
  make_pictures.py pack DIR OUT        packs DIR's cases into one file
  make_pictures.py dump PNG OUT        reference bitmap of any 8-bit RGB PNG
  make_pictures.py background OUT      a 982 x 744 RGB stand-in picture
"""
import io
import struct
import sys
import zlib
from pathlib import Path

import numpy as np

ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]
CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}
DEPTHS = {0: [1, 2, 4, 8, 16], 2: [8, 16], 3: [1, 2, 4, 8], 4: [8, 16], 6: [8, 16]}


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def pack_row(samples, depth):
    """samples: 1-D array of one row's samples (all channels interleaved)."""
    if depth == 16:
        return samples.astype(">u2").tobytes()
    if depth == 8:
        return samples.astype(np.uint8).tobytes()
    per_byte = 8 // depth
    out = bytearray((len(samples) + per_byte - 1) // per_byte)
    for i, value in enumerate(samples):
        out[i // per_byte] |= int(value) << (8 - depth * (i % per_byte + 1))
    return bytes(out)


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def filter_row(kind, row, prior, bpp):
    out = bytearray(len(row))
    for i in range(len(row)):
        a = row[i - bpp] if i >= bpp else 0
        b = prior[i]
        c = prior[i - bpp] if i >= bpp else 0
        predictor = [0, a, b, (a + b) // 2, paeth(a, b, c)][kind]
        out[i] = (row[i] - predictor) & 0xFF
    return bytes([kind]) + bytes(out)


def image_data(samples, depth, channels):
    """Filtered scanlines of one (sub)image; the filter type cycles 0..4."""
    height, width = samples.shape[0], samples.shape[1]
    if width == 0 or height == 0:
        return b""
    bpp = max(1, channels * depth // 8)
    raw = bytearray()
    prior = bytes(len(pack_row(samples[0].reshape(-1), depth)))
    for y in range(height):
        row = pack_row(samples[y].reshape(-1), depth)
        raw += filter_row(y % 5, row, prior, bpp)
        prior = row
    return bytes(raw)


def write_png(samples, colour_type, depth, interlace=False, palette=None, trns=None, extra=b""):
    height, width = samples.shape[0], samples.shape[1]
    channels = CHANNELS[colour_type]
    if interlace:
        raw = b"".join(image_data(samples[y0::dy, x0::dx], depth, channels) for x0, y0, dx, dy in ADAM7)
    else:
        raw = image_data(samples, depth, channels)
    out = b"\x89PNG\r\n\x1a\n"
    out += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, int(interlace)))
    out += extra
    if palette is not None:
        out += chunk(b"PLTE", bytes(np.asarray(palette, dtype=np.uint8).reshape(-1)))
    if trns is not None:
        out += chunk(b"tRNS", trns)
    compressed = zlib.compress(raw, 9)
    # Two IDAT chunks, so the reader has to join them.
    half = len(compressed) // 2
    out += chunk(b"IDAT", compressed[:half]) + chunk(b"IDAT", compressed[half:])
    return out + chunk(b"IEND", b"")


def ancillary_chunks():
    profile = zlib.compress(b"not a real profile, never applied" * 4)
    return (chunk(b"gAMA", struct.pack(">I", 45455)) + chunk(b"sRGB", b"\x00")
            + chunk(b"cHRM", struct.pack(">8I", 31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000))
            + chunk(b"iCCP", b"profile\x00\x00" + profile) + chunk(b"pHYs", struct.pack(">IIB", 2835, 2835, 1))
            + chunk(b"tEXt", b"Comment\x00made for the decoder tests"))


def dib_bytes(bgra):
    """bgra: H x W x (3|4) uint8 array, top row first -> DIB memory."""
    height, width, channels = bgra.shape
    pitch = width * 4 if channels == 4 else (width * 3 + 3) // 4 * 4
    out = bytearray()
    for y in range(height - 1, -1, -1):
        row = bgra[y].astype(np.uint8).tobytes()
        out += row + bytes(pitch - len(row))
    return bytes(out)


def to_8(values, depth):
    if depth == 16:
        return values >> 8
    return values * (255 // ((1 << depth) - 1))


def expected(case):
    """Expected B, G, R(, A) planes and the source depth."""
    s, ct, depth, trns = case["samples"], case["colour_type"], case["depth"], case["trns_value"]
    if ct == 3:
        palette = np.asarray(case["palette"])
        rgb = palette[s[..., 0]]
        alpha = None
        if trns is not None:
            table = np.full(len(palette), 255)
            table[:len(trns)] = list(trns)
            alpha = table[s[..., 0]]
        source = 32 if trns is not None else depth
    elif ct in (0, 4):
        grey = to_8(s[..., 0], depth)
        rgb = np.stack([grey] * 3, axis=-1)
        alpha = to_8(s[..., 1], depth) if ct == 4 else None
        if trns is not None:
            alpha = np.where(s[..., 0] == trns, 0, 255)
        source = max(8, depth) if trns is not None else depth
    else:
        rgb = to_8(s[..., :3], depth)
        alpha = to_8(s[..., 3], depth) if ct == 6 else None
        if trns is not None:
            alpha = np.where(np.all(s[..., :3] == np.asarray(trns), axis=-1), 0, 255)
        source = 32 if (ct == 6 or trns is not None) else 24
    planes = [rgb[..., 2], rgb[..., 1], rgb[..., 0]] + ([alpha] if alpha is not None else [])
    return np.stack(planes, axis=-1), source


def make_case(rng, ct, depth, width, height, interlace, with_trns):
    channels = CHANNELS[ct]
    top = (1 << depth) - 1
    samples = rng.integers(0, top + 1, size=(height, width, channels))
    case = {"colour_type": ct, "depth": depth, "palette": None, "trns_value": None, "trns": None}
    if ct == 6 and depth == 8:
        samples[0, 0] = [255, 0, 0, 128]
    if ct == 2 and depth == 16:
        samples[0, 0] = [0x12FF, 0x3400, 0xAB01]
    if ct == 3:
        case["palette"] = rng.integers(0, 256, size=(top + 1, 3))
        if with_trns:
            values = rng.integers(0, 256, size=max(1, (top + 1) // 2))
            case["trns_value"] = values
            case["trns"] = bytes(values.astype(np.uint8))
    elif with_trns:
        key = samples[0, 0, :3].copy() if ct == 2 else samples[0, 0, 0]
        samples[height // 2, width // 3] = samples[0, 0]
        case["trns_value"] = key
        values = [int(v) for v in np.atleast_1d(key)]
        case["trns"] = struct.pack(">" + "H" * len(values), *values)
    case["samples"] = samples
    case["png"] = write_png(samples, ct, depth, interlace, case["palette"], case["trns"],
                            ancillary_chunks() if ct == 2 else b"")
    return case


def pil_check(name, png, bgra):
    from PIL import Image
    image = Image.open(io.BytesIO(png))
    rgba = np.asarray(image.convert("RGBA"))
    got = rgba[..., [2, 1, 0, 3]][..., :bgra.shape[2]]
    if not np.array_equal(got, bgra):
        raise SystemExit(f"{name}: the writer and PIL disagree")


def golden(directory):
    rng = np.random.default_rng(20240607)
    directory.mkdir(parents=True, exist_ok=True)
    lines = []
    for ct, depths in DEPTHS.items():
        for depth in depths:
            for with_trns in ([False, True] if ct in (0, 2, 3) else [False]):
                for interlace in (False, True):
                    for width, height in ((33, 7), (1, 1)):
                        if (width, height) == (1, 1) and (with_trns or depth not in (1, 8)):
                            continue
                        name = f"c{ct}_d{depth}{'_trns' if with_trns else ''}{'_adam7' if interlace else ''}_{width}x{height}"
                        case = make_case(rng, ct, depth, width, height, interlace, with_trns)
                        bgra, source = expected(case)
                        # PIL compares a grey tRNS value below 8 bits with the
                        # already scaled samples, so it is no reference there.
                        if depth <= 8 and not (ct == 0 and with_trns and depth < 8):
                            pil_check(name, case["png"], bgra)
                        (directory / f"{name}.png").write_bytes(case["png"])
                        (directory / f"{name}.dib").write_bytes(dib_bytes(bgra))
                        lines.append(f"{name} {width} {height} {bgra.shape[2] * 8} {source}")
    (directory / "index.txt").write_text("\n".join(lines) + "\n")


def pack(directory, out):
    blob = bytearray()
    for line in (directory / "index.txt").read_text().split("\n"):
        if not line:
            continue
        name, width, height, depth, source = line.split()
        png = (directory / f"{name}.png").read_bytes()
        dib = (directory / f"{name}.dib").read_bytes()
        blob += struct.pack("<48sIIIIII", name.encode(), int(width), int(height), int(depth), int(source),
                            len(png), len(dib)) + png + dib
    blob += bytes(72)
    Path(out).write_bytes(blob)


def dump(png_path, out):
    from PIL import Image
    image = Image.open(png_path)
    if image.mode != "RGB":
        raise SystemExit(f"{png_path}: expected an 8-bit RGB picture, got {image.mode}")
    rgb = np.asarray(image)
    Path(out).write_bytes(dib_bytes(rgb[..., ::-1]))


def background(out):
    yy, xx = np.mgrid[0:744, 0:982]
    rgb = np.stack([(xx * 255) // 981, (yy * 255) // 743, (xx ^ yy) & 0xFF], axis=-1)
    Path(out).write_bytes(write_png(rgb, 2, 8, extra=ancillary_chunks()))


if __name__ == "__main__":
    if sys.argv[1] == "golden":
        golden(Path(sys.argv[2]))
    elif sys.argv[1] == "pack":
        pack(Path(sys.argv[2]), sys.argv[3])
    elif sys.argv[1] == "background":
        background(sys.argv[2])
    else:
        dump(sys.argv[2], sys.argv[3])
