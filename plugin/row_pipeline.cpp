#include "plugin/row_pipeline.h"

#include <algorithm>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace vantor {

namespace {

// Spare slots beyond one per thread: the reading thread fills one while the others are worked
// on, and one more lets a slow row finish without stopping the reader.
constexpr int kSpareSlots = 2;

inline void ClearBlock(std::int16_t* block) {
#ifdef __SSE2__
    for (int k = 0; k < 8; ++k) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(block) + k, _mm_setzero_si128());
    }
#else
    std::memset(block, 0, 64 * sizeof(std::int16_t));
#endif
}

}  // namespace

RowPipeline::RowPipeline(const PipelineSetup& setup, int helpers)
    : setup_(setup),
      pool_(helpers > 0 ? WorkerPool::ForThisProcess() : nullptr),
      lock_(pool_ != nullptr ? pool_->Lock() : ownLock_),
      immediate_(pool_ == nullptr) {
    std::size_t blocks = 0, samples = 0;
    for (int i = 0; i < setup_.components; ++i) {
        const std::uint32_t h = setup_.unitWidth[i], v = setup_.unitHeight[i];
        rowBlocks_[i] = h * v * setup_.unitsAcross;
        blockOffset_[i] = 64 * blocks;
        blocks += rowBlocks_[i];
        stripWidth_[i] = 8 * h * setup_.unitsAcross;
        stripOffset_[i] = samples;
        samples += static_cast<std::size_t>(stripWidth_[i]) * 8 * v;
        const std::uint32_t p = setup_.plane[i];
        scanOf_[p] = i;
        repeatX_[p] = setup_.hMax / h;
        repeatY_[p] = setup_.vMax / v;
    }
    const int slotCount = (immediate_ ? 0 : helpers) + 1 + kSpareSlots;
    const std::size_t scratch = 3 * static_cast<std::size_t>(setup_.width);
    if (!immediate_) coefficientMemory_.reset(new std::int16_t[slotCount * 64 * blocks]());
    sampleMemory_.reset(new std::uint8_t[slotCount * (samples + scratch)]);
    slots_.resize(static_cast<std::size_t>(slotCount));
    for (int s = 0; s < slotCount; ++s) {
        if (!immediate_) slots_[s].coefficients = coefficientMemory_.get() + s * 64 * blocks;
        slots_[s].strip = sampleMemory_.get() + s * (samples + scratch);
        slots_[s].scratch = slots_[s].strip + samples;
    }
    const RowConversion vector = VectorRowToBgr();
    convert_ = vector != nullptr ? vector : ConvertRowToBgr;
    if (pool_ != nullptr) pool_->Reserve(helpers);
}

RowPipeline::~RowPipeline() { Cancel(); }

std::int16_t* RowPipeline::Target(int component, std::uint32_t block) {
    if (immediate_) return nullptr;
    // Most blocks fall in the row the component's previous block went to.
    RowCache& cache = cache_[component];
    if (block - cache.first < rowBlocks_[component] && cache.slot != nullptr) {
        return cache.slot->coefficients + blockOffset_[component] +
               64 * std::size_t{block - cache.first};
    }
    Slot* slot = SlotOf(component, block);
    if (slot == nullptr) return nullptr;
    return slot->coefficients + blockOffset_[component] + 64 * std::size_t{block - cache.first};
}

void RowPipeline::Put(int component, std::uint32_t block, const std::int16_t* natural) {
    if (!immediate_) return;  // only blocks past the last row or after giving up come here
    RowCache& cache = cache_[component];
    Slot* slot = cache.slot;
    if (block - cache.first >= rowBlocks_[component] || slot == nullptr) {
        slot = SlotOf(component, block);
        if (slot == nullptr) return;
    }
    alignas(32) std::uint8_t samples[64];
    setup_.transform(natural, samples);
    PlaceBlock(StripLayout(component, *slot), block - cache.first, samples);
}

// The slot of the row that `block` of `component` falls in, opened if need be; null for a block
// past the last row, or when the pipeline has given up.
RowPipeline::Slot* RowPipeline::SlotOf(int component, std::uint32_t block) {
    const std::uint32_t row = block / rowBlocks_[component];
    if (row >= setup_.unitsDown || abandoned_) return nullptr;  // past the last row: dropped
    Slot* slot = row < opened_ ? &slots_[row % slots_.size()] : Open(row);
    if (slot == nullptr) return nullptr;
    cache_[component].first = row * rowBlocks_[component];
    cache_[component].slot = slot;
    return slot;
}

void RowPipeline::Progress(const std::uint32_t* blockCounters) {
    if (abandoned_) return;
    std::uint32_t complete = setup_.unitsDown;
    for (int i = 0; i < setup_.components; ++i) {
        counters_[i] = blockCounters[i];
        complete = std::min(complete, blockCounters[i] / rowBlocks_[i]);
    }
    complete = std::min(complete, opened_);
    if (complete <= dispatched_) return;
    const std::lock_guard<std::mutex> lock(lock_);
    for (; dispatched_ < complete; ++dispatched_) Dispatch(slots_[dispatched_ % slots_.size()]);
}

// Opens the rows up to `row`, each in the slot its row number gives, once that slot is free.
RowPipeline::Slot* RowPipeline::Open(std::uint32_t row) {
    std::unique_lock<std::mutex> lock(lock_);
    for (; opened_ <= row; ++opened_) {
        Slot& slot = slots_[opened_ % slots_.size()];
        if (slot.state == SlotState::kFilling) {
            // A component lags a whole ring of rows behind: give up, the scan is decoded again.
            lock.unlock();
            Cancel();
            abandoned_ = true;
            for (RowCache& cache : cache_) cache.slot = nullptr;
            return nullptr;
        }
        Reclaim(lock, slot);
        slot.state = SlotState::kFilling;
        slot.row = opened_;
    }
    return &slots_[row % slots_.size()];
}

