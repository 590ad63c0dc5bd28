#include "platform/desktop_entry.h"
#include "platform/freedesktop/desktop_entry_reader.h"
#include "tests/platform/xdg_environment.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>

using namespace vantrel;
using vantrel::testing::ScopedEnvironment;

namespace {

const QByteArray kCalculator = "[Desktop Entry]\n"
                               "Type=Application\n"
                               "Name=Calculator\n"
                               "Name[de]=Taschenrechner\n"
                               "Icon=accessories-calculator\n"
                               "StartupWMClass=gnome-calculator\n"
                               "Exec=gnome-calculator %U\n";

QByteArray application(const QByteArray& name, const QByteArray& extra = {}) {
    return "[Desktop Entry]\nType=Application\nName=" + name + "\n" + extra;
}

class DesktopEntries : public ::testing::Test {
protected:
    QString folder(const QString& name) {
        const QString path = m_root.filePath(name);
        EXPECT_TRUE(QDir().mkpath(path));
        return path;
    }
    static void write(const QString& folder, const QString& name, const QByteArray& bytes) {
        QFile file(QDir(folder).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QStringList ids(const QList<DesktopEntry>& entries) {
        QStringList result;
        for (const DesktopEntry& entry : entries)
            result.append(entry.id);
        return result;
    }
    static DesktopEntry only(const QString& folder, const QString& name, const QByteArray& bytes) {
        write(folder, name, bytes);
        const DesktopFileReading reading = readDesktopFile(QDir(folder).filePath(name));
        EXPECT_EQ(reading.kind, DesktopFileReading::Kind::Application) << bytes.toStdString();
        return reading.entry;
    }

    QTemporaryDir m_root;
    ScopedEnvironment m_environment;
};

} // namespace

TEST_F(DesktopEntries, ApplicationFoldersFollowTheBaseDirectoryRules) {
    m_environment.set("HOME", "/home/someone");
    m_environment.unset("XDG_DATA_HOME");
    m_environment.unset("XDG_DATA_DIRS");
    // Flatpak's and Snap's exports come last where the variable lacks them.
    const QStringList exports{QStringLiteral("/var/lib/flatpak/exports/share/applications"),
                              QStringLiteral("/var/lib/snapd/desktop/applications")};
    const QStringList defaults =
        QStringList{
            QStringLiteral("/home/someone/.local/share/applications"),
            QStringLiteral("/usr/local/share/applications"),
            QStringLiteral("/usr/share/applications"),
            QStringLiteral("/home/someone/.local/share/flatpak/exports/share/applications")} +
        exports;
    EXPECT_EQ(applicationFolders(), defaults);

    m_environment.set("XDG_DATA_HOME", "");
    m_environment.set("XDG_DATA_DIRS", "");
    EXPECT_EQ(applicationFolders(), defaults) << "empty counts as unset";
    m_environment.set("XDG_DATA_HOME", "relative/share");
    m_environment.set("XDG_DATA_DIRS", "::relative:");
    EXPECT_EQ(applicationFolders(), defaults) << "relative paths are ignored";

    m_environment.set("XDG_DATA_HOME", "/data/home/");
    m_environment.set("XDG_DATA_DIRS", "/opt/b:rel::/opt/a/:/opt/b/:/data/home");
    EXPECT_EQ(
        applicationFolders(),
        (QStringList{QStringLiteral("/data/home/applications"),
                     QStringLiteral("/opt/b/applications"), QStringLiteral("/opt/a/applications"),
                     QStringLiteral("/data/home/flatpak/exports/share/applications")} +
         exports));

    // Where the session's login scripts added them, they keep their place.
    m_environment.set("XDG_DATA_DIRS",
                      "/var/lib/snapd/desktop:/usr/share:/var/lib/flatpak/exports/share/:"
                      "/data/home/flatpak/exports/share");
    EXPECT_EQ(applicationFolders(),
              (QStringList{QStringLiteral("/data/home/applications"),
                           QStringLiteral("/var/lib/snapd/desktop/applications"),
                           QStringLiteral("/usr/share/applications"),
                           QStringLiteral("/var/lib/flatpak/exports/share/applications"),
                           QStringLiteral("/data/home/flatpak/exports/share/applications")}));
}

TEST_F(DesktopEntries, ReadsWhatTheEntrySays) {
    m_environment.set("LANGUAGE", "fr");
    const QString apps = folder(QStringLiteral("apps"));
    const DesktopEntry entry =
        only(apps, QStringLiteral("org.gnome.Calculator.desktop"), kCalculator);
    EXPECT_EQ(entry.id, QStringLiteral("org.gnome.Calculator"));
    EXPECT_EQ(entry.path, QDir(apps).filePath(QStringLiteral("org.gnome.Calculator.desktop")));
    EXPECT_EQ(entry.name, QStringLiteral("Calculator"));
    EXPECT_EQ(entry.icon, QStringLiteral("accessories-calculator"));
    EXPECT_EQ(entry.startupWMClass, QStringLiteral("gnome-calculator"));
    EXPECT_EQ(entry.execProgram, QStringLiteral("gnome-calculator"));
    EXPECT_FALSE(entry.noDisplay);

    EXPECT_TRUE(
        only(apps, QStringLiteral("n.desktop"), application("N", "NoDisplay=true\n")).noDisplay);
    const DesktopEntry bare =
        only(apps, QStringLiteral("bare.desktop"), "[Desktop Entry]\nType=Application\n");
    EXPECT_TRUE(bare.name.isEmpty());
    EXPECT_TRUE(bare.icon.isEmpty());
    EXPECT_TRUE(bare.execProgram.isEmpty());
}

TEST_F(DesktopEntries, NameFollowsTheUsersLanguage) {
    const QString apps = folder(QStringLiteral("apps"));
    write(apps, QStringLiteral("calc.desktop"), kCalculator);
    const QString path = QDir(apps).filePath(QStringLiteral("calc.desktop"));
    m_environment.set("LANGUAGE", "de");
    EXPECT_EQ(readDesktopFile(path).entry.name, QStringLiteral("Taschenrechner"));
    m_environment.set("LANGUAGE", "de_AT");
    EXPECT_EQ(readDesktopFile(path).entry.name, QStringLiteral("Taschenrechner"));
    m_environment.set("LANGUAGE", "ja");
    EXPECT_EQ(readDesktopFile(path).entry.name, QStringLiteral("Calculator"));
}

TEST_F(DesktopEntries, ExecProgramHasItsQuotingUndone) {
    const QString apps = folder(QStringLiteral("apps"));
    const auto program = [&](const QByteArray& exec) {
        return only(apps, QStringLiteral("e.desktop"), application("E", "Exec=" + exec + "\n"))
            .execProgram;
    };
    EXPECT_EQ(program(R"("/opt/My App/bin/run" --new-window %U)"),
              QStringLiteral("/opt/My App/bin/run"));
    // The key file's own escape first (\\ is one backslash), then the quoting of the command.
    EXPECT_EQ(program(R"("/opt/a \\"q\\" \\$HOME" %f)"), QStringLiteral("/opt/a \"q\" $HOME"));
    EXPECT_EQ(program(R"(my\sprog --x)"), QStringLiteral("my"));
    // What the line starts, not its wrapper: a Snap entry's Exec runs env first.
    EXPECT_EQ(program("env BAMF_DESKTOP_FILE_HINT=/var/lib/snapd/desktop/applications/"
                      "firefox_firefox.desktop /snap/bin/firefox %u"),
              QStringLiteral("/snap/bin/firefox"));
    EXPECT_EQ(program("   spaced   "), QStringLiteral("spaced"));
    EXPECT_EQ(program(R"("unterminated)"), QString()) << "the entry stays, without a program";
}

TEST_F(DesktopEntries, FolderGivesItsApplicationsOnlyByName) {
    const QString apps = folder(QStringLiteral("apps"));
    write(apps, QStringLiteral("b.desktop"), application("B"));
    write(apps, QStringLiteral("a.desktop"), application("A"));
    write(apps, QStringLiteral("link.desktop"), "[Desktop Entry]\nType=Link\nURL=http://x/\n");
    write(apps, QStringLiteral("hidden.desktop"), application("H", "Hidden=true\n"));
    write(apps, QStringLiteral("nogroup.desktop"), "[Other]\nType=Application\n");
    write(apps, QStringLiteral("garbage.desktop"), QByteArray("\x00\xff\xfe[[[\n=\n", 10));
    write(apps, QStringLiteral("empty.desktop"), {});
    write(apps, QStringLiteral("notes.txt"), application("T"));
    write(apps, QStringLiteral(".secret.desktop"), application("S"));
    write(apps, QStringLiteral(".desktop"), application("Nameless"));
    write(apps, QStringLiteral("badutf8.desktop"), application("\xff\xfe"));
    write(apps, QStringLiteral("huge.desktop"), application("Huge") + QByteArray(2 << 20, '#'));
    write(folder(QStringLiteral("apps/sub")), QStringLiteral("inner.desktop"), application("I"));
    ASSERT_TRUE(QDir().mkpath(QDir(apps).filePath(QStringLiteral("dir.desktop"))));
    ASSERT_TRUE(QFile::link(QDir(apps).filePath(QStringLiteral("a.desktop")),
                            QDir(apps).filePath(QStringLiteral("c.desktop"))));
    ASSERT_TRUE(QFile::link(QDir(apps).filePath(QStringLiteral("gone")),
                            QDir(apps).filePath(QStringLiteral("dangling.desktop"))));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"),
                            QDir(apps).filePath(QStringLiteral("zero.desktop"))));
    ASSERT_EQ(
        ::mkfifo(QFile::encodeName(QDir(apps).filePath(QStringLiteral("fifo.desktop"))), 0600), 0);

