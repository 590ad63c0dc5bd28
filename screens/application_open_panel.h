#pragma once

#include <functional>
#include <optional>
#include <QString>
#include <QStringList>

class QFileDialog;

namespace vantrel {

// Asks the user for applications to add by hand, starting in startFolder (the panel's own
// choice when empty); the chosen paths in order, or nothing when the user cancelled.
using ApplicationOpenPanel = std::function<std::optional<QStringList>(const QString& startFolder)>;

// The desktop's open panel: several desktop entries may be chosen, folders can be opened but
// not chosen, and no folder can be made.
std::optional<QStringList> runApplicationOpenPanel(const QString& startFolder);

// The panel's filter: desktop entries whatever the letter case of their suffix, and folders.
void configureApplicationFilter(QFileDialog& panel);

} // namespace vantrel