// Makes a row ready with the blocks its components have placed, all of them for a complete row.
void RowPipeline::Dispatch(Slot& slot) {
    for (int i = 0; i < setup_.components; ++i) {
        const std::uint64_t first = std::uint64_t{slot.row} * rowBlocks_[i];
        const std::uint64_t placed = counters_[i] > first ? counters_[i] - first : 0;
        slot.present[i] =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(placed, rowBlocks_[i]));
    }
    slot.state = SlotState::kReady;
    if (pool_ != nullptr) pool_->Post(this);
}

// Waits, under the lock, until `slot` is free; meanwhile does ready rows itself rather than wait.
void RowPipeline::Reclaim(std::unique_lock<std::mutex>& lock, Slot& slot) {
    while (slot.state != SlotState::kFree) {
        const int job = Claim();
        if (job < 0) {
            done_.wait(lock);
            continue;
        }
        lock.unlock();
        Work(job);
        lock.lock();
        Done(job);
    }
}

void RowPipeline::Finish() {
    if (abandoned_) return;
    {
        const std::lock_guard<std::mutex> lock(lock_);
        for (; dispatched_ < opened_; ++dispatched_) {
            Dispatch(slots_[dispatched_ % slots_.size()]);
        }
    }
    // Rows no block reached are converted from zero samples.
    while (opened_ < setup_.unitsDown) {
        Slot* slot = Open(opened_);
        const std::lock_guard<std::mutex> lock(lock_);
        Dispatch(*slot);
        dispatched_ = opened_;
    }
    std::unique_lock<std::mutex> lock(lock_);
    for (Slot& slot : slots_) Reclaim(lock, slot);
    if (pool_ != nullptr) pool_->Withdraw(this);
}

void RowPipeline::Cancel() {
    std::unique_lock<std::mutex> lock(lock_);
    for (Slot& slot : slots_) {
        if (slot.state != SlotState::kClaimed) slot.state = SlotState::kFree;
    }
    for (Slot& slot : slots_) {
        while (slot.state != SlotState::kFree) done_.wait(lock);
    }
    if (pool_ != nullptr) pool_->Withdraw(this);
}

int RowPipeline::Claim() {
    int oldest = -1;
    for (std::size_t s = 0; s < slots_.size(); ++s) {
        if (slots_[s].state != SlotState::kReady) continue;
        if (oldest < 0 || slots_[s].row < slots_[static_cast<std::size_t>(oldest)].row) {
            oldest = static_cast<int>(s);
        }
    }
    if (oldest >= 0) slots_[static_cast<std::size_t>(oldest)].state = SlotState::kClaimed;
    return oldest;
}

void RowPipeline::Done(int job) {
    slots_[static_cast<std::size_t>(job)].state = SlotState::kFree;
    done_.notify_all();
}

// Transforms the row's blocks into its strip and converts the strip into the bitmap.
void RowPipeline::Work(int job) {
    Slot& slot = slots_[static_cast<std::size_t>(job)];
    alignas(32) std::uint8_t samples[64];
    static const std::uint8_t kZeros[64] = {};
    for (int i = 0; i < setup_.components; ++i) {
        const BlockLayout layout = StripLayout(i, slot);
        const std::uint32_t present = slot.present[i];
        if (!immediate_) {
            // Each block is cleared once transformed, ready for the slot's next row.
            std::int16_t* coefficients = slot.coefficients + blockOffset_[i];
            for (std::uint32_t b = 0; b < present; ++b) {
                std::int16_t* block = coefficients + 64 * std::size_t{b};
                setup_.transform(block, samples);
                ClearBlock(block);
                PlaceBlock(layout, b, samples);
            }
        }
        // Where no block came, the plane would have kept its zeros.
        for (std::uint32_t b = present; b < rowBlocks_[i]; ++b) PlaceBlock(layout, b, kZeros);
    }
    ConvertRow(slot);
}

BlockLayout RowPipeline::StripLayout(int component, const Slot& slot) const {
    BlockLayout layout;
    layout.plane = slot.strip + stripOffset_[component];
    layout.paddedWidth = stripWidth_[component];
    layout.unitWidth = setup_.unitWidth[component];
    layout.unitHeight = setup_.unitHeight[component];
    layout.unitsAcross = setup_.unitsAcross;
    layout.unitsDown = 1;
    layout.unitPixelWidth = 8 * layout.unitWidth;
    layout.unitPixelHeight = 8 * layout.unitHeight;
    return layout;
}

void RowPipeline::ConvertRow(Slot& slot) const {
    const std::uint32_t rows = 8 * setup_.vMax;
    const std::uint32_t first = slot.row * rows;
    const std::uint32_t last = std::min(first + rows, setup_.height);
    for (std::uint32_t y = first; y < last; ++y) {
        const std::uint8_t* source[3];
        for (int p = 0; p < 3; ++p) {
            const int i = scanOf_[p];
            const std::uint8_t* row =
                slot.strip + stripOffset_[i] +
                static_cast<std::size_t>((y - first) / repeatY_[p]) * stripWidth_[i];
            source[p] = ExpandRow(row, repeatX_[p], setup_.width,
                                  slot.scratch + static_cast<std::size_t>(p) * setup_.width);
        }
        convert_(source[0], source[1], source[2],
                 setup_.pixels + static_cast<std::size_t>(setup_.height - 1 - y) * setup_.stride,
                 setup_.width);
    }
}

}  // namespace vantor
