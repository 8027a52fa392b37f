// The decode of an interleaved three-component scan, one row of minimum coded units at a time,
// straight into the bitmap. The thread that reads the entropy-coded data decodes each row's
// dequantised coefficients into one of a few row slots; once every component has had all its blocks
// of a row, the row is ready, and a helper thread of the pool (or the reading thread itself, when
// it needs the slot back) transforms its blocks into a strip of samples one row of units tall and
// converts that strip into the bitmap rows it covers. No full-size plane is written.
//
// Each component's blocks arrive in order, so a row is final for the scan once every component's
// counter has passed it; rows no block reached are converted from zero samples, as the planes
// would hold them. Damaged data can leave one component so far behind the others that the open
// rows outgrow the slots: the pipeline then gives up (Abandoned), and the decoder decodes the scan
// again into planes.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "plugin/block_sink.h"
#include "plugin/idct.h"
#include "plugin/planes.h"
#include "plugin/worker_pool.h"

namespace vantor {

struct PipelineSetup {
    int components = 0;                // scan components, 3
    std::uint32_t plane[3] = {};       // the frame component (0 Y, 1 Cb, 2 Cr) of each
    std::uint32_t unitWidth[3] = {};   // H: blocks across in a unit
    std::uint32_t unitHeight[3] = {};  // V: blocks down in a unit
    std::uint32_t unitsAcross = 0;
    std::uint32_t unitsDown = 0;
    std::uint32_t hMax = 0;
    std::uint32_t vMax = 0;
    std::uint32_t width = 0;  // of the picture
    std::uint32_t height = 0;
    InverseTransform transform = nullptr;
    std::uint8_t* pixels = nullptr;  // the bitmap's first stored row (the picture's bottom row)
    std::size_t stride = 0;
};

class RowPipeline final : public BlockSink, public PoolClient {
  public:
    // `helpers`: pool threads to ask for help (0: the calling thread does everything).
    RowPipeline(const PipelineSetup& setup, int helpers);
    ~RowPipeline();
    RowPipeline(const RowPipeline&) = delete;
    RowPipeline& operator=(const RowPipeline&) = delete;

    std::int16_t* Target(int component, std::uint32_t block) override;
    void Put(int component, std::uint32_t block, const std::int16_t* natural) override;
    void Progress(const std::uint32_t* blockCounters) override;

    // The scan ended: converts every row not yet converted, and returns when all are.
    void Finish();
    // The scan failed: drops what is not yet done, and returns when no helper works for it.
    void Cancel();

    bool Abandoned() const { return abandoned_; }

    int Claim() override;
    void Work(int job) override;
    void Done(int job) override;

  private:
    enum class SlotState { kFree, kFilling, kReady, kClaimed };
    struct Slot {
        SlotState state = SlotState::kFree;
        std::uint32_t row = 0;
        std::uint32_t present[3] = {};  // blocks stored per component, from the row's first on
        std::int16_t* coefficients = nullptr;
        std::uint8_t* strip = nullptr;
        std::uint8_t* scratch = nullptr;
    };

    // The row each component's blocks last went to.
    struct RowCache {
        std::uint32_t first = 0;  // the row's first block number
        Slot* slot = nullptr;
    };

    Slot* SlotOf(int component, std::uint32_t block);
    Slot* Open(std::uint32_t row);
    BlockLayout StripLayout(int component, const Slot& slot) const;
    void Dispatch(Slot& slot);
    void Reclaim(std::unique_lock<std::mutex>& lock, Slot& slot);
    void ConvertRow(Slot& slot) const;

    PipelineSetup setup_;
    WorkerPool* pool_ = nullptr;
    std::mutex ownLock_;  // when there is no pool
    std::mutex& lock_;
    // With no helper, each block is transformed into its strip as it comes, while its
    // coefficients are still at hand; else the helpers transform whole rows.
    bool immediate_ = false;
    std::condition_variable done_;
    std::uint32_t rowBlocks_[3] = {};   // blocks of one row of units, per component
    std::size_t blockOffset_[3] = {};   // of the component's first block in a slot
    std::size_t stripOffset_[3] = {};   // of the component's samples in a strip
    std::uint32_t stripWidth_[3] = {};  // samples across a component's strip
    std::uint32_t repeatX_[3] = {};     // per frame component: sample replication
    std::uint32_t repeatY_[3] = {};
    int scanOf_[3] = {};  // per frame component: its scan component
    std::vector<Slot> slots_;
    std::unique_ptr<std::int16_t[]> coefficientMemory_;
    std::unique_ptr<std::uint8_t[]> sampleMemory_;
    std::uint32_t opened_ = 0;      // rows opened so far
    std::uint32_t dispatched_ = 0;  // rows made ready so far
    std::uint32_t counters_[3] = {};
    RowCache cache_[3];  // blocks placed per component, as last reported
    bool abandoned_ = false;
    RowConversion convert_ = nullptr;
};

}  // namespace vantor
