// The network tests run Qt's event loop: sockets, servers and timers need
// a QCoreApplication, which gtest's own main does not make.
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
