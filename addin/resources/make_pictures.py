#!/usr/bin/env python3
# Draws the add-in library's pictures: the icon QELICO32.ico (32 x 32, 16 colours) and the
# toolbar button's face BMP16QEL.png (16 x 16, the 16 colours, its bottom-left pixel magenta,
# the colour the button face takes the place of). Run it in this folder.
import struct
import zlib
# The 16 colours of the standard palette (R, G, B).
PAL = [(0,0,0),(128,0,0),(0,128,0),(128,128,0),(0,0,128),(128,0,128),(0,128,128),(192,192,192),
       (128,128,128),(255,0,0),(0,255,0),(255,255,0),(0,0,255),(255,0,255),(0,255,255),(255,255,255)]
BLACK,DRED,DGREEN,OLIVE,NAVY,PURPLE,TEAL,SILVER,GREY,RED,GREEN,YELLOW,BLUE,MAGENTA,CYAN,WHITE=range(16)

def picture(size, transparent):
    s = size / 16.0
    img = [[transparent]*size for _ in range(size)]
    def rect(x0,y0,x1,y1,c):
        for y in range(int(y0*s), int(y1*s)):
            for x in range(int(x0*s), int(x1*s)):
                img[y][x] = c
    # envelope body with an outline
    rect(1,5,15,14,BLACK); rect(1.0+1/s*1,5+1/s,15-1/s,14-1/s,WHITE) if size>16 else rect(2,6,14,13,WHITE)
    # flap: a V from the top corners to the middle
    for i in range(size):
        fx = i / s
        if 1 <= fx < 15:
            fy = 5 + (7 - abs(fx - 8)) * 0.5
            y = int(fy * s)
            if 0 <= y < size: img[y][i] = GREY
    # a green arrow pointing down into the envelope (saving)
    rect(7,0,9,6,DGREEN); rect(5,4,11,5,DGREEN); rect(6,5,10,6,DGREEN); rect(7,6,9,7,DGREEN)
    # a yellow paper clip mark at the lower right
    rect(11,10,14,13,YELLOW); rect(12,11,13,12,OLIVE)
    return img

def bmp_rows_4bit(img):
    size = len(img)
    rowbytes = ((size*4 + 31)//32)*4
    data = b''
    for y in range(size-1, -1, -1):
        row = img[y]
        b = bytearray()
        for x in range(0, size, 2):
            b.append((row[x] << 4) | (row[x+1] if x+1 < size else 0))
        b += b'\0' * (rowbytes - len(b))
        data += bytes(b)
    return data

def palette_bytes():
    return b''.join(bytes((b,g,r,0)) for (r,g,b) in PAL)

def write_ico(path, img, transparent):
    size = len(img)
    pixels = bmp_rows_4bit(img)
    maskrow = ((size + 31)//32)*4
    mask = b''
    for y in range(size-1, -1, -1):
        bits = bytearray(maskrow)
        for x in range(size):
            if img[y][x] == transparent: bits[x//8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    info = struct.pack('<IiiHHIIiiII', 40, size, size*2, 1, 4, 0, len(pixels)+len(mask), 0, 0, 16, 0)
    image = info + palette_bytes() + pixels + mask
    head = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(image), 6+16)
    open(path,'wb').write(head + image)


def write_png(path, img):
    size = len(img)
    raw = b''
    for row in img:
        raw += b'\0' + b''.join(bytes(PAL[c]) for c in row)
    def chunk(t, d):
        c = struct.pack('>I', len(d)) + t + d
        return c + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 2, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
    open(path, 'wb').write(png)
bmp = picture(16, MAGENTA)
assert bmp[15][0] == MAGENTA
write_png('BMP16QEL.png', bmp)
write_ico('QELICO32.ico', picture(32, TEAL), TEAL)
