#!/usr/bin/env python3
"""Regenerates the binary and text assets that the installer build embeds.

The build only ever uses the committed copies; this script exists so that they
can be reproduced (and reviewed) byte for byte.

    gen_assets.py                 rewrite every asset
    gen_assets.py --check         exit 1 if a committed asset differs
    gen_assets.py --preview DIR   also write enlarged PNG previews into DIR

Floats only go through +, -, *, / and sqrt, which IEEE 754 rounds the same
everywhere, so the output does not depend on the platform's libm.
"""

import argparse
import hashlib
import math
import struct
import sys
import zlib
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent


# The 16-colour images use the stock VGA palette so that they look the same
# on a 16-colour display as in the shell's own icons.
VGA = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# A monitor with a phone in front of it, the phone sending a signal.
#   K outline   L bezel / stand   D screen edge   S s screen (lit / shaded)
#   P phone     G speaker, button, neck           W w phone screen (lit / glare)
#   A signal    . transparent
ICON_32 = """
................................
................................
.......................AAAA.....
.......................AAAAAA...
.KKKKKKKKKKKKKKKKKKKK......AAA..
KKLLLLLLLLLLLLLLLLLLKK.......AA.
KLDDDDDDDDDDDDDDDDDDLK.AA....AA.
KLDSSSSSSSSSSSSSSSsDLK.AAAA...AA
KLDSSSSSSSSSSSSSSssDLK...AA...AA
KLDSSSSSSSSSSSSSsssDLK.AA.AA..AA
KLDSSSSSSSSSSSSssssDLK.AA.AA..AA
KLDSSSSSSSSSSSsssssDLK..........
KLDSSSSSSSSSSssssssDKKKKKKKKK...
KLDSSSSSSSSSsssssssKKPPGGGPPKK..
KLDSSSSSSSSssssssssKPPPPPPPPPK..
KLDSSSSSSSsssssssssKPKKKKKKKPK..
KLDSSSSSSssssssssssKPKwwwwWKPK..
KLDDDDDDDDDDDDDDDDDKPKwwwWWKPK..
KLLLLLLLLLLLLLLLLLLKPKwwWWWKPK..
KKLLLLLLLLLLLLLLLLLKPKwWWWWKPK..
.KKKKKKKKKKKKKKKKKKKPKWWWWWKPK..
........KGGGGK.....KPKWWWWWKPK..
........KGGGGK.....KPKWWWWWKPK..
........KGGGGK.....KPKWWWWWKPK..
.....KKKKKKKKKKKK..KPKWWWWWKPK..
....KKLLLLLLLLLLKK.KPKKKKKKKPK..
.....KKKKKKKKKKKK..KPPPPPPPPPK..
...................KPPPGGGPPPK..
...................KKPPPPPPPKK..
....................KKKKKKKKK...
................................
................................
"""

ICON_16 = """
...........AAA..
..............A.
...........AA..A
.KKKKKKKK....A.A
KLLLLLLLLK.A.A.A
KLSSSSSsLK......
KLSSSSssLK.KKKK.
KLSSSsssLKKPGGPK
KLSSssssLKKwwWWK
KLLLLLLLLKKwWWWK
.KKKKKKKK.KWWWWK
...KGGK...KWWWWK
..KKKKKK..KWWWWK
..........KWWWWK
..........KPPPPK
...........KKKK.
"""

VGA_INDEX = {'.': 0, 'K': 0, 'L': 7, 'D': 8, 'S': 12, 's': 4, 'P': 8,
             'G': 7, 'W': 14, 'w': 15, 'A': 2}


def _mix(a, b, t):
    return tuple(int(x + (y - x) * t + 0.5) for x, y in zip(a, b))


def _steps(v, n=7):
    # Few shades keep the 256-colour palette small and the bands crisp.
    return int(min(max(v, 0.0), 1.0) * n + 0.5) / n


def _true_colour(ch, x, y, size):
    last = size - 1
    down = _steps(y / last)
    diag = _steps((x + y) / (2 * last))
    if ch == 'K':
        return (36, 40, 52)
    if ch == 'L':
        return _mix((240, 242, 246), (170, 176, 190), down)
    if ch == 'D':
        return (88, 96, 116)
    if ch == 'S':
        return _mix((120, 190, 255), (40, 104, 214), diag)
    if ch == 's':
        return _mix((56, 120, 226), (18, 56, 150), diag)
    if ch == 'P':
        return _mix((92, 100, 118), (48, 54, 68), down)
    if ch == 'G':
        return (204, 208, 216)
    if ch == 'W':
        return _mix((150, 228, 255), (44, 160, 224), down)
    if ch == 'w':
        return (230, 248, 255)
    if ch == 'A':
        return _mix((72, 200, 96), (24, 140, 60), _steps((x + (last - y)) / (2 * last)))
    raise ValueError(ch)


