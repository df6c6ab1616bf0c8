#include "app/vornak_app.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QSocketNotifier>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>

#include <fcntl.h>
#include <unistd.h>

#include "app/bus_service.h"
#include "app/qt_prompts.h"
#include "app/ui_thread.h"
#include "app/vornak_dlg.h"
#include "program/command_line.h"
#include "program/device_worker.h"
#include "program/link_relay.h"
#include "program/outside_work.h"
#include "program/program_stack.h"
#include "program/single_instance.h"
#include "program/ui_prompts.h"

#ifndef VORNAK_VERSION
#define VORNAK_VERSION "0.0.0"
#endif

namespace vornak {

namespace {

void Say(const std::string& name, const std::string& line) {
    std::fprintf(stderr, "%s: %s\n", name.c_str(), line.c_str());
}

// Requests from another start arrive on the instance server's thread, possibly before the window exists: they
// wait here until the UI takes them.
class InstanceInbox {
  public:
    void Deliver(InstanceMessage message) {
        std::lock_guard lock(mutex_);
        if (target_) {
            target_(message);
        } else {
            early_.push_back(message);
        }
    }
    void SetTarget(std::function<void(InstanceMessage)> target) {
        std::lock_guard lock(mutex_);
        target_ = std::move(target);
        for (InstanceMessage m : early_)
            target_(m);
        early_.clear();
    }

