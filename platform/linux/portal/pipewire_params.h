// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <spa/pod/pod.h>
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

// The parameters a screen stream is offered, built in the caller's space
// (in C, as PipeWire's builder macros are).

// The pixel formats read without a GPU: BGRx, BGRA, RGBx and RGBA, any size
// and rate, and no DMA-BUF modifiers, so the sender gives mappable memory.
const struct spa_pod* screenFormatsParam(void* space, size_t size);
// Buffers in memory or shared memory.
const struct spa_pod* memoryBuffersParam(void* space, size_t size);

#ifdef __cplusplus
}
#endif
