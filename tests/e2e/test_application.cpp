// The stand-in for an ordinary desktop application in the end-to-end tests: plain Qt windows, each
// painted in a colour of its own, that append the text of every key they get, and "[click]" for
// every mouse button pressed on them, to the file named by --key-log, so a test can tell whether
// anything reached the application. A test can also make it act by itself through a named pipe.
//
// Usage: vantrel-e2e-app [-name INSTANCE] [--key-log FILE] [--windows N] [--windows-file FILE]
//                        [--control FIFO] [--no-net-wm-pid] [--kind KIND]
//   --windows N        N top-level windows at start, titled "Vantrel test application",
//                      "Vantrel test application 2", ...
//   --kind KIND        what they are: normal (the default), dialog, utility, or unmanaged
//                      (override-redirect, past the window manager)
//   --windows-file F   a line "INDEX ID" (the X window id, decimal) for every window and dialog
//                      once it is first shown; the windows at start are 1..N, later ones go on
//   --control FIFO     line commands: open-window, open-dialog, move X Y, resize W H,
//                      activate-self, focus-self, fullscreen, minimize, quit, and
//                      open-window-of INSTANCE LOG: a window of another application (its
//                      WM_CLASS instance INSTANCE) from this same process, logging to LOG;
//                      tray-icon: an icon in the system tray, all magenta (#ff00ff), that
//                      appends "[tray-click]" when clicked
//   --no-net-wm-pid    its windows carry no _NET_WM_PID, as with clients that never set it
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <iterator>
#include <memory>
#include <QApplication>
#include <QColor>
#include <QDialog>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSocketNotifier>
#include <QStringList>
#include <QSystemTrayIcon>
#include <QWidget>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

namespace {

const QColor kColours[] = {
    QColor(0xd0, 0x30, 0x30), QColor(0x30, 0xa0, 0x40), QColor(0x30, 0x50, 0xd0),
    QColor(0xe0, 0xb0, 0x20), QColor(0xa0, 0x30, 0xc0), QColor(0x20, 0xb0, 0xb0),
};

enum class Kind { Normal, Dialog, Utility, Unmanaged };

struct Options {
    QString keyLog;
    QString windowsFile;
    QString control;
    int windows = 1;
    bool withoutPid = false;
    Kind kind = Kind::Normal;
};

void appendTo(const QString& path, const QByteArray& text) {
    if (path.isEmpty())
        return;
    QFile file(path);
    if (file.open(QIODevice::Append))
        file.write(text);
}

// One window or dialog of the application; Base is QWidget or QDialog.
template <typename Base> class Surface final : public Base {
public:
    Surface(const Options& options, int index, QWidget* parent, QString keyLog = {})
        : Base(parent)
        , m_options(options)
        , m_keyLog(keyLog.isEmpty() ? options.keyLog : std::move(keyLog))
        , m_index(index)
        , m_colour(kColours[static_cast<std::size_t>(index - 1) % std::size(kColours)]) {
        Base::setFocusPolicy(Qt::StrongFocus);
        Base::setAttribute(Qt::WA_OpaquePaintEvent, true);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        // Not handed on: a dialog would close on Escape.
        if (!event->text().isEmpty())
            appendTo(m_keyLog, event->text().toUtf8());
    }

    void mousePressEvent(QMouseEvent*) override { appendTo(m_keyLog, "[click]"); }

    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(Base::rect(), m_colour);
    }

    void showEvent(QShowEvent* event) override {
        Base::showEvent(event);
        if (m_announced)
            return;
        m_announced = true;
        appendTo(m_options.windowsFile,
                 QByteArray::number(m_index) + ' ' + QByteArray::number(Base::winId()) + '\n');
    }

private:
    const Options& m_options;
    QString m_keyLog;
    int m_index;
    QColor m_colour;
    bool m_announced = false;
};

using Window = Surface<QWidget>;
using Dialog = Surface<QDialog>;

xcb_connection_t* x11Connection() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

