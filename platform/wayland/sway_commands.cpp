#include "platform/wayland/sway_commands.h"

#include <QLocalSocket>
#include <QRegularExpression>

namespace vantrel {

SwayCommands::SwayCommands(QString socketPath, QObject* parent)
    : QObject(parent)
    , m_socketPath(std::move(socketPath)) {}

std::unique_ptr<SwayCommands> SwayCommands::forSession() {
    const QString socket = qEnvironmentVariable("SWAYSOCK");
    if (socket.isEmpty())
        return nullptr;
    return std::make_unique<SwayCommands>(socket);
}

std::optional<QString> SwayCommands::scratchpadCommand(const QString& appId) {
    // Criteria are regular expressions inside double quotes: only plain ids, dots escaped.
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9._-]+$"));
    if (!plain.match(appId).hasMatch())
        return std::nullopt;
    QString pattern = appId;
    pattern.replace(QLatin1Char('.'), QStringLiteral("\\."));
    return QStringLiteral("[app_id=\"^%1$\"] move scratchpad; [class=\"^%1$\"] move scratchpad")
        .arg(pattern);
}

QByteArray SwayCommands::runCommandMessage(const QString& command) {
    const QByteArray payload = command.toUtf8();
    QByteArray message("i3-ipc");
    // Length and type in the host's byte order; type 0 is RUN_COMMAND.
    const quint32 header[2] = {quint32(payload.size()), 0};
    message.append(reinterpret_cast<const char*>(header), sizeof header);
    return message + payload;
}

bool SwayCommands::moveToScratchpad(const QString& appId) {
    const std::optional<QString> command = scratchpadCommand(appId);
    if (!command)
        return false;
    auto* socket = new QLocalSocket(this);
    const QByteArray message = runCommandMessage(*command);
    connect(socket, &QLocalSocket::connected, socket,
            [socket, message] { socket->write(message); });
    // The answer (or a failure) ends the exchange.
    connect(socket, &QLocalSocket::readyRead, socket, &QLocalSocket::disconnectFromServer);
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::errorOccurred, socket, &QObject::deleteLater);
    socket->connectToServer(m_socketPath);
    return true;
}

} // namespace vantrel
