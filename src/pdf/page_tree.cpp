#include "pdf/page_tree.h"

#include <qpdf/QPDFObjectHandle.hh>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <set>
#include <unordered_set>
#include <vector>

#include "base/runtime_error.h"
#include "pdf/pdf_source.h"

namespace pagemeld {
namespace {

// qpdf's walk takes a few hundred bytes of stack per level: this many levels fit in
// the smallest stack any of the programs' threads has, on every platform.
constexpr std::size_t kDeepestLeftToQpdf = 256;

using Inherited = std::array<QPDFObjectHandle, kInheritedPageKeys.size()>;
using LeafVisitor = std::function<void(QPDFObjectHandle kid, const Inherited& inherited)>;

struct TreeShape {
    std::size_t depth = 0;  // page-tree nodes on the longest way down
    std::size_t nodes = 0;  // distinct page-tree nodes
    bool repeated = false;  // a node is reached more than once (a loop or a shared node)
};

bool isTreeNode(QPDFObjectHandle node) {
    return node.isDictionary() && node.hasKey("/Kids");
}

// The node qpdf starts from: the catalog's /Pages, or the top of the nodes above it
// when it names one deeper in the tree.
QPDFObjectHandle topOfTree(QPDF& qpdf) {
    QPDFObjectHandle node = qpdf.getRoot().getKey("/Pages");
    std::set<QPDFObjGen> seen;
    while (node.isDictionary() && node.hasKey("/Parent")) {
        if (!seen.insert(node.getObjGen()).second) break;
        node = node.getKey("/Parent");
    }
    return node;
}

// Walks the tree from `top` depth first, kids in order, each node once, on a stack of
// its own. `leaf` (when given) gets every kid that is not a node, with the entries it
// inherits. Throws when a way down passes more than kMaxPageTreeDepth nodes.
TreeShape walkPageTree(QPDFObjectHandle top, const LeafVisitor* leaf) {
    struct Level {
        QPDFObjectHandle kids;
        int count = 0;
        int next = 0;
        Inherited inherited;
    };
    TreeShape shape;
    std::unordered_set<QPDFObjGen, ObjGenHash> visited;
    std::vector<Level> path;
    const auto enter = [&](QPDFObjectHandle node) {
        if (node.isIndirect() && !visited.insert(node.getObjGen()).second) {
            shape.repeated = true;
            return;
        }
        if (path.size() == static_cast<std::size_t>(kMaxPageTreeDepth)) {
            throw RuntimeError(errcode::kInvalidFileFormat, "page tree nested too deeply");
        }
        Level level;
        level.kids = node.getKey("/Kids");
        level.count = level.kids.isArray() ? level.kids.getArrayNItems() : 0;
        if (leaf) {
            for (std::size_t k = 0; k < kInheritedPageKeys.size(); ++k) {
                const char* key = kInheritedPageKeys[k];
                level.inherited[k] = node.hasKey(key) ? node.getKey(key)
                                     : path.empty()   ? QPDFObjectHandle::newNull()
                                                      : path.back().inherited[k];
            }
        }
        path.push_back(std::move(level));
        ++shape.nodes;
        shape.depth = std::max(shape.depth, path.size());
    };
    if (isTreeNode(top)) enter(top);
    while (!path.empty()) {
        Level& level = path.back();
        if (level.next == level.count) {
            path.pop_back();
            continue;
        }
        QPDFObjectHandle kid = level.kids.getArrayItem(level.next++);
        if (isTreeNode(kid)) {
            enter(kid);
        } else if (leaf) {
            (*leaf)(kid, level.inherited);
        }
    }
    return shape;
}

}  // namespace

void preparePageTree(QPDF& qpdf) {
    QPDFObjectHandle top = topOfTree(qpdf);
    const TreeShape shape = walkPageTree(top, nullptr);
    // qpdf's walk goes no deeper than the distinct nodes, nor than the tree's depth
    // when no node is reached twice.
    if ((shape.repeated ? shape.nodes : shape.depth) <= kDeepestLeftToQpdf) return;
    // qpdf refuses a tree with a loop or a shared node too: here it is refused before
    // qpdf's walk follows it down.
    if (shape.repeated) {
        throw RuntimeError(errcode::kInvalidFileFormat, "page tree nodes reached twice");
    }
    std::vector<QPDFObjectHandle> pages;
    const LeafVisitor collect = [&](QPDFObjectHandle kid, const Inherited& inherited) {
        if (kid.isDictionary()) {
            for (std::size_t k = 0; k < kInheritedPageKeys.size(); ++k) {
                const char* key = kInheritedPageKeys[k];
                QPDFObjectHandle value = inherited[k];
                if (!kid.hasKey(key) && !value.isNull()) kid.replaceKey(key, value);
            }
            kid.replaceKey("/Parent", top);
        }
        pages.push_back(kid);
    };
    walkPageTree(top, &collect);
    top.replaceKey("/Kids", QPDFObjectHandle::newArray(pages));
    top.replaceKey("/Count", QPDFObjectHandle::newInteger(static_cast<long long>(pages.size())));
    top.removeKey("/Parent");
    qpdf.getRoot().replaceKey("/Pages", top);
}

QPDFObjectHandle inheritedAttribute(QPDFObjectHandle page, const std::string& key) {
    std::set<QPDFObjGen> seen;
    QPDFObjectHandle node = page.getKey("/Parent");
    while (node.isDictionary()) {
        if (node.isIndirect() && !seen.insert(node.getObjGen()).second) break;
        if (node.hasKey(key)) return node.getKey(key);
        node = node.getKey("/Parent");
    }
    return QPDFObjectHandle::newNull();
}

}  // namespace pagemeld
