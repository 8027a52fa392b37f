// Hand-made JPEG streams for decoder tests: segments byte by byte, Huffman tables with their
// canonical codes, and entropy-coded blocks written with byte stuffing. Lets a test state the
// exact bytes of a file, broken ones included, without an encoder library.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace plugintest {

using Bytes = std::vector<std::uint8_t>;

// A Huffman table as a DHT segment carries it, with the codes that ITU T.81 Annex C assigns.
struct HuffTable {
    std::uint8_t counts[16] = {};
    std::vector<std::uint8_t> symbols;
    // code and length per symbol value; length 0 for symbols the table lacks
    std::uint16_t code[256] = {};
    std::uint8_t length[256] = {};

    // Builds a table from (code length, symbol) pairs, in the order given within each length.
    static HuffTable FromLengths(const std::vector<std::pair<int, std::uint8_t>>& lengthSymbols);
    // DC table: categories 0 to 11, each with a 4-bit code.
    static HuffTable StandardDc();
    // AC table: end of block and 0x01 with 2-bit codes, every other run/size symbol of baseline
    // data (including F0) with a 9-bit code.
    static HuffTable StandardAc();
};

// Writes entropy-coded bits, most significant first, stuffing 00 after every FF.
class BitWriter {
  public:
    void Put(std::uint32_t bits, int count);
    // Pads the last byte with 1-bits.
    void PadWithOnes();
    // Appends bytes as they are (a marker, for instance); pads first.
    void Raw(const Bytes& bytes);
    const Bytes& bytes() const { return bytes_; }
    // Bits written into the last, unfinished byte.
    int pendingBits() const { return pendingBits_; }

  private:
    Bytes bytes_;
    std::uint32_t pending_ = 0;
    int pendingBits_ = 0;
};

// The category (bit count) and additional bits of a coefficient value, T.81 F.1.2.1.
int Category(int value);
std::uint32_t AdditionalBits(int value, int category);

// Encodes one block: the DC difference and the 63 AC coefficients in zig-zag order.
void EncodeBlock(BitWriter& out, const HuffTable& dc, const HuffTable& ac, int dcDifference,
                 const int* acZigZag);
// A block whose only coefficient is the DC difference.
void EncodeDcOnlyBlock(BitWriter& out, const HuffTable& dc, const HuffTable& ac, int dcDifference);

struct FrameComponent {
    int id;
    int h;
    int v;
    int tq;
};

struct ScanComponentSel {
    int id;
    int td;
    int ta;
};

// Appends segments to a file image.
class JpegBuilder {
  public:
    JpegBuilder& Soi();
    JpegBuilder& Eoi();
    JpegBuilder& Marker(std::uint8_t code);                         // FF code, nothing else
    JpegBuilder& Segment(std::uint8_t code, const Bytes& payload);  // with its length field
    JpegBuilder& Dqt(int tq, std::uint8_t value);                   // every entry = value
    JpegBuilder& Sof(std::uint8_t code, int precision, int height, int width,
                     const std::vector<FrameComponent>& components);
    JpegBuilder& Sof0(int height, int width, const std::vector<FrameComponent>& components) {
        return Sof(0xC0, 8, height, width, components);
    }
    JpegBuilder& Dht(int tableClass, int th, const HuffTable& table);
    JpegBuilder& Dri(int interval);
    JpegBuilder& Sos(const std::vector<ScanComponentSel>& components);
    JpegBuilder& Raw(const Bytes& bytes);
    const Bytes& bytes() const { return bytes_; }
    std::string str() const { return std::string(bytes_.begin(), bytes_.end()); }

  private:
    Bytes bytes_;
};

// A path under the test's temporary folder that no other test process uses at the same time
// (CTest runs the tests of this program in parallel processes).
std::string TempPath(const std::string& name);

// Writes bytes to the file TempPath(name) and returns its path.
std::string WriteTempFile(const std::string& name, const Bytes& bytes);

}  // namespace plugintest
