#include "platform/freedesktop/launch_command.h"
#include "platform/process/application_identity.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using namespace Qt::StringLiterals;

// /proc/PID/cgroup as read on real sessions (user ids and random parts as they were).
const QString kGnomeNautilus = u"0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
                               u"app-gnome-org.gnome.Nautilus-3719.scope\n"_s;
const QString kGnomeEscapedChrome = u"0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
                                    u"app-gnome-google\\x2dchrome-5174.scope\n"_s;
const QString kKdeKonsoleScope = u"0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
                                 u"app-org.kde.konsole-7b2e8c5d1f0a4e3b9c6d2a1f0e9b8c7d.scope\n"_s;
const QString kKdeDolphinService =
    u"0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
    u"app-org.kde.dolphin@a3c54b1e0f6d4a8b8e2f7c9d1b0a6e5f.service\n"_s;
const QString kFlatpakFirefox = u"0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
                                u"app-flatpak-org.mozilla.firefox-2437.scope\n"_s;
const QString kSnapFirefox = u"0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
                             u"snap.firefox.firefox-3a1f3b8c-5f0b-4a8e-9c4e-2f1e0d9c8b7a.scope\n"_s;
// A hybrid hierarchy: only systemd's own line names the unit.
const QString kHybridGedit =
    u"12:pids:/user.slice/user-1000.slice/user@1000.service\n"
    u"4:memory:/user.slice/user-1000.slice/user@1000.service\n"
    u"1:name=systemd:/user.slice/user-1000.slice/user@1000.service/app.slice/"
    u"app-gnome-org.gnome.gedit-3312.scope\n"
    u"0::/user.slice/user-1000.slice/user@1000.service\n"_s;
const QString kLoginSession = u"0::/user.slice/user-1000.slice/session-2.scope\n"_s;
const QString kContainer = u"0::/\n"_s;

const QString kFirefoxFlatpakInfo = u"[Application]\n"
                                    u"name=org.mozilla.firefox\n"
                                    u"runtime=runtime/org.freedesktop.Platform/x86_64/23.08\n"
                                    u"\n"
                                    u"[Instance]\n"
                                    u"instance-id=1849363523\n"
                                    u"branch=stable\n"
                                    u"arch=x86_64\n"
                                    u"flatpak-version=1.14.4\n"
                                    u"session-bus-proxy=true\n"
                                    u"\n"
                                    u"[Context]\n"
                                    u"shared=network;ipc;\n"
                                    u"sockets=x11;wayland;pulseaudio;fallback-x11;\n"_s;

DesktopEntry entry(const QString& id, const QString& wmClass = {}, const QString& exec = {}) {
    DesktopEntry e;
    e.id = id;
    e.name = id;
    e.startupWMClass = wmClass;
    e.execProgram = exec;
    return e;
}

QStringList idsOf(const QString& cgroup) {
    QStringList ids;
    for (const UnitApplication& unit : applicationsOfCgroup(cgroup))
        ids.append(unit.id);
    return ids;
}

std::optional<QString> identified(const ProcessFacts& process, const ApplicationHints& window,
                                  const QList<DesktopEntry>& entries) {
    const std::optional<DesktopEntry> found = identifyApplication(process, window, entries);
    return found ? std::optional<QString>(found->id) : std::nullopt;
}

TEST(CgroupUnits, DesktopLaunchersNameTheApplication) {
    // A launcher's name may or may not be there, so both readings are offered, longest first.
    EXPECT_EQ(idsOf(kGnomeNautilus),
              (QStringList{u"gnome-org.gnome.Nautilus"_s, u"org.gnome.Nautilus"_s}));
    EXPECT_EQ(idsOf(kGnomeEscapedChrome),
              (QStringList{u"gnome-google-chrome"_s, u"google-chrome"_s}));
    EXPECT_EQ(idsOf(kKdeKonsoleScope), QStringList{u"org.kde.konsole"_s});
    EXPECT_EQ(idsOf(kKdeDolphinService), QStringList{u"org.kde.dolphin"_s});
    EXPECT_EQ(idsOf(kHybridGedit), (QStringList{u"gnome-org.gnome.gedit"_s, u"org.gnome.gedit"_s}));

    const QList<UnitApplication> flatpak = applicationsOfCgroup(kFlatpakFirefox);
    ASSERT_EQ(flatpak.size(), 2);
    EXPECT_EQ(flatpak.last().id, u"org.mozilla.firefox"_s);
    EXPECT_TRUE(flatpak.last().sandboxed);
    EXPECT_FALSE(applicationsOfCgroup(kGnomeNautilus).first().sandboxed);

    const QList<UnitApplication> snap = applicationsOfCgroup(kSnapFirefox);
    ASSERT_EQ(snap.size(), 1);
    EXPECT_EQ(snap.first(), (UnitApplication{u"firefox_firefox"_s, true}));
}

