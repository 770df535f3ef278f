/* SPDX-License-Identifier: MIT */
/* The element of the library's trees in the AVL benchmarks, shared by the
 * C++ programs and the C one: a caller's record that sits in an ordered set
 * and in a queue, so it carries a tree link and a list link beside its key.
 * The other containers' elements have the same fields at the same offsets.
 * And the C caller's loops, compiled as C with the inline reads. */
#ifndef KELU_AVL_BENCH_ELEMENT_H
#define KELU_AVL_BENCH_ELEMENT_H

#include <stddef.h>
#include <stdint.h>

#include "kelu_util_avl.h"
#include "kelu_util_list.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct BenchElement {
    uint64_t key; /* first: the out-of-line comparison reads it there */
    AvlNode node;
    ListNode inQueue;
} BenchElement;

/* Looks up each of `count` keys with the inline search (avl_bench_inline.c). */
void inlineFindAll(const AvlTree *tree, const uint64_t *keys, size_t count);

/* The sum of all keys, walking the tree in order with the inline step. */
uint64_t inlineWalk(const AvlTree *tree);

#ifdef __cplusplus
}
#endif

#endif /* KELU_AVL_BENCH_ELEMENT_H */
