// Where a scan's decoded blocks go when they are not transformed and placed at once.
#pragma once

#include <cstdint>

namespace vantor {

class BlockSink {
  public:
    // Where block number `block` of scan component `component` goes: 64 coefficients, all 0, for
    // its dequantised coefficients in natural order; null when the sink takes the block through
    // Put instead. The block counts as placed once the component's counter has passed it; a block
    // given up before must leave the coefficients 0. Each component's blocks come numbered
    // 0, 1, 2, ... in this order.
    virtual std::int16_t* Target(int component, std::uint32_t block) = 0;
    // A block decoded elsewhere, for which Target gave null.
    virtual void Put(int component, std::uint32_t block, const std::int16_t* natural) = 0;
    // How many blocks each scan component has placed so far (or dropped past the last row).
    virtual void Progress(const std::uint32_t* blockCounters) = 0;

  protected:
    ~BlockSink() = default;
};

}  // namespace vantor
