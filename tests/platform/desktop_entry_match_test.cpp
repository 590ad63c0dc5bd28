#include "platform/freedesktop/desktop_entry_match.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using namespace Qt::StringLiterals;

DesktopEntry entry(const QString& id, const QString& wmClass = {}, const QString& exec = {},
                   bool noDisplay = false) {
    DesktopEntry e;
    e.id = id;
    e.name = id;
    e.startupWMClass = wmClass;
    e.execProgram = exec;
    e.noDisplay = noDisplay;
    return e;
}

std::optional<QString> matchedId(const ApplicationHints& hints,
                                 const QList<DesktopEntry>& entries) {
    const std::optional<DesktopEntry> match = matchDesktopEntry(hints, entries);
    return match ? std::optional<QString>(match->id) : std::nullopt;
}

TEST(DesktopEntryMatch, ApplicationIdComesFirstKdeBeforeGtk) {
    const QList<DesktopEntry> entries = {entry(u"by-class"_s, u"Tool"_s), entry(u"org.kde.tool"_s),
                                         entry(u"org.gtk.Tool"_s)};
    ApplicationHints hints;
    hints.className = u"Tool"_s;
    hints.kdeDesktopFile = u"org.kde.tool.desktop"_s; // the suffix is not part of the id
    hints.gtkApplicationId = u"org.gtk.Tool"_s;
    EXPECT_EQ(matchedId(hints, entries), u"org.kde.tool"_s);

    hints.kdeDesktopFile.clear();
    EXPECT_EQ(matchedId(hints, entries), u"org.gtk.Tool"_s);

    // An id no entry has falls through to the window class.
    hints.gtkApplicationId = u"org.unknown.App"_s;
    EXPECT_EQ(matchedId(hints, entries), u"by-class"_s);
}

TEST(DesktopEntryMatch, StartupWMClassInstanceBeforeClassAndBeforeIds) {
    ApplicationHints hints;
    hints.classInstance = u"navigator"_s;
    hints.className = u"Firefox"_s;
    const QList<DesktopEntry> entries = {entry(u"navigator"_s),
                                         entry(u"firefox-esr"_s, u"Firefox"_s),
                                         entry(u"firefox-nav"_s, u"navigator"_s)};
    EXPECT_EQ(matchedId(hints, entries), u"firefox-nav"_s);

    // Without an instance match the class's StartupWMClass still beats an id equal to the instance.
    EXPECT_EQ(matchedId(hints, {entries[0], entries[1]}), u"firefox-esr"_s);
}

TEST(DesktopEntryMatch, StartupWMClassIsExactAndPrefersShownEntriesThenFolderOrder) {
    ApplicationHints hints;
    hints.className = u"Tool"_s;
    EXPECT_FALSE(matchedId(hints, {entry(u"a"_s, u"tool"_s)}).has_value());

    const QList<DesktopEntry> entries = {entry(u"hidden"_s, u"Tool"_s, {}, true),
                                         entry(u"user-copy"_s, u"Tool"_s),
                                         entry(u"system-copy"_s, u"Tool"_s)};
    EXPECT_EQ(matchedId(hints, entries), u"user-copy"_s);
    EXPECT_EQ(matchedId(hints, {entries[0]}), u"hidden"_s);
}

TEST(DesktopEntryMatch, WindowClassAsIdAsItIsThenCanonical) {
    ApplicationHints hints;
    hints.classInstance = u"Google Chrome"_s;
    hints.className = u"Google-chrome"_s;
    EXPECT_EQ(matchedId(hints, {entry(u"google-chrome"_s)}), u"google-chrome"_s);
    // The instance, even lower-cased, comes before the class as it is.
    EXPECT_EQ(matchedId(hints, {entry(u"Google-chrome"_s), entry(u"google-chrome"_s)}),
              u"google-chrome"_s);

    // A reverse-domain id matches as it is, with its capitals.
    ApplicationHints gtkStyle;
    gtkStyle.classInstance = u"org.example.Viewer"_s;
    gtkStyle.className = u"Org.example.Viewer"_s;
    EXPECT_EQ(matchedId(gtkStyle, {entry(u"org.example.viewer"_s), entry(u"org.example.Viewer"_s)}),
              u"org.example.Viewer"_s);
}

TEST(DesktopEntryMatch, PlainQtProgramIsFoundThroughItsCommandLine) {
    // Qt sets WM_CLASS to the executable's base name and no application id.
    ApplicationHints hints;
    hints.classInstance = u"notes"_s;
    hints.className = u"notes"_s;
    hints.commandLine = {u"/opt/notes/bin/notes"_s};

    EXPECT_EQ(matchedId(hints, {entry(u"org.example.Other"_s, {}, u"notes-helper"_s),
                                entry(u"org.example.Notes"_s, {}, u"/opt/notes/bin/notes"_s)}),
              u"org.example.Notes"_s);
    EXPECT_EQ(matchedId(hints, {entry(u"org.example.Notes"_s, {}, u"notes"_s)}),
              u"org.example.Notes"_s);
    // The full path is preferred over a base-name match that comes first in folder order.
    EXPECT_EQ(matchedId(hints, {entry(u"by-name"_s, {}, u"notes"_s),
                                entry(u"by-path"_s, {}, u"/opt/notes/bin/notes"_s)}),
              u"by-path"_s);
    // Exec with a path, program started from $PATH.
    hints.commandLine = {u"notes"_s};
    EXPECT_EQ(matchedId(hints, {entry(u"org.example.Notes"_s, {}, u"/usr/bin/notes"_s)}),
              u"org.example.Notes"_s);
}

TEST(DesktopEntryMatch, NothingKnownMatchesNothing) {
    const QList<DesktopEntry> entries = {entry(u"empty"_s), entry(u"tool"_s, u"Tool"_s, u"tool"_s)};
    EXPECT_FALSE(matchedId(ApplicationHints{}, entries).has_value());

    ApplicationHints hints;
    hints.className = u"Other"_s;
    hints.commandLine = {u"/usr/bin/other"_s};
    EXPECT_FALSE(matchedId(hints, entries).has_value());
    EXPECT_FALSE(matchedId(hints, {}).has_value());
}

} // namespace
} // namespace vantrel
