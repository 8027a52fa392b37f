// Movable global memory over the C heap: the allocation functions an image plug-in uses to hand
// a decoded picture to its host, and that the host uses to lock, measure and free it.
//
// A handle addresses a small block record that sits in front of the data, so any module that
// links this library can lock or free a handle allocated by another module.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/winmem/wintypes.h"

typedef void* HGLOBAL;
typedef void* LPVOID;
typedef std::size_t SIZE_T;

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;

// Allocates `bytes` bytes (cleared with GMEM_ZEROINIT). Returns null when the heap refuses.
// A request of 0 bytes still yields a valid handle whose size is 0.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);

// Raises the lock count and returns the data address; null for an invalid handle.
LPVOID GlobalLock(HGLOBAL mem);

// Lowers the lock count. Returns TRUE while the block stays locked, FALSE once the count is 0
// (also for an invalid handle or a block that was not locked).
BOOL GlobalUnlock(HGLOBAL mem);

// The size requested at allocation; 0 for an invalid handle.
SIZE_T GlobalSize(HGLOBAL mem);

// The lock count of the block (the low byte of the flags word on the original platform).
UINT GlobalFlags(HGLOBAL mem);

// Frees the block whatever its lock count. Returns null on success and the handle itself when it
// is not a handle of this allocator.
HGLOBAL GlobalFree(HGLOBAL mem);
