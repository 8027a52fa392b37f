// Where a scan's decoded blocks go when they are not transformed and placed at once.
#pragma once

#include <cstdint>

namespace vantor {

class BlockSink {
  public:
    // Block number `block` of scan component `component`: 64 dequantised coefficients in natural
    // order. Each component's blocks arrive numbered 0, 1, 2, ... in this order.
    virtual void Put(int component, std::uint32_t block, const std::int16_t* natural) = 0;
    // How many blocks each scan component has had so far (placed or dropped past the last row).
    virtual void Progress(const std::uint32_t* blockCounters) = 0;

  protected:
    ~BlockSink() = default;
};

}  // namespace vantor
