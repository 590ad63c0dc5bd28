#include "platform/x11/x11_model.h"

namespace vantrel::x11 {

WindowKind windowKindFromTypes(const QList<std::optional<WindowKind>>& typesInPreferenceOrder,
                               bool transient) {
    for (const std::optional<WindowKind>& type : typesInPreferenceOrder) {
        if (type.has_value()) {
            return *type;
        }
    }
    return transient ? WindowKind::Dialog : WindowKind::Normal;
}

QMap<ApplicationKey, ApplicationWindows>
windowsByApplication(const QList<ClientWindow>& clientsInMappingOrder) {
    QMap<ApplicationKey, ApplicationWindows> applications;
    for (const ClientWindow& client : clientsInMappingOrder) {
        if (!client.processIdentifier.has_value() || client.kind == WindowKind::Dock ||
            client.kind == WindowKind::Desktop) {
            continue;
        }
        ApplicationWindows& application =
            applications[ApplicationKey{*client.processIdentifier, client.applicationId}];
        if (client.unmanaged) {
            application.unmanaged.append(client.id);
            continue;
        }
        application.windows.append(client.id);
        if (!client.hidden) {
            application.shownWindows.append(client.id);
        }
        if (client.kind == WindowKind::Normal) {
            application.normalWindows.append(client.id);
            if (!client.skipTaskbar) {
                application.policy = ActivationPolicy::Regular;
            }
        }
    }
    // An unrecognised process without a normal window is a helper of some kind, not an
    // application of its own.
    applications.removeIf([](const auto& application) {
        return !application.key().applicationId.has_value() &&
               application.value().normalWindows.isEmpty();
    });
    return applications;
}

QRectF nativeToLogical(const QRectF& native, const QList<ScreenScale>& screens) {
    if (screens.isEmpty()) {
        return native;
    }
    const auto nativeGeometry = [](const ScreenScale& screen) {
        return QRectF(QPointF(screen.logicalGeometry.topLeft()),
                      QSizeF(screen.logicalGeometry.size()) * screen.devicePixelRatio);
    };
    const ScreenScale* holder = &screens.first();
    for (const ScreenScale& screen : screens) {
        if (nativeGeometry(screen).contains(native.center())) {
            holder = &screen;
            break;
        }
    }
    const qreal ratio = holder->devicePixelRatio > 0 ? holder->devicePixelRatio : 1.0;
    const QPointF origin(holder->logicalGeometry.topLeft());
    return QRectF(origin + (native.topLeft() - origin) / ratio, native.size() / ratio);
}

QList<QImage> imagesFromNetWmIcon(const QList<quint32>& values) {
    constexpr quint32 largestSide = 1024;
    QList<QImage> images;
    qsizetype at = 0;
    while (values.size() - at >= 2) {
        const quint32 width = values[at];
        const quint32 height = values[at + 1];
        at += 2;
        if (width == 0 || height == 0 || width > largestSide || height > largestSide ||
            static_cast<qsizetype>(width * height) > values.size() - at) {
            break;
        }
        QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                image.setPixel(x, y, values[at++]);
            }
        }
        images.append(image);
    }
    return images;
}

} // namespace vantrel::x11
