// The X11 workspace's applications: which application each window shows, and the running
// applications made of them.
#include "platform/freedesktop/entry_icon.h"
#include "platform/input_held.h"
#include "platform/process/application_identity.h"
#include "platform/process/process_watch.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_running_application.h"
#include "platform/x11/x11_workspace.h"

#include <algorithm>

namespace vantrel {

namespace {

constexpr quint32 largestIcon = 1u << 20;

QIcon iconOfWindow(const x11::X11Connection& connection, xcb_window_t window) {
    const x11::PropertyReply reply = connection.takeProperty(connection.requestProperty(
        window, connection.atoms()._NET_WM_ICON, XCB_ATOM_CARDINAL, largestIcon));
    QIcon icon;
    for (const QImage& image : x11::imagesFromNetWmIcon(x11::values32(reply.get()))) {
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace

void X11Workspace::mergeBundled(RunningApplicationList* launched) const {
    if (!m_providers.bundledApplications) {
        return;
    }
    // Their bundles are files; the settling after the thaw merges them.
    if (isInputHeld()) {
        m_bundledMergeDue = true;
        return;
    }
    for (const RunningApplicationRef& application : m_providers.bundledApplications()) {
        if (!application || application->isTerminated()) {
            continue;
        }
        const qint64 pid = application->processIdentifier();
        if (bundledApplicationOfPid(pid)) {
            continue; // the object first seen stays the one for this process
        }
        m_applications.push_back(Tracked{{pid, std::nullopt}, application, nullptr});
        if (launched != nullptr) {
            launched->append(application);
        }
    }
}

void X11Workspace::identify(Client* client,
                            const std::function<const QList<DesktopEntry>&()>& entries) {
    if (client->identified || !client->window.processIdentifier.has_value()) {
        return;
    }
    client->identified = true;
    // A dialog belongs to the window it is for, which may be of another application of the same
    // process than its own hints would say.
    if (client->transientFor != 0) {
        const auto parent = m_clients.find(client->transientFor);
        if (parent != m_clients.end() &&
            parent->window.processIdentifier == client->window.processIdentifier) {
            identify(&*parent, entries);
            client->entry = parent->entry;
            client->window.applicationId = parent->window.applicationId;
            return;
        }
    }
    const qint64 pid = *client->window.processIdentifier;
    client->entry = identifyApplication(m_processes.of(pid).facts, client->hints, entries());
    if (client->entry) {
        client->window.applicationId = client->entry->id;
    }
}

void X11Workspace::updateApplications(RunningApplicationList* launched, bool* quit) {
    std::optional<QList<DesktopEntry>> entries;
    const auto entriesNow = [&]() -> const QList<DesktopEntry>& {
        if (!entries.has_value()) {
            entries =
                m_providers.desktopEntries ? m_providers.desktopEntries() : QList<DesktopEntry>();
        }
        return *entries;
    };
    QList<x11::ClientWindow> windows;
    windows.reserve(m_mappingOrder.size() + m_unmanagedOrder.size());
    for (xcb_window_t window : std::as_const(m_mappingOrder)) {
        Client& client = m_clients[window];
        identify(&client, entriesNow);
        windows.append(client.window);
    }
    for (xcb_window_t window : std::as_const(m_unmanagedOrder)) {
        Client& client = m_unmanaged[window];
        identify(&client, entriesNow);
        windows.append(client.window);
    }
    const QMap<x11::ApplicationKey, x11::ApplicationWindows> applications =
        x11::windowsByApplication(windows);

    const bool terminated = dropTerminated();
    if (quit != nullptr) {
        *quit = terminated;
    }
    mergeBundled(launched);

    for (auto it = applications.cbegin(); it != applications.cend(); ++it) {
        const qint64 pid = it.key().processIdentifier;
        // This program, and the bundled programs, stand for their whole process.
        if (pid == m_ownPid || applicationOf(it.key()) || bundledApplicationOfPid(pid) ||
            !m_processes.of(pid).ofThisUser) {
            continue;
        }
        std::shared_ptr<X11RunningApplication> application = makeApplication(it.key(), *it);
        m_applications.push_back(Tracked{it.key(), application, application});
        if (launched != nullptr) {
            launched->append(application);
        }
    }
    for (const Tracked& tracked : m_applications) {
        if (tracked.ownWindows) {
            tracked.ownWindows->setWindows(applications.value(tracked.key));
        }
    }
}

std::shared_ptr<X11RunningApplication>
X11Workspace::makeApplication(const x11::ApplicationKey& key,
                              const x11::ApplicationWindows& windows) {
    const QList<xcb_window_t>& shown = !windows.normalWindows.isEmpty() ? windows.normalWindows
                                       : !windows.windows.isEmpty()     ? windows.windows
                                                                        : windows.unmanaged;
    const xcb_window_t first = shown.first();
    const Client client =
        m_clients.contains(first) ? m_clients.value(first) : m_unmanaged.value(first);
    const ApplicationHints& hints = client.hints;

    X11RunningApplication::Identity identity;
    identity.pid = key.processIdentifier;
    QString iconName;
    if (client.entry) {
        identity.bundleIdentifier = client.entry->id;
        if (!client.entry->name.isEmpty()) {
            identity.name = client.entry->name;
        }
        iconName = client.entry->icon;
    }
    if (!identity.name.has_value()) {
        for (const QString& name :
             {hints.className, hints.classInstance, m_processes.of(key.processIdentifier).name}) {
            if (!name.isEmpty()) {
                identity.name = name;
                break;
            }
        }
    }
    // Looked up when first shown, not while a lock waits for the application's identity.
    identity.iconLoader = [iconName, first, connection = std::weak_ptr(m_connection)] {
        QIcon icon = iconFromValue(iconName);
        const std::shared_ptr<x11::X11Connection> x = connection.lock();
        return icon.isNull() && x ? iconOfWindow(*x, first) : icon;
    };
    // Hiding it leaves the windows of the process's other applications alone.
    identity.ownsWindow = [this, key, alive = std::weak_ptr<int>(m_alive)](xcb_window_t window) {
        return alive.expired() || ownsWindow(key, window);
    };

    auto watch = std::make_unique<ProcessExitWatch>(key.processIdentifier);
    ProcessExitWatch* watching = watch.get();
    auto application = std::make_shared<X11RunningApplication>(std::move(identity), m_connection,
                                                               std::move(watch));
    const X11RunningApplication* application_ = application.get();
    connect(watching, &ProcessExitWatch::exited, this,
            [this, application_] { onProcessExited(application_); });
    return application;
}

bool X11Workspace::ownsWindow(const x11::ApplicationKey& key, xcb_window_t window) const {
    const auto client = m_clients.constFind(window);
    // A window not taken on yet may be this application's: hidden too, to be safe.
    return client == m_clients.cend() || !client->identified ||
           x11::ApplicationKey{key.processIdentifier, client->window.applicationId} == key;
}

RunningApplicationRef X11Workspace::applicationOf(const x11::ApplicationKey& key) const {
    for (const Tracked& tracked : m_applications) {
        if (tracked.ownWindows && tracked.key == key && !tracked.application->isTerminated()) {
            return tracked.application;
        }
    }
    return nullptr;
}

RunningApplicationRef X11Workspace::bundledApplicationOfPid(qint64 pid) const {
    for (const Tracked& tracked : m_applications) {
        if (!tracked.ownWindows && tracked.key.processIdentifier == pid &&
            !tracked.application->isTerminated()) {
            return tracked.application;
        }
    }
    return nullptr;
}

bool X11Workspace::dropTerminated() {
    bool dropped = false;
    std::erase_if(m_applications, [&](const Tracked& tracked) {
        if (!tracked.application->isTerminated()) {
            return false;
        }
        if (tracked.ownWindows) {
            tracked.ownWindows->markTerminated();
        }
        dropped = true;
        return true;
    });
    return dropped;
}

void X11Workspace::onProcessExited(const X11RunningApplication* application) {
    const auto tracked =
        std::find_if(m_applications.cbegin(), m_applications.cend(),
                     [&](const Tracked& t) { return t.ownWindows.get() == application; });
    if (tracked == m_applications.cend()) {
        return;
    }
    m_processes.forget(tracked->key.processIdentifier);
    dropTerminated();
    Q_EMIT runningApplicationsChanged(RunningApplicationsChange{});
}

} // namespace vantrel
