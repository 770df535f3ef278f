// SPDX-License-Identifier: MIT
//
// File: kelu_util.hpp
//
// The typed C++20 interface of libkelu_util, all of it: kelu::avl_set,
// kelu::avl_multiset, kelu::counter_list, kelu::spin_lock_list, the hook
// types kelu::avl_hook and kelu::list_hook, and the checksums; checked mode
// in kelu/checked.hpp. Header-only over the C ABI of the family headers; it
// adds no symbol to the library.
#ifndef KELU_UTIL_HPP
#define KELU_UTIL_HPP

#include "kelu/avl_set.hpp"
#include "kelu/crc.hpp"
#include "kelu/list.hpp"
#include "kelu_util_module.h"

#endif  // KELU_UTIL_HPP
