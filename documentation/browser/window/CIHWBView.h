#pragma once

#include <QTextBrowser>

namespace zeb::documentation {

class CIHWBDocument;

// Shows the document's address. Every file it reads (the page, its images and stylesheet) and
// every link it follows is checked against the documentation folders first; web links go to the
// desktop's browser.
class CIHWBView : public QTextBrowser
{
    Q_OBJECT

public:
    // Font sizes of the font menu, from "Smallest" to "Largest", in zoom steps around the default.
    static constexpr int kSmallestZoom = -4;
    static constexpr int kLargestZoom = 4;

    explicit CIHWBView(CIHWBDocument& document, QWidget* parent = nullptr);

    // Shows `address` (a file and an optional fragment) unless it is already shown.
    void showAddress(const QString& address);
    // Home: the introduction in the current language.
    void home() override;
    void setZoomStep(int step);
    int zoomStep() const { return m_zoom; }
    // Finds the next occurrence after the cursor, starting over from the top once; false when
    // the page does not hold the text.
    bool findText(const QString& text);
    // The framework's first showing of the window: a dialog hosting the browser is told which of
    // its commands the browser takes ("ON_ACCEPT_COMMAND": Back, then Forward).
    void initialUpdate();
    // Pages, pictures and stylesheets, from the documentation folders only.
    QVariant loadResource(int type, const QUrl& name) override;

signals:
    void notice(const QString& text);

private:
    void followLink(const QUrl& link);
    QString currentPage() const;

    CIHWBDocument& m_document;
    int m_zoom = 0;
};

} // namespace zeb::documentation
