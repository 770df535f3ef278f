/* SPDX-License-Identifier: MIT */
/* The AVL benchmark's C caller: reads of the library's tree through the
 * inline header, with a comparison the compiler sees. */
#include "avl_bench_element.h"
#include "kelu_util_avl_inline.h"

/* Two comparisons and no arithmetic: compilers turn this into two compares
 * and branches inside the search loop. */
static int32_t compareKey(uint64_t key, const BenchElement *element) {
    return key < element->key ? -1 : key > element->key;
}

KELU_AVL_DEFINE_READS(bench, BenchElement, node, uint64_t, compareKey);

/* Keeps a result without costing more than a register. */
#define KEEP(value) __asm__ volatile("" : : "r"(value) : "memory")

void inlineFindAll(const AvlTree *tree, const uint64_t *keys, size_t count) {
    size_t i;
    for (i = 0; i < count; ++i) {
        BenchElement *found = benchFind(tree, keys[i], NULL);
        KEEP(found);
    }
}

uint64_t inlineWalk(const AvlTree *tree) {
    uint64_t sum = 0;
    BenchElement *element;
    for (element = benchFirst(tree); element != NULL; element = benchNext(element)) {
        sum += element->key;
    }
    return sum;
}
