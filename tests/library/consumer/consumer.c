/* SPDX-License-Identifier: MIT */
/* Every public C header, in a consumer's build (CMakeLists.txt beside it). */
#include "kelu_util_avl.h"
#include "kelu_util_crc.h"
#include "kelu_util_export.h"
#include "kelu_util_list.h"
#include "kelu_util_module.h"
#include "kelu_util_version.h"
#include "qxlog.h"
#include "vemo_spinlock.h"

#if KELU_UTIL_VERSION < 10000
#error "the version must be usable in #if"
#endif
