#include "tests/plugin/jpeg_builder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace plugintest {

HuffTable HuffTable::FromLengths(const std::vector<std::pair<int, std::uint8_t>>& lengthSymbols) {
    HuffTable t;
    for (int length = 1; length <= 16; ++length) {
        for (const auto& [l, s] : lengthSymbols) {
            if (l != length) continue;
            ++t.counts[length - 1];
            t.symbols.push_back(s);
        }
    }
    // Annex C: codes of each length count up from the previous length's next code, doubled.
    std::uint32_t code = 0;
    std::size_t k = 0;
    for (int length = 1; length <= 16; ++length) {
        for (int i = 0; i < t.counts[length - 1]; ++i, ++k) {
            t.code[t.symbols[k]] = static_cast<std::uint16_t>(code);
            t.length[t.symbols[k]] = static_cast<std::uint8_t>(length);
            ++code;
        }
        code <<= 1;
    }
    return t;
}

HuffTable HuffTable::StandardDc() {
    std::vector<std::pair<int, std::uint8_t>> list;
    for (int s = 0; s <= 11; ++s) list.emplace_back(4, static_cast<std::uint8_t>(s));
    return FromLengths(list);
}

HuffTable HuffTable::StandardAc() {
    std::vector<std::pair<int, std::uint8_t>> list = {{2, 0x00}, {2, 0x01}};
    for (int run = 0; run < 16; ++run) {
        for (int size = 1; size <= 10; ++size) {
            const auto symbol = static_cast<std::uint8_t>(run << 4 | size);
            if (symbol != 0x01) list.emplace_back(9, symbol);
        }
    }
    list.emplace_back(9, 0xF0);
    return FromLengths(list);
}

void BitWriter::Put(std::uint32_t bits, int count) {
    for (int i = count - 1; i >= 0; --i) {
        pending_ = pending_ << 1 | ((bits >> i) & 1u);
        if (++pendingBits_ == 8) {
            bytes_.push_back(static_cast<std::uint8_t>(pending_));
            if (pending_ == 0xFF) bytes_.push_back(0x00);
            pending_ = 0;
            pendingBits_ = 0;
        }
    }
}

void BitWriter::PadWithOnes() {
    if (pendingBits_ != 0) Put(0xFF, 8 - pendingBits_);
}

