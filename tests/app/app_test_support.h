#pragma once

#include "app/status_bar_button.h"
#include "app/web_links.h"

#include <QList>
#include <QUrl>

namespace vantrel::testing {

class FakeStatusBarButton final : public StatusBarButton {
    Q_OBJECT

public:
    bool isAvailable() const override { return available; }
    void setImage(const QIcon& image) override {
        lastImage = image;
        ++imageCount;
    }
    QRect screenGeometry() const override { return geometry; }

    void click() { Q_EMIT clicked(); }

    bool available = true;
    QRect geometry;
    QIcon lastImage;
    int imageCount = 0;
};

// Collects the URLs the code under test would open in the browser, for the life of the object.
class RecordingUrlOpener {
public:
    RecordingUrlOpener()
        : m_previous(setUrlOpener([this](const QUrl& url) {
            opened.append(url);
            return true;
        })) {}
    ~RecordingUrlOpener() { setUrlOpener(m_previous); }
    RecordingUrlOpener(const RecordingUrlOpener&) = delete;
    RecordingUrlOpener& operator=(const RecordingUrlOpener&) = delete;

    QList<QUrl> opened;

private:
    UrlOpener m_previous;
};

} // namespace vantrel::testing
