#include "script/front/Parser.h"

#include "script/front/Selectors.h"

#include <algorithm>
#include <array>
#include <string>

namespace zeb::script {

namespace {

// Binding level of a binary operator, loosest 1 to tightest 10; 0 for any other token.
int binaryLevel(int code)
{
    switch (code) {
    case kOrOr:
        return 1;
    case kAndAnd:
        return 2;
    case '|':
        return 3;
    case '^':
        return 4;
    case '&':
        return 5;
    case kEqual:
    case kNotEqual:
        return 6;
    case '<':
    case '>':
    case kLessEqual:
    case kGreaterEqual:
        return 7;
    case kShl:
    case kShr:
        return 8;
    case '+':
    case '-':
        return 9;
    case '*':
    case '/':
    case '%':
        return 10;
    default:
        return 0;
    }
}

bool isBinarySelector(int code)
{
    return (binaryLevel(code) != 0 && code != '^') || code == '~';
}

bool isAssignmentOperator(int code)
{
    return code >= kMulAssign && code <= kAssign;
}

// The operator as written, interned once: the selector of the message it sends.
Name operatorName(int code)
{
    static const auto names = [] {
        std::array<Name, kThread + 1> table{};
        for (int c = 1; c < 256; ++c) {
            const char text[] = {static_cast<char>(c), '\0'};
            table[c] = SymbolTable::intern(text);
        }
        for (int c = kMulAssign; c <= kDecrement; ++c)
            table[c] = SymbolTable::intern(tokenText(c));
        return table;
    }();
    return code >= 0 && code <= kThread ? names[code] : nullptr;
}

} // namespace

// Counts one level of nesting for as long as a rule function runs.
class Parser::Nesting
{
public:
    explicit Nesting(Parser& parser)
        : m_parser(parser)
    {
        if (++m_parser.m_depth > kMaxDepth)
            fail();
    }
    ~Nesting() { --m_parser.m_depth; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

private:
    Parser& m_parser;
};

Parser::Parser(std::string_view text, SyntaxTree& tree)
    : m_scanner(text)
    , m_tree(tree)
{
}

void Parser::fail()
{
    throw SyntaxError{};
}

const Token& Parser::take()
{
    m_previous = m_token.span;
    if (m_ahead) {
        m_token = *m_ahead;
        m_ahead.reset();
    } else {
        m_token = m_scanner.next();
    }
    return m_token;
}

const Token& Parser::peek()
{
    if (!m_ahead)
        m_ahead = m_scanner.next();
    return *m_ahead;
}

bool Parser::accept(int code)
{
    if (m_token.code != code)
        return false;
    take();
    return true;
}

Token Parser::expect(int code)
{
    if (m_token.code != code)
        fail();
    Token taken = m_token;
    take();
    return taken;
}

Node* Parser::make(NodeKind kind, const SourceSpan& from)
{
    return m_tree.make(kind, from, m_previous);
}

// The node's height over its children; too deep a tree is refused here, where it is built.
Node* Parser::nest(Node* node, std::initializer_list<const Node*> children)
{
    std::uint32_t height = 0;
    for (const Node* child : children) {
        if (child != nullptr)
            height = std::max(height, child->height);
    }
    node->height = height + 1;
    if (node->height > kMaxDepth)
        fail();
    return node;
}

Node* Parser::message(Name selector, const SourceSpan& from, Node* receiver, Node* arguments)
{
    if (selector == nullptr)
        fail();
    Node* node = make(NodeKind::Message, from);
    node->name = selector;
    node->first = receiver;
    std::uint32_t height = receiver->height;
    for (const Node* argument = arguments; argument != nullptr; argument = argument->next) {
        height = std::max(height, argument->height);
        ++node->count;
    }
    if (node->count > kMaxArguments)
        fail();
    node->items = arguments;
    node->height = height + 1;
    if (node->height > kMaxDepth)
        fail();
    return node;
}

Node* Parser::identifier()
{
    const SourceSpan from = m_token.span;
    const Name name = expect(kIdentifier).name;
    Node* node = make(NodeKind::Identifier, from);
    node->name = name;
    return node;
}

// script: DEFINITIONS_START definition_list
// definition_list: definition | definition_list definition
bool Parser::parse(const std::function<void(Node*)>& parsed)
{
    try {
        m_token = m_scanner.next();
        expect(kDefinitionsStart);
        do {
            Node* node = definition();
            m_tree.definitions().push_back(node);
            parsed(node);
        } while (m_token.code != kEnd);
        return true;
    } catch (const SyntaxError&) {
        return false;
    }
}

// definition: method_pattern "{" statement_list "}" | "local" name_list ";"
Node* Parser::definition()
{
    if (m_token.code == kLocal)
        return declaration();
    const SourceSpan from = m_token.span;
    Node* method = methodPattern();
    expect('{');
    method->first = statementList('}');
    expect('}');
    method->span = spanTo(from);
    return method;
}

// method_pattern: unary_pattern | binary_pattern | keyword_pattern
// unary_pattern: name
// binary_pattern: binary_selector name
// keyword_pattern: keyword name | keyword_pattern keyword name
Node* Parser::methodPattern()
{
    const SourceSpan from = m_token.span;
    Node* method = m_tree.make(NodeKind::Method, from);
    if (m_token.code == kIdentifier) {
        method->name = m_token.name;
        take();
        return method;
    }
    if (isBinarySelector(m_token.code)) {
        method->name = operatorName(m_token.code);
        take();
        method->items = identifier();
        method->count = 1;
        return method;
    }
    std::string selector;
    for (Node** tail = &method->items; m_token.code == kKeyword; tail = &(*tail)->next) {
        selector += *m_token.name;
        take();
        *tail = identifier();
        ++method->count;
    }
    if (method->count == 0 || method->count > kMaxArguments)
        fail();
    method->name = SymbolTable::intern(selector);
    if (method->name == nullptr)
        fail();
    return method;
}

// statement_list: statement | statement_list statement
// One statement stands alone; several make a sequence of them (empty statements generate nothing
// and are left out of it).
Node* Parser::statementList(int end)
{
    const SourceSpan from = m_token.span;
    Node* sequence = m_tree.make(NodeKind::Sequence, from);
    Node** tail = &sequence->items;
    int statements = 0;
    do {
        ++statements;
        if (Node* next = statement()) {
            *tail = next;
            tail = &next->next;
            ++sequence->count;
            sequence->height = std::max(sequence->height, next->height);
        }
    } while (m_token.code != end && m_token.code != kEnd);
    if (statements == 1)
        return sequence->items;
    sequence->span = spanTo(from);
    return sequence;
}

// statement: labeled_statement | expression_statement | compound_statement | selection_statement
//          | iteration_statement | jump_statement | declaration
// labeled_statement: name ":" statement | "case" constant_expression ":" statement | "default" ":" statement
// expression_statement: expression ";" | ";"
// compound_statement: "{" statement_list "}" | "{" "}"
// constant_expression: assignment_expression
Node* Parser::statement()
{
    const Nesting nesting(*this);
    const SourceSpan from = m_token.span;
    switch (m_token.code) {
    case kIdentifier:
        if (peek().code != ':')
            break;
        {
            Node* label = m_tree.make(NodeKind::Label, from);
            label->name = m_token.name;
            take();
            take();
            label->first = statement();
            label->span = spanTo(from);
            return nest(label, {label->first});
        }
    case kCase: {
        take();
        Node* value = assignmentExpression();
        expect(':');
        Node* body = statement();
        Node* node = make(NodeKind::Case, from);
        node->first = value;
        node->second = body;
        return nest(node, {value, body});
    }
    case kDefault: {
        take();
        expect(':');
        Node* body = statement();
        Node* node = make(NodeKind::Default, from);
        node->first = body;
        return nest(node, {body});
    }
    case ';':
        take();
        return nullptr;
    case '{': {
        take();
        Node* body = m_token.code == '}' ? nullptr : statementList('}');
        expect('}');
        Node* block = make(NodeKind::Block, from);
        block->first = body;
        return nest(block, {body});
    }
    case kIf:
    case kSwitch:
        return selection();
    case kWhile:
    case kDo:
    case kFor:
        return iteration();
    case kGoto:
    case kContinue:
    case kBreak:
    case kReturn:
        return jump();
    case kLocal:
    case kGlobal:
        return declaration();
    default:
        break;
    }
    Node* node = expression();
    expect(';');
    return node;
}

// declaration: "local" name_list ";" | "global" name_list ";"
// name_list: name | name_list "," name
Node* Parser::declaration()
{
    const SourceSpan from = m_token.span;
    const bool global = m_token.code == kGlobal;
    take();
    Node* names = nullptr;
    std::uint32_t count = 0;
    Node** tail = &names;
    do {
        *tail = identifier();
        tail = &(*tail)->next;
        ++count;
    } while (accept(','));
    expect(';');
    Node* node = make(NodeKind::Declaration, from);
    node->global = global;
    node->items = names;
    node->count = count;
    return node;
}

// selection_statement: "if" "(" expression ")" statement
//                    | "if" "(" expression ")" statement "else" statement
//                    | "switch" "(" expression ")" statement
// An else belongs to the nearest if.
Node* Parser::selection()
{
    const SourceSpan from = m_token.span;
    const bool isIf = m_token.code == kIf;
    take();
    expect('(');
    Node* subject = expression();
    expect(')');
    Node* body = statement();
    if (!isIf) {
        Node* node = make(NodeKind::Switch, from);
        node->first = subject;
        node->second = body;
        return nest(node, {subject, body});
    }
    Node* otherwise = accept(kElse) ? statement() : nullptr;
    Node* node = make(NodeKind::If, from);
    node->first = subject;
    node->second = body;
    node->third = otherwise;
    return nest(node, {subject, body, otherwise});
}

// iteration_statement: "while" "(" expression ")" statement
//                    | "do" statement "while" "(" expression ")" ";"
//                    | for_statement
Node* Parser::iteration()
{
    const SourceSpan from = m_token.span;
    if (m_token.code == kFor)
        return forStatement();
    Node* condition = nullptr;
    Node* body = nullptr;
    NodeKind kind = NodeKind::While;
    if (accept(kWhile)) {
        expect('(');
        condition = expression();
        expect(')');
        body = statement();
    } else {
        take();
        kind = NodeKind::DoWhile;
        body = statement();
        expect(kWhile);
        expect('(');
        condition = expression();
        expect(')');
        expect(';');
    }
    Node* node = make(kind, from);
    node->first = condition;
    node->second = body;
    return nest(node, {condition, body});
}

// for_statement: "for" "(" [expression] ";" [expression] ";" [expression] ")" statement
Node* Parser::forStatement()
{
    const SourceSpan from = m_token.span;
    take();
    expect('(');
    Node* init = optionalExpression(';');
    expect(';');
    Node* condition = optionalExpression(';');
    expect(';');
    Node* step = optionalExpression(')');
    expect(')');
    Node* body = statement();
    Node* node = make(NodeKind::For, from);
    node->first = init;
    node->second = condition;
    node->third = step;
    node->fourth = body;
    return nest(node, {init, condition, step, body});
}

Node* Parser::optionalExpression(int end)
{
    return m_token.code == end ? nullptr : expression();
}

// jump_statement: "goto" name ";" | "continue" ";" | "break" ";" | "return" expression ";" | "return" ";"
Node* Parser::jump()
{
    const SourceSpan from = m_token.span;
    const int code = m_token.code;
    take();
    if (code == kGoto) {
        const Name label = expect(kIdentifier).name;
        expect(';');
        Node* node = make(NodeKind::Goto, from);
        node->name = label;
        return node;
    }
    if (code == kReturn) {
        Node* value = m_token.code == ';' ? nullptr : expression();
        expect(';');
        Node* node = make(NodeKind::Return, from);
        node->first = value;
        return nest(node, {value});
    }
    expect(';');
    return make(code == kBreak ? NodeKind::Break : NodeKind::Continue, from);
}

// expression: assignment_expression | expression "," assignment_expression
Node* Parser::expression()
{
    const SourceSpan from = m_token.span;
    Node* first = assignmentExpression();
    if (m_token.code != ',')
        return first;
    Node* sequence = m_tree.make(NodeKind::Sequence, from);
    sequence->items = first;
    sequence->count = 1;
    sequence->height = first->height;
    for (Node* last = first; accept(','); last = last->next) {
        last->next = assignmentExpression();
        ++sequence->count;
        sequence->height = std::max(sequence->height, last->next->height);
    }
    sequence->span = spanTo(from);
    return sequence;
}

// assignment_expression: message_expression | unary_expression assignment_operator assignment_expression
// assignment_operator: "=" "*=" "/=" "%=" "+=" "-=" "<<=" ">>=" "&=" "^=" "|="
// A message expression begins with a unary expression too: that one is parsed first, and the
// token after it tells which rule applies.
Node* Parser::assignmentExpression()
{
    if (m_token.code == kThread)
        return messageExpression();
    const SourceSpan from = m_token.span;
    Node* target = unaryExpression();
    if (isAssignmentOperator(m_token.code)) {
        const int code = m_token.code;
        take();
        const Nesting nesting(*this);
        Node* value = assignmentExpression();
        Node* node = make(NodeKind::Assignment, from);
        if (code == kAssign) {
            node->name = Selectors::get().assign;
        } else {
            const std::string_view text = tokenText(code);
            node->name = SymbolTable::intern(text.substr(0, text.size() - 1));
        }
        node->first = target;
        node->second = value;
        return nest(node, {target, value});
    }
    return keywordArguments(conditionalRest(binaryRest(target, from, 1), from), from);
}

// message_expression: conditional_expression | conditional_expression keyword_arguments
//                   | "thread" message_expression
Node* Parser::messageExpression()
{
    const SourceSpan from = m_token.span;
    if (accept(kThread)) {
        const Nesting nesting(*this);
        Node* sent = messageExpression();
        Node* node = make(NodeKind::Thread, from);
        node->first = sent;
        return nest(node, {sent});
    }
    return keywordArguments(conditionalExpression(), from);
}

// keyword_arguments: keyword conditional_expression | keyword_arguments keyword conditional_expression
Node* Parser::keywordArguments(Node* receiver, const SourceSpan& from)
{
    if (m_token.code != kKeyword)
        return receiver;
    std::string selector; // its own: an argument may hold a keyword message of its own
    Node* arguments = nullptr;
    for (Node** tail = &arguments; m_token.code == kKeyword; tail = &(*tail)->next) {
        selector += *m_token.name;
        take();
        *tail = conditionalExpression();
    }
    return message(SymbolTable::intern(selector), from, receiver, arguments);
}

// conditional_expression: logical_or_expression | logical_or_expression "?" expression ":" conditional_expression
Node* Parser::conditionalExpression()
{
    const SourceSpan from = m_token.span;
    return conditionalRest(binaryRest(unaryExpression(), from, 1), from);
}

Node* Parser::conditionalRest(Node* condition, const SourceSpan& from)
{
    if (!accept('?'))
        return condition;
    const Nesting nesting(*this);
    Node* then = expression();
    expect(':');
    Node* otherwise = conditionalExpression();
    Node* node = make(NodeKind::Conditional, from);
    node->first = condition;
    node->second = then;
    node->third = otherwise;
    return nest(node, {condition, then, otherwise});
}

// logical_or_expression: logical_and_expression | logical_or_expression "||" logical_and_expression
// logical_and_expression: inclusive_or_expression | logical_and_expression "&&" inclusive_or_expression
// inclusive_or_expression: exclusive_or_expression | inclusive_or_expression "|" exclusive_or_expression
// exclusive_or_expression: and_expression | exclusive_or_expression "^" and_expression
// and_expression: equality_expression | and_expression "&" equality_expression
// equality_expression: relational_expression | equality_expression ("==" | "!=") relational_expression
// relational_expression: shift_expression | relational_expression ("<" | ">" | "<=" | ">=") shift_expression
// shift_expression: additive_expression | shift_expression ("<<" | ">>") additive_expression
// additive_expression: multiplicative_expression | additive_expression ("+" | "-") multiplicative_expression
// multiplicative_expression: unary_expression | multiplicative_expression ("*" | "/" | "%") unary_expression
// All ten levels by precedence climbing: each operator is a one-argument message named after it.
Node* Parser::binaryRest(Node* left, const SourceSpan& from, int minLevel)
{
    for (int level = binaryLevel(m_token.code); level >= minLevel; level = binaryLevel(m_token.code)) {
        const Name selector = operatorName(m_token.code);
        take();
        const SourceSpan rightFrom = m_token.span;
        Node* right = binaryRest(unaryExpression(), rightFrom, level + 1);
        left = message(selector, from, left, right);
    }
    return left;
}

// unary_expression: postfix_expression | "++" unary_expression | "--" unary_expression
//                 | "+" unary_expression | "-" unary_expression | "~" unary_expression
//                 | unary_expression name
// A name after a prefix operator's operand goes to the operand: "-x abs" is "-(x abs)".
Node* Parser::unaryExpression()
{
    const SourceSpan from = m_token.span;
    const int code = m_token.code;
    if (code == kIncrement || code == kDecrement || code == '+' || code == '-' || code == '~') {
        take();
        const Nesting nesting(*this);
        Node* operand = unaryExpression();
        if (code == '-' || code == '~')
            return message(code == '-' ? Selectors::get().negate : Selectors::get().bitComplement, from, operand,
                           nullptr);
        if (code == '+') { // its operand alone, in a sequence so that it is no assignment target
            Node* node = make(NodeKind::Sequence, from);
            node->items = operand;
            node->count = 1;
            node->height = operand->height;
            return node;
        }
        Node* node = make(code == kIncrement ? NodeKind::PreIncrement : NodeKind::PreDecrement, from);
        node->first = operand;
        return nest(node, {operand});
    }
    Node* operand = postfixExpression();
    while (m_token.code == kIdentifier) {
        const Name selector = m_token.name;
        take();
        operand = message(selector, from, operand, nullptr);
    }
    return operand;
}

// postfix_expression: primary_expression | postfix_expression "[" expression "]"
//                   | postfix_expression "." name | postfix_expression "++" | postfix_expression "--"
// ". name" leaves the expression before the dot as it is.
Node* Parser::postfixExpression()
{
    const SourceSpan from = m_token.span;
    Node* operand = primaryExpression();
    for (;;) {
        if (accept('[')) {
            Node* index = expression();
            expect(']');
            Node* node = make(NodeKind::Index, from);
            node->first = operand;
            node->second = index;
            operand = nest(node, {operand, index});
        } else if (accept('.')) {
            expect(kIdentifier);
        } else if (m_token.code == kIncrement || m_token.code == kDecrement) {
            const NodeKind kind = m_token.code == kIncrement ? NodeKind::PostIncrement : NodeKind::PostDecrement;
            take();
            Node* node = make(kind, from);
            node->first = operand;
            operand = nest(node, {operand});
        } else {
            return operand;
        }
    }
}

// primary_expression: name | "self" | "this" | "super" | literal | STRING | "(" expression ")"
//                   | "[" argument_list "]"
// argument_list: assignment_expression | argument_list "," assignment_expression
// literal: INTEGER | CHARACTER | NUMBER
Node* Parser::primaryExpression()
{
    const SourceSpan from = m_token.span;
    const Token token = m_token;
    switch (token.code) {
    case '(': {
        take();
        const Nesting nesting(*this);
        Node* inner = expression();
        expect(')');
        return inner;
    }
    case '[': {
        take();
        const Nesting nesting(*this);
        Node* elements = nullptr;
        std::uint32_t height = 0;
        std::uint32_t count = 0;
        Node** tail = &elements;
        do {
            *tail = assignmentExpression();
            height = std::max(height, (*tail)->height);
            tail = &(*tail)->next;
            ++count;
        } while (accept(','));
        expect(']');
        Node* node = make(NodeKind::ArrayLiteral, from);
        node->items = elements;
        node->count = count;
        node->height = height + 1;
        if (node->height > kMaxDepth)
            fail();
        return node;
    }
    default:
        break;
    }
    NodeKind kind = NodeKind::Identifier;
    switch (token.code) {
    case kIdentifier:
        kind = NodeKind::Identifier;
        break;
    case kSelf:
    case kThis:
        kind = NodeKind::Self;
        break;
    case kSuper:
        kind = NodeKind::Super;
        break;
    case kInteger:
        kind = NodeKind::Integer;
        break;
    case kCharacter:
        kind = NodeKind::Character;
        break;
    case kNumber:
        kind = NodeKind::Number;
        break;
    case kString:
        kind = NodeKind::String;
        break;
    default:
        fail();
    }
    take();
    Node* node = make(kind, from);
    node->name = token.name;
    node->integer = token.integer;
    node->number = token.number;
    node->character = token.character;
    return node;
}

} // namespace zeb::script