// WM_CLASS of one window, set before it is first shown: Qt gives every window the process's.
void setWindowClass(QWidget* surface, const QByteArray& instance) {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr)
        qFatal("vantrel-e2e-app: open-window-of needs X11");
    const QByteArray value = instance + '\0' + "VantrelTestApplication" + '\0';
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE,
                        static_cast<xcb_window_t>(surface->winId()), XCB_ATOM_WM_CLASS,
                        XCB_ATOM_STRING, 8, static_cast<uint32_t>(value.size()), value.constData());
    xcb_flush(connection);
}

// Qt sets _NET_WM_PID when it creates the native window; taken off again before the first map,
// nobody ever sees it.
void dropProcessId(QWidget* surface) {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr)
        qFatal("vantrel-e2e-app: --no-net-wm-pid needs X11");
    const char name[] = "_NET_WM_PID";
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, sizeof name - 1, name),
                              nullptr),
        &std::free);
    if (atom == nullptr || atom->atom == XCB_ATOM_NONE)
        return; // no window on this server carries it
    const auto window = static_cast<xcb_window_t>(surface->winId());
    xcb_delete_property(connection, window, atom->atom);
    xcb_flush(connection);
}

class TestApplication {
public:
    explicit TestApplication(Options options)
        : m_options(std::move(options)) {
        for (int i = 0; i < m_options.windows; ++i)
            openWindow();
        if (!m_options.control.isEmpty())
            listen();
    }

    ~TestApplication() {
        if (m_readEnd >= 0)
            ::close(m_readEnd);
        if (m_writeEnd >= 0)
            ::close(m_writeEnd);
    }

    TestApplication(const TestApplication&) = delete;
    TestApplication& operator=(const TestApplication&) = delete;

private:
    int nextIndex() { return ++m_shown; }

    void openWindow() {
        const int index = nextIndex();
        auto window = std::make_unique<Window>(m_options, index, nullptr);
        switch (m_options.kind) {
        case Kind::Normal:
            break;
        case Kind::Dialog:
            window->setWindowFlag(Qt::Dialog);
            break;
        case Kind::Utility:
            window->setWindowFlag(Qt::Tool);
            break;
        case Kind::Unmanaged:
            window->setWindowFlags(Qt::Window | Qt::BypassWindowManagerHint |
                                   Qt::FramelessWindowHint);
            window->move(200, 150);
            break;
        }
        window->setWindowTitle(index == 1
                                   ? QStringLiteral("Vantrel test application")
                                   : QStringLiteral("Vantrel test application %1").arg(index));
        window->resize(360, 240);
        if (m_options.withoutPid)
            dropProcessId(window.get());
        window->show();
        m_windows.push_back(std::move(window));
    }

    void openDialog() {
        // Parented to the first window: Qt makes it transient for it; show() keeps it non-modal.
        auto* dialog = new Dialog(m_options, nextIndex(), first());
        dialog->setWindowTitle(QStringLiteral("Vantrel test dialog"));
        dialog->setModal(false);
        dialog->resize(300, 200);
        if (m_options.withoutPid)
            dropProcessId(dialog);
        dialog->show();
    }

    void openWindowOf(const QString& instance, const QString& keyLog) {
        auto window = std::make_unique<Window>(m_options, nextIndex(), nullptr, keyLog);
        window->setWindowTitle(QStringLiteral("Vantrel test application of ") + instance);
        window->resize(360, 240);
        setWindowClass(window.get(), instance.toUtf8());
        window->show();
        m_windows.push_back(std::move(window));
    }

    QWidget* first() const { return m_windows.front().get(); }

    void showTrayIcon() {
        // Without a StatusNotifierWatcher on the bus, Qt docks it in the tray with XEmbed.
        QPixmap picture(22, 22);
        picture.fill(QColor(0xff, 0x00, 0xff));
        m_trayIcon = std::make_unique<QSystemTrayIcon>(QIcon(picture));
        QObject::connect(m_trayIcon.get(), &QSystemTrayIcon::activated,
                         [this] { appendTo(m_options.keyLog, "[tray-click]"); });
        m_trayIcon->show();
    }

