// The nodes of one compile, freed together when the compile ends.
#pragma once

#include "script/front/Node.h"

#include <cstddef>
#include <memory>
#include <type_traits>
#include <vector>

namespace zeb::script {

class SyntaxTree
{
public:
    // A new node of kind, spanning from the start of `from` to the end of `to`.
    Node* make(NodeKind kind, const SourceSpan& from, const SourceSpan& to);
    Node* make(NodeKind kind, const SourceSpan& span) { return make(kind, span, span); }

    // The script's methods and top-level declarations, in source order.
    std::vector<Node*>& definitions() { return m_definitions; }
    const std::vector<Node*>& definitions() const { return m_definitions; }
    // The method of that selector text, or nullptr.
    const Node* method(std::string_view selector) const;

private:
    static constexpr std::size_t kBlockNodes = 1024;
    // Nodes are made in blocks that never move, so the tree's pointers stay valid and the nodes a
    // walk visits lie close together.
    struct Block
    {
        alignas(Node) std::byte bytes[kBlockNodes * sizeof(Node)];
    };
    static_assert(std::is_trivially_destructible_v<Node>, "blocks are freed without destroying their nodes");
    std::vector<std::unique_ptr<Block>> m_blocks;
    std::size_t m_used = kBlockNodes;
    std::vector<Node*> m_definitions;
};

} // namespace zeb::script
