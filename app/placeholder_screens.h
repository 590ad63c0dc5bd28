#pragma once

#include <QWidget>

namespace vantrel {

// Stand-ins for the home and add-applications screens until the real ones are registered under
// "HomeViewController" and "AddAppViewController". They only name the screen.
class PlaceholderScreen : public QWidget {
    Q_OBJECT

public:
    PlaceholderScreen(const QString& title, QWidget* parent = nullptr);
};

class PlaceholderHomeViewController final : public PlaceholderScreen {
    Q_OBJECT

public:
    explicit PlaceholderHomeViewController(QWidget* parent = nullptr);
};

class PlaceholderAddAppViewController final : public PlaceholderScreen {
    Q_OBJECT

public:
    explicit PlaceholderAddAppViewController(QWidget* parent = nullptr);
};

// Registers the two stand-ins; the real screens' registration replaces this call.
void registerPlaceholderScreens();

} // namespace vantrel
