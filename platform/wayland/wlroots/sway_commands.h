#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <QObject>
#include <QString>

namespace vantrel {

// Commands to sway over its IPC socket, where the Wayland protocols fall short: sway has no
// minimised state, and hides windows in its scratchpad instead.
class SwayCommands final : public QObject {
    Q_OBJECT

public:
    explicit SwayCommands(QString socketPath, QObject* parent = nullptr);

    // Nothing outside sway (no SWAYSOCK).
    static std::unique_ptr<SwayCommands> forSession();

    // Sends every window of the app_id (native or XWayland) to the scratchpad; false when the
    // app_id cannot be named in a sway criterion safely. Never waits: moved is called later with
    // whether sway moved any window. (sway says nothing of it to Wayland clients.)
    bool moveToScratchpad(const QString& appId, std::function<void(bool moved)> moved);

    // The command, or nothing for an app_id with characters a criterion cannot carry.
    static std::optional<QString> scratchpadCommand(const QString& appId);
    // One RUN_COMMAND message of sway's i3-compatible IPC.
    static QByteArray runCommandMessage(const QString& command);
    // Whether the reply to a RUN_COMMAND message says that any of its commands succeeded;
    // nothing while it is incomplete.
    static std::optional<bool> anyCommandSucceeded(const QByteArray& reply);

private:
    QString m_socketPath;
};

} // namespace vantrel
