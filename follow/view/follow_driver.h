// The follower in the running program: the rules file (read at start and again whenever it changes on disk,
// so `vornakctl rules` and a hand edit take effect at once), the one timer the settling needs, and the focus
// source of the session. Every source, and the D-Bus service, reports through ActiveWindowChanged.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "follow/focus_follower.h"

namespace vornak {

class FocusSource;

class FollowDriver : public QObject {
    Q_OBJECT

  public:
    FollowDriver(FollowHost& host, std::filesystem::path rulesFile, QObject* parent = nullptr);
    ~FollowDriver() override;

    // Reads the rules file; a damaged one leaves no rules and emits rulesRefused. Watches it from now on.
    void LoadRules();
    // The focus source of this session: the wlroots toplevel list on a Wayland compositor that offers it,
    // KWin's script on KDE Plasma (kwinScript: its main.js), X11's active window on an X server; none
    // elsewhere (GNOME on Wayland: its extension calls the service once the user enables it).
    // VORNAK_FOCUS_SOURCE=x11|wlroots|kwin|none chooses by hand.
    void StartSource(const std::filesystem::path& kwinScript);
    // "x11", "wlroots", "kwin" or "none": for `vornakctl status`.
    QString sourceName() const;

    // The service's method and the sources' report: another window got the focus.
    void ActiveWindowChanged(const QString& appId, const QString& title);
    // The focused window's title changed (sources that can tell the two apart).
    void ActiveTitleChanged(const QString& title);
    void HandSwitch();
    void SwitchFinished();
    // Something that held a switch back may be gone (edits applied or dropped, a dialog closed, the keyboard
    // read): checked on the next turn of the event loop, once however many come.
    void Recheck();

    FocusFollower& follower() { return follower_; }
    const FocusFollower& follower() const { return follower_; }
    const std::filesystem::path& rulesFile() const { return rulesFile_; }
    // The last refusal of the rules file; empty when it was read.
    const QString& rulesError() const { return rulesError_; }

  signals:
    void rulesRefused(const QString& message);

  private:
    void Arm();
    void WatchRules();

    FocusFollower follower_;
    std::filesystem::path rulesFile_;
    QTimer settle_;
    QTimer recheck_;
    QFileSystemWatcher watcher_;
    QString rulesError_;
    std::unique_ptr<FocusSource> source_;
};

// A focus source of the window system; reports to the driver from the UI thread's event loop.
class FocusSource {
  public:
    virtual ~FocusSource() = default;
    virtual QString name() const = 0;
};

// Each is null when its window system or protocol is not there.
std::unique_ptr<FocusSource> StartX11FocusSource(FollowDriver& driver);
std::unique_ptr<FocusSource> StartWlrootsFocusSource(FollowDriver& driver);
// Loads the KWin script (its calls reach the driver through the service).
std::unique_ptr<FocusSource> StartKWinScript(const QString& mainJs);

}  // namespace vornak
