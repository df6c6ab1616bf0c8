#include "widgets/level_meter.h"

#include <QPainter>
#include <algorithm>

namespace vornak {

namespace {

constexpr int kBarHeight = 8;

QColor LevelColour(LevelMeter::Level level) {
    switch (level) {
        case LevelMeter::Level::Warning:
            return QColor(0xE8, 0xA3, 0x17);
        case LevelMeter::Level::Over:
            return QColor(0xE0, 0x3C, 0x4A);
        default:
            return QColor(0x08, 0x91, 0xB2);
    }
}

}  // namespace

LevelMeter::LevelMeter(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
}

void LevelMeter::SetCaption(const QString& caption) {
    caption_ = caption;
    update();
}

void LevelMeter::SetValue(qint64 value, qint64 maximum, Level level) {
    value_ = std::max<qint64>(0, value);
    maximum_ = std::max<qint64>(0, maximum);
    level_ = level;
    update();
}

void LevelMeter::SetTexts(const QString& amount, const QString& state) {
    amount_ = amount;
    state_ = state;
    setToolTip(state.isEmpty() ? amount : amount + QLatin1Char('\n') + state);
    update();
}

int LevelMeter::permille() const {
    if (maximum_ <= 0) return 0;
    return static_cast<int>(std::min<qint64>(1000, value_ * 1000 / maximum_));
}

void LevelMeter::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics metrics(font());
    const int line = metrics.height();
    const QColor text = palette().color(QPalette::WindowText);
    int y = 0;

    p.setPen(text);
    p.drawText(QRect(0, y, width(), line), Qt::AlignLeft | Qt::AlignVCenter, caption_);
    y += line + 2;

    const QRectF track(0.5, y + 0.5, width() - 1.0, kBarHeight - 1.0);
    p.setPen(QColor(0x3A, 0x3F, 0x49));
    p.setBrush(QColor(0x0C, 0x0E, 0x12));
    p.drawRoundedRect(track, 3, 3);
    if (const int filled = permille(); filled > 0) {
        QRectF bar = track.adjusted(1, 1, -1, -1);
        bar.setWidth(std::max(2.0, bar.width() * filled / 1000.0));
        p.setPen(Qt::NoPen);
        p.setBrush(LevelColour(level_));
        p.drawRoundedRect(bar, 2, 2);
    }
    y += kBarHeight + 2;

    p.setPen(text);
    p.drawText(QRect(0, y, width(), line), Qt::AlignLeft | Qt::AlignVCenter,
               metrics.elidedText(amount_, Qt::ElideRight, width()));
    y += line;
    if (!state_.isEmpty()) {
        p.setPen(LevelColour(level_));
        p.drawText(QRect(0, y, width(), height() - y), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                   state_);
    }
}

}  // namespace vornak
