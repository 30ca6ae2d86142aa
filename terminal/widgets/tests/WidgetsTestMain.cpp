// The terminal widget tests run in one application object, with the workbench's data folder in a
// scratch folder so that the bars read and create their dictionaries there.
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QTemporaryDir home;
    if (!home.isValid()) {
        return 1;
    }
    setenv("ZEB500_HOME", home.path().toLocal8Bit().constData(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
