#include "script/front/TreeDump.h"

#include "script/front/Selectors.h"
#include "text/Format.h"

namespace zeb::script {

std::string TreeDump::of(const Node* node)
{
    std::string out;
    dump(out, node, 0);
    return out;
}

void TreeDump::dump(std::string& out, const Node* node, unsigned depth)
{
    if (node == nullptr)
        return;
    if (node->kind == NodeKind::Sequence) {
        for (const Node* item = node->items; item != nullptr; item = item->next)
            dump(out, item, depth);
        return;
    }
    const std::string indent(depth, '\t');
    const char* head = indent.c_str();
    switch (node->kind) {
    case NodeKind::If:
        text::appendFormat(out, "%s[IF]\r\n", head);
        break;
    case NodeKind::While:
        text::appendFormat(out, "%s[WHILE]\r\n", head);
        break;
    case NodeKind::DoWhile:
        text::appendFormat(out, "%s[DO WHILE]\r\n", head);
        break;
    case NodeKind::For:
        text::appendFormat(out, "%s[FOR]\r\n", head);
        break;
    case NodeKind::Assignment: // the operator as written: "=" or the selector and "="
        text::appendFormat(out, "%s[ASSIGNMENT %s%s]\r\n", head, node->name->c_str(),
                           node->name == Selectors::get().assign ? "" : "=");
        break;
    case NodeKind::Identifier:
        text::appendFormat(out, "%s[IDENTIFIER %s]\r\n", head, node->name->c_str());
        break;
    case NodeKind::String:
        text::appendFormat(out, "%s[STRING \"%s\"]\r\n", head, node->name->c_str());
        break;
    case NodeKind::Integer:
        text::appendFormat(out, "%s[INTEGER %d]\r\n", head, node->integer);
        break;
    case NodeKind::Character:
        text::appendFormat(out, "%s[CHARACTER '%c']\r\n", head, static_cast<char>(node->character));
        break;
    case NodeKind::Number:
        text::appendFormat(out, "%s[NUMBER %g]\r\n", head, node->number);
        break;
    case NodeKind::Return:
        text::appendFormat(out, "%s[RETURN]\r\n", head);
        break;
    case NodeKind::Goto:
        text::appendFormat(out, "%s[GOTO %s]\r\n", head, node->name->c_str());
        break;
    case NodeKind::Continue:
        text::appendFormat(out, "%s[CONTINUE]\r\n", head);
        break;
    case NodeKind::Switch:
        text::appendFormat(out, "%s[SWITCH]\r\n", head);
        break;
    case NodeKind::Case:
        text::appendFormat(out, "%s[CASE]\r\n", head);
        break;
    case NodeKind::Default:
        text::appendFormat(out, "%s[DEFAULT]\r\n", head);
        break;
    case NodeKind::Break:
        text::appendFormat(out, "%s[BREAK]\r\n", head);
        break;
    case NodeKind::Message:
        text::appendFormat(out, "%s[MESSAGE %s]\r\n", head, node->name->c_str());
        break;
    case NodeKind::Conditional:
        text::appendFormat(out, "%s[?]\r\n", head);
        break;
    case NodeKind::Label:
        text::appendFormat(out, "%s[LABEL %s]\r\n", head, node->name->c_str());
        break;
    case NodeKind::Self:
    case NodeKind::Super:
    case NodeKind::Declaration:
    case NodeKind::Block:
    case NodeKind::Thread:
        text::appendFormat(out, "%s[UNKNOWN]\r\n", head);
        return;
    default:
        return; // increments, indexing, array literals, methods
    }
    for (const Node* child : {node->first, node->second, node->third, node->fourth})
        dump(out, child, depth + 1);
    for (const Node* child = node->items; child != nullptr; child = child->next)
        dump(out, child, depth + 1);
}

} // namespace zeb::script
