#include <QCoreApplication>
#include <gtest/gtest.h>

// Widget-free tests that need an event loop on the main thread, as the
// user-interface thread of the program has.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
