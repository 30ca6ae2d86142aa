#pragma once

#include <QIcon>
#include <QString>

class QMenuBar;
class QMenu;

namespace zeb::language {
class ResourceLibrary;
}

namespace zeb::language {

// The user-interface side of the language library in use: texts, icons and menus for widgets.
// The application sets the library once it has chosen the language; until then, and for
// anything the library does not hold, texts are empty and icons null.
class Resources
{
public:
    // The library whose resources are shown; none clears it. Not owned.
    static void setLibrary(const ResourceLibrary* library);
    static const ResourceLibrary* library();

    // A string resource by number.
    static QString string(unsigned id);
    // Any text by name (see LanguageResources.h); `fallback` when absent.
    static QString text(const char* name, const QString& fallback = {});
    // "<dialog>/<control>".
    static QString control(const char* dialog, unsigned control, const QString& fallback = {});
    static QIcon icon(const char* name);
    static QPixmap pixmap(const char* name);
    // Fills `bar` from "MENU/<id>", replacing what it held: each item becomes an action whose
    // data is its command id (an int) and whose shortcut is the part of the label after a tab;
    // RECENT becomes a separator action named "recentFiles", before which the frame inserts the
    // recently-used files. Returns false (bar left empty) when the library holds no such menu.
    static bool buildMenu(unsigned id, QMenuBar& bar);
};

} // namespace zeb::language
