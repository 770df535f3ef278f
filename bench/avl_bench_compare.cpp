// SPDX-License-Identifier: MIT
// The one three-way key comparison every compared container uses, compiled
// apart so that it can only be called, never inlined.
#include <cstdint>

int32_t compareKeys3(void *key, void *element) {
    const uint64_t a = *static_cast<const uint64_t *>(key);
    const uint64_t b = *static_cast<const uint64_t *>(element);
    return static_cast<int32_t>(a > b) - static_cast<int32_t>(a < b);
}

int32_t (*g_compare)(void *, void *) = compareKeys3;
