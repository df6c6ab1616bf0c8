#include "follow/view/follow_driver.h"

#include <chrono>

namespace vornak {

namespace {

int64_t SteadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::u16string U(const QString& s) {
    return s.toStdU16String();
}

}  // namespace

FollowDriver::FollowDriver(FollowHost& host, std::filesystem::path rulesFile, QObject* parent)
    : QObject(parent), follower_(host, SteadyMs), rulesFile_(std::move(rulesFile)) {
    follower_.SetOwnApplications({u"vornak", u"io.github.vornak.Vornak"});
    settle_.setSingleShot(true);
    settle_.setTimerType(Qt::PreciseTimer);
    connect(&settle_, &QTimer::timeout, this, [this] {
        follower_.Poll();
        Arm();
    });
    recheck_.setSingleShot(true);
    recheck_.setInterval(0);
    connect(&recheck_, &QTimer::timeout, this, [this] {
        follower_.Recheck();
        Arm();
    });
    // The file is replaced by a rename on every write: the folder tells of it, the file's own watch is lost.
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { LoadRules(); });
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { LoadRules(); });
}

FollowDriver::~FollowDriver() = default;

void FollowDriver::LoadRules() {
    std::string error;
    auto rules = LoadFollowRules(rulesFile_, &error);
    const QString before = rulesError_;
    if (rules) {
        rulesError_.clear();
        follower_.SetRules(std::move(*rules));
    } else {
        rulesError_ = QString::fromStdString(error);
        follower_.SetRules(FollowRules{});
        if (rulesError_ != before) emit rulesRefused(rulesError_);
    }
    WatchRules();
    Arm();
}

void FollowDriver::WatchRules() {
    // The folder is watched for the file to appear; a fresh home may not have it yet.
    std::error_code ec;
    std::filesystem::create_directories(rulesFile_.parent_path(), ec);
    const QString folder = QString::fromStdString(rulesFile_.parent_path().string());
    const QString file = QString::fromStdString(rulesFile_.string());
    if (!watcher_.directories().contains(folder)) watcher_.addPath(folder);
    if (!watcher_.files().contains(file) && std::filesystem::exists(rulesFile_)) watcher_.addPath(file);
}

void FollowDriver::StartSource(const std::filesystem::path& kwinScript) {
    const QByteArray chosen = qgetenv("VORNAK_FOCUS_SOURCE");
    if (chosen == "none") return;
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    const bool kde = qgetenv("XDG_CURRENT_DESKTOP").toUpper().contains("KDE");
    if ((chosen.isEmpty() && wayland && !kde) || chosen == "wlroots")
        source_ = StartWlrootsFocusSource(*this);
    if (!source_ && ((chosen.isEmpty() && wayland && kde) || chosen == "kwin") &&
        std::filesystem::exists(kwinScript))
        source_ = StartKWinScript(QString::fromStdString(kwinScript.string()));
    // On a Wayland desktop without the toplevel list, X11's active window would see only the Xwayland
    // windows and call every Wayland window "none": the desktop's script reports instead.
    if (!source_ && ((chosen.isEmpty() && !wayland) || chosen == "x11")) source_ = StartX11FocusSource(*this);
}

QString FollowDriver::sourceName() const {
    return source_ ? source_->name() : QStringLiteral("none");
}

void FollowDriver::ActiveWindowChanged(const QString& appId, const QString& title) {
    follower_.ActiveWindowChanged(U(appId), U(title));
    Arm();
}

void FollowDriver::ActiveTitleChanged(const QString& title) {
    follower_.ActiveTitleChanged(U(title));
    Arm();
}

void FollowDriver::HandSwitch() {
    follower_.HandSwitch();
    Arm();
}

void FollowDriver::SwitchFinished() {
    follower_.SwitchFinished();
    Arm();
}

void FollowDriver::Recheck() {
    if (follower_.waiting() && !recheck_.isActive()) recheck_.start();
}

void FollowDriver::Arm() {
    const auto due = follower_.dueAt();
    if (!due) {
        settle_.stop();
        return;
    }
    settle_.start(static_cast<int>(std::max<int64_t>(0, *due - SteadyMs())));
}

}  // namespace vornak
