// The program in the notification area: one icon showing the keyboard's state (no keyboard, keyboard, macro
// playing), the menu Open / About / Exit with texts read from the language file each time it opens, a double
// click that opens the window and a single click that opens the scene menu once the double-click time has
// passed without a second click.
#pragma once

#include <QElapsedTimer>
#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>
#include <filesystem>
#include <map>
#include <memory>

#include "device/link_events.h"
#include "program/tray_clicks.h"
#include "texts/language_texts.h"

namespace vornak {

// Commands the tray sends to the main window.
inline constexpr int kCmdOpen = 32771;
inline constexpr int kCmdAbout = 32773;
inline constexpr int kCmdExit = 32774;
inline constexpr int kCmdSceneMenu = 1009;

class CTrayIcon : public QObject {
    Q_OBJECT

  public:
    CTrayIcon(const std::filesystem::path& skinsDir, const LanguageTexts& texts, QObject* parent = nullptr);
    ~CTrayIcon() override;

    // Puts the icon up with the tooltip (cut to 127 characters) and the no-keyboard icon. Without a tray the
    // icon waits and appears as soon as one starts.
    void Create(const QString& toolTip);
    void SetClickCommand(int command) { clickCommand_ = command; }
    // Mode Base with an icon id makes it the base icon and shows it; MacroEnded shows the base icon again;
    // MacroPlaying shows the macro icon.
    void SetTrayState(TrayIconMode mode, int iconId);
    int shownIcon() const { return shownIcon_; }
    int baseIcon() const { return baseIcon_; }
    void Remove();
    // The program is finishing its keyboard work before it ends: the tooltip says so and the menu is empty.
    void ShowFinishing(const QString& text);
    // A tray shows the icon now.
    bool available() const;
    QSystemTrayIcon& icon() { return tray_; }
    // The menu as it would open now (its texts are re-read before each opening).
    QMenu& menu() { return menu_; }
    void RefreshMenuTexts();

  signals:
    void command(int id);
    // A tray appeared after the program started without one.
    void trayAppeared();

  private:
    void OnActivated(QSystemTrayIcon::ActivationReason reason);
    void Act(TrayClick click);
    void ArmClickTimer(qint64 now);
    void WatchForTray();

    const LanguageTexts& texts_;
    std::map<int, QIcon> icons_;
    QSystemTrayIcon tray_;
    QMenu menu_;
    QAction* open_ = nullptr;
    QAction* about_ = nullptr;
    QAction* exit_ = nullptr;
    TrayClickSorter clicks_;
    QElapsedTimer clock_;
    QTimer clickTimer_;
    QTimer trayWatch_;
    int clickCommand_ = 0;
    int baseIcon_ = kTrayIconNoKeyboard;
    int shownIcon_ = 0;
    bool created_ = false;
};

}  // namespace vornak
