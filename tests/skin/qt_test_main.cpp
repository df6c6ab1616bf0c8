// The Qt tests need one application object for the whole run, made before any widget or pixmap.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef VORNAK_TEST_SCALE_FACTOR
    // A screen of another scale; it must be set before the application object reads it.
    qputenv("QT_SCALE_FACTOR", VORNAK_TEST_SCALE_FACTOR);
#endif
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    return RUN_ALL_TESTS();
}
