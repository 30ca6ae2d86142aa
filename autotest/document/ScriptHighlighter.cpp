#include "autotest/document/ScriptHighlighter.h"

#include "autotest/core/ScriptColouring.h"

namespace zeb::autotest {
namespace {

// Block states: whether a block ends inside a block comment.
constexpr int kOutsideComment = 0;
constexpr int kInsideComment = 1;

} // namespace

ScriptHighlighter::ScriptHighlighter(QTextDocument* document)
    : QSyntaxHighlighter(document)
{
    m_reserved.setForeground(QColor(0x00, 0x00, 0xA0));
    m_reserved.setFontWeight(QFont::Bold);
    m_literal.setForeground(QColor(0xA0, 0x30, 0x00));
    m_comment.setForeground(QColor(0x00, 0x80, 0x00));
    m_comment.setFontItalic(true);
}

void ScriptHighlighter::highlightBlock(const QString& text)
{
    bool inComment = previousBlockState() == kInsideComment;
    const std::u16string_view line(reinterpret_cast<const char16_t*>(text.utf16()),
                                   static_cast<std::size_t>(text.size()));
    for (const ScriptColouring::Span& span : ScriptColouring::line(line, inComment)) {
        const QTextCharFormat& format = span.kind == ScriptColouring::Kind::Reserved ? m_reserved
            : span.kind == ScriptColouring::Kind::Literal                            ? m_literal
                                                                                     : m_comment;
        setFormat(static_cast<int>(span.start), static_cast<int>(span.length), format);
    }
    setCurrentBlockState(inComment ? kInsideComment : kOutsideComment);
}

} // namespace zeb::autotest