  private:
    std::mutex mutex_;
    std::function<void(InstanceMessage)> target_;
    std::vector<InstanceMessage> early_;
};

bool HaveDisplay() {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* v = std::getenv(name);
        if (v != nullptr && *v != '\0') return true;
    }
    return false;
}

// SIGTERM and SIGINT (a logout, Ctrl+C) end the program as Close does: the handler only wakes the UI thread.
int g_signalPipe[2] = {-1, -1};

void OnEndSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

std::unique_ptr<QSocketNotifier> CatchEndSignals(std::function<void()> end) {
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return nullptr;
    auto notifier = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, [end = std::move(end)] {
        char bytes[16];
        while (::read(g_signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        end();
    });
    struct sigaction sa {};
    sa.sa_handler = OnEndSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    return notifier;
}

void StartCompanion(const std::filesystem::path& companion) {
    // Absent is normal; a failure to start is ignored, as the Windows program ignores it.
    const QFileInfo info(QString::fromStdString(companion.string()));
    if (info.isFile() && info.isExecutable()) QProcess::startDetached(info.absoluteFilePath(), {});
}

}  // namespace

CVornakApp::CVornakApp(int& argc, char** argv) : argc_(argc), argv_(argv) {
    name_ = argc > 0 ? QFileInfo(QString::fromLocal8Bit(argv[0])).fileName().toStdString() : "vornak";
    for (int i = 1; i < argc; ++i)
        args_.emplace_back(argv[i]);
}

int CVornakApp::Run() {
    const CommandLine args = ParseCommandLine(args_);
    if (!args.error.empty()) {
        Say(name_, args.error + " (see --help)");
        return kExitUsage;
    }
    if (args.help) {
        std::fputs(UsageText(name_).c_str(), stdout);
        return kExitOk;
    }
    if (args.version) {
        std::printf("vornak %s\n", VORNAK_VERSION);
        return kExitOk;
    }

    // Paths (the application profile among them) and texts.
    const ProgramPaths paths(DetectPathRoots());
    LanguageTexts texts;
    // The shipped file's "language" is a default: the user's own choice and the desktop's locale come first.
    texts.LoadLanguageTexts(paths.languageIni,
                            PreferredLanguage(AppProfile(paths.appProfile), ProcessEnvironment()));

    // The single instance, before any window exists.
    std::string error;
    const auto instancePaths = FindInstancePaths(ProcessEnvironment(), &error);
    InstanceInbox inbox;
    InstanceServer server;
    if (!instancePaths) {
        Say(name_, "cannot keep to a single instance: " + error);
        if (args.kill) return kExitOk;
    } else {
        const InstanceDecision decision = SettleSingleInstance(
            args, *instancePaths, server, [&inbox](InstanceMessage m) { inbox.Deliver(m); }, &error);
        if (decision == InstanceDecision::EndHanded) return kExitOk;
        if (!error.empty()) Say(name_, "a later start cannot reach this one: " + error);
    }

    if (!HaveDisplay()) {
        Say(name_, "no display to show the window on (DISPLAY and WAYLAND_DISPLAY are not set)");
        return kExitNoDisplay;
    }
    QApplication app(argc_, argv_);
    QApplication::setApplicationName(QStringLiteral("Vornak"));
    QApplication::setApplicationVersion(QStringLiteral(VORNAK_VERSION));
    // The desktop entry's name: Wayland shells find the window's entry, name and icon by it.
    QGuiApplication::setDesktopFileName(QStringLiteral(VORNAK_APP_ID));
    QApplication::setQuitOnLastWindowClosed(false);
    StartCompanion(paths.companion);

    QObject ui;  // the UI thread's address for queued and blocking calls
    QtPrompts dialogs;
    UiThreadPrompts prompts(dialogs, MakeUiBlockingCall(&ui));
    auto stack = std::make_unique<ProgramStack>(paths, texts, prompts);
    if (!stack->Bind(args.simulate, args.library)) {
        Say(name_, stack->error());
        return kExitNoLibrary;
    }
    PortHubLink& link = stack->link();
    auto worker = std::make_unique<DeviceWorker>(
        DeviceContext{link, stack->store(), stack->transfer(), stack->files(), texts, &stack->lighting()},
        MakeUiPoster(&ui));
    link.SetTrafficMutex(&worker->trafficMutex());

    auto window = std::make_unique<CVornakDlg>(MainWindowServices{
        paths, texts, stack->store(), stack->transfer(), link, *worker, prompts, args.start});
    dialogs.SetParent(window.get());
    LinkRelay relay(*window, MakeUiPoster(&ui), MakeUiBlockingCall(&ui));
    link.SetEvents(&relay);
    QObject::connect(window.get(), &CVornakDlg::programClosed, &app, &QApplication::quit,
                     Qt::QueuedConnection);

    if (!link.SetUpChannels()) {
        Say(name_, "the device library refused to open the keyboard's channels");
        link.SetEvents(nullptr);
        return kExitNoLibrary;
    }
    if (args.start) link.state().autoShowDone.store(1);
    const int keyboards = link.DetectDevice();
    window->Init();
    inbox.SetTarget([&ui, w = window.get()](InstanceMessage m) {
        MakeUiPoster (&ui)([w, m] {
            if (w->closing()) return;
            if (m == InstanceMessage::Open) w->Open();
            if (m == InstanceMessage::Kill) w->CloseProgram();
        });
    });
    // Without "/Start" the program starts as if opened from the tray once: with a keyboard the device thread
    // opens the window when it has been read; without one this shows the no-device message.
    if (!args.start && keyboards == 0) {
        QMetaObject::invokeMethod(
            window.get(), [w = window.get()] { w->Open(); }, Qt::QueuedConnection);
    }

    // The bus service: vornakctl's keyboard work runs here while the program runs.
    BusService bus(*window, KeyboardIdentity(args.simulate, args.library.string()));
    if (std::string why; !bus.Start(&why)) Say(name_, "vornakctl cannot reach this program: " + why);
    const auto endSignals = CatchEndSignals([w = window.get()] { w->CloseProgram(); });

    const int code = app.exec();

    // The end. Nothing new reaches the window or the worker: a later start waits for this one to end, and a
    // later vornakctl opens the keyboard itself. The running job and the queued ones (Apply, import,
    // lighting, paint) are finished, each within its own bounds, so the keyboard is never left inside a write
    // sequence; the tray says so meanwhile. Then the link ends, and the UI thread serves the blocking calls
    // still in flight until everything is quiet.
    server.SetEnding();
    bus.Stop();
    inbox.SetTarget({});
    relay.Close();
    prompts.Close();
    worker->Finish();
    while (worker->busy() || !worker->WorkerIdle()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    window->tray().Remove();
    worker->Stop();
    link.BeginShutdown();
    while (!relay.idle() || !worker->WorkerIdle()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    worker->Join();
    link.SetEvents(nullptr);
    link.ReleaseChannels();
    server.Stop();
    window.reset();
    worker.reset();
    stack.reset();
    return code;
}

}  // namespace vornak
