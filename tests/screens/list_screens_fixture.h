#pragma once

#include "tests/doubles/platform_doubles.h"

#include <gtest/gtest.h>
#include <QString>
#include <QStringList>

namespace vantrel::testing {

// The doubles with a few helpers to lay out installed and running applications.
class ListScreensTest : public ::testing::Test {
protected:
    // Installs an application in the folder (listed after the ones there) and returns its path.
    // The first copy of an identifier is the one the desktop prefers.
    QString install(const QString& identifier, const QString& name,
                    const QString& folder = QStringLiteral("/apps"));
    // An application the desktop knows but that lies in no application folder.
    QString placeOutside(const QString& identifier, const QString& name);
    void run(const QString& identifier);
    // The names the rows of a list of cells show, in order.
    template <class Screen> QStringList rowNames(const Screen& screen, int rows) const;

    PlatformDoubles doubles;
};

} // namespace vantrel::testing

#include "screens/list_widgets.h"

#include <QLabel>

namespace vantrel::testing {

template <class Screen>
QStringList ListScreensTest::rowNames(const Screen& screen, int rows) const {
    QStringList names;
    for (int row = 0; row < rows; ++row) {
        const ListAppCell* cell = screen.cellForRow(row);
        names.append(cell ? cell->lblAppName()->text() : QStringLiteral("<no cell>"));
    }
    return names;
}

} // namespace vantrel::testing
