// A reference AVL tree for tests: keys only, recursive, with stored heights,
// written independently of the library's iterative, balance-factor code but
// with the same placement rules (the first unbalanced node is rotated; an
// element with two children is replaced by its neighbour from the taller
// side, the left one when both are equally tall). After the same sequence of
// operations it has exactly the library's shape, so tests compare shapes.
#ifndef KELU_TESTS_AVL_MODEL_H
#define KELU_TESTS_AVL_MODEL_H

#include <cstdint>
#include <memory>
#include <string>

namespace kelu::test {

class ModelAvl {
  public:
    // What one change did, as the library's log records and rotations show it.
    struct Outcome {
        bool changed = false;          // the key was added / removed
        int rotations = 0;             // single or double rotations made
        bool stoppedBalanced = false;  // insertion: a node became balanced and stopped the pass
        bool rootWithoutPass = false;  // removal: the root with at most one child went
    };

    Outcome insert(int64_t key);
    Outcome remove(int64_t key);
    std::string shape() const;  // in the notation of avl_shape.h
    static ModelAvl fromShape(const std::string &shape);

  private:
    struct Node {
        int64_t key;
        int height = 1;
        std::unique_ptr<Node> child[2];
    };
    using Link = std::unique_ptr<Node>;

    static int height(const Link &node) { return node ? node->height : 0; }
    static int balance(const Link &node) { return height(node->child[1]) - height(node->child[0]); }
    static void update(Link &node);
    static void rotate(Link &node, int side);  // the child on `side` becomes the top
    static bool rebalance(Link &node, Outcome &outcome);
    static bool insertInto(Link &node, int64_t key, Outcome &outcome);  // true: height grew
    static void removeFrom(Link &node, int64_t key, Outcome &outcome);
    static void shapeInto(const Link &node, std::string &out);
    static Link parseFrom(const std::string &text, size_t &at);

    Link root_;
};

}  // namespace kelu::test

#endif  // KELU_TESTS_AVL_MODEL_H
