// SPDX-License-Identifier: Apache-2.0
#include "untCharsetMap.h"

// ISO/IEC 8859-7:2003 with its additions (0xA4 euro, 0xA5 drachma, 0xAA ypogegrammeni).
// Bytes 0x00-0x9F are the C0 controls, ASCII and the C1 controls, each its own code point.
const std::array<TCharsetPair, 253> ISO8859_7_Map = {{
    {u'\x0000', 0x00}, {u'\x0001', 0x01}, {u'\x0002', 0x02}, {u'\x0003', 0x03}, {u'\x0004', 0x04},
    {u'\x0005', 0x05}, {u'\x0006', 0x06}, {u'\x0007', 0x07}, {u'\x0008', 0x08}, {u'\x0009', 0x09},
    {u'\x000A', 0x0A}, {u'\x000B', 0x0B}, {u'\x000C', 0x0C}, {u'\x000D', 0x0D}, {u'\x000E', 0x0E},
    {u'\x000F', 0x0F}, {u'\x0010', 0x10}, {u'\x0011', 0x11}, {u'\x0012', 0x12}, {u'\x0013', 0x13},
    {u'\x0014', 0x14}, {u'\x0015', 0x15}, {u'\x0016', 0x16}, {u'\x0017', 0x17}, {u'\x0018', 0x18},
    {u'\x0019', 0x19}, {u'\x001A', 0x1A}, {u'\x001B', 0x1B}, {u'\x001C', 0x1C}, {u'\x001D', 0x1D},
    {u'\x001E', 0x1E}, {u'\x001F', 0x1F}, {u'\x0020', 0x20}, {u'\x0021', 0x21}, {u'\x0022', 0x22},
    {u'\x0023', 0x23}, {u'\x0024', 0x24}, {u'\x0025', 0x25}, {u'\x0026', 0x26}, {u'\x0027', 0x27},
    {u'\x0028', 0x28}, {u'\x0029', 0x29}, {u'\x002A', 0x2A}, {u'\x002B', 0x2B}, {u'\x002C', 0x2C},
    {u'\x002D', 0x2D}, {u'\x002E', 0x2E}, {u'\x002F', 0x2F}, {u'\x0030', 0x30}, {u'\x0031', 0x31},
    {u'\x0032', 0x32}, {u'\x0033', 0x33}, {u'\x0034', 0x34}, {u'\x0035', 0x35}, {u'\x0036', 0x36},
    {u'\x0037', 0x37}, {u'\x0038', 0x38}, {u'\x0039', 0x39}, {u'\x003A', 0x3A}, {u'\x003B', 0x3B},
    {u'\x003C', 0x3C}, {u'\x003D', 0x3D}, {u'\x003E', 0x3E}, {u'\x003F', 0x3F}, {u'\x0040', 0x40},
    {u'\x0041', 0x41}, {u'\x0042', 0x42}, {u'\x0043', 0x43}, {u'\x0044', 0x44}, {u'\x0045', 0x45},
    {u'\x0046', 0x46}, {u'\x0047', 0x47}, {u'\x0048', 0x48}, {u'\x0049', 0x49}, {u'\x004A', 0x4A},
    {u'\x004B', 0x4B}, {u'\x004C', 0x4C}, {u'\x004D', 0x4D}, {u'\x004E', 0x4E}, {u'\x004F', 0x4F},
    {u'\x0050', 0x50}, {u'\x0051', 0x51}, {u'\x0052', 0x52}, {u'\x0053', 0x53}, {u'\x0054', 0x54},
    {u'\x0055', 0x55}, {u'\x0056', 0x56}, {u'\x0057', 0x57}, {u'\x0058', 0x58}, {u'\x0059', 0x59},
    {u'\x005A', 0x5A}, {u'\x005B', 0x5B}, {u'\x005C', 0x5C}, {u'\x005D', 0x5D}, {u'\x005E', 0x5E},
    {u'\x005F', 0x5F}, {u'\x0060', 0x60}, {u'\x0061', 0x61}, {u'\x0062', 0x62}, {u'\x0063', 0x63},
    {u'\x0064', 0x64}, {u'\x0065', 0x65}, {u'\x0066', 0x66}, {u'\x0067', 0x67}, {u'\x0068', 0x68},
    {u'\x0069', 0x69}, {u'\x006A', 0x6A}, {u'\x006B', 0x6B}, {u'\x006C', 0x6C}, {u'\x006D', 0x6D},
    {u'\x006E', 0x6E}, {u'\x006F', 0x6F}, {u'\x0070', 0x70}, {u'\x0071', 0x71}, {u'\x0072', 0x72},
    {u'\x0073', 0x73}, {u'\x0074', 0x74}, {u'\x0075', 0x75}, {u'\x0076', 0x76}, {u'\x0077', 0x77},
    {u'\x0078', 0x78}, {u'\x0079', 0x79}, {u'\x007A', 0x7A}, {u'\x007B', 0x7B}, {u'\x007C', 0x7C},
    {u'\x007D', 0x7D}, {u'\x007E', 0x7E}, {u'\x007F', 0x7F}, {u'\x0080', 0x80}, {u'\x0081', 0x81},
    {u'\x0082', 0x82}, {u'\x0083', 0x83}, {u'\x0084', 0x84}, {u'\x0085', 0x85}, {u'\x0086', 0x86},
    {u'\x0087', 0x87}, {u'\x0088', 0x88}, {u'\x0089', 0x89}, {u'\x008A', 0x8A}, {u'\x008B', 0x8B},
    {u'\x008C', 0x8C}, {u'\x008D', 0x8D}, {u'\x008E', 0x8E}, {u'\x008F', 0x8F}, {u'\x0090', 0x90},
    {u'\x0091', 0x91}, {u'\x0092', 0x92}, {u'\x0093', 0x93}, {u'\x0094', 0x94}, {u'\x0095', 0x95},
    {u'\x0096', 0x96}, {u'\x0097', 0x97}, {u'\x0098', 0x98}, {u'\x0099', 0x99}, {u'\x009A', 0x9A},
    {u'\x009B', 0x9B}, {u'\x009C', 0x9C}, {u'\x009D', 0x9D}, {u'\x009E', 0x9E}, {u'\x009F', 0x9F},
    {u'\x00A0', 0xA0}, {u'\x2018', 0xA1}, {u'\x2019', 0xA2}, {u'\x00A3', 0xA3}, {u'\x20AC', 0xA4},
    {u'\x20AF', 0xA5}, {u'\x00A6', 0xA6}, {u'\x00A7', 0xA7}, {u'\x00A8', 0xA8}, {u'\x00A9', 0xA9},
    {u'\x037A', 0xAA}, {u'\x00AB', 0xAB}, {u'\x00AC', 0xAC}, {u'\x00AD', 0xAD}, {u'\x2015', 0xAF},
    {u'\x00B0', 0xB0}, {u'\x00B1', 0xB1}, {u'\x00B2', 0xB2}, {u'\x00B3', 0xB3}, {u'\x0384', 0xB4},
    {u'\x0385', 0xB5}, {u'\x0386', 0xB6}, {u'\x00B7', 0xB7}, {u'\x0388', 0xB8}, {u'\x0389', 0xB9},
    {u'\x038A', 0xBA}, {u'\x00BB', 0xBB}, {u'\x038C', 0xBC}, {u'\x00BD', 0xBD}, {u'\x038E', 0xBE},
    {u'\x038F', 0xBF}, {u'\x0390', 0xC0}, {u'\x0391', 0xC1}, {u'\x0392', 0xC2}, {u'\x0393', 0xC3},
    {u'\x0394', 0xC4}, {u'\x0395', 0xC5}, {u'\x0396', 0xC6}, {u'\x0397', 0xC7}, {u'\x0398', 0xC8},
    {u'\x0399', 0xC9}, {u'\x039A', 0xCA}, {u'\x039B', 0xCB}, {u'\x039C', 0xCC}, {u'\x039D', 0xCD},
    {u'\x039E', 0xCE}, {u'\x039F', 0xCF}, {u'\x03A0', 0xD0}, {u'\x03A1', 0xD1}, {u'\x03A3', 0xD3},
    {u'\x03A4', 0xD4}, {u'\x03A5', 0xD5}, {u'\x03A6', 0xD6}, {u'\x03A7', 0xD7}, {u'\x03A8', 0xD8},
    {u'\x03A9', 0xD9}, {u'\x03AA', 0xDA}, {u'\x03AB', 0xDB}, {u'\x03AC', 0xDC}, {u'\x03AD', 0xDD},
    {u'\x03AE', 0xDE}, {u'\x03AF', 0xDF}, {u'\x03B0', 0xE0}, {u'\x03B1', 0xE1}, {u'\x03B2', 0xE2},
    {u'\x03B3', 0xE3}, {u'\x03B4', 0xE4}, {u'\x03B5', 0xE5}, {u'\x03B6', 0xE6}, {u'\x03B7', 0xE7},
    {u'\x03B8', 0xE8}, {u'\x03B9', 0xE9}, {u'\x03BA', 0xEA}, {u'\x03BB', 0xEB}, {u'\x03BC', 0xEC},
    {u'\x03BD', 0xED}, {u'\x03BE', 0xEE}, {u'\x03BF', 0xEF}, {u'\x03C0', 0xF0}, {u'\x03C1', 0xF1},
    {u'\x03C2', 0xF2}, {u'\x03C3', 0xF3}, {u'\x03C4', 0xF4}, {u'\x03C5', 0xF5}, {u'\x03C6', 0xF6},
    {u'\x03C7', 0xF7}, {u'\x03C8', 0xF8}, {u'\x03C9', 0xF9}, {u'\x03CA', 0xFA}, {u'\x03CB', 0xFB},
    {u'\x03CC', 0xFC}, {u'\x03CD', 0xFD}, {u'\x03CE', 0xFE},
}};

std::uint8_t MapCharToByte(std::span<const TCharsetPair> map, char16_t unit) {
    for (const TCharsetPair& pair : map)
        if (pair.Unicode == unit)
            return pair.Byte;
    return 0xFF;
}