void BitWriter::Raw(const Bytes& bytes) {
    PadWithOnes();
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

int Category(int value) {
    int magnitude = value < 0 ? -value : value;
    int category = 0;
    while (magnitude != 0) {
        ++category;
        magnitude >>= 1;
    }
    return category;
}

std::uint32_t AdditionalBits(int value, int category) {
    if (value >= 0) return static_cast<std::uint32_t>(value);
    return static_cast<std::uint32_t>(value + (1 << category) - 1);
}

namespace {

void PutSymbol(BitWriter& out, const HuffTable& table, int symbol) {
    if (table.length[symbol] == 0) {
        ADD_FAILURE() << "symbol " << symbol << " has no code";
        return;
    }
    out.Put(table.code[symbol], table.length[symbol]);
}

}  // namespace

void EncodeBlock(BitWriter& out, const HuffTable& dc, const HuffTable& ac, int dcDifference,
                 const int* acZigZag) {
    const int dcCategory = Category(dcDifference);
    PutSymbol(out, dc, dcCategory);
    out.Put(AdditionalBits(dcDifference, dcCategory), dcCategory);
    int run = 0;
    for (int k = 0; k < 63; ++k) {
        const int value = acZigZag[k];
        if (value == 0) {
            ++run;
            continue;
        }
        while (run > 15) {
            PutSymbol(out, ac, 0xF0);
            run -= 16;
        }
        const int category = Category(value);
        PutSymbol(out, ac, run << 4 | category);
        out.Put(AdditionalBits(value, category), category);
        run = 0;
    }
    if (run > 0) PutSymbol(out, ac, 0x00);
}

void EncodeDcOnlyBlock(BitWriter& out, const HuffTable& dc, const HuffTable& ac, int dcDifference) {
    int zeros[63] = {};
    EncodeBlock(out, dc, ac, dcDifference, zeros);
}

JpegBuilder& JpegBuilder::Soi() { return Marker(0xD8); }
JpegBuilder& JpegBuilder::Eoi() { return Marker(0xD9); }

JpegBuilder& JpegBuilder::Marker(std::uint8_t code) {
    bytes_.push_back(0xFF);
    bytes_.push_back(code);
    return *this;
}

JpegBuilder& JpegBuilder::Segment(std::uint8_t code, const Bytes& payload) {
    Marker(code);
    const std::size_t length = payload.size() + 2;
    bytes_.push_back(static_cast<std::uint8_t>(length >> 8));
    bytes_.push_back(static_cast<std::uint8_t>(length));
    bytes_.insert(bytes_.end(), payload.begin(), payload.end());
    return *this;
}

JpegBuilder& JpegBuilder::Dqt(int tq, std::uint8_t value) {
    Bytes payload(65, value);
    payload[0] = static_cast<std::uint8_t>(tq);
    return Segment(0xDB, payload);
}

JpegBuilder& JpegBuilder::Sof(std::uint8_t code, int precision, int height, int width,
                              const std::vector<FrameComponent>& components) {
    Bytes payload = {
        static_cast<std::uint8_t>(precision), static_cast<std::uint8_t>(height >> 8),
        static_cast<std::uint8_t>(height),    static_cast<std::uint8_t>(width >> 8),
        static_cast<std::uint8_t>(width),     static_cast<std::uint8_t>(components.size())};
    for (const FrameComponent& c : components) {
        payload.push_back(static_cast<std::uint8_t>(c.id));
        payload.push_back(static_cast<std::uint8_t>(c.h << 4 | c.v));
        payload.push_back(static_cast<std::uint8_t>(c.tq));
    }
    return Segment(code, payload);
}

JpegBuilder& JpegBuilder::Dht(int tableClass, int th, const HuffTable& table) {
    Bytes payload = {static_cast<std::uint8_t>(tableClass << 4 | th)};
    payload.insert(payload.end(), table.counts, table.counts + 16);
    payload.insert(payload.end(), table.symbols.begin(), table.symbols.end());
    return Segment(0xC4, payload);
}

JpegBuilder& JpegBuilder::Dri(int interval) {
    return Segment(0xDD,
                   {static_cast<std::uint8_t>(interval >> 8), static_cast<std::uint8_t>(interval)});
}

JpegBuilder& JpegBuilder::Sos(const std::vector<ScanComponentSel>& components) {
    Bytes payload = {static_cast<std::uint8_t>(components.size())};
    for (const ScanComponentSel& c : components) {
        payload.push_back(static_cast<std::uint8_t>(c.id));
        payload.push_back(static_cast<std::uint8_t>(c.td << 4 | c.ta));
    }
    payload.push_back(0);
    payload.push_back(63);
    payload.push_back(0);
    return Segment(0xDA, payload);
}

JpegBuilder& JpegBuilder::Raw(const Bytes& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

namespace {

// Every temporary path handed out, removed when the test program ends.
std::vector<std::string>& TempPaths() {
    static std::vector<std::string>* paths = [] {
        auto* list = new std::vector<std::string>;
        std::atexit([] {
            for (const std::string& path : TempPaths()) std::remove(path.c_str());
        });
        return list;
    }();
    return *paths;
}

}  // namespace

std::string TempPath(const std::string& name) {
    const std::string path =
        ::testing::TempDir() + "vantor_" + std::to_string(getpid()) + "_" + name;
    TempPaths().push_back(path);
    return path;
}

std::string WriteTempFile(const std::string& name, const Bytes& bytes) {
    const std::string path = TempPath(name);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        ADD_FAILURE() << "cannot write " << path;
        return path;
    }
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}

}  // namespace plugintest