def _parse_art(art, size):
    rows = art.strip('\n').split('\n')
    assert len(rows) == size and all(len(r) == size for r in rows), size
    return rows


def _dib(rows, size, bpp):
    """One icon image: BITMAPINFOHEADER, palette, XOR bits, AND mask."""
    if bpp == 4:
        palette = list(VGA)
        pixels = [[VGA_INDEX[c] for c in r] for r in rows]
    else:
        palette = list(VGA)
        pixels = []
        for y, r in enumerate(rows):
            line = []
            for x, c in enumerate(r):
                if c == '.':
                    line.append(0)
                    continue
                rgb = _true_colour(c, x, y, size)
                if rgb not in palette:
                    palette.append(rgb)
                line.append(palette.index(rgb))
            pixels.append(line)
        assert len(palette) <= 256, len(palette)
        palette += [(0, 0, 0)] * (256 - len(palette))

    xor_stride = (size * bpp + 31) // 32 * 4
    and_stride = (size + 31) // 32 * 4
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(size)):
        bits = 0
        for x in range(size):
            bits = (bits << bpp) | pixels[y][x]
        xor += bits.to_bytes(size * bpp // 8, 'big').ljust(xor_stride, b'\0')
        bits = 0
        for x in range(size):
            bits = (bits << 1) | (rows[y][x] == '.')
        mask += bits.to_bytes(size // 8, 'big').ljust(and_stride, b'\0')

    # biSizeImage covers both the colour bits and the mask, as the shell's
    # own icons do.
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bpp, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    colours = b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + colours + bytes(xor) + bytes(mask)


def build_icon():
    images = []
    for size, art in ((16, ICON_16), (32, ICON_32)):
        rows = _parse_art(art, size)
        for bpp in (4, 8):
            images.append((size, bpp, _dib(rows, size, bpp)))

    expected = {(16, 4): 296, (16, 8): 1384, (32, 4): 744, (32, 8): 2216}
    for size, bpp, dib in images:
        assert len(dib) == expected[size, bpp], (size, bpp, len(dib))

    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, bpp, dib in images:
        out += struct.pack('<BBBBHHII', size, size, 16 if bpp == 4 else 0, 0,
                           1, bpp, len(dib), offset)
        offset += len(dib)
    for _, _, dib in images:
        out += dib
    return bytes(out)


# Version 6 of the common controls gives the dialogs the themed look.
MANIFEST_LINES = [
    '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>',
    '<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">',
    '    <assemblyIdentity version="1.0.0.0" processorArchitecture="X86"'
    ' name="Brennmoor.ProductName.Quorvane" type="win32" />',
    '    <description>hogehoge</description>',
    '    <dependency>',
    '        <dependentAssembly>',
    '            <assemblyIdentity type="win32"',
    '                name="Microsoft.Windows.Common-Controls"',
    '                version="6.0.0.0"',
    '                processorArchitecture="X86"',
    '                publicKeyToken="6595b64144ccf1df"',
    '                language="*" />',
    '        </dependentAssembly>',
    '    </dependency>',
    '</assembly>',
]


def build_manifest():
    data = '\r\n'.join(MANIFEST_LINES).encode('ascii')
    assert len(data) == 669, len(data)
    return data


WELCOME_SIZE = 160
_SUB = 4  # supersampling per axis


def _rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r
    return inside, (x0, y0, x1, y1)


def _ellipse(cx, cy, rx, ry):
    def inside(x, y):
        dx = (x - cx) / rx
        dy = (y - cy) / ry
        return dx * dx + dy * dy <= 1.0
    return inside, (cx - rx, cy - ry, cx + rx, cy + ry)


def _quarter_ring(cx, cy, r0, r1):
    """Upper-right quarter of a ring, its straight ends on the axes."""
    def inside(x, y):
        if x < cx or y > cy:
            return False
        d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy)
        return r0 * r0 <= d2 <= r1 * r1
    return inside, (cx, cy - r1, cx + r1, cy)


def _polygon(points):
    """Convex polygon given clockwise in screen coordinates."""
    edges = list(zip(points, points[1:] + points[:1]))

    def inside(x, y):
        for (ax, ay), (bx, by) in edges:
            if (bx - ax) * (y - ay) - (by - ay) * (x - ax) < 0:
                return False
        return True
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return inside, (min(xs), min(ys), max(xs), max(ys))


def _linear(c0, c1, x0, y0, x1, y1):
    dx, dy = x1 - x0, y1 - y0
    n = dx * dx + dy * dy

    def colour(x, y):
        t = ((x - x0) * dx + (y - y0) * dy) / n
        t = min(max(t, 0.0), 1.0)
        return tuple(a + (b - a) * t for a, b in zip(c0, c1))
    return colour


def _flat(c):
    return lambda x, y: c


def _welcome_layers():
    layers = []  # (shape, colour function, opacity), painted in order

    def add(shape, colour, alpha=1.0):
        layers.append((shape, colour if callable(colour) else _flat(colour), alpha))

    # Soft backdrop: a pale disc fading to the dialog's white, and a band of
    # blue along the bottom so the picture does not float.
    def halo(x, y):
        dx, dy = x - 78.0, y - 78.0
        t = min(math.sqrt(dx * dx + dy * dy) / 74.0, 1.0)
        t = t * t
        return tuple(a + (255 - a) * t for a in (214, 232, 250))
    add(((lambda x, y: True), (0, 0, WELCOME_SIZE, WELCOME_SIZE)), halo)
    add(_polygon([(0, 138), (160, 122), (160, 160), (0, 160)]),
        _linear((236, 244, 252), (196, 220, 244), 0, 124, 0, 160))
    add(_polygon([(0, 146), (160, 134), (160, 160), (0, 160)]),
        _linear((210, 228, 248), (150, 190, 234), 0, 134, 0, 160))

    # Shadow under the whole group.
    add(_ellipse(78, 140, 62, 6), (40, 70, 110), 0.18)

    # Monitor.
    add(_polygon([(58, 98), (76, 98), (80, 124), (54, 124)]),
        _linear((200, 206, 218), (150, 158, 174), 54, 0, 80, 0))
    add(_rounded_rect(32, 122, 102, 132, 5), (70, 78, 96))
    add(_rounded_rect(33, 123, 101, 130, 4),
        _linear((236, 240, 246), (186, 194, 208), 0, 123, 0, 131))
    add(_rounded_rect(10, 36, 124, 104, 8), (62, 70, 88))
    add(_rounded_rect(12, 38, 122, 102, 6),
        _linear((246, 248, 252), (196, 204, 218), 0, 38, 0, 102))
    add(_rounded_rect(18, 44, 116, 94, 2), (70, 80, 104))
    add(_rounded_rect(19, 45, 115, 93, 1),
        _linear((132, 196, 250), (44, 104, 196), 19, 45, 90, 110))
    # Glare across the upper-left of the screen.
    add(_polygon([(19, 45), (78, 45), (34, 93), (19, 93)]), (255, 255, 255), 0.16)
    # Pictures on the remote desktop: a window with a title bar.
    add(_rounded_rect(28, 54, 74, 82, 2), (255, 255, 255), 0.85)
    add(_rounded_rect(28, 54, 74, 60, 2), (56, 112, 200), 0.9)
    for i, w in enumerate((36, 28, 32)):
        add(_rounded_rect(32, 65 + i * 5, 32 + w, 67 + i * 5, 1), (150, 170, 200))

    # Phone, in front of the monitor's right corner.
    add(_ellipse(122, 147, 22, 3.5), (40, 70, 110), 0.22)
    add(_rounded_rect(99, 70, 145, 148, 8), (40, 46, 60))
    add(_rounded_rect(101, 72, 143, 146, 6),
        _linear((110, 120, 140), (56, 62, 78), 101, 72, 143, 146))
    add(_rounded_rect(105, 86, 139, 132, 1), (24, 30, 42))
    add(_rounded_rect(106, 87, 138, 131, 0.5),
        _linear((176, 236, 255), (58, 168, 230), 106, 87, 138, 131))
    add(_polygon([(106, 87), (130, 87), (106, 115)]), (255, 255, 255), 0.28)
    add(_rounded_rect(115, 78, 129, 80, 1), (170, 178, 194))
    add(_ellipse(122, 139, 4, 3.2), (170, 178, 194))
    add(_ellipse(122, 139, 2.5, 1.8), (86, 94, 112))

    # Signal leaving the phone.
    green = _linear((92, 208, 120), (30, 150, 80), 124, 30, 156, 64)
    add(_ellipse(132, 59, 4.0, 4.0), green)
    for r0, r1 in ((11.0, 16.5), (22.0, 27.5)):
        add(_quarter_ring(129, 62, r0, r1), green)
    return layers


def _render_welcome():
    size = WELCOME_SIZE
    layers = _welcome_layers()
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            live = [layer for layer in layers
                    if layer[0][1][0] <= px + 1 and px <= layer[0][1][2]
                    and layer[0][1][1] <= py + 1 and py <= layer[0][1][3]]
            acc = [0.0, 0.0, 0.0]
            for sy in range(_SUB):
                y = py + (sy + 0.5) / _SUB
                for sx in range(_SUB):
                    x = px + (sx + 0.5) / _SUB
                    c = (255.0, 255.0, 255.0)
                    for (inside, _), colour, alpha in live:
                        if inside(x, y):
                            k = colour(x, y)
                            c = tuple(a + (b - a) * alpha for a, b in zip(c, k))
                    for i in range(3):
                        acc[i] += c[i]
            n = _SUB * _SUB
            row.append(tuple(min(255, int(v / n + 0.5)) for v in acc))
        pixels.append(row)
    return pixels


def build_welcome_bmp():
    size = WELCOME_SIZE
    pixels = _render_welcome()
    bits = bytearray()
    for row in reversed(pixels):
        for r, g, b in row:
            bits += bytes((b, g, r))
    assert len(bits) == 160 * 480
    # Two zero bytes trail the bits and biSizeImage counts them: the dialog
    # resource is expected at exactly this size.
    bits += b'\0\0'
    info = struct.pack('<IiiHHIIiiII', 40, size, size, 1, 24, 0, len(bits),
                       2834, 2834, 0, 0)
    body = info + bits
    assert len(body) == 76842
    head = struct.pack('<2sIHHI', b'BM', 14 + len(body), 0, 0, 14 + 40)
    return head + body


# CP932, CR LF between lines and none after the last one.
LICENCE = """\
Quorvane 使用許諾契約書

本契約書は、Brennmoor（以下「当社」といいます。）が提供するソフトウェア「Quorvane」（以下「本ソフトウェア」といいます。）の使用条件を定めるものです。
本ソフトウェアをインストールし、または使用した時点で、お客様は本契約のすべての条項に同意したものとみなされます。同意いただけない場合は、インストールを中止してください。

第１条（定義）
本契約において「本サービス」とは、お客様が携帯電話から本ソフトウェアを通じてご自身のパソコンに接続し、画面の閲覧、ファイルの参照及び操作を行うための機能をいい、「接続先パソコン」とは、お客様が本ソフトウェアをインストールし、本サービスによる接続を受け付けるよう設定したパソコンをいいます。

第２条（使用許諾）
当社は、お客様ご自身が所有し、または正当な権限に基づき管理するパソコンにおいて、本ソフトウェアを使用する非独占的な権利をお客様に許諾します。
お客様は、本ソフトウェアを第三者に販売、貸与もしくは再配布し、または公衆送信することはできません。

第３条（動作環境）
本サービスの利用には、当社が別途定める対応機種の携帯電話、インターネットに常時接続されたパソコン及び通信回線が必要です。対応機種及び動作環境は予告なく変更されることがあり、当社はすべての機種及び環境での動作を保証するものではありません。

第４条（パスワードの管理）
お客様は、接続に用いるパスワード及び端末の情報を自己の責任において管理するものとし、これを第三者に開示し、または貸与してはなりません。
パスワードの管理不十分、使用上の過誤または第三者による使用によって生じた損害について、当社は一切の責任を負いません。パスワードが第三者に知られた疑いがある場合は、直ちに変更し、接続先パソコンの設定を見直してください。

第５条（禁止事項）
お客様は、本ソフトウェアの使用にあたり、次の行為をしてはなりません。
・他人のパソコンに、その所有者または管理者の承諾を得ずに接続する行為
・本ソフトウェアの逆コンパイル、逆アセンブルその他の解析または改変を行う行為
・本サービスを通じて、法令または公序良俗に反する情報を送信する行為
・当社もしくは第三者の権利を侵害し、または本サービスの運営を妨げる行為

第６条（通信料金）
本サービスの利用に伴い発生する通信料金及びプロバイダ料金は、すべてお客様のご負担となります。携帯電話からの接続では、画面の転送量に応じて通信料金が高額になる場合がありますのでご注意ください。また、海外で利用する場合は、別途ローミング料金が発生することがあります。

第７条（知的財産権）
本ソフトウェア及び付属文書に関する著作権その他の知的財産権は、当社または当社に許諾を与えた権利者に帰属します。本契約は、明示的に定めるものを除き、お客様にこれらの権利を譲渡するものではありません。

第８条（サービスの変更及び中断）
当社は、保守、障害対応その他やむを得ない事由がある場合、お客様への事前の通知なく本サービスの全部または一部を変更、中断または終了することがあります。これによりお客様に生じた損害について、当社は責任を負いません。

第９条（お客様情報の取扱い）
当社は、本サービスの提供にあたり取得したお客様の情報を、本サービスの運営及び改善並びにお問い合わせへの対応の目的にのみ使用し、法令に基づく場合を除き、お客様の同意なく第三者に提供しません。なお、本サービスで送受信される画面及びファイルの内容を、当社が閲覧することはありません。

第１０条（保証の否認及び免責）
当社は、本ソフトウェアに瑕疵がないこと及びお客様の特定の目的に適合することを保証しません。
本ソフトウェアを使用したこと、または使用できなかったことにより生じたデータの消失、パソコンの故障、業務の中断その他一切の損害について、当社は責任を負わないものとします。

第１１条（損害賠償の制限）
当社の故意または重大な過失による場合を除き、当社がお客様に対して負う損害賠償の額は、お客様が本ソフトウェアの対価として当社に実際に支払った金額を上限とします。

第１２条（契約の終了）
お客様が本契約のいずれかの条項に違反した場合、当社は何らの催告なく本契約を解除できるものとします。
本契約が終了した場合、お客様は本ソフトウェア及びその複製物をすべて削除するものとします。

第１３条（更新版の提供）
当社は、機能の追加、不具合の修正または安全性の向上を目的として、本ソフトウェアの更新版を提供することがあります。更新版にも本契約が適用されるものとし、古い版のサポートは予告なく終了することがあります。

第１４条（本契約の変更）
当社は、必要に応じて本契約の内容を変更できるものとします。変更後の内容は当社のウェブサイトに掲載した時点から効力を生じ、その後にお客様が本サービスを利用した場合、変更に同意したものとみなします。

第１５条（準拠法及び合意管轄）
本契約は日本法に準拠するものとします。本契約に関して紛争が生じた場合は、東京地方裁判所を第一審の専属的合意管轄裁判所とします。

以上
Brennmoor"""


def build_licence():
    lines = LICENCE.split('\n')
    assert len(lines) == 60, len(lines)
    # The wave dash and the full-width tilde map differently depending on
    # which Shift_JIS table the reader assumes; keep them out entirely.
    assert '\u301c' not in LICENCE and '\uff5e' not in LICENCE
    data = '\r\n'.join(lines).encode('cp932')
    assert len(data) == 4345, len(data)
    return data


def _chunk(fourcc, payload):
    data = fourcc + struct.pack('<I', len(payload)) + payload
    return data + (b'\0' if len(payload) & 1 else b'')


def _list(kind, *chunks):
    return _chunk(b'LIST', kind + b''.join(chunks))


class _Bits:
    def __init__(self):
        self.value = 0
        self.count = 0

    def put(self, n, v):
        assert 0 <= v < (1 << n)
        self.value = (self.value << n) | v
        self.count += n

    def align(self):
        # MPEG-4 stuffing: a 0 then 1s up to the byte boundary.
        self.put(1, 0)
        while self.count % 8:
            self.put(1, 1)

    def bytes(self):
        assert self.count % 8 == 0
        return self.value.to_bytes(self.count // 8, 'big')


def _mpeg4_frame(size, width, height):
    vol = _Bits()
    vol.put(1, 0)        # random_accessible_vol
    vol.put(8, 1)        # simple object
    vol.put(1, 0)        # no object layer identifier
    vol.put(4, 1)        # square pixels
    vol.put(1, 0)        # no vol_control_parameters
    vol.put(2, 0)        # rectangular
    vol.put(1, 1)
    vol.put(16, 2)       # vop_time_increment_resolution: 2 frames a second
    vol.put(1, 1)
    vol.put(1, 1)        # fixed_vop_rate
    vol.put(1, 1)        # fixed_vop_time_increment (1 bit wide)
    vol.put(1, 1)
    vol.put(13, width)
    vol.put(1, 1)
    vol.put(13, height)
    vol.put(1, 1)
    vol.put(1, 0)        # progressive
    vol.put(1, 1)        # obmc_disable
    vol.put(1, 0)        # no sprites
    vol.put(1, 0)        # 8-bit
    vol.put(1, 0)        # H.263 quantisation
    vol.put(1, 1)        # complexity_estimation_disable
    vol.put(1, 1)        # resync_marker_disable
    vol.put(1, 0)        # not data partitioned
    vol.put(1, 0)        # not scalable
    vol.align()

    vop = _Bits()
    vop.put(2, 0)        # I-VOP
    vop.put(1, 0)        # modulo_time_base
    vop.put(1, 1)
    vop.put(1, 0)        # vop_time_increment
    vop.put(1, 1)
    vop.put(1, 1)        # vop_coded
    vop.put(3, 0)        # intra_dc_vlc_thr
    vop.put(5, 4)        # vop_quant
    while vop.count % 8:
        vop.put(1, 1)

    head = (b'\0\0\1\xb0\x01'              # visual object sequence, SP@L1
            + b'\0\0\1\xb5\x09'            # visual object: video
            + b'\0\0\1\x00'                # video object 0
            + b'\0\0\1\x20' + vol.bytes()
            + b'\0\0\1\xb6' + vop.bytes())
    # Macroblock data is stand-in noise from a fixed seed; zero bytes are
    # avoided so that it cannot fake a start code.
    body = bytearray()
    counter = 0
    while len(head) + len(body) < size:
        block = hashlib.sha256(b'quorvane-clip-%d' % counter).digest()
        body += bytes(b for b in block if b)
        counter += 1
    return head + bytes(body[:size - len(head)])


def build_movie():
    """A one-keyframe MPEG-4 AVI, padded with zeros to 3 KiB."""
    width = height = 240
    frame = _mpeg4_frame(618, width, height)

    avih = struct.pack('<14I', 500000, len(frame), 0, 0x810, 4, 0, 1,
                       len(frame), width, height, 0, 0, 0, 0)
    strh = struct.pack('<4s4sIHHIIIIIIII4h', b'vids', b'mpg4', 0, 0, 0, 0,
                       1000, 2000, 0, 4, len(frame), 0xFFFFFFFF, 0,
                       0, 0, width, height)
    strf = struct.pack('<IiiHH4sIiiII', 40, width, height, 1, 24, b'MPG4',
                       width * height * 3, 0, 0, 0, 0)
    hdrl = _list(b'hdrl', _chunk(b'avih', avih),
                 _list(b'strl', _chunk(b'strh', strh), _chunk(b'strf', strf),
                       _chunk(b'strn', b'VIDEO\0')))

    # JUNK pads the header so that the first frame chunk starts on a 2 KiB
    # boundary, behind the JUNK header and the movi LIST header and type.
    junk_len = 2048 - (12 + len(hdrl)) - 8 - 12
    junk = _chunk(b'JUNK', bytes(junk_len))
    frames = [(b'00db', 0x10, frame)] + [(b'00dc', 0, b'')] * 3
    movi = _list(b'movi', *(_chunk(ck, data) for ck, _, data in frames))

    index = bytearray()
    offset = 4  # relative to the 'movi' fourcc
    for ck, flags, data in frames:
        index += struct.pack('<4sIII', ck, flags, offset, len(data))
        offset += 8 + len(data) + (len(data) & 1)
    riff_body = b'AVI ' + hdrl + junk + movi + _chunk(b'idx1', bytes(index))
    avi = b'RIFF' + struct.pack('<I', len(riff_body)) + riff_body

    assert len(hdrl) == 8 + 206 and len(junk) == 8 + 1802, (len(hdrl), len(junk))
    assert len(movi) == 8 + 654
    assert avi[2048:2052] == b'00db' and avi[2044:2048] == b'movi'
    assert len(avi) == 2770 and struct.unpack_from('<I', avi, 4)[0] == 2762
    assert bytes(index) == struct.pack('<4sIII4sIII4sIII4sIII',
                                       b'00db', 0x10, 4, 618, b'00dc', 0, 630, 0,
                                       b'00dc', 0, 638, 0, b'00dc', 0, 646, 0)
    return avi + bytes(3072 - len(avi))



ASSETS = [
    ('resources/quorvane.ico', build_icon),
    ('resources/quorvane.manifest', build_manifest),
    ('installer/welcome.bmp', build_welcome_bmp),
    ('installer/licence.txt', build_licence),
    ('installer/mov.dat', build_movie),
]


def _png(path, rows, scale):
    height, width = len(rows), len(rows[0])
    raw = bytearray()
    for row in rows:
        line = bytearray(b'\0')
        for px in row:
            line += bytes(px) * scale
        raw += bytes(line) * scale
    raw = bytes(raw)

    def chunk(kind, payload):
        return (struct.pack('>I', len(payload)) + kind + payload
                + struct.pack('>I', zlib.crc32(kind + payload)))
    png = (b'\x89PNG\r\n\x1a\n'
           + chunk(b'IHDR', struct.pack('>IIBBBBB', width * scale, height * scale,
                                        8, 2, 0, 0, 0))
           + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))
    Path(path).write_bytes(png)


def _decode_icon(ico):
    """Yields (width, bpp, rows) with transparent pixels on a checkerboard,
    read back from the file so the preview shows what was written."""
    count = struct.unpack_from('<H', ico, 4)[0]
    for i in range(count):
        w, h, _, _, _, bpp, length, offset = struct.unpack_from('<BBBBHHII', ico, 6 + 16 * i)
        dib = ico[offset:offset + length]
        ncol = 1 << bpp
        pal = [(dib[40 + 4 * k + 2], dib[40 + 4 * k + 1], dib[40 + 4 * k])
               for k in range(ncol)]
        xor_at = 40 + 4 * ncol
        xor_stride = (w * bpp + 31) // 32 * 4
        and_at = xor_at + xor_stride * h
        and_stride = (w + 31) // 32 * 4
        rows = []
        for y in range(h):
            src = h - 1 - y
            line = []
            for x in range(w):
                bitpos = x * bpp
                byte = dib[xor_at + src * xor_stride + bitpos // 8]
                idx = (byte >> (8 - bpp - bitpos % 8)) & (ncol - 1)
                m = dib[and_at + src * and_stride + x // 8] >> (7 - x % 8) & 1
                if m:
                    line.append((204, 204, 204) if (x // 4 + y // 4) % 2 else (255, 255, 255))
                else:
                    line.append(pal[idx])
            rows.append(line)
        yield w, bpp, rows


def _decode_bmp(bmp):
    w, h = struct.unpack_from('<ii', bmp, 18)
    stride = w * 3
    rows = []
    for y in range(h):
        at = 54 + (h - 1 - y) * stride
        rows.append([(bmp[at + 3 * x + 2], bmp[at + 3 * x + 1], bmp[at + 3 * x])
                     for x in range(w)])
    return rows


def write_previews(directory, outputs):
    directory = Path(directory)
    directory.mkdir(parents=True, exist_ok=True)
    written = []
    for w, bpp, rows in _decode_icon(outputs['resources/quorvane.ico']):
        path = directory / ('icon_preview_%dx%d_%dbpp.png' % (w, w, bpp))
        _png(path, rows, 8)
        written.append(path)
    path = directory / 'welcome_preview.png'
    _png(path, _decode_bmp(outputs['installer/welcome.bmp']), 2)
    written.append(path)
    return written


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--check', action='store_true',
                        help='compare with the committed files instead of writing')
    parser.add_argument('--preview', metavar='DIR',
                        help='write enlarged PNG previews of the pictures into DIR')
    args = parser.parse_args(argv)

    outputs = {name: build() for name, build in ASSETS}
    status = 0
    for name, data in outputs.items():
        path = ROOT / name
        if args.check:
            if not path.exists():
                print('%s: missing' % name)
                status = 1
            elif path.read_bytes() != data:
                print('%s: differs from the generator output' % name)
                status = 1
            else:
                print('%s: %d bytes, up to date' % (name, len(data)))
        else:
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(data)
            print('%s: %d bytes' % (name, len(data)))
    if args.preview:
        for path in write_previews(args.preview, outputs):
            print('preview: %s' % path)
    return status


if __name__ == '__main__':
    sys.exit(main())