TEST(CgroupUnits, SnapAppNamesAndParallelInstalls) {
    // An app name with dashes and no UUID: every cut is a reading.
    EXPECT_EQ(idsOf(u"0::/user.slice/snap.my-tools.image-viewer.service\n"_s),
              (QStringList{u"my-tools_image-viewer"_s, u"my-tools_image"_s}));
    EXPECT_EQ(idsOf(u"0::/app.slice/snap.code_insiders.code-0f1e2d3c-4b5a-6978-8a9b-"
                    u"0c1d2e3f4a5b.scope\n"_s),
              QStringList{u"code+insiders_code"_s});
}

TEST(CgroupUnits, OtherUnitsAndBrokenLinesNameNothing) {
    for (const QString& cgroup :
         {kLoginSession, kContainer, QString(), u"garbage"_s, u"0::"_s, u"::::\n:\n"_s,
          u"0::/app.slice/app-.scope\n"_s, u"0::/app.slice/app-noRandom.scope\n"_s,
          u"0::/app.slice/app-gnome-x-1.slice\n"_s, u"0::/app.slice/snap..scope\n"_s,
          u"0::/app.slice/snap.onlysnap.scope\n"_s,
          u"0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
          u"app-org.gnome.Terminal.slice/vte-spawn-0b4a.scope\n"_s}) {
        EXPECT_TRUE(applicationsOfCgroup(cgroup).isEmpty()) << cgroup.toStdString();
    }
}

TEST(CgroupUnits, EscapesAreUndoneOnlyWhenWhole) {
    EXPECT_EQ(idsOf(u"0::/a/app-my\\x2dapp\\x2e1-9.scope\n"_s), QStringList{u"my-app.1"_s});
    EXPECT_EQ(idsOf(u"0::/a/app-tail\\x2-9.scope\n"_s), QStringList{u"tail\\x2"_s});
    EXPECT_EQ(idsOf(u"0::/a/app-tail\\x-9.scope\n"_s), QStringList{u"tail\\x"_s});
}

TEST(FlatpakInfo, NameOfTheApplicationGroup) {
    EXPECT_EQ(flatpakApplicationId(kFirefoxFlatpakInfo), u"org.mozilla.firefox"_s);
    EXPECT_EQ(flatpakApplicationId(u"[Runtime]\nname=org.freedesktop.Platform\n"_s), QString());
    EXPECT_EQ(flatpakApplicationId(u"name=org.example.NoGroup\n"_s), QString());
    EXPECT_EQ(flatpakApplicationId(QString()), QString());
}

TEST(LaunchCommand, WrappersAreTakenOff) {
    const auto program = [](const QString& line) { return programOfCommand(shellWords(line)); };
    // Exec lines of real entries.
    EXPECT_EQ(program(u"/usr/bin/flatpak run --branch=stable --arch=x86_64 --command=firefox "
                      u"--file-forwarding org.mozilla.firefox @@u %u @@"_s),
              u"org.mozilla.firefox"_s);
    EXPECT_EQ(program(u"env BAMF_DESKTOP_FILE_HINT=/var/lib/snapd/desktop/applications/"
                      u"firefox_firefox.desktop /snap/bin/firefox %u"_s),
              u"/snap/bin/firefox"_s);
    EXPECT_EQ(program(u"env -u QT_QPA_PLATFORM GDK_BACKEND=x11 /usr/bin/tool %F"_s),
              u"/usr/bin/tool"_s);
    EXPECT_EQ(program(u"/usr/bin/env -i -- LANG=C tool"_s), u"tool"_s);
    EXPECT_EQ(program(u"env -S 'LC_ALL=C /opt/x/run --flag'"_s), u"/opt/x/run"_s);
    EXPECT_EQ(program(u"sh -c \"exec /opt/app/bin/app --new-window\""_s), u"/opt/app/bin/app"_s);
    EXPECT_EQ(program(u"/bin/bash -lc 'GTK_THEME=Adwaita exec \"/opt/My App/run\"'"_s),
              u"/opt/My App/run"_s);
    EXPECT_EQ(program(u"env A=1 sh -c 'env B=2 flatpak run org.example.Deep'"_s),
              u"org.example.Deep"_s);
    // What is no wrapper stays as it is.
    EXPECT_EQ(program(u"/usr/bin/firefox-esr %u"_s), u"/usr/bin/firefox-esr"_s);
    EXPECT_EQ(program(u"sh /opt/script.sh"_s), u"sh"_s);
    EXPECT_EQ(program(u"flatpak run"_s), u"flatpak"_s);
    EXPECT_EQ(program(u"flatpak run --branch stable"_s), u"flatpak"_s);
}

