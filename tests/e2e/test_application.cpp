// The stand-in for an ordinary desktop application in the end-to-end tests: one plain Qt window
// that takes the keyboard and appends the text of every key it gets to the file named by
// --key-log, so a test can tell whether typed keys reached it.
// Usage: vantrel-e2e-app [-name INSTANCE] [--key-log FILE]
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QStringList>
#include <QWidget>

namespace {

class KeyLoggingWindow final : public QWidget {
public:
    explicit KeyLoggingWindow(QString logPath)
        : m_logPath(std::move(logPath)) {
        setFocusPolicy(Qt::StrongFocus);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (m_logPath.isEmpty() || event->text().isEmpty())
            return;
        QFile log(m_logPath);
        if (log.open(QIODevice::Append))
            log.write(event->text().toUtf8());
    }

private:
    QString m_logPath;
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // The instance part of WM_CLASS comes from -name (Qt reads it); the class stays neutral so
    // that only the instance names a desktop entry.
    QApplication::setApplicationName(QStringLiteral("VantrelTestApplication"));
    const QStringList arguments = QApplication::arguments();
    const qsizetype logOption = arguments.indexOf(QStringLiteral("--key-log"));
    KeyLoggingWindow window(logOption >= 0 && logOption + 1 < arguments.size()
                                ? arguments.at(logOption + 1)
                                : QString());
    window.setWindowTitle(QStringLiteral("Vantrel test application"));
    window.resize(360, 240);
    window.show();
    return application.exec();
}
