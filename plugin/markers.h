// Marker codes of ITU T.81 Table B.1: the byte after FF that names a marker.
#pragma once

#include <cstdint>

namespace vantor {
namespace marker {

// Start of frame, non-differential, Huffman coding: baseline DCT (the one process decoded
// here), then extended sequential, progressive and lossless.
constexpr std::uint8_t kSof0 = 0xC0;
constexpr std::uint8_t kSof1 = 0xC1;
// The last start-of-frame code (SOF15, differential lossless, arithmetic coding); DHT, JPG and
// DAC lie among the codes from SOF1 to here.
constexpr std::uint8_t kSof15 = 0xCF;
constexpr std::uint8_t kDht = 0xC4;  // define Huffman tables
constexpr std::uint8_t kJpg = 0xC8;  // reserved for JPEG extensions
constexpr std::uint8_t kDac = 0xCC;  // define arithmetic coding conditionings
// Restart with modulo 8 count m: RSTm = kRst0 + m.
constexpr std::uint8_t kRst0 = 0xD0;
constexpr std::uint8_t kRst7 = 0xD7;
constexpr std::uint8_t kSoi = 0xD8;   // start of image
constexpr std::uint8_t kEoi = 0xD9;   // end of image
constexpr std::uint8_t kSos = 0xDA;   // start of scan
constexpr std::uint8_t kDqt = 0xDB;   // define quantization tables
constexpr std::uint8_t kDnl = 0xDC;   // define number of lines
constexpr std::uint8_t kDri = 0xDD;   // define restart interval
constexpr std::uint8_t kApp0 = 0xE0;  // reserved for application segments: APP0 to APP15
constexpr std::uint8_t kCom = 0xFE;   // comment
constexpr std::uint8_t kTem = 0x01;   // for temporary private use in arithmetic coding
// The byte that begins every marker, and the stuffed byte that follows an FF data byte inside
// entropy-coded data.
constexpr std::uint8_t kPrefix = 0xFF;
constexpr std::uint8_t kStuffed = 0x00;

constexpr bool IsRestart(int code) { return code >= kRst0 && code <= kRst7; }

}  // namespace marker
}  // namespace vantor
