#include "app/bus_service.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>

#include "app/vornak_dlg.h"
#include "follow/view/follow_driver.h"
#include "program/outside_work.h"

namespace vornak {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

std::filesystem::path PathOf(const QString& file) {
    return std::filesystem::path(file.toStdString());
}

}  // namespace

BusService::BusService(CVornakDlg& window, std::string keyboard)
    : window_(window), keyboard_(std::move(keyboard)) {
    connect(&window_, &CVornakDlg::keyboardChanged, this, &BusService::KeyboardChanged);
    connect(&window_, &CVornakDlg::profileChanged, this, [this](int p) { emit ProfileChanged(p + 1); });
    connect(&window_, &CVornakDlg::configurationChanged, this, &BusService::ConfigurationChanged);
    connect(&window_, &CVornakDlg::lightingChanged, this, &BusService::LightingChanged);
}

BusService::~BusService() {
    Stop();
}

bool BusService::Start(std::string* error) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        if (error) *error = "no session bus: " + bus.lastError().message().toStdString();
        return false;
    }
    if (!bus.registerObject(Q(kBusPath), this,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals)) {
        if (error) *error = "the bus object cannot be registered";
        return false;
    }
    registered_ = true;
    if (!bus.registerService(Q(kBusService))) {
        if (error)
            *error = std::string(kBusService) + " is taken: " + bus.lastError().message().toStdString();
        return false;
    }
    return true;
}

void BusService::Stop() {
    if (!registered_) return;
    registered_ = false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(Q(kBusService));
    bus.unregisterObject(Q(kBusPath));
}

QString BusService::Keyboard() {
    return Q(keyboard_);
}

QDBusMessage BusService::Defer() {
    setDelayedReply(true);
    return message();
}

void BusService::Answer(const QDBusMessage& call, const OutsideResult& result,
                        const QList<QVariant>& values) {
    QDBusMessage reply = result.ok()
                             ? call.createReply(values)
                             : call.createErrorReply(Q(OutsideErrorName(result.code)), Q(result.message));
    QDBusConnection::sessionBus().send(reply);
}

int BusService::Status(int&, uint&, bool&, QList<int>&, QStringList&, QString&) {
    const QDBusMessage call = Defer();
    window_.OutsideStatus([this, call](OutsideResult result, KeyboardStatus st) {
        QList<int> numbers;
        QStringList names;
        for (const auto& [number, name] : st.effects) {
            numbers << number;
            names << Q(name);
        }
        Answer(call, result,
               {st.keyboards, st.profile + 1, st.macroMemory, st.layerB, QVariant::fromValue(numbers),
                QVariant::fromValue(names), FollowingText()});
    });
    return 0;
}

QString BusService::FollowingText() const {
    const FollowDriver* follow = window_.follow();
    if (follow == nullptr) return QStringLiteral("not started");
    QString text = QStringLiteral("focus from %1, %2")
                       .arg(follow->sourceName(),
                            follow->follower().following() ? QStringLiteral("on") : QStringLiteral("off"));
    if (!follow->rulesError().isEmpty())
        text += QStringLiteral(" (") + follow->rulesError() + QStringLiteral(")");
    return text;
}

void BusService::ActiveWindowChanged(const QString& appId, const QString& title) {
    // Calls before the window's start-up has finished have nothing to switch yet.
    if (FollowDriver* follow = window_.follow()) follow->ActiveWindowChanged(appId, title);
}

void BusService::Capture(const QString& file) {
    const QDBusMessage call = Defer();
    window_.OutsideCapture(PathOf(file), [this, call](OutsideResult r) { Answer(call, r); });
}

void BusService::Apply(const QString& file, bool force) {
    const QDBusMessage call = Defer();
    window_.OutsideApply(PathOf(file), force, [this, call](OutsideResult r) { Answer(call, r); });
}

void BusService::SwitchProfile(int profile, bool force) {
    const QDBusMessage call = Defer();
    if (profile < 1 || profile > 3) {
        Answer(call, {kOutsideUsage, "the profile is 1, 2 or 3, not " + std::to_string(profile)});
        return;
    }
    window_.OutsideSwitchProfile(profile - 1, force, [this, call](OutsideResult r) { Answer(call, r); });
}

void BusService::Lighting(int profile, const QStringList& names, const QStringList& values) {
    const QDBusMessage call = Defer();
    if (profile < 0 || profile > 3 || names.size() != values.size()) {
        Answer(call, {kOutsideUsage, "Lighting takes a profile 0 to 3 and one value per name"});
        return;
    }
    std::vector<LightingStep> steps;
    for (qsizetype i = 0; i < names.size(); ++i)
        steps.push_back(LightingStep{names[i].toStdString(), values[i].toStdString()});
    window_.OutsideLighting(profile - 1, std::move(steps),
                            [this, call](OutsideResult r) { Answer(call, r); });
}

void BusService::UserMode(int profile, int mode, const QList<int>& positions, const QList<uint>& colours) {
    const QDBusMessage call = Defer();
    if (profile < 1 || profile > 3 || mode < 0 || mode > 9 || positions.size() != colours.size()) {
        Answer(call,
               {kOutsideUsage, "UserMode takes a profile 1 to 3, a mode 0 to 9 and one colour per key"});
        return;
    }
    std::vector<std::pair<int, Colour>> paints;
    for (qsizetype i = 0; i < positions.size(); ++i)
        paints.emplace_back(positions[i], static_cast<Colour>(colours[i]));
    window_.OutsideUserMode(profile - 1, mode, std::move(paints),
                            [this, call](OutsideResult r) { Answer(call, r); });
}

}  // namespace vornak