TEST(LaunchCommand, NothingLeftGivesNothing) {
    EXPECT_EQ(programOfCommand({}), QString());
    EXPECT_EQ(programOfCommand({u"env"_s, u"A=1"_s}), QString());
    EXPECT_EQ(programOfCommand({u"sh"_s, u"-c"_s}), QString());
    EXPECT_EQ(programOfCommand({u"env"_s, u"-S"_s}), QString());
    // A line that wraps itself without end stops.
    QStringList deep;
    for (int i = 0; i < 100; ++i)
        deep.append(u"env"_s);
    deep.append(u"tool"_s);
    EXPECT_EQ(programOfCommand(deep), QString());
    EXPECT_TRUE(shellWords(u"\"unterminated"_s).isEmpty());
}

TEST(Identification, SandboxUnitsWinOverEverythingElse) {
    // The host's Firefox has the same window class as the Flatpak one.
    const QList<DesktopEntry> entries = {
        entry(u"firefox-esr"_s, u"firefox"_s, u"firefox"_s),
        entry(u"org.mozilla.firefox"_s, {}, u"org.mozilla.firefox"_s),
        entry(u"firefox_firefox"_s, {}, u"/snap/bin/firefox"_s)};
    ApplicationHints window;
    window.classInstance = u"Navigator"_s;
    window.className = u"firefox"_s;
    ProcessFacts flatpak{kFlatpakFirefox, kFirefoxFlatpakInfo, {u"/app/lib/firefox/firefox"_s}};
    EXPECT_EQ(identified(flatpak, window, entries), u"org.mozilla.firefox"_s);
    // Started outside systemd: the sandbox's own record still tells.
    flatpak.cgroup = kLoginSession;
    EXPECT_EQ(identified(flatpak, window, entries), u"org.mozilla.firefox"_s);

    const ProcessFacts snap{kSnapFirefox, {}, {u"/snap/firefox/3836/usr/lib/firefox/firefox"_s}};
    EXPECT_EQ(identified(snap, window, entries), u"firefox_firefox"_s);

    // Outside any sandbox, the window's class decides.
    const ProcessFacts host{kContainer, {}, {u"/usr/lib/firefox-esr/firefox-esr"_s}};
    EXPECT_EQ(identified(host, window, entries), u"firefox-esr"_s);
}

TEST(Identification, NamesOfNoInstalledEntryAreSkipped) {
    const QList<DesktopEntry> entries = {entry(u"org.gnome.Nautilus"_s),
                                         entry(u"files"_s, u"org.gnome.Nautilus"_s)};
    ApplicationHints window;
    window.className = u"org.gnome.Nautilus"_s;
    // "gnome-org.gnome.Nautilus" is no entry; the next reading is.
    EXPECT_EQ(identified({kGnomeNautilus, {}, {}}, {}, entries), u"org.gnome.Nautilus"_s);
    // A Flatpak record naming an application that is not installed falls through.
    EXPECT_EQ(
        identified({kContainer, u"[Application]\nname=org.example.Gone\n"_s, {}}, window, entries),
        u"files"_s);
    EXPECT_EQ(identified({kFlatpakFirefox, {}, {}}, {}, entries), std::nullopt);
}

TEST(Identification, LauncherUnitsGiveWayToTheWindowsOwnHints) {
    // Konsole's unit also holds what was started in it.
    const QList<DesktopEntry> entries = {entry(u"org.kde.konsole"_s, u"konsole"_s, u"konsole"_s),
                                         entry(u"gimp"_s, u"Gimp"_s, u"gimp"_s)};
    ApplicationHints gimp;
    gimp.classInstance = u"gimp"_s;
    gimp.className = u"Gimp"_s;
    EXPECT_EQ(identified({kKdeKonsoleScope, {}, {u"gimp"_s}}, gimp, entries), u"gimp"_s);

    ApplicationHints konsole;
    konsole.className = u"konsole"_s;
    EXPECT_EQ(identified({kKdeKonsoleScope, {}, {u"/usr/bin/konsole"_s}}, konsole, entries),
              u"org.kde.konsole"_s);
    // A window that names nothing (a script's) keeps the launcher's name, even when its command
    // line would match another entry's Exec.
    EXPECT_EQ(identified({kKdeKonsoleScope, {}, {u"gimp"_s}}, {}, entries), u"org.kde.konsole"_s);
}

TEST(Identification, CommandLineComesLast) {
    const QList<DesktopEntry> entries = {entry(u"tool"_s, {}, u"/opt/tool/bin/tool"_s)};
    EXPECT_EQ(identified({kContainer, {}, {u"/opt/tool/bin/tool"_s, u"--x"_s}}, {}, entries),
              u"tool"_s);
    // Run through a wrapper the same way the entry does.
    EXPECT_EQ(
        identified({kContainer, {}, {u"env"_s, u"A=1"_s, u"/opt/tool/bin/tool"_s}}, {}, entries),
        u"tool"_s);
    EXPECT_EQ(identified({kContainer, {}, {u"/usr/bin/other"_s}}, {}, entries), std::nullopt);
}

} // namespace
} // namespace vantrel