    void focusSelf() {
        // Straight to the X server, past the window manager, as a misbehaving program would.
        xcb_connection_t* connection = x11Connection();
        if (connection == nullptr)
            return;
        xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT,
                            static_cast<xcb_window_t>(first()->winId()), XCB_CURRENT_TIME);
        xcb_flush(connection);
    }

    void run(const QString& line) {
        const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.isEmpty())
            return;
        const QString& command = words.front();
        const auto number = [&](qsizetype i) { return i < words.size() ? words.at(i).toInt() : 0; };
        if (command == QLatin1String("open-window"))
            openWindow();
        else if (command == QLatin1String("open-window-of") && words.size() == 3)
            openWindowOf(words.at(1), words.at(2));
        else if (command == QLatin1String("open-dialog"))
            openDialog();
        else if (command == QLatin1String("move"))
            first()->move(number(1), number(2));
        else if (command == QLatin1String("resize"))
            first()->resize(number(1), number(2));
        else if (command == QLatin1String("activate-self")) {
            first()->activateWindow();
            first()->raise();
        } else if (command == QLatin1String("focus-self"))
            focusSelf();
        else if (command == QLatin1String("fullscreen"))
            first()->showFullScreen();
        else if (command == QLatin1String("minimize"))
            first()->showMinimized();
        else if (command == QLatin1String("tray-icon"))
            showTrayIcon();
        else if (command == QLatin1String("quit"))
            QApplication::quit();
        else
            qWarning("vantrel-e2e-app: unknown command %s", qPrintable(line));
    }

    void listen() {
        const QByteArray path = QFile::encodeName(m_options.control);
        if (::mkfifo(path.constData(), 0600) != 0 && errno != EEXIST)
            qFatal("vantrel-e2e-app: cannot make the pipe %s", path.constData());
        m_readEnd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        // A writer of our own: the read end never sees the end of the file when a test's writer
        // closes.
        m_writeEnd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
        if (m_readEnd < 0 || m_writeEnd < 0)
            qFatal("vantrel-e2e-app: cannot open the pipe %s", path.constData());
        m_notifier = std::make_unique<QSocketNotifier>(m_readEnd, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { readCommands(); });
    }

    void readCommands() {
        char buffer[512];
        for (;;) {
            const ssize_t count = ::read(m_readEnd, buffer, sizeof buffer);
            if (count <= 0)
                break;
            m_pending.append(buffer, static_cast<qsizetype>(count));
        }
        qsizetype end;
        while ((end = m_pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(m_pending.left(end)).trimmed();
            m_pending.remove(0, end + 1);
            run(line);
        }
    }

    Options m_options;
    std::vector<std::unique_ptr<Window>> m_windows;
    std::unique_ptr<QSystemTrayIcon> m_trayIcon;
    int m_shown = 0;
    int m_readEnd = -1;
    int m_writeEnd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QByteArray m_pending;
};

Options parse(const QStringList& arguments) {
    Options options;
    const auto value = [&](const char* name) {
        const qsizetype at = arguments.indexOf(QLatin1String(name));
        return at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1) : QString();
    };
    options.keyLog = value("--key-log");
    options.windowsFile = value("--windows-file");
    options.control = value("--control");
    options.withoutPid = arguments.contains(QLatin1String("--no-net-wm-pid"));
    const QString kind = value("--kind");
    if (kind == QLatin1String("dialog"))
        options.kind = Kind::Dialog;
    else if (kind == QLatin1String("utility"))
        options.kind = Kind::Utility;
    else if (kind == QLatin1String("unmanaged"))
        options.kind = Kind::Unmanaged;
    const QString windows = value("--windows");
    if (!windows.isEmpty())
        options.windows = qMax(1, windows.toInt());
    return options;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // The instance part of WM_CLASS comes from -name (Qt reads it); the class stays neutral so
    // that only the instance names a desktop entry.
    QApplication::setApplicationName(QStringLiteral("VantrelTestApplication"));
    TestApplication testApplication(parse(QApplication::arguments()));
    return application.exec();
}