    const QList<DesktopEntry> entries = readDesktopEntries(apps);
    EXPECT_EQ(ids(entries), (QStringList{QStringLiteral("a"), QStringLiteral("b"),
                                         QStringLiteral("badutf8"), QStringLiteral("c")}));
    EXPECT_EQ(entries[3].name, QStringLiteral("A")) << "a link reads its target";
    EXPECT_TRUE(entries[2].name.isEmpty()) << "a name that is not UTF-8 is no name";

    EXPECT_EQ(readDesktopFile(QDir(apps).filePath(QStringLiteral("hidden.desktop"))).kind,
              DesktopFileReading::Kind::Hidden);
    EXPECT_TRUE(readDesktopEntries(m_root.filePath(QStringLiteral("missing"))).isEmpty());
}

TEST_F(DesktopEntries, EarlierFoldersHideAndComeFirst) {
    const QString home = folder(QStringLiteral("home"));
    const QString system = folder(QStringLiteral("system"));
    write(home, QStringLiteral("both.desktop"), application("Mine"));
    write(home, QStringLiteral("gone.desktop"), application("Gone", "Hidden=true\n"));
    write(home, QStringLiteral("broken.desktop"), "not a key file");
    write(system, QStringLiteral("both.desktop"), application("Theirs"));
    write(system, QStringLiteral("gone.desktop"), application("Gone"));
    write(system, QStringLiteral("broken.desktop"), application("Fine"));
    write(system, QStringLiteral("z.desktop"), application("Z", "Hidden=true\n"));
    const QString later = folder(QStringLiteral("later"));
    write(later, QStringLiteral("z.desktop"), application("Z"));

    const QStringList folders{home, m_root.filePath(QStringLiteral("missing")), system, later};
    const QList<DesktopEntry> entries = readDesktopEntries(folders);
    EXPECT_EQ(ids(entries), (QStringList{QStringLiteral("both"), QStringLiteral("both"),
                                         QStringLiteral("broken")}));
    EXPECT_EQ(entries[0].name, QStringLiteral("Mine"));
    EXPECT_EQ(entries[1].name, QStringLiteral("Theirs"));

    EXPECT_EQ(findDesktopEntry(QStringLiteral("both"), folders)->name, QStringLiteral("Mine"));
    EXPECT_EQ(findDesktopEntry(QStringLiteral("broken"), folders)->name, QStringLiteral("Fine"));
    EXPECT_FALSE(findDesktopEntry(QStringLiteral("gone"), folders));
    EXPECT_FALSE(findDesktopEntry(QStringLiteral("z"), folders));
    EXPECT_FALSE(findDesktopEntry(QStringLiteral("absent"), folders));
    for (const QString& bad : {QString(), QStringLiteral("../system/both"), QStringLiteral("sub/x"),
                               QStringLiteral(".hidden")})
        EXPECT_FALSE(findDesktopEntry(bad, folders)) << bad.toStdString();
}

TEST_F(DesktopEntries, MenusOfferOnlyWhatAUserWouldPickHere) {
    const QString apps = folder(QStringLiteral("apps"));
    const auto offered = [&](const QByteArray& extra, const QStringList& desktops) {
        const DesktopEntry entry = only(apps, QStringLiteral("x.desktop"), application("X", extra));
        return isOfferedInMenus(entry, desktops, [](const QString& program) {
            return program == QStringLiteral("installed");
        });
    };
    const QStringList xfce{QStringLiteral("XFCE")};
    const QStringList ubuntuGnome{QStringLiteral("ubuntu"), QStringLiteral("GNOME")};

    EXPECT_TRUE(offered({}, xfce));
    EXPECT_FALSE(offered("NoDisplay=true\n", xfce));
    EXPECT_FALSE(offered("Terminal=true\n", xfce));
    EXPECT_TRUE(offered("Terminal=false\n", xfce));

    // Another desktop's settings panel.
    EXPECT_FALSE(offered("OnlyShowIn=GNOME;Unity;\n", xfce));
    EXPECT_TRUE(offered("OnlyShowIn=GNOME;Unity;\n", ubuntuGnome)) << "any desktop of the list";
    EXPECT_FALSE(offered("OnlyShowIn=GNOME;\n", {})) << "no current desktop";
    EXPECT_FALSE(offered("OnlyShowIn=gnome;\n", ubuntuGnome)) << "names are exact";
    EXPECT_FALSE(offered("NotShowIn=KDE;XFCE;\n", xfce));
    EXPECT_TRUE(offered("NotShowIn=KDE;\n", xfce));
    EXPECT_TRUE(offered("NotShowIn=KDE;\n", {}));

    EXPECT_TRUE(offered("TryExec=installed\n", xfce));
    EXPECT_FALSE(offered("TryExec=missing\n", xfce));

    const DesktopEntry nameless =
        only(apps, QStringLiteral("n.desktop"), "[Desktop Entry]\nType=Application\nName=  \n");
    EXPECT_FALSE(isOfferedInMenus(nameless, xfce, [](const QString&) { return true; }));
}

TEST_F(DesktopEntries, TryExecIsLookedForOnThePath) {
    const QString bin = folder(QStringLiteral("bin"));
    write(bin, QStringLiteral("tool"), "#!/bin/sh\n");
    write(bin, QStringLiteral("plain"), "not executable\n");
    ASSERT_EQ(
        ::chmod(QFile::encodeName(QDir(bin).filePath(QStringLiteral("tool"))).constData(), 0755),
        0);
    m_environment.set("PATH", QFile::encodeName(bin));
    EXPECT_TRUE(isInstalledProgram(QStringLiteral("tool")));
    EXPECT_TRUE(isInstalledProgram(QDir(bin).filePath(QStringLiteral("tool"))));
    EXPECT_FALSE(isInstalledProgram(QStringLiteral("plain")));
    EXPECT_FALSE(isInstalledProgram(QDir(bin).filePath(QStringLiteral("plain"))));
    EXPECT_FALSE(isInstalledProgram(QStringLiteral("absent")));
    EXPECT_FALSE(isInstalledProgram(bin));
    EXPECT_FALSE(isInstalledProgram({}));
}

TEST_F(DesktopEntries, HandAddedFilesAnswerForIdsNoFolderHas) {
    const QString apps = folder(QStringLiteral("apps"));
    const QString desk = folder(QStringLiteral("Desktop"));
    write(apps, QStringLiteral("shared.desktop"), application("Installed"));
    write(desk, QStringLiteral("shared.desktop"), application("Mine"));
    write(desk, QStringLiteral("Tool.DESKTOP"), application("Tool"));
    write(desk, QStringLiteral("link.desktop"), "[Desktop Entry]\nType=Link\nURL=x\n");
    const QStringList handAddedFiles{QDir(desk).filePath(QStringLiteral("shared.desktop")),
                                     QDir(desk).filePath(QStringLiteral("link.desktop")),
                                     QDir(desk).filePath(QStringLiteral("Tool.DESKTOP")),
                                     QDir(desk).filePath(QStringLiteral("missing.desktop")),
                                     QStringLiteral("/")};
    const auto handAdded = [&handAddedFiles] { return handAddedFiles; };

    EXPECT_EQ(findDesktopEntry(QStringLiteral("shared"), {apps}, handAdded)->name,
              QStringLiteral("Installed"))
        << "an installed copy comes first";
    const std::optional<DesktopEntry> tool =
        findDesktopEntry(QStringLiteral("Tool"), {apps}, handAdded);
    ASSERT_TRUE(tool.has_value()) << "any letter case of the suffix";
    EXPECT_EQ(tool->path, QDir(desk).filePath(QStringLiteral("Tool.DESKTOP")));
    EXPECT_FALSE(findDesktopEntry(QStringLiteral("link"), {apps}, handAdded).has_value());
    EXPECT_FALSE(findDesktopEntry(QStringLiteral("missing"), {apps}, handAdded).has_value());
    EXPECT_FALSE(findDesktopEntry(QString(), {apps}, handAdded).has_value());

    EXPECT_EQ(ids(readDesktopFiles(handAddedFiles)),
              (QStringList{QStringLiteral("shared"), QStringLiteral("Tool")}));
}
