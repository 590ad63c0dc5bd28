#pragma once

#include <QIcon>
#include <QString>

namespace vantrel {

inline const QString redMinusImageName = QStringLiteral("red_minus");
inline const QString greenAddImageName = QStringLiteral("green_add");

// A named image of the application lists ("red_minus", "green_add"), drawn from its vector
// source at whatever size and pixel ratio it is asked for; the null icon for an unknown name.
QIcon listImage(const QString& name);

} // namespace vantrel
