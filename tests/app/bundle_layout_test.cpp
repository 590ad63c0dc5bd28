// The program's bundle as the build lays it out and as an install leaves it.
#include "platform/bundle_info.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace vantrel {
namespace {

const QString builtProgram = QStringLiteral(VANTREL_BUILT_PROGRAM);
const QString buildDirectory = QStringLiteral(VANTREL_BUILD_DIRECTORY);
const QString cmakeCommand = QStringLiteral(VANTREL_CMAKE_COMMAND);

// Checks the bundle under root as the launcher and the desktop find it.
void expectVantrelBundleAt(const QString& root) {
    const QString bundle = QDir(root).filePath(QStringLiteral("Vantrel.app"));
    const QString program = QDir(bundle).filePath(QStringLiteral("Contents/MacOS/Vantrel"));
    const QFileInfo programInfo(program);
    ASSERT_TRUE(programInfo.isFile()) << program.toStdString();
    EXPECT_TRUE(programInfo.isExecutable());
    EXPECT_TRUE(QFileInfo(QDir(bundle).filePath(QStringLiteral("Contents/Info.plist"))).isFile());

    // What mainBundle() of the running program reads.
    const std::optional<BundleInfo> info = bundleForExecutable(program);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(QDir(info->bundlePath).canonicalPath(), QDir(bundle).canonicalPath());
    EXPECT_EQ(info->bundleIdentifier(), QStringLiteral("com.corvane.vantrel"));
    EXPECT_EQ(info->info.value(QStringLiteral("CFBundleName")).toString(),
              QStringLiteral("Vantrel"));
    EXPECT_EQ(info->info.value(QStringLiteral("CFBundleExecutable")).toString(),
              QStringLiteral("Vantrel"));
}

TEST(VantrelBundle, BuildTreeHoldsTheBundle) {
    EXPECT_EQ(
        QFileInfo(builtProgram).canonicalFilePath(),
        QFileInfo(
            QDir(buildDirectory).filePath(QStringLiteral("Vantrel.app/Contents/MacOS/Vantrel")))
            .canonicalFilePath());
    expectVantrelBundleAt(buildDirectory);
}

TEST(VantrelBundle, InstallKeepsTheLayout) {
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());

    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(cmakeCommand,
                  {QStringLiteral("--install"), buildDirectory, QStringLiteral("--prefix"),
                   prefix.path(), QStringLiteral("--component"), QStringLiteral("Vantrel")});
    ASSERT_TRUE(install.waitForFinished(60000));
    ASSERT_EQ(install.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(install.exitCode(), 0) << install.readAll().toStdString();

    // Installed, the bundle lies in a private folder and the command links to its program, which
    // still finds its bundle through the link.
    expectVantrelBundleAt(QDir(prefix.path()).filePath(QStringLiteral("lib/vantrel")));
    const QFileInfo command(QDir(prefix.path()).filePath(QStringLiteral("bin/vantrel")));
    ASSERT_TRUE(command.isSymLink());
    // Relative, so that the installed tree can be moved or packaged as it is.
    EXPECT_TRUE(std::filesystem::read_symlink(command.filePath().toStdString()).is_relative());
    const std::optional<BundleInfo> info = bundleForExecutable(command.canonicalFilePath());
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->bundleIdentifier(), QStringLiteral("com.corvane.vantrel"));
    for (const char* installed :
         {"share/applications/com.corvane.vantrel.desktop",
          "share/metainfo/com.corvane.vantrel.metainfo.xml",
          "share/icons/hicolor/scalable/apps/com.corvane.vantrel.svg",
          "share/icons/hicolor/48x48/apps/com.corvane.vantrel.png", "share/man/man1/vantrel.1.gz"})
        EXPECT_TRUE(
            QFileInfo(QDir(prefix.path()).filePath(QString::fromLatin1(installed))).isFile())
            << installed;
}

} // namespace
} // namespace vantrel
