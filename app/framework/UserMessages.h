#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace zeb::framework {

// Message boxes with the workbench's fixed texts. Everything the user is told goes through here
// so that tests and scripted runs can take the messages instead of a modal box.
class UserMessages
{
public:
    using Sink = std::function<void(const QString& text)>;

    static void setSink(Sink sink);
    // A warning box titled "ZEB500" over `parent`, or the sink's call when one is set.
    static void show(const QString& text, QWidget* parent = nullptr);
};

} // namespace zeb::framework
