#pragma once

#include "app/connection/qt/CIHSTPage.h"
#include "app/framework/FileChooser.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QLineEdit;
class QPushButton;

namespace zeb::connection {

// File: the path, typed or chosen with the file chooser. The sheet's letters give the chooser's mode:
// writing when they hold a "w", reading otherwise.
class CIHSTFilePage final : public CIHSTPage
{
    Q_OBJECT

public:
    static constexpr const char* kDialog = "IDD_STREAM_FILE";
    static constexpr unsigned kPath = 1019;
    static constexpr unsigned kBrowse = 1020;

    // The chooser the browse button runs; FileChooser::choose unless replaced (tests).
    using Chooser = std::function<bool(QWidget* parent, const QString& title, std::string& path,
                                       framework::FileChooser::Mode mode,
                                       const std::vector<framework::FileChooser::Filter>& filters)>;

    CIHSTFilePage(stream::StreamAddress& record, std::string_view letters, QWidget* parent = nullptr);

    QString caption() const override;
    bool exchange() override;

    void setChooser(Chooser chooser) { m_chooser = std::move(chooser); }
    framework::FileChooser::Mode mode() const;
    // The browse button: on OK the chosen path becomes the record's path and the field shows it.
    void browse();

    QLineEdit* pathEdit() const { return m_path; }
    QPushButton* browseButton() const { return m_browse; }

protected:
    void fill() override;

private:
    QLineEdit* m_path;
    QPushButton* m_browse;
    std::string m_letters;
    Chooser m_chooser;
};

} // namespace zeb::connection
