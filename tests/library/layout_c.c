/* SPDX-License-Identifier: MIT */
/* The layout of every public record as a C99 compiler sees it. */
#include "library/layout.h"

/* clang-format off */
#define KELU_LAYOUT_RECORD(T) sizeof(T), offsetof(struct { char c; T t; }, t),
/* clang-format on */

const size_t keluLayoutSeenByC[] = {KELU_LAYOUT(KELU_LAYOUT_RECORD, KELU_LAYOUT_FIELD)};
