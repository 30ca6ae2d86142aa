// The nodes of one compile, freed together when the compile ends.
#pragma once

#include "script/front/Node.h"

#include <deque>
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
    std::deque<Node> m_nodes; // a deque never moves its elements: the tree's pointers stay valid
    std::vector<Node*> m_definitions;
};

} // namespace zeb::script
