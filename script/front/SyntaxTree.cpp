#include "script/front/SyntaxTree.h"

namespace zeb::script {

Node* SyntaxTree::make(NodeKind kind, const SourceSpan& from, const SourceSpan& to)
{
    if (m_used == kBlockNodes) {
        m_blocks.push_back(std::make_unique<Node[]>(kBlockNodes));
        m_used = 0;
    }
    Node& node = m_blocks.back()[m_used++];
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
