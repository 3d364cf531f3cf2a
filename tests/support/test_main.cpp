// Entry point of every test executable: a QApplication on the offscreen platform, then GoogleTest.
// Each test process gets private configuration and runtime folders, so no test can touch the
// user's settings or meet the user's virtual instruments.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir privateHome;
    if (privateHome.isValid()) {
        qputenv("XDG_CONFIG_HOME", (privateHome.path() + QStringLiteral("/config")).toLocal8Bit());
        const QString runtime = privateHome.path() + QStringLiteral("/runtime");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
