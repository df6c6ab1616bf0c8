// The running program, reached with QtDBus (no GUI: only QtCore and QtDBus are linked).
#include "tools/vornakctl/program_bus.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>

namespace vornak::cli {

namespace {

// An Apply at a slow keyboard's pace takes a while; the program bounds every exchange itself.
constexpr int kCallTimeoutMs = 10 * 60 * 1000;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

class DBusProgram : public ProgramBus {
  public:
    DBusProgram(std::unique_ptr<QCoreApplication> app, uint32_t pid) : app_(std::move(app)), pid_(pid) {}

    uint32_t pid() const override { return pid_; }

    OutsideResult Status(KeyboardStatus& out) override {
        const QDBusMessage reply = bus_.call(QStringLiteral("Status"));
        if (const auto failed = Failed(reply)) return *failed;
        const QList<QVariant> a = reply.arguments();
        if (a.size() < 6) return {kOutsideFailed, "the program's answer to Status cannot be read"};
        out.keyboards = a[0].toInt();
        out.profile = a[1].toInt() - 1;
        out.macroMemory = a[2].toUInt();
        out.layerB = a[3].toBool();
        const QList<int> numbers = qdbus_cast<QList<int>>(a[4]);
        const QStringList names = qdbus_cast<QStringList>(a[5]);
        for (qsizetype i = 0; i < numbers.size(); ++i)
            out.effects.emplace_back(numbers[i], i < names.size() ? names[i].toStdString() : "");
        if (a.size() > 6) out.following = a[6].toString().toStdString();
        return {};
    }
    OutsideResult Capture(const std::filesystem::path& file) override {
        return Result(bus_.call(QStringLiteral("Capture"), Q(file.string())));
    }
    OutsideResult Apply(const std::filesystem::path& file, bool force) override {
        return Result(bus_.call(QStringLiteral("Apply"), Q(file.string()), force));
    }
    OutsideResult SwitchProfile(int profile, bool force) override {
        return Result(bus_.call(QStringLiteral("SwitchProfile"), profile + 1, force));
    }
    OutsideResult Lighting(int profile, const std::vector<LightingStep>& steps) override {
        QStringList names;
        QStringList values;
        for (const LightingStep& s : steps) {
            names << Q(s.name);
            values << Q(s.value);
        }
        return Result(bus_.call(QStringLiteral("Lighting"), profile + 1, names, values));
    }
    OutsideResult UserMode(int profile, int mode,
                           const std::vector<std::pair<int, Colour>>& paints) override {
        QList<int> positions;
        QList<uint> colours;
        for (const auto& [position, colour] : paints) {
            positions << position;
            colours << colour;
        }
        return Result(bus_.call(QStringLiteral("UserMode"), profile + 1, mode, positions, colours));
    }

  private:
    // A plain method call: no introspection round trip first, as QDBusInterface would make.
    class Caller {
      public:
        template <class... A>
        QDBusMessage call(const QString& method, const A&... args) const {
            QDBusMessage m =
                QDBusMessage::createMethodCall(Q(kBusService), Q(kBusPath), Q(kBusInterface), method);
            m.setArguments({QVariant::fromValue(args)...});
            return QDBusConnection::sessionBus().call(m, QDBus::Block, kCallTimeoutMs);
        }
    };

    static std::optional<OutsideResult> Failed(const QDBusMessage& reply) {
        if (reply.type() == QDBusMessage::ReplyMessage) return std::nullopt;
        const std::string why = reply.errorMessage().isEmpty() ? reply.errorName().toStdString()
                                                               : reply.errorMessage().toStdString();
        return OutsideResult{OutsideExitOf(reply.errorName().toStdString()),
                             why.empty() ? "the running program did not answer" : why};
    }
    static OutsideResult Result(const QDBusMessage& reply) { return Failed(reply).value_or(OutsideResult{}); }

    std::unique_ptr<QCoreApplication> app_;
    Caller bus_;
    uint32_t pid_;
};

}  // namespace

std::unique_ptr<ProgramBus> ProgramBus::Find(const Options& options) {
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") &&
        qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return nullptr;
    // vornakctl's stderr carries its own one line only: Qt's diagnostics are not for its users.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    // QtDBus wants an application object; vornakctl has none of its own.
    static int argc = 1;
    static char name[] = "vornakctl";
    static char* argv[] = {name, nullptr};
    auto app = std::make_unique<QCoreApplication>(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return nullptr;
    // One call answers both questions: is a program on the bus (the bus itself says no at once: the name is
    // never started on demand), and does it run on this keyboard.
    QDBusMessage ask = QDBusMessage::createMethodCall(Q(kBusService), Q(kBusPath), Q(kBusInterface),
                                                      QStringLiteral("Keyboard"));
    ask.setAutoStartService(false);
    const QDBusMessage keyboard = bus.call(ask, QDBus::Block, 5000);
    if (keyboard.type() != QDBusMessage::ReplyMessage || keyboard.arguments().isEmpty()) return nullptr;
    if (keyboard.arguments()[0].toString().toStdString() !=
        KeyboardIdentity(options.simulate, options.library))
        return nullptr;
    QDBusConnectionInterface* names = bus.interface();
    const QDBusReply<uint> pid = names != nullptr ? names->servicePid(Q(kBusService)) : QDBusReply<uint>();
    return std::make_unique<DBusProgram>(std::move(app), pid.isValid() ? pid.value() : 0);
}

}  // namespace vornak::cli
