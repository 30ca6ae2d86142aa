#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>

namespace zeb::terminal::testing {

// Runs `act` on the modal dialog of type T once its exec() is running; rejects whatever is up and fails
// when none appears within a few seconds, so that no test hangs.
template <typename T>
void whenModal(std::function<void(T&)> act, int attemptsLeft = 300)
{
    QTimer::singleShot(10, [act = std::move(act), attemptsLeft] {
        if (auto* widget = qobject_cast<T*>(QApplication::activeModalWidget())) {
            act(*widget);
            return;
        }
        if (attemptsLeft > 0) {
            whenModal<T>(act, attemptsLeft - 1);
            return;
        }
        ADD_FAILURE() << "no modal dialog appeared";
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->reject();
        }
    });
}

inline void writeFile(const std::string& path, std::string_view contents)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
}

} // namespace zeb::terminal::testing
