#include "app/language/qt/Resources.h"

#include "app/language/MenuParser.h"
#include "app/language/ResourceLibrary.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>

#include <string>
#include <vector>

namespace zeb::language {

namespace {

const ResourceLibrary* g_library = nullptr;

} // namespace

void Resources::setLibrary(const ResourceLibrary* library)
{
    g_library = library;
}

const ResourceLibrary* Resources::library()
{
    return g_library;
}

QString Resources::string(unsigned id)
{
    const char* value = g_library ? g_library->string(id) : nullptr;
    return value ? QString::fromUtf8(value) : QString();
}

QString Resources::text(const char* name, const QString& fallback)
{
    const char* value = g_library ? g_library->text(name) : nullptr;
    return value ? QString::fromUtf8(value) : fallback;
}

QString Resources::control(const char* dialog, unsigned control, const QString& fallback)
{
    const std::string name = std::string(dialog ? dialog : "") + "/" + std::to_string(control);
    return text(name.c_str(), fallback);
}

QPixmap Resources::pixmap(const char* name)
{
    const char* const* lines = g_library ? g_library->icon(name) : nullptr;
    return lines ? QPixmap(lines) : QPixmap();
}

QIcon Resources::icon(const char* name)
{
    const QPixmap image = pixmap(name);
    return image.isNull() ? QIcon() : QIcon(image);
}

bool Resources::buildMenu(unsigned id, QMenuBar& bar)
{
    bar.clear();
    const std::string name = "MENU/" + std::to_string(id);
    const char* text = g_library ? g_library->text(name.c_str()) : nullptr;
    if (!text)
        return false;

    // The parser guarantees proper nesting, so the stack never underflows.
    std::vector<QMenu*> open;
    for (const MenuLine& line : MenuParser::parse(text)) {
        QWidget* parent = open.empty() ? static_cast<QWidget*>(&bar) : open.back();
        switch (line.kind) {
        case MenuLine::Kind::Popup:
            open.push_back(open.empty() ? bar.addMenu(QString::fromStdString(line.label))
                                        : open.back()->addMenu(QString::fromStdString(line.label)));
            break;
        case MenuLine::Kind::End:
            open.pop_back();
            break;
        case MenuLine::Kind::Item: {
            auto* action = new QAction(QString::fromStdString(line.label), parent);
            action->setData(static_cast<int>(line.command));
            if (!line.shortcut.empty())
                action->setShortcut(QKeySequence(QString::fromStdString(line.shortcut)));
            parent->addAction(action);
            break;
        }
        case MenuLine::Kind::Separator:
        case MenuLine::Kind::Recent: {
            // The recently-used files are inserted before their place-holder by the frame;
            // as a separator it shows nothing while the list is empty (QMenu collapses it).
            auto* action = new QAction(parent);
            action->setSeparator(true);
            if (line.kind == MenuLine::Kind::Recent)
                action->setObjectName(QStringLiteral("recentFiles"));
            parent->addAction(action);
            break;
        }
        }
    }
    return true;
}

} // namespace zeb::language
