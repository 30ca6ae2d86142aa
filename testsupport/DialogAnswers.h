#pragma once

#include "app/framework/DialogRunner.h"

#include <QDialog>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <utility>

namespace zeb::testsupport {

// Answers the workbench's modal dialogs at once, for the life of one object: each dialog that
// DialogRunner::run is given goes to the next queued answer, which may look at the dialog and
// change it (type a value, pick a file, click a button) and returns the dialog's result code.
// A dialog of another type than expected, or with no answer left, fails the test and is
// rejected, so no test ever waits on a dialog.
class DialogAnswers : public framework::DialogRunner
{
public:
    DialogAnswers() { m_before = install(this); }
    ~DialogAnswers() override
    {
        install(m_before);
        EXPECT_TRUE(m_answers.empty()) << m_answers.size() << " dialog answer(s) left unused";
    }
    DialogAnswers(const DialogAnswers&) = delete;
    DialogAnswers& operator=(const DialogAnswers&) = delete;

    // Queues the answer to the next dialog, which must be a T: `answer(T&)` returns its result.
    template <typename T, typename Answer>
    void next(Answer answer)
    {
        m_answers.push_back([answer = std::move(answer)](QDialog& dialog) {
            auto* typed = qobject_cast<T*>(&dialog);
            if (!typed) {
                ADD_FAILURE() << "expected a " << T::staticMetaObject.className() << ", the code showed a "
                              << dialog.metaObject()->className();
                return static_cast<int>(QDialog::Rejected);
            }
            return static_cast<int>(answer(*typed));
        });
    }
    // Queues `result` as the answer to the next dialog, whatever it is.
    void next(int result)
    {
        m_answers.push_back([result](QDialog&) { return result; });
    }

    // How many dialogs were run.
    int shown() const { return m_shown; }

    int exec(QDialog& dialog) override
    {
        ++m_shown;
        if (m_answers.empty()) {
            ADD_FAILURE() << "unexpected dialog " << dialog.metaObject()->className() << " \""
                          << dialog.windowTitle().toStdString() << "\"";
            return QDialog::Rejected;
        }
        auto answer = std::move(m_answers.front());
        m_answers.pop_front();
        return answer(dialog);
    }

private:
    DialogRunner* m_before = nullptr;
    std::deque<std::function<int(QDialog&)>> m_answers;
    int m_shown = 0;
};

} // namespace zeb::testsupport
