#include "platform/wayland/wlroots/sway_commands.h"

#include <algorithm>
#include <cstring>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QRegularExpression>
#include <utility>

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

std::optional<bool> SwayCommands::anyCommandSucceeded(const QByteArray& reply) {
    constexpr qsizetype headerSize = 14; // "i3-ipc", length, type
    if (reply.size() < headerSize)
        return std::nullopt;
    quint32 length = 0;
    std::memcpy(&length, reply.constData() + 6, sizeof length);
    if (reply.size() < headerSize + qsizetype(length))
        return std::nullopt;
    const QJsonArray results =
        QJsonDocument::fromJson(reply.mid(headerSize, qsizetype(length))).array();
    return std::any_of(results.begin(), results.end(), [](const QJsonValue& result) {
        return result.toObject().value(QStringLiteral("success")).toBool();
    });
}

bool SwayCommands::moveToScratchpad(const QString& appId, std::function<void(bool moved)> moved) {
    const std::optional<QString> command = scratchpadCommand(appId);
    if (!command)
        return false;
    auto* socket = new QLocalSocket(this);
    const QByteArray message = runCommandMessage(*command);
    // Answered once, whether sway replies or the socket fails.
    auto answer = std::make_shared<std::function<void(bool)>>(std::move(moved));
    const auto finish = [socket, answer](bool result) {
        if (*answer)
            std::exchange(*answer, nullptr)(result);
        socket->deleteLater();
    };
    connect(socket, &QLocalSocket::connected, socket,
            [socket, message] { socket->write(message); });
    connect(socket, &QLocalSocket::readyRead, socket, [socket, finish] {
        // Peeked, not read: the reply may come in pieces.
        if (const std::optional<bool> succeeded =
                anyCommandSucceeded(socket->peek(socket->bytesAvailable())))
            finish(*succeeded);
    });
    connect(socket, &QLocalSocket::errorOccurred, socket, [finish] { finish(false); });
    connect(socket, &QLocalSocket::disconnected, socket, [finish] { finish(false); });
    socket->connectToServer(m_socketPath);
    return true;
}

} // namespace vantrel
