#include "script/front/SyntaxTree.h"

#include <new>

namespace zeb::script {

Node* SyntaxTree::make(NodeKind kind, const SourceSpan& from, const SourceSpan& to)
{
    if (m_used == kBlockNodes) {
        m_blocks.push_back(std::make_unique_for_overwrite<Block>()); // each node is written once, below
        m_used = 0;
    }
    Node& node = *new (&m_blocks.back()->bytes[m_used++ * sizeof(Node)]) Node;
    node.kind = kind;
    node.span = {from.firstLine, from.firstColumn, to.lastLine, to.lastColumn};
    return &node;
}

const Node* SyntaxTree::method(std::string_view selector) const
{
    for (const Node* definition : m_definitions) {
        if (definition->kind == NodeKind::Method && *definition->name == selector)
            return definition;
    }
    return nullptr;
}

} // namespace zeb::script
