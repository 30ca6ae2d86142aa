// The text of a syntax tree: one line per node, indented by one tab per level.
#pragma once

#include "script/front/Node.h"

#include <string>

namespace zeb::script {

class TreeDump
{
public:
    // Sequences show only their parts, at their own level; increments, indexing, array literals
    // and methods show nothing; self, super, declarations, blocks and thread sends show "[UNKNOWN]".
    static std::string of(const Node* node);

private:
    static void dump(std::string& out, const Node* node, unsigned depth);
};

} // namespace zeb::script
