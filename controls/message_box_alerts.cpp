#include "controls/message_box_alerts.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <utility>

namespace vantrel {
namespace {

const QString cancelTitle = QStringLiteral("Cancel");

void applyStyle(QMessageBox& box, AlertStyle style) {
    if (style == AlertStyle::Critical) {
        box.setIcon(QMessageBox::Critical);
        return;
    }
    // Warnings and information show the program's own icon, as the desktop's alerts do.
    const QIcon programIcon = QGuiApplication::windowIcon();
    if (programIcon.isNull()) {
        box.setIcon(QMessageBox::NoIcon);
    } else {
        box.setIconPixmap(programIcon.pixmap(64, 64));
    }
}

// The window the alert answers for: the active one, unless that is a popup, which closes as the
// alert opens.
QWindow* alertOwner() {
    QWidget* active = QApplication::activeWindow();
    if (active == nullptr || active->windowType() == Qt::Popup)
        return nullptr;
    return active->windowHandle();
}

} // namespace

int MessageBoxAlerts::runModal(const AlertRequest& request) {
    QMessageBox box;
    box.setWindowTitle(QGuiApplication::applicationDisplayName());
    // Modal to the window it answers for, not to the whole program: a lock window that comes up
    // meanwhile must still take the password.
    box.setWindowModality(Qt::WindowModal);
    box.winId();
    if (QWindow* owner = alertOwner())
        box.windowHandle()->setTransientParent(owner);
    box.setText(request.messageText);
    box.setInformativeText(request.informativeText);
    box.setTextFormat(Qt::PlainText);
    applyStyle(box, request.style);

    const QStringList titles =
        request.buttonTitles.isEmpty() ? QStringList{QStringLiteral("OK")} : request.buttonTitles;
    QList<QPushButton*> buttons;
    for (qsizetype index = 0; index < titles.size(); ++index) {
        const QString& title = titles.at(index);
        // Roles only place the buttons; the action role keeps Escape from answering with a
        // button that does not mean "cancel".
        const QMessageBox::ButtonRole role = index == 0             ? QMessageBox::AcceptRole
                                             : title == cancelTitle ? QMessageBox::RejectRole
                                                                    : QMessageBox::ActionRole;
        buttons.append(box.addButton(title, role));
    }
    box.setDefaultButton(buttons.first());
    if (buttons.size() == 1)
        box.setEscapeButton(buttons.first());

    if (m_nextAnswer) {
        // Runs inside the modal loop, as soon as the box is up.
        QTimer::singleShot(0, &box,
                           [&box, answer = std::exchange(m_nextAnswer, {})] { answer(box); });
    }
    box.exec();

    const auto pressed = buttons.indexOf(box.clickedButton());
    // Closed without a button (only possible with an escape button): that button's answer.
    const auto answered = pressed >= 0 ? pressed : buttons.indexOf(box.escapeButton());
    return FirstButtonReturn + static_cast<int>(answered >= 0 ? answered : 0);
}

void MessageBoxAlerts::setNextAnswer(std::function<void(QMessageBox&)> answer) {
    m_nextAnswer = std::move(answer);
}

} // namespace vantrel
