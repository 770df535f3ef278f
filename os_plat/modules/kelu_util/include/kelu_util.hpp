// SPDX-License-Identifier: MIT
///
/// @file kelu_util.hpp
///
/// The typed C++20 interface of libkelu_util, all of it: kelu::avl_set,
/// kelu::counter_list, kelu::spin_lock_list and the checksums. Header-only
/// over the C ABI of the family headers; it adds no symbol to the library.
#ifndef KELU_UTIL_HPP
#define KELU_UTIL_HPP

#include "kelu/avl_set.hpp"
#include "kelu/crc.hpp"
#include "kelu/list.hpp"
#include "kelu_util_module.h"

#endif  // KELU_UTIL_HPP
