#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    // The window tests need no screen; test discovery at build time runs without one too.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumaref"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
